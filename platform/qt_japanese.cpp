#include "platform/qt_japanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installQtJapanese(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return app.installTranslator(translator);
}
