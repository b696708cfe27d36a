// The game data file tavo.dat, the score file tavo_s.dat and the lookup of
// game file names in the working directory.
#include "platform/files.h"
#include "platform/msgbox.h"
#include "screens/score_saving.h"
#include "state/datafiles.h"
#include "state/module1.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// A fresh, empty game folder as the working directory for one test.
class GameFolder {
public:
    GameFolder() : old_(QDir::currentPath())
    {
        QVERIFY(tmp_.isValid());
        QVERIFY(QDir(tmp_.path()).mkdir(QStringLiteral("game")));
        QVERIFY(QDir::setCurrent(tmp_.filePath(QStringLiteral("game"))));
    }
    ~GameFolder() { QDir::setCurrent(old_); }
    QString outside() const { return tmp_.path(); }

private:
    QString old_;
    QTemporaryDir tmp_;
};

QByteArray sjis(const QString& text)
{
    QStringEncoder encoder("Shift_JIS");
    return encoder.encode(text);
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

// The values of a complete tavo.dat, in file order.
QStringList sampleValues(int phrases = 20)
{
    QStringList v;
    v << QStringLiteral("クェネル") << QStringLiteral("ステージ名")
      << QStringLiteral("はじまりの森") << QStringLiteral("二面") << QStringLiteral("三面")
      << QStringLiteral("四面") << QStringLiteral("最終面");
    v << QStringLiteral("キー") << "3" << "5" << "7" << "9" << "9";
    v << QStringLiteral("ゲージ") << "1" << "1" << "0.5" << "0.5" << "1";
    v << QStringLiteral("ノルマ") << "50" << "80" << "100" << "120" << "150";
    v << QStringLiteral("画像");
    for (int i = 0; i < kCharacterPictures; ++i)
        v << QStringLiteral("chara\\S%1_%2.BMP").arg(i / 3 + 1).arg(i % 3);
    v << QString::number(phrases);
    for (int i = 1; i <= phrases; ++i)
        v << QStringLiteral("セリフ%1です").arg(i);
    return v;
}

constexpr int kTitle1 = 2, kKey1 = 8, kStep1 = 14, kQuota1 = 20, kCount = 41;

bool sameData(const GameData& a, const GameData& b)
{
    return a.caption == b.caption && a.stageTitle == b.stageTitle && a.stageKeyRange == b.stageKeyRange
        && a.stageGaugeStep == b.stageGaugeStep && a.stageQuota == b.stageQuota
        && a.pictureFiles == b.pictureFiles && a.phrases == b.phrases;
}

QString errorOf(const QByteArray& bytes)
{
    try {
        parseGameData(bytes);
    } catch (const DataFileError& e) {
        return e.message();
    }
    return QString();
}

QString scoreErrorOf(const QByteArray& bytes)
{
    try {
        parseScores(bytes);
    } catch (const DataFileError& e) {
        return e.message();
    }
    return QString();
}

QByteArray twelveScores(const char* lineEnd = "\r\n")
{
    QByteArray out;
    for (int i = 0; i < 12; ++i)
        out += QByteArray::number(i * 37) + lineEnd;
    return out;
}

}  // namespace

