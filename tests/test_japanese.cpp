// Japanese all through: Qt's own buttons from its Japanese catalogue, and the
// common system reasons in our own wording inside messages that name the file.
#include "support/game_fixture.h"

#include "platform/msgbox.h"
#include "platform/qt_japanese.h"
#include "platform/error_words.h"
#include "screens/score_saving.h"
#include "state/datafiles.h"
#include "state/module1.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <cerrno>
#include <csignal>
#include <sys/resource.h>

namespace {

// An English sentence of the system's, such as "No space left on device".
bool hasEnglishWords(const QString& text)
{
    return text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3,} [A-Za-z]{2,}")));
}

}  // namespace

class JapaneseTest : public QObject {
    Q_OBJECT

private slots:
    // The common reasons get our wording whether Qt gave them in English or
    // in its own Japanese; anything else is passed on as given.
    void commonReasonsWordedOurWay()
    {
        QFile full(QStringLiteral("/dev/full"));
        QVERIFY(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QCOMPARE(full.write("12\r\n"), qint64(-1));
        const QString noSpace = fileReason(full);
        QCOMPARE(noSpace, japaneseReason(ENOSPC));
        QVERIFY2(!hasEnglishWords(noSpace), qPrintable(noSpace));

        // Qt's English texts first, then Qt's Japanese ones once its catalogue is in.
        for (bool withCatalogue : {false, true}) {
            if (withCatalogue)
                QVERIFY2(installQtJapanese(*qApp), "qtbase_ja.qm of qt6-translations-l10n");
            for (int error : {ENOSPC, EACCES, EROFS, EISDIR}) {
                const QString worded = japaneseReason(qt_error_string(error));
                QVERIFY2(!hasEnglishWords(worded) && worded != qt_error_string(error) && !worded.isEmpty(),
                         qPrintable(worded));
                QCOMPARE(worded, japaneseReason(error));
            }
        }
        const QString readOnlyEnglish = QStringLiteral("Existing file /tmp/x/tavo_s.dat is not writable");
        const QString readOnlyQt =
            QCoreApplication::translate("QSaveFile", "Existing file %1 is not writable").arg(QStringLiteral("/tmp/x/tavo_s.dat"));
        QCOMPARE(japaneseReason(readOnlyEnglish), japaneseReason(readOnlyQt));
        QVERIFY(!hasEnglishWords(japaneseReason(readOnlyEnglish)));
        QVERIFY(!notRegularFileReason().isEmpty());
        // A reason we have no words for stays as the system gave it.
        QCOMPARE(japaneseReason(QStringLiteral("Something odd")), QStringLiteral("Something odd"));
    }

    // The quit question's standard buttons read in Japanese once start-up has
    // loaded Qt's catalogue; the buttons are Qt's own, not texts of ours.
    void standardButtonsInJapanese()
    {
        QVERIFY2(installQtJapanese(*qApp), "qtbase_ja.qm of qt6-translations-l10n");
        QStringList texts;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton* b : box->buttons())
                texts << b->text();
            box->button(QMessageBox::Cancel)->click();
        });
        MessageRequest quit;
        quit.text = QString::fromUtf8("クェネルを終了します。");
        quit.buttons = MsgButtons::OKCancel;
        quit.cancelIsDefault = true;
        QCOMPARE(showRealMessageBox(quit), MsgResult::Cancel);
        texts.sort();
        QCOMPARE(texts, (QStringList{QStringLiteral("OK"), QString::fromUtf8("キャンセル")}));
    }

    // A score save that the system refuses names the file and the reason in
    // Japanese, and the old table stays.
    void failedSaveNamesFileInJapanese()
    {
        GameFixture fx;
        fx.writeFolder();
        const QByteArray old = fx.readFile(QStringLiteral("tavo_s.dat"));
        Module1.HighScores.fill(123456);
        // Root ignores permissions but not the file-size limit.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = saved;
        tight.rlim_cur = 8;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
        saveHighScores();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(int(fx.messages.size()), 1);
        const QString text = fx.messages.front().text;
        QVERIFY2(text.contains(QStringLiteral("tavo_s.dat")), qPrintable(text));
        QVERIFY2(!hasEnglishWords(text), qPrintable(text));
        QCOMPARE(fx.readFile(QStringLiteral("tavo_s.dat")), old);
    }

    // A character picture that cannot be decoded stops start-up with its
    // name and a Japanese reason.
    void undecodablePictureNamedInJapanese()
    {
        GameFixture fx;
        fx.writeFolder();
        fx.writeFile(QStringLiteral("chara/c4.bmp"), QByteArray("BM this is not a picture at all"));
        QVERIFY(!fx.startUp());
        QCOMPARE(int(fx.messages.size()), 1);
        const QString text = fx.messages.front().text;
        QVERIFY2(text.contains(QStringLiteral("c4.bmp")), qPrintable(text));
        QVERIFY2(!hasEnglishWords(text), qPrintable(text));
    }
};

QTEST_MAIN(JapaneseTest)
#include "test_japanese.moc"
