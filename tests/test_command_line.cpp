// The command line (help, version, mistakes with exit code 2, Qt's own
// options passed on) and the settings file that remembers the player's
// choices (defaults, a broken file ignored and kept).
#include "app/command_line.h"
#include "app/settings.h"
#include "support/game_fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <utility>

namespace {
CommandLineResult read(const QStringList& options)
{
    return readCommandLine(QStringList{QStringLiteral("/usr/lib/quennel/quennel")} + options);
}

// LC_ALL, LC_MESSAGES and LANG; an empty one is unset.
void setLocale(const char* all, const char* messages, const char* lang)
{
    for (const auto& [name, value] : {std::pair{"LC_ALL", all}, {"LC_MESSAGES", messages}, {"LANG", lang}}) {
        if (*value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    qunsetenv("LANGUAGE");
}

QString binary()
{
    return qEnvironmentVariable("QUENNEL_BINARY_DIR") + QStringLiteral("/quennel");
}
}  // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;

private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        // The texts below are the English ones, whatever this machine's locale.
        setLocale("C.UTF-8", "", "");
    }
    void init()
    {
        QDir(config_.path()).removeRecursively();
        QDir().mkpath(config_.path());
    }

    // --help lists every option of the player and names the settings file
    // at its real path; --version is the program's own version, not the
    // title artwork's.
    void helpAndVersionAnswerAtOnce()
    {
        for (const QString& help : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const CommandLineResult r = read({help});
            QVERIFY(!r.run);
            QCOMPARE(r.exitCode, 0);
            QVERIFY(r.errors.isEmpty());
            QVERIFY(r.output.startsWith(QStringLiteral("Usage: quennel [options]")));
            for (const char* option : {"--game-dir <DIR>", "--main-row-digits", "--keypad-only", "--zoom <N>",
                                       "--version", "--export-history <FILE.csv>", "--daily-goal <MINUTES>",
                                       "--palette <NAME>", "--export-keys <FILE.csv>"})
                QVERIFY2(r.output.contains(QLatin1String(option)), option);
            QVERIFY(!r.output.contains(QLatin1String("platform")));   // Qt's own stay hidden
            // The settings file where it really is: under $XDG_CONFIG_HOME, here the test's own.
            QVERIFY2(r.output.contains(config_.path() + QStringLiteral("/quennel/quennel.ini")), qPrintable(r.output));
        }
        const CommandLineResult v = read({QStringLiteral("--version")});
        QVERIFY(!v.run);
        QCOMPARE(v.exitCode, 0);
        QVERIFY(v.output.contains(QLatin1String(kProgramVersion)));
        QVERIFY(!v.output.contains(QLatin1String("2001.8.18")));
    }

    // Every mistake ends with exit code 2 and names what is wrong.
    void mistakesExitWithTwo()
    {
        const struct {
            QStringList args;
            const char* named;
        } cases[] = {
            {{"--zoomm"}, "--zoomm"},
            {{"-q"}, "-q"},
            {{"--game-dir"}, "--game-dir"},
            {{"--game-dir", ""}, "--game-dir"},
            {{"--game-dir", config_.path() + "/none"}, "/none"},
            {{"--export-history"}, "--export-history"},
            {{"--export-history", ""}, "--export-history"},
            {{"--keypad-only=yes"}, "--keypad-only"},
            {{"--main-row-digits", "--keypad-only"}, "--keypad-only"},
            {{"play"}, "play"},
            {{"--zoom", "5"}, "--zoom"},
            {{"--zoom=0"}, "--zoom"},
            {{"--zoom", "x"}, "\"x\""},
            {{"--zoom", "1.5"}, "1.5"},
            {{"--zoom"}, "--zoom"},
            {{"--daily-goal", "121"}, "\"121\""},
            {{"--daily-goal", "-5"}, "--daily-goal"},
            {{"--daily-goal", "ten"}, "\"ten\""},
            {{"--daily-goal"}, "--daily-goal"},
            {{"--palette", "pastel"}, "\"pastel\""},
            {{"--palette", "Safe"}, "\"Safe\""},
            {{"--palette="}, "--palette"},
            {{"--palette"}, "--palette"},
        };
        for (const auto& c : cases) {
            const CommandLineResult r = read(c.args);
            const QByteArray what = c.args.join(u' ').toUtf8();
            QVERIFY2(!r.run, what.constData());
            QCOMPARE(r.exitCode, 2);
            QVERIFY(r.output.isEmpty());
            QVERIFY2(r.errors.startsWith(QStringLiteral("quennel: ")), what.constData());
            QVERIFY2(r.errors.contains(QString::fromUtf8(c.named)), qPrintable(r.errors));
            QVERIFY(r.errors.contains(QStringLiteral("quennel --help")));
        }
    }

