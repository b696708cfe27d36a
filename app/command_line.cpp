#include "app/command_line.h"

#include "app/settings.h"
#include "history/play_calendar.h"
#include "platform/zoom.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTranslator>

#ifndef QUENNEL_VERSION
#error "QUENNEL_VERSION is set by the build"
#endif
const char* const kProgramVersion = QUENNEL_VERSION;

namespace {
constexpr int kUsageError = 2;

// Options that QApplication itself takes; accepted here so that they reach
// it, and kept out of the help.
const char* const kQtValueOptions[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle", "session", "display", "geometry", "style", "stylesheet",
    "qmljsdebugger",
};
const char* const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// The command line speaks the player's language: Japanese under a Japanese
// locale (the catalogue compiled from translations/quennel_ja.ts), English,
// the texts written here, otherwise. It is read before QApplication
// exists, so the catalogue is asked directly rather than through tr().
constexpr const char* kContext = "CommandLine";

// The messages' locale as POSIX picks it (LC_ALL, LC_MESSAGES, LANG, the
// first one set), with GNU's LANGUAGE list before it unless that is "C".
bool localeIsJapanese()
{
    QString locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = qEnvironmentVariable(name);
        if (!locale.isEmpty())
            break;
    }
    if (locale.isEmpty() || locale == QLatin1String("C") || locale.startsWith(QLatin1String("C.")) ||
        locale == QLatin1String("POSIX"))
        return false;
    const QString language = qEnvironmentVariable("LANGUAGE").section(u':', 0, 0);
    return (language.isEmpty() ? locale : language).startsWith(QLatin1String("ja"));
}

class Texts {
public:
    Texts()
    {
        if (localeIsJapanese())
            (void)translator_.load(QStringLiteral(":/i18n/quennel_ja.qm"));
    }
    QString operator()(const char* source) const
    {
        const QString translated = translator_.translate(kContext, source);
        return translated.isEmpty() ? QString::fromUtf8(source) : translated;
    }

private:
    QTranslator translator_;
};

struct Options {
    explicit Options(const Texts& t)
        : help{{QStringLiteral("h"), QStringLiteral("help")}, t(QT_TRANSLATE_NOOP("CommandLine", "Shows this help and exits."))},
          version{{QStringLiteral("v"), QStringLiteral("version")}, t(QT_TRANSLATE_NOOP("CommandLine", "Shows the version and exits."))},
          gameDir{QStringLiteral("game-dir"),
                  t(QT_TRANSLATE_NOOP("CommandLine", "The game folder (the folder with tavo.dat,\n"
                         "tavo_s.dat, wav and chara). The working\n"
                         "directory by default.")),
                  QStringLiteral("DIR")},
          mainRowDigits{QStringLiteral("main-row-digits"),
                        t(QT_TRANSLATE_NOOP("CommandLine", "The digits above the letters count as keypad\n"
                               "digits (for keyboards without a keypad).\n"
                               "Later starts keep this choice."))},
          keypadOnly{QStringLiteral("keypad-only"),
                     t(QT_TRANSLATE_NOOP("CommandLine", "Only the keypad counts (the default).\n"
                            "Later starts keep this choice."))},
          zoom{QStringLiteral("zoom"),
               t(QT_TRANSLATE_NOOP("CommandLine", "Shows every screen N times as large (N is 1\n"
                      "to 4). Later starts keep this choice. Without\n"
                      "it the desktop's scaling is followed.")),
               QStringLiteral("N")},
          pace{QStringLiteral("pace"),
               t(QT_TRANSLATE_NOOP("CommandLine", "Shows during a stage how far ahead of or behind\n"
                      "the stage best's run you are (the default).\n"
                      "Later starts keep this choice."))},
          noPace{QStringLiteral("no-pace"),
                 t(QT_TRANSLATE_NOOP("CommandLine", "Hides the pace against the stage best.\n"
                        "Later starts keep this choice."))},
          dailyGoal{QStringLiteral("daily-goal"),
                    t(QT_TRANSLATE_NOOP("CommandLine", "Minutes of play a day to aim for (0 to 120,\n"
                           "10 by default): the title shows today's\n"
                           "minutes against it and the days in a row\n"
                           "played. 0 hides it. Later starts keep this\n"
                           "choice.")),
                    QStringLiteral("MINUTES")},
          palette{QStringLiteral("palette"),
                  t(QT_TRANSLATE_NOOP("CommandLine", "The colours: standard (the default) or safe,\n"
                         "whose grid rows, target frame, charts and\n"
                         "marks stay apart for red-green and\n"
                         "blue-yellow colour blindness. Later starts\n"
                         "keep this choice.")),
                  QStringLiteral("NAME")},
          exportHistory{QStringLiteral("export-history"),
                        t(QT_TRANSLATE_NOOP("CommandLine", "Writes the play history (history.sqlite) as\n"
                               "CSV, one row per stage played, to FILE.csv\n"
                               "and exits. - is standard output.")),
                        QStringLiteral("FILE.csv")},
          exportKeys{QStringLiteral("export-keys"),
                     t(QT_TRANSLATE_NOOP("CommandLine", "Writes every key struck as CSV, one row per\n"
                            "key, to FILE.csv and exits. - is standard\n"
                            "output.")),
                     QStringLiteral("FILE.csv")}
    {
    }
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption gameDir;
    QCommandLineOption mainRowDigits;
    QCommandLineOption keypadOnly;
    QCommandLineOption zoom;
    QCommandLineOption pace;
    QCommandLineOption noPace;
    QCommandLineOption dailyGoal;
    QCommandLineOption palette;
    QCommandLineOption exportHistory;
    QCommandLineOption exportKeys;
};