class TestDataFiles : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        setMessageBoxHandler(nullptr);
        resetModule1();
    }

    void gameDataReadsEveryField()
    {
        // Values are read strictly in file order into the right places.
        const GameData d = parseGameData(sjis(sampleValues().join(QStringLiteral("\r\n"))));
        QCOMPARE(d.caption, QStringLiteral("クェネル"));
        QCOMPARE(d.stageTitle[1], QStringLiteral("はじまりの森"));
        QCOMPARE(d.stageTitle[5], QStringLiteral("最終面"));
        QCOMPARE(d.stageKeyRange[1], 3);
        QCOMPARE(d.stageKeyRange[5], 9);
        QCOMPARE(d.stageGaugeStep[3], 0.5);
        QCOMPARE(d.stageQuota[1], 50);
        QCOMPARE(d.stageQuota[5], 150);
        QCOMPARE(d.pictureFiles[0], QStringLiteral("chara\\S1_0.BMP"));
        QCOMPARE(d.pictureFiles[14], QStringLiteral("chara\\S5_2.BMP"));
        QCOMPARE(int(d.phrases.size()), 20);
        QCOMPARE(d.phrases.front(), QStringLiteral("セリフ1です"));
        QCOMPARE(d.phrases.back(), QStringLiteral("セリフ20です"));
    }

    void gameDataLayoutDoesNotMatter()
    {
        // All values on one comma-separated line read the same as one value per line (any line end, blank lines skipped).
        const QStringList v = sampleValues();
        const GameData perLine = parseGameData(sjis(v.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
        const GameData oneLine = parseGameData(sjis(v.join(u',')));
        const GameData bareLf = parseGameData(sjis(v.join(u'\n')));
        const GameData bareCr = parseGameData(sjis(v.join(u'\r')));
        const GameData blankLines = parseGameData(sjis(v.join(QStringLiteral(" ,\r\n\r\n  \r\n"))));
        QVERIFY(sameData(perLine, oneLine));
        QVERIFY(sameData(perLine, bareLf));
        QVERIFY(sameData(perLine, bareCr));
        QVERIFY(sameData(perLine, blankLines));
    }

    void quotedAndUnquotedValues()
    {
        // Quoted values keep commas and blanks; unquoted ones are trimmed; a bare number is text where text is read;
        // two commas in a row make an empty value; an unclosed quote ends at its line end.
        QStringList v = sampleValues();
        v[0] = QStringLiteral("\" クェネル, 改 \"");
        v[kTitle1] = QStringLiteral(" \t1 ");
        v[kTitle1 + 1] = QStringLiteral("1.0");
        v[kTitle1 + 2] = QStringLiteral("\"三面\" ignored");
        v[kTitle1 + 4] = QString();
        v[kKey1] = QStringLiteral("  4\t");
        v[kQuota1] = QStringLiteral("\"60\"");
        v[kCount + 1] = QStringLiteral("\"a, \"\"b\"");
        v[kCount + 2] = QStringLiteral("  空白  あり  ");
        const GameData d = parseGameData(sjis(v.join(u',')));
        QCOMPARE(d.caption, QStringLiteral(" クェネル, 改 "));
        QCOMPARE(d.stageTitle[1], QStringLiteral("1"));
        QCOMPARE(d.stageTitle[2], QStringLiteral("1.0"));
        QCOMPARE(d.stageTitle[3], QStringLiteral("三面"));
        QCOMPARE(d.stageTitle[4], QStringLiteral("四面"));
        QCOMPARE(d.stageTitle[5], QString());
        QCOMPARE(d.stageKeyRange[1], 4);
        QCOMPARE(d.stageQuota[1], 60);
        QCOMPARE(d.phrases[0], QStringLiteral("a, "));
        QCOMPARE(d.phrases[1], QStringLiteral("空白  あり"));
        QCOMPARE(d.phrases[2], QStringLiteral("セリフ3です"));

        v = sampleValues();
        v[kCount + 1] = QStringLiteral("\"閉じない, 引用");
        const GameData open = parseGameData(sjis(v.join(QStringLiteral("\r\n"))));
        QCOMPARE(open.phrases[0], QStringLiteral("閉じない, 引用"));
        QCOMPARE(open.phrases[1], QStringLiteral("セリフ2です"));
    }

    void phraseCountBoundsTheRead()
    {
        // Values after the N phrases are ignored, and N = 0 gives no phrases.
        QStringList v = sampleValues(2);
        v << QStringLiteral("余り") << QStringLiteral("abc");
        const GameData d = parseGameData(sjis(v.join(QStringLiteral("\r\n"))));
        QCOMPARE(int(d.phrases.size()), 2);
        QCOMPARE(d.phrases[1], QStringLiteral("セリフ2です"));

        const GameData none = parseGameData(sjis(sampleValues(0).join(u',')));
        QVERIFY(none.phrases.empty());
        QCOMPARE(none.pictureFiles[14], QStringLiteral("chara\\S5_2.BMP"));
    }

    void fileEndingEarlyNamesTheMissingValue()
    {
        // A file that ends before all values are read names the value that was expected.
        QStringList v = sampleValues();
        const QString cut = errorOf(sjis(v.mid(0, kKey1 + 2).join(QStringLiteral("\r\n"))));
        QVERIFY2(cut.contains(QStringLiteral("tavo.dat")), qPrintable(cut));
        QVERIFY2(cut.contains(QStringLiteral("11 番目")), qPrintable(cut));
        QVERIFY2(cut.contains(QStringLiteral("ステージ3のキーの範囲")), qPrintable(cut));

        v = sampleValues(3).mid(0, kCount + 3);  // N = 3 but only two phrases
        const QString phrases = errorOf(sjis(v.join(QStringLiteral("\r\n"))));
        QVERIFY2(phrases.contains(QStringLiteral("3 番目のセリフ")), qPrintable(phrases));
        QVERIFY(!errorOf(QByteArray()).isEmpty());
    }

    void badNumbersRejected_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        const QString key = QStringLiteral("1 から 9");
        QTest::newRow("key text") << kKey1 + 1 << "abc" << key;
        QTest::newRow("key 0") << kKey1 + 1 << "0" << key;
        QTest::newRow("key 10") << kKey1 + 1 << "10" << key;
        QTest::newRow("key fraction") << kKey1 + 1 << "2.5" << key;
        QTest::newRow("key empty") << kKey1 + 1 << "\"\"" << key;
        QTest::newRow("step 0") << kStep1 + 1 << "0" << "0 より大きい";
        QTest::newRow("step negative") << kStep1 + 1 << "-1" << "0 より大きい";
        QTest::newRow("step nan") << kStep1 + 1 << "nan" << "0 より大きい";
        QTest::newRow("quota negative") << kQuota1 + 1 << "-5" << "0 から";
        QTest::newRow("quota huge") << kQuota1 + 1 << "1e12" << "0 から";
        QTest::newRow("count text") << kCount << "twenty" << "0 から 10000 まで";
        QTest::newRow("count beyond the bound") << kCount << "10001" << "0 から 10000 まで";
    }

    void badNumbersRejected()
    {
        // A number field that is not a number in its range is refused with a message naming file, value and need.
        QFETCH(int, index);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QStringList v = sampleValues();
        v[index] = value;
        const QString message = errorOf(sjis(v.join(QStringLiteral("\r\n"))));
        QVERIFY2(message.contains(QStringLiteral("tavo.dat")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("%1 番目").arg(index + 1)), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("%1 行目").arg(index + 1)), qPrintable(message));
        QVERIFY2(message.contains(expected), qPrintable(message));
    }

    void wholeNumberWrittenWithPointAccepted()
    {
        // A whole-number field accepts a value such as "3.0" whose value is whole, and the ends of its range.
        QStringList v = sampleValues();
        v[kKey1 + 1] = QStringLiteral("3.0");
        v[kQuota1] = QStringLiteral("0");
        v[kQuota1 + 1] = QStringLiteral("100000000");
        v[kCount] = QStringLiteral("20.0");
        const GameData d = parseGameData(sjis(v.join(u',')));
        QCOMPARE(d.stageKeyRange[1], 3);
        QCOMPARE(d.stageQuota[1], 0);
        QCOMPARE(d.stageQuota[2], 100000000);
        QCOMPARE(int(d.phrases.size()), 20);
    }

    void shiftJisDecoding()
    {
        // Japanese text is decoded from Shift-JIS; bytes that are not Shift-JIS are refused, naming the line.
        QStringList v = sampleValues();
        v[kCount + 1] = QStringLiteral("ソ表能①～ｶﾀｶﾅ");  // 0x5C second bytes and half-width kana
        const GameData d = parseGameData(sjis(v.join(QStringLiteral("\r\n"))));
        QCOMPARE(d.phrases[0], QStringLiteral("ソ表能①～ｶﾀｶﾅ"));

        QByteArray broken = sjis(v.join(QStringLiteral("\r\n")));
        const qsizetype line2End = broken.indexOf("\r\n", broken.indexOf("\r\n") + 2);
        broken.insert(line2End, QByteArray("\x81"));  // a lead byte with no trail byte
        const QString message = errorOf(broken);
        QVERIFY2(message.contains(QStringLiteral("tavo.dat")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("Shift-JIS")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("2 行目")), qPrintable(message));
    }

    void shiftJisFaultFoundFarDown()
    {
        // A broken pair is named by its line however far down it lies: after
        // many blank lines (LF or bare CR), or at the end of one very long line.
        const QByteArray broken("\x81\x20");
        for (const char* end : {"\n", "\r", "\r\n"}) {
            const QByteArray blank(end);
            const QString message = errorOf(blank.repeated(400000) + broken);
            QVERIFY2(message.contains(QStringLiteral("400001 行目")), qPrintable(message));
        }
        const QByteArray longLine = sjis(QStringLiteral("あ")).repeated(300000);
        QString message = errorOf("caption\r\n\r\n" + longLine + broken + "\r\nmore\r\n");
        QVERIFY2(message.contains(QStringLiteral("3 行目")), qPrintable(message));
        // The same bytes split across a line end are no fault of the long line.
        message = errorOf("caption\r\n" + longLine + "\r\n" + sjis(QStringLiteral("い")) + "\x81\n");
        QVERIFY2(message.contains(QStringLiteral("3 行目")), qPrintable(message));
    }

    void readGameDataFileFromFolder()
    {
        // tavo.dat is found whatever its letter case; a missing one is named in the error.
        GameFolder folder;
        QString missing;
        try {
            readGameDataFile();
        } catch (const DataFileError& e) {
            missing = e.message();
        }
        QVERIFY2(missing.contains(QStringLiteral("tavo.dat")), qPrintable(missing));
        writeBytes(QStringLiteral("TAVO.DAT"), sjis(sampleValues().join(QStringLiteral("\r\n"))));
        QCOMPARE(readGameDataFile().stageTitle[1], QStringLiteral("はじまりの森"));
    }

    void scoreFileRoundTrip()
    {
        // A score file the game wrote reads back and is written again byte for byte.
        const QByteArray bytes = twelveScores();
        const ScoreTable t = parseScores(bytes);
        QCOMPARE(t[1], 37);
        QCOMPARE(t[11], 11 * 37);
        QCOMPARE(formatScores(t), bytes);
        QCOMPARE(formatScores(parseScores(QByteArray("0\r\n").repeated(12))), QByteArray("0\r\n").repeated(12));

        GameFolder folder;
        writeBytes(QStringLiteral("tavo_s.dat"), QByteArray("0\r\n").repeated(12));
        QCOMPARE(saveScores(t).failure, QString());
        QCOMPARE(readBytes(QStringLiteral("tavo_s.dat")), bytes);
        QCOMPARE(readScoreFile(), t);
        QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("tavo_s.dat")});
    }

    void scoreFileKindLineEnds()
    {
        // LF or bare CR line ends, a missing final line end and trailing blank lines are read too.
        const ScoreTable expected = parseScores(twelveScores());
        QCOMPARE(parseScores(twelveScores("\n")), expected);
        QCOMPARE(parseScores(twelveScores("\r")), expected);
        QByteArray noFinal = twelveScores();
        noFinal.chop(2);
        QCOMPARE(parseScores(noFinal), expected);
        QCOMPARE(parseScores(twelveScores() + "\r\n\r\n"), expected);
    }

    void scoreFileTailIgnored()
    {
        // Whatever follows the twelfth number (a stray line, a Ctrl-Z end mark, blank lines) is not read.
        const ScoreTable expected = parseScores(twelveScores());
        QCOMPARE(parseScores(twelveScores() + "5\r\n"), expected);
        QCOMPARE(parseScores(twelveScores() + "not a score\r\n-3\r\n"), expected);
        QCOMPARE(parseScores(twelveScores() + "\x1A"), expected);
        QByteArray markAfterLast = twelveScores();
        markAfterLast.chop(2);
        QCOMPARE(parseScores(markAfterLast + "\x1A"), expected);
        QCOMPARE(parseScores(twelveScores() + "\r\n\r\n  \r\n\x1A\r\n"), expected);
    }

    void badScoreFilesRejected_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("mention");
        QByteArray eleven = twelveScores();
        eleven.chop(eleven.size() - eleven.lastIndexOf("\r\n", eleven.size() - 3) - 2);
        QCOMPARE(eleven.count("\r\n"), 11);
        QTest::newRow("eleven") << eleven << "11 個";
        QTest::newRow("empty") << QByteArray() << "0 個";
        QByteArray cutByEndMark = twelveScores();
        cutByEndMark.insert(cutByEndMark.lastIndexOf("\r\n", cutByEndMark.size() - 3) + 2, '\x1A');
        QTest::newRow("end mark before the twelfth") << cutByEndMark << "11 個";
        QByteArray text = twelveScores();
        text.replace("37\r\n", "abc\r\n");
        QTest::newRow("text") << text << "2 行目";
        QByteArray negative = twelveScores();
        negative.replace("74\r\n", "-74\r\n");
        QTest::newRow("negative") << negative << "3 行目";
        QByteArray huge = twelveScores();
        huge.replace("37\r\n", "214748365\r\n");
        QTest::newRow("too large") << huge << "2 行目";
        QTest::newRow("comma separated") << QByteArray("1,2,3,4,5,6,7,8,9,10,11,12\r\n") << "1 行目";
    }

    void badScoreFilesRejected()
    {
        // A score file without exactly twelve whole numbers from 0 to 214748364 is refused, naming the line or count.
        QFETCH(QByteArray, bytes);
        QFETCH(QString, mention);
        const QString message = scoreErrorOf(bytes);
        QVERIFY2(message.contains(QStringLiteral("tavo_s.dat")), qPrintable(message));
        QVERIFY2(message.contains(mention), qPrintable(message));
    }

    void scoreFileKeepsItsSpelling()
    {
        // An existing TAVO_S.DAT is replaced under its own name, not joined by a second file.
        GameFolder folder;
        writeBytes(QStringLiteral("TAVO_S.DAT"), QByteArray("0\r\n").repeated(12));
        const ScoreTable t = parseScores(twelveScores());
        QCOMPARE(saveScores(t).failure, QString());
        QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("TAVO_S.DAT")});
        QCOMPARE(readBytes(QStringLiteral("TAVO_S.DAT")), twelveScores());
        QCOMPARE(readScoreFile(), t);
    }

    void failedWriteKeepsOldFile()
    {
        // A write that fails part-way reports the reason and leaves the old table whole, with no temporary file.
        GameFolder folder;
        const QByteArray old = QByteArray("7\r\n").repeated(12);
        writeBytes(QStringLiteral("tavo_s.dat"), old);
        // Root ignores permissions but not the file-size limit: the new table
        // cannot be written beyond its first bytes.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = saved;
        tight.rlim_cur = 8;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
        const QString reason = saveScores(parseScores(twelveScores())).failure;
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!reason.isEmpty());
        QCOMPARE(readBytes(QStringLiteral("tavo_s.dat")), old);
        QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("tavo_s.dat")});
    }

    void scoreFileThatIsAFolder()
    {
        // A folder named tavo_s.dat is neither read nor replaced; writing reports why and leaves it.
        GameFolder folder;
        QVERIFY(QDir::current().mkdir(QStringLiteral("tavo_s.dat")));
        QVERIFY(!saveScores(parseScores(twelveScores())).failure.isEmpty());
        QVERIFY(QFileInfo(QStringLiteral("tavo_s.dat")).isDir());
        QString message;
        try {
            readScoreFile();
        } catch (const DataFileError& e) {
            message = e.message();
        }
        QVERIFY2(message.contains(QStringLiteral("tavo_s.dat")), qPrintable(message));
    }

    void unreadableTableIsNotWritten()
    {
        // A table the game could not read back is not written and the old file stays; the largest readable score is written.
        GameFolder folder;
        const QByteArray old = twelveScores();
        writeBytes(QStringLiteral("tavo_s.dat"), old);
        ScoreTable t{};
        t[4] = -1;
        QVERIFY(!saveScores(t).failure.isEmpty());
        t[4] = 214748365;
        QVERIFY(!saveScores(t).failure.isEmpty());
        QCOMPARE(readBytes(QStringLiteral("tavo_s.dat")), old);
        t[4] = 214748364;
        QCOMPARE(saveScores(t).failure, QString());
        ScoreTable kept = parseScores(old);
        kept[4] = 214748364;
        QCOMPARE(readScoreFile(), kept);
    }

    void saveHighScoresReportsFailureOnce()
    {
        // A failed save shows exactly one OK message naming tavo_s.dat and the game goes on; a good save shows none.
        GameFolder folder;
        QList<MessageRequest> shown;
        setMessageBoxHandler([&](const MessageRequest& r) {
            shown << r;
            return MsgResult::OK;
        });
        Module1.HighScores = parseScores(twelveScores());
        QVERIFY(QDir::current().mkdir(QStringLiteral("tavo_s.dat")));
        saveHighScores();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.contains(QStringLiteral("tavo_s.dat")), qPrintable(shown[0].text));
        QVERIFY(shown[0].text.contains(QStringLiteral("\r\n")));
        QCOMPARE(shown[0].buttons, MsgButtons::OK);
        QVERIFY(!shown[0].informationIcon);

        QVERIFY(QDir::current().rmdir(QStringLiteral("tavo_s.dat")));
        saveHighScores();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(readBytes(QStringLiteral("tavo_s.dat")), twelveScores());
    }

    void resolveGamePathMatchesCase()
    {
        // Game names match entries whatever their letter case, with '\' or '/', and the exact spelling wins.
        GameFolder folder;
        QVERIFY(QDir::current().mkpath(QStringLiteral("WAV")));
        writeBytes(QStringLiteral("WAV/HIT.WAV"), "RIFF");
        QCOMPARE(resolveGamePath(QStringLiteral("wav\\hit.wav")), QStringLiteral("WAV/HIT.WAV"));
        QCOMPARE(resolveGamePath(QStringLiteral("wav/Hit.Wav")), QStringLiteral("WAV/HIT.WAV"));
        QVERIFY(isNormalFile(QStringLiteral("wav\\hit.wav")));
        QCOMPARE(resolveGamePath(QStringLiteral("wav\\miss.wav")), QString());
        QVERIFY(!isNormalFile(QStringLiteral("wav\\miss.wav")));

        writeBytes(QStringLiteral("Pic.bmp"), "1");
        writeBytes(QStringLiteral("pic.bmp"), "2");
        QCOMPARE(resolveGamePath(QStringLiteral("pic.bmp")), QStringLiteral("pic.bmp"));
        QCOMPARE(resolveGamePath(QStringLiteral("Pic.bmp")), QStringLiteral("Pic.bmp"));
        QVERIFY(!resolveGamePath(QStringLiteral("PIC.BMP")).isEmpty());
    }

    void resolveGamePathStaysInFolder()
    {
        // Names that climb out of the game folder or are absolute are not found.
        GameFolder folder;
        writeBytes(folder.outside() + QStringLiteral("/secret.txt"), "x");
        writeBytes(QStringLiteral("here.txt"), "x");
        QVERIFY(QFile::exists(QStringLiteral("../secret.txt")));
        QCOMPARE(resolveGamePath(QStringLiteral("..\\secret.txt")), QString());
        QCOMPARE(resolveGamePath(QStringLiteral("wav/../../secret.txt")), QString());
        QCOMPARE(resolveGamePath(folder.outside() + QStringLiteral("/secret.txt")), QString());
        QCOMPARE(resolveGamePath(QStringLiteral("\\here.txt")), QString());
        QCOMPARE(resolveGamePath(QStringLiteral("C:\\here.txt")), QString());
        QCOMPARE(resolveGamePath(QString()), QString());
        QCOMPARE(resolveGamePath(QStringLiteral(".\\HERE.TXT")), QStringLiteral("here.txt"));
    }

    void folderIsNotANormalFile()
    {
        // A folder named like a required file does not count as that file, nor does a file used as a folder.
        GameFolder folder;
        QVERIFY(QDir::current().mkdir(QStringLiteral("tavo.dat")));
        QVERIFY(!isNormalFile(QStringLiteral("tavo.dat")));
        QVERIFY(!resolveGamePath(QStringLiteral("tavo.dat")).isEmpty());
        writeBytes(QStringLiteral("wav"), "not a folder");
        QVERIFY(!isNormalFile(QStringLiteral("wav\\hit.wav")));
        // A file beside the folder that differs only in case is the one found.
        writeBytes(QStringLiteral("TAVO.DAT"), "x");
        QVERIFY(isNormalFile(QStringLiteral("tavo.dat")));
        QCOMPARE(resolveGameFile(QStringLiteral("tavo.dat")), QStringLiteral("TAVO.DAT"));
    }
};

QTEST_GUILESS_MAIN(TestDataFiles)
#include "test_datafiles.moc"