    // The help, the version and the mistakes are Japanese under a Japanese
    // locale and English otherwise; LC_ALL wins over LC_MESSAGES over LANG.
    void textsFollowTheLocale()
    {
        const QString japaneseHelp = QString::fromUtf8("この使い方を表示して終わります。");
        setLocale("", "", "ja_JP.UTF-8");
        QVERIFY(read({"--help"}).output.contains(japaneseHelp));
        QVERIFY(read({"--version"}).output.startsWith(QString::fromUtf8("クェネル (quennel) ")));
        QVERIFY(read({"--zoom", "9"}).errors.contains(QString::fromUtf8("1 から 4 までの整数")));
        QVERIFY(read({"--bogus"}).errors.contains(QString::fromUtf8("知らないオプション「--bogus」")));
        QVERIFY(read({"--palette", "pastel"}).errors.contains(QString::fromUtf8("「pastel」は使えません。standard か safe")));
        setLocale("", "ja_JP.UTF-8", "en_US.UTF-8");
        QVERIFY(read({"--help"}).output.contains(japaneseHelp));

        for (const char* english : {"C", "en_US.UTF-8", "de_DE.UTF-8"}) {
            setLocale(english, "ja_JP.UTF-8", "ja_JP.UTF-8");
            const CommandLineResult help = read({"--help"});
            QVERIFY2(help.output.contains(QStringLiteral("Shows this help and exits.")), english);
            QVERIFY2(!help.output.contains(japaneseHelp), english);
            QVERIFY(read({"--version"}).output.startsWith(QStringLiteral("Quennel (quennel) ")));
            QVERIFY(read({"--bogus"}).errors.contains(QStringLiteral("Unknown option \"--bogus\"")));
        }
        setLocale("C.UTF-8", "", "");
    }

    // Choices read as given; Qt's own options are left for QApplication.
    void choicesAndQtOptions()
    {
        CommandLineResult r = read({});
        QVERIFY(r.run);
        QVERIFY(!r.choices.mainRowDigits);
        QVERIFY(!r.choices.zoom);
        QVERIFY(r.choices.gameDir.isEmpty());

        r = read({"--zoom", "1"});
        QCOMPARE(r.choices.zoom, std::optional<int>(1));
        r = read({"--zoom=4", "--main-row-digits"});
        QCOMPARE(r.choices.zoom, std::optional<int>(4));

        r = read({"--main-row-digits", "--game-dir", config_.path()});
        QVERIFY(r.run);
        QCOMPARE(r.choices.mainRowDigits, std::optional<bool>(true));
        QCOMPARE(r.choices.gameDir, config_.path());

        // The export target is named from the working directory; "-" is standard output.
        r = read({"--export-history", "out.csv"});
        QVERIFY(r.run);
        QCOMPARE(r.choices.exportHistory, QDir::current().absoluteFilePath(QStringLiteral("out.csv")));
        QCOMPARE(read({"--export-history", "-"}).choices.exportHistory, QStringLiteral("-"));
        r = read({"--export-keys", "keys.csv"});
        QCOMPARE(r.choices.exportKeys, QDir::current().absoluteFilePath(QStringLiteral("keys.csv")));
        QVERIFY(r.choices.exportHistory.isEmpty());
        QCOMPARE(read({"--export-keys", "-"}).choices.exportKeys, QStringLiteral("-"));
        r = read({"--export-keys", "-", "--export-history", "-"});   // one export at a time
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.errors.contains(QStringLiteral("--export-keys")));

