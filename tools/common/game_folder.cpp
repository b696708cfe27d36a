#include "tools/common/game_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

bool copyGameFolder(const QString& from, const QString& to)
{
    const QDir source(from);
    QDirIterator it(source.absolutePath(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    bool ok = true;
    while (it.hasNext()) {
        const QString file = it.next();
        const QString rel = source.relativeFilePath(file);
        if (rel.startsWith(QLatin1String("tools/")))
            continue;  // the data generator's sources are not part of the game
        const QString target = QDir(to).filePath(rel);
        QDir().mkpath(QFileInfo(target).absolutePath());
        ok = QFile::copy(file, target) && ok;
    }
    return ok;
}
