// Start-up: the check of the required files, the sounds, the score table,
// the game data, the character pictures and the phrase lists, in that order.
#include "app/startup.h"

#include "app/after_title.h"

#include "app/command_line.h"
#include "app/end_signals.h"
#include "app/history_export.h"
#include "app/main_row_question.h"
#include "app/settings.h"
#include "app/standard_streams.h"
#include "app/title.h"
#include "history/play_calendar.h"
#include "history/recorder.h"
#include "platform/decode_ahead.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "platform/msgbox.h"
#include "platform/qt_japanese.h"
#include "platform/sound.h"
#include "platform/sound_player.h"
#include "platform/error_words.h"
#include "platform/system.h"
#include "platform/window_system.h"
#include "platform/zoom.h"
#include "screens/art.h"
#include "screens/forms.h"
#include "play/pace.h"
#include "play/stage_play.h"
#include "screens/practice_result.h"
#include "stage/results.h"
#include "stage/stage_setup.h"
#include "state/datafiles.h"
#include "state/module1.h"
#include "state/palette.h"

#include <QApplication>
#include <QScreen>
#include <QDir>
#include <QImageReader>
#include <array>
#include <cstdio>

namespace {
// The start-up's steps after the title's first paint wait this much more:
// the window system gets the processors to put the title on the screen
// first. Begun at once, on a machine of two cores, they held the title's
// pixels back by 1-2 ms.
constexpr int kTitleStepsDelayMs = 20;
// No sound of the game comes near this; a runaway file is refused.
constexpr qint64 kMaxSoundBytes = 64 * 1024 * 1024;

// Where each character picture is, found and its header read by Form_Load
// before the title shows; decoded once the title is painted.
struct CharacterFile {
    QString name;   // as tavo.dat gives it, for the messages
    QString path;
};
std::array<CharacterFile, kCharacterPictures> g_characterFiles;
bool g_startUpFinished = false;

QString unreadablePicture(const QImageReader& reader)
{
    return QString::fromUtf8("画像として読み込めません：%1。BMP か JPEG の画像が必要です。").arg(pictureReason(reader));
}

// The picture's file is found and its header is that of a picture: what a
// broken folder gets wrong, told before any window shows.
QString checkCharacterPicture(const QString& name)
{
    const QString path = resolveGameFile(name);
    if (path.isEmpty())
        throw DataFileError(name, QString::fromUtf8("キャラクター画像が見つかりません（tavo.dat に書かれた画像ファイル）。"));
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (!reader.size().isValid())
        throw DataFileError(name, unreadablePicture(reader));
    return path;
}

Picture loadCharacterPicture(const CharacterFile& file)
{
    QImageReader reader(file.path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        throw DataFileError(file.name, unreadablePicture(reader));
    return makePicture(QPixmap::fromImage(image));
}

// The player is told which file is wrong and how; the program ends.
void endForBrokenFile(const DataFileError& error)
{
    MessageRequest request;
    request.text = error.message();
    msgbox(request);
    endProgram(1);
}

void printTo(std::FILE* stream, const QString& text)
{
    if (!text.isEmpty()) {
        std::fputs(text.toUtf8().constData(), stream);
        std::fflush(stream);
    }
}

// The settings for this run: a choice given on the command line wins and
// is remembered; anything else comes from the settings file.
GameSettings settleSettings(const CommandLineChoices& choices)
{
    SettingsFile file = loadSettings();
    if (file.broken)
        printTo(stderr, QString::fromUtf8("quennel: 設定ファイル「%1」が読めないため、既定の設定で始めます。\n")
                            .arg(file.path));
    GameSettings settings = file.values;
    if (choices.mainRowDigits) {
        settings.mainRowDigits = *choices.mainRowDigits;
        if (!rememberMainRowDigits(file, settings.mainRowDigits))
            printTo(stderr, QString::fromUtf8("quennel: 設定ファイル「%1」に書けないため、この設定は今回だけ使います。\n")
                                .arg(file.path));
    }
    if (choices.zoom) {
        // After a first choice was written, the file is the fresh one (a
        // broken one is already kept aside and must stay so).
        if (choices.mainRowDigits)
            file = loadSettings();
        settings.zoom = *choices.zoom;
        if (!rememberZoom(file, settings.zoom))
            printTo(stderr, QString::fromUtf8("quennel: 設定ファイル「%1」に書けないため、この設定は今回だけ使います。\n")
                                .arg(file.path));
    }
    if (choices.pace) {
        if (choices.mainRowDigits || choices.zoom)
            file = loadSettings();
        settings.pace = *choices.pace;
        if (!rememberPace(file, settings.pace))
            printTo(stderr, QString::fromUtf8("quennel: 設定ファイル「%1」に書けないため、この設定は今回だけ使います。\n")
                                .arg(file.path));
    }
    if (choices.dailyGoal) {
        if (choices.mainRowDigits || choices.zoom || choices.pace)
            file = loadSettings();
        settings.dailyGoal = *choices.dailyGoal;
        if (!rememberDailyGoal(file, settings.dailyGoal))
            printTo(stderr, QString::fromUtf8("quennel: 設定ファイル「%1」に書けないため、この設定は今回だけ使います。\n")
                                .arg(file.path));
    }
    if (choices.palette) {
        if (choices.mainRowDigits || choices.zoom || choices.pace || choices.dailyGoal)
            file = loadSettings();
        settings.palette = *choices.palette;
        if (!rememberPalette(file, settings.palette))
            printTo(stderr, QString::fromUtf8("quennel: 設定ファイル「%1」に書けないため、この設定は今回だけ使います。\n")
                                .arg(file.path));
    }
    return settings;
}
}  // namespace

bool Title::file_c()
{
    for (const SoundFile& sound : kSoundFiles)
        Module1.RequiredFiles[soundIndex(sound.sound)] = QString::fromLatin1(sound.file);
    Module1.RequiredFiles[kSoundCount] = QString::fromLatin1(kScoreFileName);
    Module1.RequiredFiles[kSoundCount + 1] = QString::fromLatin1(kGameDataFileName);
    // Every file is checked; one message however many are missing.
    int missing = 0;
    for (int i = 0; i < kRequiredFileCount; ++i) {
        if (!isNormalFile(Module1.RequiredFiles[i]))
            missing = 1;
    }
    if (missing == 1) {
        MessageRequest request;
        request.text = QString::fromUtf8("必須ファイルが見つかりません。\r\n本体のダウンロードをやりなおしてください。");
        msgbox(request);
        endProgram(1);
        return false;
    }
    return true;
}

void Title::s_load()
{
    for (const SoundFile& sound : kSoundFiles)
        loadSound(sound.sound, readGameFile(Module1.RequiredFiles[soundIndex(sound.sound)], kMaxSoundBytes));
}

bool Title::Form_Load()
{
    if (!file_c())
        return false;
    try {
        s_load();
        Module1.HighScores = readScoreFile();

        const GameData gameData = readGameDataFile();
        applyCaption(gameData.caption);
        for (int s = 1; s <= kStageCount; ++s) {
            Module1.StageTitle[s] = gameData.stageTitle[s];
            Module1.StageKeyRange[s] = gameData.stageKeyRange[s];
            Module1.StageGaugeStep[s] = gameData.stageGaugeStep[s];
            Module1.StageQuota[s] = gameData.stageQuota[s];
        }
        for (int i = 0; i < kCharacterPictures; ++i)
            g_characterFiles[i] = {gameData.pictureFiles[i], checkCharacterPicture(gameData.pictureFiles[i])};

        Module1.PhraseCount = static_cast<int>(gameData.phrases.size());
        Module1.PhraseTotal = Module1.PhraseCount;
        Module1.PhraseDeck.assign(1, QString());
        Module1.PhraseList.assign(1, QString());
        for (const QString& phrase : gameData.phrases) {
            Module1.PhraseDeck.push_back(phrase);
            Module1.PhraseList.push_back(phrase);
        }
    } catch (const DataFileError& error) {
        endForBrokenFile(error);
        return false;
    }
    for (int s = 1; s <= kStageCount; ++s)
        Module1.StageTimeLimit[s] = kStageTimeLimitTens;
    return true;
}

QStringList startUpPictures(bool plainArt)
{
    if (plainArt)
        return {artPath(QString::fromLatin1(art::kTitle))};
    return {};
}

bool showTitle()
{
    // プレイ記録 and the practice result start practice stages through it.
    setPracticeStarter([](QWidget* from, const PracticeDrill& drill) { titleScreen->practice(from, drill); });
    setGameStarter([](QWidget* from, int slotBase) { titleScreen->startGame(from, slotBase); });
    g_startUpFinished = false;
    wireTitleScreen(*form1);
    if (!titleScreen->Form_Load())
        return false;
    form1->show();
    return true;
}

bool finishStartUp()
{
    if (g_startUpFinished)
        return true;
    createOtherWindows();
    wirePlayScreen(*form3);
    wireResultsScreen(*form4);
    try {
        for (int i = 0; i < kCharacterPictures; ++i)
            form7->Picture1(i)->picture = loadCharacterPicture(g_characterFiles[i]);
    } catch (const DataFileError& error) {
        // Sound when the title was shown, gone or broken since: told over
        // the title.
        endForBrokenFile(error);
        return false;
    }
    g_startUpFinished = true;
    return true;
}

namespace {
// --export-history and --export-keys: the history of the game folder as
// CSV, without a window.
int exportHistory(int& argc, char** argv, const CommandLineChoices& choices)
{
    if (!choices.gameDir.isEmpty() && !QDir::setCurrent(choices.gameDir)) {
        printTo(stderr, QString::fromUtf8("quennel: ゲームフォルダ「%1」に入れません。\n").arg(choices.gameDir));
        return 2;
    }
    QCoreApplication app(argc, argv);  // Qt SQL finds its driver through it
    const QString dbPath = QDir::current().absoluteFilePath(QString::fromLatin1(kHistoryFileName));
    return choices.exportKeys.isEmpty() ? runHistoryExport(dbPath, choices.exportHistory)
                                        : runKeysExport(dbPath, choices.exportKeys);
}
}  // namespace

int runQuennel(int& argc, char** argv)
{
    holdClosedStandardStreams();
    // Read before Qt starts: help, the version and mistakes need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineResult line = readCommandLine(arguments);
    printTo(stdout, line.output);
    printTo(stderr, line.errors);
    if (!line.run)
        return line.exitCode;

    if (!line.choices.exportHistory.isEmpty() || !line.choices.exportKeys.isEmpty())
        return exportHistory(argc, argv, line.choices);

    const GameSettings settings = settleSettings(line.choices);
    setMainRowDigits(settings.mainRowDigits);
    setMainRowQuestionAnswered(settings.mainRowQuestionAnswered);
    setPaceShown(settings.pace);
    setDailyGoal(settings.dailyGoal);
    // Before any window is built: the screens take their colours from it.
    setPalette(settings.palette);
    // The game reads and writes its files in the working directory.
    if (!line.choices.gameDir.isEmpty() && !QDir::setCurrent(line.choices.gameDir)) {
        printTo(stderr, QString::fromUtf8("quennel: ゲームフォルダ「%1」に入れません。\n").arg(line.choices.gameDir));
        return 2;
    }

    // Qt takes its scale as the application starts.
    applyZoom(settings.zoom);
    chooseWindowSystem(arguments);
    QApplication app(argc, argv);
    return runGame(app);
}

int runGame(QApplication& app)
{
    // The only ways out are the quit question and a failed start-up.
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(programIcon());
    // A logout, a shutdown or Ctrl+C ends the game as its close box does.
    endGameOnSignals(&app);
    installQtJapanese(app);
    // The run's sounds; every screen reaches them through s_play.
    SoundPlayer sounds;
    setSoundSink(&sounds);
    struct SinkGone {
        ~SinkGone() { setSoundSink(nullptr); }
    } sinkGone;
    // Only the title is made before it shows: its first paint then comes
    // as soon as a Qt program's can.
    createTitleWindow();
    // The title's artwork decoded beside its start-up and its showing; begun
    // once its window is made, whose pictures' headers would otherwise wait
    // while this thread loads the picture decoders.
    const qreal ratio = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->devicePixelRatio() : 1;
    DecodeAhead ahead([plain = qRound(ratio) < 2] { return startUpPictures(plain); });
    setDecodeAhead(&ahead);
    struct AheadGone {
        ~AheadGone() { setDecodeAhead(nullptr); }
    } aheadGone;
    if (!showTitle())
        return 1;
    // The title needs neither sound nor the other screens. Once it is painted
    // come the other windows with the character pictures, the audio device
    // (whose start-up waits for a D-Bus session to be looked for), the play
    // screen made ready and the sounds decoded, so neither the first key nor
    // the first play screen waits for them. A key on the title before then
    // finishes the start-up itself. The device comes early: every key of the
    // title plays a sound.
    std::vector<StartupStep> steps = {[] { finishStartUp(); }, [&ahead] { ahead.forget(); },
                                      [&sounds] { sounds.openDevice(); },
                                      [] { form3->prepareFirstShow(); },
                                      [] { drawFirstStageAhead(); }};
    for (const SoundFile& sound : kSoundFiles)
        steps.push_back([which = sound.sound] { preloadSound(which); });
    // The history's whole-file check runs beside the title, not at the
    // first game's start.
    steps.push_back([] { gameHistory().checkAhead(); });
    // From here a lost display writes what is held back before Qt ends the
    // program.
    steps.push_back([] { endGameOnLostDisplay(); });
    runAfterFirstPaint(form1, std::move(steps), kTitleStepsDelayMs);
    // Leaving the event loop writes what is held back while Qt is whole.
    const int status = app.exec();
    endGameNow(status);
    return status;
}