        r = read({"--keypad-only", "-platform", "offscreen", "-style=fusion", "-reverse"});
        QVERIFY2(r.run, qPrintable(r.errors));
        QCOMPARE(r.choices.mainRowDigits, std::optional<bool>(false));
    }

    // No file: defaults. A remembered choice reads back; an odd value or a
    // broken file counts as not there, and a new choice keeps the broken
    // file beside the fresh one.
    void settingsRememberAndSurviveBrokenFiles()
    {
        SettingsFile s = loadSettings();
        QVERIFY(!s.broken);
        QVERIFY(!s.values.mainRowDigits);
        QCOMPARE(s.path, config_.path() + QStringLiteral("/quennel/quennel.ini"));

        QVERIFY(rememberMainRowDigits(s, true));
        s = loadSettings();
        QVERIFY(s.values.mainRowDigits);
        QVERIFY(rememberMainRowDigits(s, false));
        QVERIFY(!loadSettings().values.mainRowDigits);

        auto write = [&](const QByteArray& bytes) {
            QFile f(s.path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        };
        // Each file below differs in size from the one before: Qt keeps a
        // settings file it has read and looks again only when its size or
        // time stamp (to the second) changes.
        write("[keys]\nmainRowDigits=perhaps\n");
        s = loadSettings();
        QVERIFY(!s.broken);
        QVERIFY(!s.values.mainRowDigits);

        const QByteArray broken("[keys\nmainRowDigits=true\n\xff\xfe\xfd");
        write(broken);
        s = loadSettings();
        QVERIFY(s.broken);
        QVERIFY(!s.values.mainRowDigits);
        QVERIFY(rememberMainRowDigits(s, true));
        QFile kept(s.path + QStringLiteral(".broken"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), broken);
        s = loadSettings();
        QVERIFY(!s.broken);
        QVERIFY(s.values.mainRowDigits);

        // Broken a second time: the choice is still remembered, and the
        // newer broken file is the one kept.
        const QByteArray brokenAgain("[keys\nmainRowDigits=false\n\xff\xfe");
        write(brokenAgain);
        s = loadSettings();
        QVERIFY(s.broken);
        QVERIFY(!s.values.mainRowDigits);
        QVERIFY(rememberMainRowDigits(s, false));
        QFile keptAgain(s.path + QStringLiteral(".broken"));
        QVERIFY(keptAgain.open(QIODevice::ReadOnly));
        QCOMPARE(keptAgain.readAll(), brokenAgain);
        QVERIFY(rememberMainRowDigits(loadSettings(), true));
        s = loadSettings();
        QVERIFY(!s.broken);
        QVERIFY(s.values.mainRowDigits);
    }

    // The zoom reads back as remembered; a value --zoom would refuse counts
    // as not there, and the other choices stay as they were.
    void zoomRemembered()
    {
        SettingsFile s = loadSettings();
        QCOMPARE(s.values.zoom, 0);
        QVERIFY(rememberMainRowDigits(s, true));
        QVERIFY(rememberZoom(loadSettings(), 3));
        s = loadSettings();
        QCOMPARE(s.values.zoom, 3);
        QVERIFY(s.values.mainRowDigits);
        for (const char* odd : {"7", "0", "two", "2.5", "-1", ""}) {
            QSettings raw(s.path, QSettings::IniFormat);
            raw.setValue(QStringLiteral("display/zoom"), QString::fromLatin1(odd));
            raw.sync();
            QVERIFY2(loadSettings().values.zoom == 0, odd);
            QVERIFY(loadSettings().values.mainRowDigits);
        }
    }

    // --daily-goal takes whole minutes 0 to 120 and is remembered; a stored
    // value it would refuse counts as not there (the 10-minute default).
    void dailyGoalRemembered()
    {
        QCOMPARE(read({"--daily-goal", "0"}).choices.dailyGoal, std::optional<int>(0));
        QCOMPARE(read({"--daily-goal=120"}).choices.dailyGoal, std::optional<int>(120));
        QVERIFY(!read({"--zoom", "2"}).choices.dailyGoal);
        SettingsFile s = loadSettings();
        QCOMPARE(s.values.dailyGoal, kDefaultDailyGoal);
        QVERIFY(rememberDailyGoal(s, 35));
        QVERIFY(rememberZoom(loadSettings(), 2));
        s = loadSettings();
        QCOMPARE(s.values.dailyGoal, 35);
        QCOMPARE(s.values.zoom, 2);
        for (const char* odd : {"121", "-1", "half", "7.5", ""}) {
            QSettings raw(s.path, QSettings::IniFormat);
            raw.setValue(QStringLiteral("goal/dailyMinutes"), QString::fromLatin1(odd));
            raw.sync();
            QVERIFY2(loadSettings().values.dailyGoal == kDefaultDailyGoal, odd);
        }
    }

    // --palette takes standard or safe and is remembered beside the other
    // choices; a stored name it would refuse counts as the standard one.
    void paletteRemembered()
    {
        QCOMPARE(read({"--palette", "safe"}).choices.palette, std::optional(PaletteName::Safe));
        QCOMPARE(read({"--palette=standard"}).choices.palette, std::optional(PaletteName::Standard));
        QVERIFY(!read({"--zoom", "2"}).choices.palette);
        SettingsFile s = loadSettings();
        QCOMPARE(s.values.palette, PaletteName::Standard);
        QVERIFY(rememberPalette(s, PaletteName::Safe));
        QVERIFY(rememberZoom(loadSettings(), 2));
        s = loadSettings();
        QCOMPARE(s.values.palette, PaletteName::Safe);
        QCOMPARE(s.values.zoom, 2);
        for (const char* odd : {"SAFE", "colourblind", "1", ""}) {
            QSettings raw(s.path, QSettings::IniFormat);
            raw.setValue(QStringLiteral("display/palette"), QString::fromLatin1(odd));
            raw.sync();
            QVERIFY2(loadSettings().values.palette == PaletteName::Standard, odd);
            QCOMPARE(loadSettings().values.zoom, 2);
        }
        QVERIFY(rememberPalette(loadSettings(), PaletteName::Standard));
        QCOMPARE(loadSettings().values.palette, PaletteName::Standard);
    }

    // The real program answers and refuses before Qt opens any display, and
    // a refused start leaves the score file alone.
    void programRefusesBeforeAnyWindow()
    {
        GameFixture f;
        f.writeFolder();
        const QByteArray scores = f.readFile(QStringLiteral("tavo_s.dat"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));   // no display to open

        struct Run {
            bool finished;
            int exitCode;
            QString out, err;
        };
        auto run = [&](const QStringList& args) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.setWorkingDirectory(f.path());
            p.start(binary(), args);
            const bool finished = p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit;
            return Run{finished, p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                       QString::fromUtf8(p.readAllStandardError())};
        };
        const Run help = run({"--help"});
        QVERIFY(help.finished);
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains(QStringLiteral("--main-row-digits")));
        const Run version = run({"--version"});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(version.out.contains(QLatin1String(kProgramVersion)));
        const Run zoom = run({"--zoom", "5"});
        QVERIFY(zoom.finished);
        QCOMPARE(zoom.exitCode, 2);
        QVERIFY2(zoom.err.contains(QStringLiteral("--zoom")), qPrintable(zoom.err));
        const Run wrong = run({"--main-row-digits", "--no-such-option"});
        QVERIFY(wrong.finished);
        QCOMPARE(wrong.exitCode, 2);
        QVERIFY(wrong.out.isEmpty());
        QVERIFY2(wrong.err.contains(QStringLiteral("--no-such-option")), qPrintable(wrong.err));
        QCOMPARE(f.readFile(QStringLiteral("tavo_s.dat")), scores);
        QVERIFY(!QFile::exists(config_.path() + QStringLiteral("/quennel/quennel.ini")));
    }
};

QTEST_MAIN(CommandLineTest)
#include "test_command_line.moc"
