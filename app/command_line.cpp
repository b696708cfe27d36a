#include "app/command_line.h"

#include "platform/zoom.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

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

QString tr8(const char* text)
{
    return QString::fromUtf8(text);
}

struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            tr8("この使い方を表示して終わります。")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               tr8("バージョンを表示して終わります。")};
    QCommandLineOption gameDir{QStringLiteral("game-dir"),
                               tr8("ゲームフォルダ（tavo.dat、tavo_s.dat、wav、chara\n"
                                   "のあるフォルダ）。既定は今のフォルダ。"),
                               QStringLiteral("DIR")};
    QCommandLineOption mainRowDigits{QStringLiteral("main-row-digits"),
                                     tr8("英字の上の数字キーもテンキーとして数えます\n"
                                         "（テンキーのないキーボード向け）。\n"
                                         "次からもこの設定で始まります。")};
    QCommandLineOption exportHistory{QStringLiteral("export-history"),
                                     tr8("プレイ記録（history.sqlite）を1ステージ1行の CSV で\n"
                                         "FILE.csv に書き出して終わります。- は標準出力。"),
                                     QStringLiteral("FILE.csv")};
    QCommandLineOption exportKeys{QStringLiteral("export-keys"),
                                  tr8("打ったキーを1キー1行の CSV で FILE.csv に\n"
                                      "書き出して終わります。- は標準出力。"),
                                  QStringLiteral("FILE.csv")};
    QCommandLineOption keypadOnly{QStringLiteral("keypad-only"),
                                  tr8("テンキーだけを数えます（既定）。\n"
                                      "次からもこの設定で始まります。")};
    QCommandLineOption zoom{QStringLiteral("zoom"),
                            tr8("すべての画面を N 倍の大きさで表示します\n"
                                "（N は 1〜4）。次からもこの設定で始まります。\n"
                                "指定したことがなければデスクトップの拡大率に従います。"),
                            QStringLiteral("N")};
};

void addOptions(QCommandLineParser& parser, const Options& o)
{
    parser.setApplicationDescription(
        tr8("クェネル：テンキーで数字をすばやく打つ反射ゲーム。\n"
            "ゲームフォルダの tavo.dat と wav、chara で遊び、ハイスコアを tavo_s.dat に残します。\n"
            "覚えておく設定は Qt の設定ファイル（~/.config/quennel/quennel.ini）にあります。"));
    // "-platform" and the like are single-dash words.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(o.help);
    parser.addOption(o.version);
    parser.addOption(o.gameDir);
    parser.addOption(o.mainRowDigits);
    parser.addOption(o.keypadOnly);
    parser.addOption(o.zoom);
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

CommandLineResult usageError(const QStringList& arguments, const QString& what)
{
    CommandLineResult result;
    result.exitCode = kUsageError;
    const QString name = programName(arguments);
    result.errors = name + QStringLiteral(": ") + what + u'\n' +
                    tr8("使い方は「%1 --help」で表示されます。\n").arg(name);
    return result;
}
}  // namespace

CommandLineResult readCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    const Options o;
    addOptions(parser, o);
    const bool parsed = parser.parse(arguments);

    // Asking for help or the version is answered even beside a mistake.
    if (parser.isSet(o.help)) {
        CommandLineResult result;
        // Qt names the program in the usage line only once QApplication
        // exists; it does not yet.
        const QString help = parser.helpText();
        result.output = QStringLiteral("Usage: %1 [options]").arg(programName(arguments)) +
                        help.mid(help.indexOf(u'\n'));
        return result;
    }
    if (parser.isSet(o.version)) {
        CommandLineResult result;
        result.output = tr8("クェネル (quennel) %1\n").arg(QString::fromLatin1(kProgramVersion));
        return result;
    }

    if (!parsed) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString first = parser.unknownOptionNames().first();
            const QString dashes = first.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            return usageError(arguments, tr8("知らないオプション「%1%2」です。").arg(dashes, first));
        }
        // A value left out ("--game-dir" at the end), or one given to an
        // option that takes none; the parser names the option in quotes.
        const QString error = parser.errorText();
        static const QRegularExpression quoted(QStringLiteral("'([^']*)'"));
        const QString option = quoted.match(error).captured(1);
        if (error.startsWith(QLatin1String("Missing value")))
            return usageError(arguments, tr8("%1 の後に値がありません。").arg(option));
        if (error.startsWith(QLatin1String("Unexpected value")))
            return usageError(arguments, tr8("%1 は値を取りません。").arg(option));
        return usageError(arguments, error);
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(arguments, tr8("余分な引数「%1」があります。オプションは「--」で始まります。")
                                         .arg(parser.positionalArguments().first()));

    CommandLineResult result;
    if (parser.isSet(o.mainRowDigits) && parser.isSet(o.keypadOnly))
        return usageError(arguments, tr8("--main-row-digits と --keypad-only は同時には使えません。"));
    if (parser.isSet(o.mainRowDigits))
        result.choices.mainRowDigits = true;
    if (parser.isSet(o.keypadOnly))
        result.choices.mainRowDigits = false;

    if (parser.isSet(o.zoom)) {
        const QString value = parser.value(o.zoom);
        const std::optional<int> zoom = parseZoom(value);
        if (!zoom)
            return usageError(arguments, tr8("--zoom の値「%1」は使えません。%2 から %3 までの整数で指定してください。")
                                             .arg(value).arg(kMinZoom).arg(kMaxZoom));
        result.choices.zoom = zoom;
    }

    if (parser.isSet(o.gameDir)) {
        const QString dir = parser.value(o.gameDir);
        if (dir.isEmpty())
            return usageError(arguments, tr8("--game-dir にフォルダが指定されていません。"));
        if (!QFileInfo(dir).isDir())
            return usageError(arguments, tr8("--game-dir のフォルダ「%1」がありません。").arg(dir));
        result.choices.gameDir = dir;
    }

    if (parser.isSet(o.exportHistory)) {
        const QString target = parser.value(o.exportHistory);
        if (target.isEmpty())
            return usageError(arguments, tr8("--export-history に書き出し先のファイルが指定されていません。"));
        // Named from where the command was given, before the game folder is entered.
        result.choices.exportHistory = target == QLatin1String("-") ? target : QFileInfo(target).absoluteFilePath();
    }
    if (parser.isSet(o.exportKeys)) {
        const QString target = parser.value(o.exportKeys);
        if (target.isEmpty())
            return usageError(arguments, tr8("--export-keys に書き出し先のファイルが指定されていません。"));
        if (parser.isSet(o.exportHistory))
            return usageError(arguments, tr8("--export-history と --export-keys は同時には使えません。"));
        result.choices.exportKeys = target == QLatin1String("-") ? target : QFileInfo(target).absoluteFilePath();
    }

    result.run = true;
    return result;
}