void addOptions(QCommandLineParser& parser, const Options& o, const Texts& t)
{
    parser.setApplicationDescription(
        t(QT_TRANSLATE_NOOP("CommandLine", "Quennel: a reaction game of striking digits fast on the numeric keypad.\n"
               "It plays with tavo.dat, wav and chara of the game folder and keeps the\n"
               "best scores in tavo_s.dat. Remembered choices live in Qt's settings\n"
               "file (%1).")).arg(settingsFilePath()));
    // "-platform" and the like are single-dash words.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(o.help);
    parser.addOption(o.version);
    parser.addOption(o.gameDir);
    parser.addOption(o.mainRowDigits);
    parser.addOption(o.keypadOnly);
    parser.addOption(o.zoom);
    parser.addOption(o.pace);
    parser.addOption(o.noPace);
    parser.addOption(o.dailyGoal);
    parser.addOption(o.palette);
    parser.addOption(o.exportHistory);
    parser.addOption(o.exportKeys);
    for (const char* name : kQtValueOptions) {
        QCommandLineOption qt(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    for (const char* name : kQtFlagOptions) {
        QCommandLineOption qt(QString::fromLatin1(name));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
}

QString programName(const QStringList& arguments)
{
    const QString name = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).fileName();
    return name.isEmpty() ? QStringLiteral("quennel") : name;
}

CommandLineResult usageError(const QStringList& arguments, const QString& what, const Texts& t)
{
    CommandLineResult result;
    result.exitCode = kUsageError;
    const QString name = programName(arguments);
    result.errors = name + QStringLiteral(": ") + what + u'\n' +
                    t(QT_TRANSLATE_NOOP("CommandLine", "Run \"%1 --help\" to see how to use it.\n")).arg(name);
    return result;
}
}  // namespace

CommandLineResult readCommandLine(const QStringList& arguments)
{
    const Texts t;
    const auto usageError = [&](const QString& what) { return ::usageError(arguments, what, t); };
    QCommandLineParser parser;
    const Options o(t);
    addOptions(parser, o, t);
    const bool parsed = parser.parse(arguments);

    // Asking for help or the version is answered even beside a mistake.
    if (parser.isSet(o.help)) {
        CommandLineResult result;
        // Qt names the program in the usage line only once QApplication
        // exists; it does not yet.
        // Its heading of the options is Qt's own text, also untranslated yet.
        QString help = parser.helpText();
        help.replace(QStringLiteral("\nOptions:\n"),
                     u'\n' + t(QT_TRANSLATE_NOOP("CommandLine", "Options:")) + u'\n');
        result.output = t(QT_TRANSLATE_NOOP("CommandLine", "Usage: %1 [options]")).arg(programName(arguments)) +
                        help.mid(help.indexOf(u'\n'));
        return result;
    }
    if (parser.isSet(o.version)) {
        CommandLineResult result;
        result.output = t(QT_TRANSLATE_NOOP("CommandLine", "Quennel (quennel) %1\n")).arg(QString::fromLatin1(kProgramVersion));
        return result;
    }

    if (!parsed) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString first = parser.unknownOptionNames().first();
            const QString dashes = first.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "Unknown option \"%1%2\".")).arg(dashes, first));
        }
        // A value left out ("--game-dir" at the end), or one given to an
        // option that takes none; the parser names the option in quotes.
        const QString error = parser.errorText();
        static const QRegularExpression quoted(QStringLiteral("'([^']*)'"));
        const QString option = quoted.match(error).captured(1);
        if (error.startsWith(QLatin1String("Missing value")))
            return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "%1 needs a value.")).arg(option));
        if (error.startsWith(QLatin1String("Unexpected value")))
            return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "%1 takes no value.")).arg(option));
        return usageError(error);
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "Unexpected argument \"%1\". Options begin with \"--\"."))
                              .arg(parser.positionalArguments().first()));

    CommandLineResult result;
    if (parser.isSet(o.mainRowDigits) && parser.isSet(o.keypadOnly))
        return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "--main-row-digits and --keypad-only cannot be used together.")));
    if (parser.isSet(o.mainRowDigits))
        result.choices.mainRowDigits = true;
    if (parser.isSet(o.keypadOnly))
        result.choices.mainRowDigits = false;
    if (parser.isSet(o.pace) && parser.isSet(o.noPace))
        return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "--pace and --no-pace cannot be used together.")));
    if (parser.isSet(o.pace) || parser.isSet(o.noPace))
        result.choices.pace = parser.isSet(o.pace);

    if (parser.isSet(o.zoom)) {
        const QString value = parser.value(o.zoom);
        const std::optional<int> zoom = parseZoom(value);
        if (!zoom)
            return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "--zoom cannot be \"%1\": give a whole number from %2 to %3."))
                                  .arg(value).arg(kMinZoom).arg(kMaxZoom));
        result.choices.zoom = zoom;
    }

    if (parser.isSet(o.dailyGoal)) {
        const QString value = parser.value(o.dailyGoal);
        const std::optional<int> goal = parseDailyGoal(value);
        if (!goal)
            return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "--daily-goal cannot be \"%1\": give a whole number of minutes from 0 to %2."))
                                  .arg(value).arg(kMaxDailyGoal));
        result.choices.dailyGoal = goal;
    }

    if (parser.isSet(o.palette)) {
        const QString value = parser.value(o.palette);
        const std::optional<PaletteName> name = parsePaletteName(value);
        if (!name)
            return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "--palette cannot be \"%1\": give standard or safe."))
                                  .arg(value));
        result.choices.palette = name;
    }

    if (parser.isSet(o.gameDir)) {
        const QString dir = parser.value(o.gameDir);
        if (dir.isEmpty())
            return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "--game-dir names no folder.")));
        if (!QFileInfo(dir).isDir())
            return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "The folder \"%1\" of --game-dir does not exist.")).arg(dir));
        result.choices.gameDir = dir;
    }

    if (parser.isSet(o.exportHistory)) {
        const QString target = parser.value(o.exportHistory);
        if (target.isEmpty())
            return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "--export-history names no file to write.")));
        // Named from where the command was given, before the game folder is entered.
        result.choices.exportHistory = target == QLatin1String("-") ? target : QFileInfo(target).absoluteFilePath();
    }
    if (parser.isSet(o.exportKeys)) {
        const QString target = parser.value(o.exportKeys);
        if (target.isEmpty())
            return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "--export-keys names no file to write.")));
        if (parser.isSet(o.exportHistory))
            return usageError(t(QT_TRANSLATE_NOOP("CommandLine", "--export-history and --export-keys cannot be given together.")));
        result.choices.exportKeys = target == QLatin1String("-") ? target : QFileInfo(target).absoluteFilePath();
    }

    result.run = true;
    return result;
}
