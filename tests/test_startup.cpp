// Start-up of the game folder (required files, sounds, scores, game data,
// pictures, phrases) and the ways out of the program (Esc, keypad 3 and the
// close box, with the stand-in and with the real message box).
#include "support/game_fixture.h"

#include "app/startup.h"
#include "screens/forms.h"
#include "stage/stage_setup.h"
#include "state/module1.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QMessageBox>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString kMissingText =
    QString::fromUtf8("必須ファイルが見つかりません。\r\n本体のダウンロードをやりなおしてください。");
const QString kQuitText = QString::fromUtf8("クェネルを終了します。");

const char* const kWavNames[10] = {"hit", "miss", "one", "two", "three",
                                   "clear", "timeup", "powah", "gameover", "allclear"};

QByteArray sjis(const QString& text)
{
    QStringEncoder encoder("Shift_JIS");
    return encoder.encode(text);
}

// Every entry below the folder (hidden ones included) with its size, so a
// start-up that writes or creates anything shows up as a difference.
QStringList folderListing(const QString& root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        entries << QDir(root).relativeFilePath(it.filePath()) + QLatin1Char(':') +
                       QString::number(it.fileInfo().size());
    }
    entries.sort();
    return entries;
}

// Every value of the shared game state, as text, to tell whether anything moved.
QStringList dumpState(const RecordingSink& played)
{
    const GameState& m = Module1;
    QStringList out;
    auto add = [&](const char* name, const QString& value) { out << QLatin1String(name) + QLatin1Char('=') + value; };
    auto ints = [](const auto& array) {
        QStringList parts;
        for (const auto& v : array) parts << QString::number(v);
        return parts.join(QLatin1Char(','));
    };
    auto texts = [](const auto& array) {
        QStringList parts;
        for (const auto& v : array) parts << v;
        return parts.join(QLatin1Char('|'));
    };
    add("RequiredFiles", texts(m.RequiredFiles));
    add("StageTitle", texts(m.StageTitle));
    add("StageKeyRange", ints(m.StageKeyRange));
    add("StageGaugeStep", ints(m.StageGaugeStep));
    add("StageQuota", ints(m.StageQuota));
    add("StageTimeLimit", ints(m.StageTimeLimit));
    add("PhraseList", texts(m.PhraseList));
    add("PhraseTotal", QString::number(m.PhraseTotal));
    add("HighScores", ints(m.HighScores));
    QByteArray sounds;
    for (int i = 0; i < kSoundCount; ++i)
        sounds += played.wav(Sound(i));
    add("Sounds", QString::number(qHash(sounds)));
    add("ScoreSlotBase", QString::number(m.ScoreSlotBase));
    add("Stage", QString::number(m.Stage));
    add("GameScore", QString::number(m.GameScore));
    QStringList colours;
    for (const auto& group : m.KeyColors)
        for (const QColor& c : group) colours << c.name();
    add("KeyColors", colours.join(QLatin1Char(',')));
    add("StageScore", QString::number(m.StageScore));
    add("AnimFrame", QString::number(m.AnimFrame));
    add("KeyQueue", ints(m.KeyQueue));
    add("GaugeLevel", QString::number(m.GaugeLevel));
    add("PointsPerHit", QString::number(m.PointsPerHit));
    add("PlayActive", QString::number(m.PlayActive));
    add("PlayOver", QString::number(m.PlayOver));
    add("GaveUp", QString::number(m.GaveUp));
    add("ClockTens", QString::number(m.ClockTens));
    add("ClockUnits", QString::number(m.ClockUnits));
    add("PhraseDeck", texts(m.PhraseDeck));
    add("PhraseCount", QString::number(m.PhraseCount));
    add("CommentText", m.CommentText);
    add("CommentLines", texts(m.CommentLines));
    add("CommentCount", QString::number(m.CommentCount));
    add("LogScrollMax", QString::number(m.LogScrollMax));
    add("LogScrollPos", QString::number(m.LogScrollPos));
    return out;
}

QWidget* screenByNumber(int n)
{
    switch (n) {
    case 1: return form1;
    case 3: return form3;
    case 4: return form4;
    case 5: return form5;
    case 6: return form6;
    case 8: return form8;
    default: return nullptr;
    }
}

// What the player saw in a real message box.
struct SeenBox {
    bool seen = false;
    QString title, text;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Waits (inside the dialog's own event loop) for the modal message box,
// notes what it shows and presses Enter on it, as a player would at once.
void pressEnterOnNextBox(SeenBox* seen)
{
    auto* timer = new QTimer(qApp);
    auto* tries = new int(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, tries, seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++*tries > 500) {  // no box after 5 s: give up rather than hang
                timer->stop();
                timer->deleteLater();
                delete tries;
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        delete tries;
        seen->seen = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        for (QAbstractButton* b : box->buttons())
            seen->buttons << box->standardButton(b);
        seen->defaultButton = box->defaultButton() ? box->standardButton(box->defaultButton())
                                                   : QMessageBox::NoButton;
        seen->icon = box->icon();
        QTest::keyClick(box, Qt::Key_Return);
    });
    timer->start();
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<GameFixture> fx;

private slots:
    void initTestCase() { qApp->setQuitOnLastWindowClosed(false); }
    void init() { fx = std::make_unique<GameFixture>(); }
    void cleanup() { fx.reset(); }

    void goodFolderStarts();
    void missingRequiredFiles_data();
    void missingRequiredFiles();
    void folderNamedLikeRequiredFile_data();
    void folderNamedLikeRequiredFile();
    void upperCaseNamesAreFound();
    void picturesDecodedAheadOnceEach();
    void brokenFolderIsNamedAndNothingWritten_data();
    void brokenFolderIsNamedAndNothingWritten();
    void titleFirstKeyFinishesStartUp();
    void pictureGoneToldOverTitle();

    void quitKeysCancelKeepEverything();
    void quitKeysOkEndsProgram();
    void closeBoxAsksWithOkDefault_data();
    void closeBoxAsksWithOkDefault();
    void realDialogEnterAfterEscKeepsRunning();
    void realDialogEnterAfterCloseBoxEnds();
};

void StartupTest::goodFolderStarts()
{
    // A complete folder loads every file into the game state and shows only the title screen.
    TestGameData data;
    data.caption = QString::fromUtf8("クェネル・試験版");
    data.titles = QStringList{QString::fromUtf8("森"), "Two", QString::fromUtf8("三の面"), "4", "Last"};
    data.keyRanges = {"2", "4", "6", "8", "9"};
    data.gaugeSteps = {"0.5", "1", "1.5", "2", "3"};
    data.quotas = {"10", "20", "300", "4000", "9999"};
    data.phraseCount = 21;
    data.extraValues = QStringList{"60", "60", "60"};  // never read: no time limit comes from the file
    fx->writeFolder(data);
    const std::array<int, 12> scores{101, 2, 3, 4, 5, 6, 707, 8, 9, 10, 11, 12345};
    fx->writeFile("tavo_s.dat", formatScores(scores));

    QVERIFY(fx->startUp());
    QVERIFY(fx->messages.empty());
    QVERIFY(fx->endRequests.empty());
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
    QVERIFY(!form2->isVisible());
    QVERIFY(!form7->isVisible());

    const QWidget* windows[] = {form1, form2, form3, form4, form5, form6, form7, form8};
    for (const QWidget* w : windows)
        QCOMPARE(w->windowTitle(), data.caption);
    QCOMPARE(form2->Label1->caption(), data.caption);

    const GameState& m = Module1;
    QCOMPARE(m.HighScores, scores);
    const int keys[] = {2, 4, 6, 8, 9};
    const double steps[] = {0.5, 1, 1.5, 2, 3};
    const int quotas[] = {10, 20, 300, 4000, 9999};
    for (int s = 1; s <= 5; ++s) {
        QCOMPARE(m.StageTitle[s], data.titles[s - 1]);
        QCOMPARE(m.StageKeyRange[s], keys[s - 1]);
        QCOMPARE(m.StageGaugeStep[s], steps[s - 1]);
        QCOMPARE(m.StageQuota[s], quotas[s - 1]);
        QCOMPARE(m.StageTimeLimit[s], 3);
    }
    QCOMPARE(m.PhraseTotal, 21);
    QCOMPARE(m.PhraseCount, 21);
    QCOMPARE(int(m.PhraseList.size()), 22);
    QCOMPARE(int(m.PhraseDeck.size()), 22);
    for (int i = 1; i <= 21; ++i) {
        QCOMPARE(m.PhraseList[i], QString::fromUtf8("フレーズ%1").arg(i));
        QCOMPARE(m.PhraseDeck[i], m.PhraseList[i]);
    }

    for (int i = 0; i < 10; ++i)
        QCOMPARE(fx->sounds.wav(Sound(i)), fx->readFile(QStringLiteral("wav/%1.wav").arg(QLatin1String(kWavNames[i]))));

    // Each of the fifteen frames sits at its own index (the fixture colours picture i by its number).
    for (int i = 0; i < 15; ++i) {
        const Picture& picture = form7->Picture1(i)->picture;
        QVERIFY2(picture && !picture->isNull(), qPrintable(QString::number(i)));
        QCOMPARE(picture->size(), QSize(124, 124));
        QCOMPARE(picture->toImage().pixel(60, 60), QColor::fromHsv(i * 24, 200, 200).rgb());
    }
}

void StartupTest::missingRequiredFiles_data()
{
    QTest::addColumn<QStringList>("missing");
    for (const char* name : kWavNames)
        QTest::newRow(name) << QStringList{QStringLiteral("wav/%1.wav").arg(QLatin1String(name))};
    QTest::newRow("score file") << QStringList{"tavo_s.dat"};
    QTest::newRow("game data") << QStringList{"tavo.dat"};
    QTest::newRow("several") << QStringList{"wav/one.wav", "wav/allclear.wav", "tavo_s.dat"};
    QStringList all{"tavo_s.dat", "tavo.dat"};
    for (const char* name : kWavNames)
        all << QStringLiteral("wav/%1.wav").arg(QLatin1String(name));
    QTest::newRow("all") << all;
}

void StartupTest::missingRequiredFiles()
{
    // Missing required files give one message, OK only, no icon, and end the program before any data is read.
    QFETCH(QStringList, missing);
    fx->writeFolder();
    // A score table and a broken game data file that start-up must not get to.
    fx->writeFile("tavo_s.dat", formatScores({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    fx->writeFile("tavo.dat", QByteArray("\"caption\"\r\nbroken"));
    for (const QString& name : missing)
        QVERIFY(QFile::remove(fx->path(name)));

    QVERIFY(!fx->startUp());
    QCOMPARE(int(fx->messages.size()), 1);
    const MessageRequest& box = fx->messages.front();
    QCOMPARE(box.text, kMissingText);
    QCOMPARE(box.buttons, MsgButtons::OK);
    QVERIFY(!box.informationIcon);
    QCOMPARE(int(fx->endRequests.size()), 1);

    QVERIFY(GameFixture::visibleScreens().isEmpty());
    QVERIFY(fx->sounds.wav(Sound::SoundHit).isEmpty());
    QVERIFY(fx->sounds.wav(Sound::SoundAllClear).isEmpty());
    QCOMPARE(Module1.HighScores, (std::array<int, 12>{}));
    QVERIFY(Module1.StageTitle[1].isEmpty());
    QCOMPARE(Module1.StageTimeLimit[1], 0);
}

void StartupTest::folderNamedLikeRequiredFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("sound") << "wav/three.wav";
    QTest::newRow("score file") << "tavo_s.dat";
    QTest::newRow("game data") << "tavo.dat";
}

void StartupTest::folderNamedLikeRequiredFile()
{
    // A folder that bears a required file's name does not count as that file.
    QFETCH(QString, name);
    fx->writeFolder();
    QVERIFY(QFile::remove(fx->path(name)));
    QVERIFY(QDir().mkpath(fx->path(name)));
    // Inside it, something that a careless check could take for the file.
    fx->writeFile(name + "/" + QFileInfo(name).fileName(), QByteArray("x"));

    QVERIFY(!fx->startUp());
    QCOMPARE(int(fx->messages.size()), 1);
    QCOMPARE(fx->messages.front().text, kMissingText);
    QCOMPARE(int(fx->endRequests.size()), 1);
    QVERIFY(fx->sounds.wav(Sound::SoundHit).isEmpty());
}

void StartupTest::upperCaseNamesAreFound()
{
    // File names are matched without regard to letter case.
    fx->writeFolder();
    const QByteArray hit = fx->readFile("wav/hit.wav");
    const QByteArray scores = formatScores({9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 11, 12});
    fx->writeFile("tavo_s.dat", scores);
    QDir dir(fx->path());
    QVERIFY(dir.rename("wav", "WAV"));
    QVERIFY(dir.rename("WAV/hit.wav", "WAV/HIT.WAV"));
    QVERIFY(dir.rename("WAV/powah.wav", "WAV/Powah.Wav"));
    QVERIFY(dir.rename("tavo.dat", "TAVO.DAT"));
    QVERIFY(dir.rename("tavo_s.dat", "Tavo_S.dat"));
    QVERIFY(dir.rename("chara", "CHARA"));
    QVERIFY(dir.rename("CHARA/c4.bmp", "CHARA/C4.BMP"));

    QVERIFY(fx->startUp());
    QVERIFY(fx->messages.empty());
    QVERIFY(fx->endRequests.empty());
    QCOMPARE(fx->sounds.wav(Sound::SoundHit), hit);
    QCOMPARE(fx->sounds.wav(Sound::SoundPowah), fx->readFile("WAV/Powah.Wav"));
    QCOMPARE(Module1.HighScores[0], 9);
    QCOMPARE(Module1.HighScores[11], 12);
    QVERIFY(form7->Picture1(4)->picture && !form7->Picture1(4)->picture->isNull());
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
}

void StartupTest::picturesDecodedAheadOnceEach()
{
    // A picture decoded ahead is the one the reader decodes, handed out once; one not asked for, or broken, is left to the caller.
    fx->writeFolder();
    fx->writeFile("chara/broken.bmp", QByteArray("BM this is not a picture"));
    const QStringList asked{fx->path("chara/c3.bmp"), fx->path("chara/broken.bmp"), fx->path("chara/c3.bmp"),
                            fx->path("chara/c9.bmp")};
    DecodeAhead ahead([&] { return asked; });
    QImageReader reader(asked[0]);
    const QImage expected = reader.read();
    QVERIFY(!expected.isNull());
    QCOMPARE(ahead.take(asked[0]), expected);
    QVERIFY(ahead.take(asked[0]).isNull());
    QVERIFY(ahead.take(asked[1]).isNull());
    QVERIFY(ahead.take(fx->path("chara/c4.bmp")).isNull());
    ahead.forget();
    QVERIFY(ahead.take(asked[3]).isNull());
}

void StartupTest::brokenFolderIsNamedAndNothingWritten_data()
{
    QTest::addColumn<QString>("file");       // the file to break
    QTest::addColumn<QByteArray>("bytes");   // its new content (empty: remove it)
    QTest::addColumn<QString>("named");      // what the message must name

    const QByteArray good = TestGameData{}.toBytes();
    QTest::newRow("tavo.dat ends in the stage tables")
        << "tavo.dat" << good.left(good.indexOf(sjis(QString::fromUtf8("ゲージ")))) << "tavo.dat";
    QTest::newRow("tavo.dat ends in the phrases")
        << "tavo.dat" << good.left(good.indexOf(sjis(QString::fromUtf8("フレーズ11")))) << "tavo.dat";
    QByteArray notNumber = good;
    notNumber.replace("\r\n30\r\n", "\r\nthirty\r\n");
    QTest::newRow("phrase count not a number") << "tavo.dat" << notNumber << "tavo.dat";

    TestGameData keyText;
    keyText.keyRanges = {"3", "abc", "9", "9", "9"};
    QTest::newRow("key range not a number") << "tavo.dat" << keyText.toBytes() << "tavo.dat";
    TestGameData keyZero;
    keyZero.keyRanges = {"3", "6", "0", "9", "9"};
    QTest::newRow("key range 0") << "tavo.dat" << keyZero.toBytes() << "tavo.dat";
    TestGameData keyTen;
    keyTen.keyRanges = {"3", "6", "9", "9", "10"};
    QTest::newRow("key range 10") << "tavo.dat" << keyTen.toBytes() << "tavo.dat";

    QTest::newRow("missing picture") << "chara/c7.bmp" << QByteArray() << "c7.bmp";
    QTest::newRow("corrupt picture") << "chara/c12.bmp" << QByteArray("BM this is not a picture") << "c12.bmp";

    QTest::newRow("eleven scores") << "tavo_s.dat" << QByteArray("1\r\n").repeated(11) << "tavo_s.dat";
    QTest::newRow("score as text") << "tavo_s.dat"
                                   << QByteArray("0\r\n0\r\n0\r\nzero\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n")
                                   << "tavo_s.dat";
    QTest::newRow("negative score") << "tavo_s.dat"
                                    << QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n-5\r\n0\r\n0\r\n0\r\n0\r\n")
                                    << "tavo_s.dat";
}

void StartupTest::brokenFolderIsNamedAndNothingWritten()
{
    // A broken game folder gives one message naming the file, ends with an error code, shows nothing and writes nothing.
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, named);
    fx->writeFolder();
    if (bytes.isEmpty())
        QVERIFY(QFile::remove(fx->path(file)));
    else
        fx->writeFile(file, bytes);
    const QByteArray scoresBefore = fx->readFile("tavo_s.dat");
    const QStringList listingBefore = folderListing(fx->path());

    QVERIFY(!fx->startUp());
    QCOMPARE(int(fx->messages.size()), 1);
    const MessageRequest& box = fx->messages.front();
    QVERIFY2(box.text.contains(named), qPrintable(box.text));
    QVERIFY(box.text != kMissingText);
    QCOMPARE(box.buttons, MsgButtons::OK);
    QCOMPARE(int(fx->endRequests.size()), 1);
    QVERIFY(fx->endRequests.front() != 0);

    QVERIFY(GameFixture::visibleScreens().isEmpty());
    QVERIFY(!form2 || !form2->isVisible());
    QVERIFY(!form7 || !form7->isVisible());
    QCOMPARE(fx->readFile("tavo_s.dat"), scoresBefore);
    QCOMPARE(folderListing(fx->path()), listingBefore);
}

void StartupTest::titleFirstKeyFinishesStartUp()
{
    // The title shows before the other windows are made; a key on it first finishes the start-up, then does what it always does.
    TestGameData data;
    data.caption = QString::fromUtf8("クェネル・先行");
    fx->writeFolder(data);
    const std::array<int, 12> scores{12, 34, 56, 78, 90, 123, 456, 789, 1011, 1213, 1415, 1617};
    fx->writeFile("tavo_s.dat", formatScores(scores));
    createTitleWindow();
    QVERIFY(showTitle());
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
    QCOMPARE(form1->windowTitle(), data.caption);
    QVERIFY(!form2 && !form3 && !form7 && !form8);

    fx->keypad(form1, 1);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form8"});
    for (int i = 0; i < 12; ++i)
        QCOMPARE(form8->Label5(i)->caption(), timesTen(scores[i]));
    const QWidget* windows[] = {form2, form3, form4, form5, form6, form7, form8};
    for (const QWidget* w : windows)
        QCOMPARE(w->windowTitle(), data.caption);
    QCOMPARE(form7->Picture1(14)->picture->toImage().pixel(60, 60), QColor::fromHsv(14 * 24, 200, 200).rgb());

    // The step after the title's paint then finds nothing left to do.
    Form3* const play = form3;
    QVERIFY(finishStartUp());
    QCOMPARE(form3, play);
    QVERIFY(fx->messages.empty());
}

void StartupTest::pictureGoneToldOverTitle()
{
    // A character picture gone between the title's checks and its decoding is named once the title is up, and the program ends.
    fx->writeFolder();
    createTitleWindow();
    QVERIFY(showTitle());
    QVERIFY(fx->messages.empty());
    QVERIFY(QFile::remove(fx->path("chara/c9.bmp")));
    QVERIFY(!finishStartUp());
    QCOMPARE(int(fx->messages.size()), 1);
    QVERIFY2(fx->messages.front().text.contains("c9.bmp"), qPrintable(fx->messages.front().text));
    QCOMPARE(int(fx->endRequests.size()), 1);
    QVERIFY(fx->endRequests.front() != 0);
}

void StartupTest::quitKeysCancelKeepEverything()
{
    // Esc and keypad 3 ask the quit question with Cancel as default; Cancel leaves the game exactly as it was.
    fx->writeFolder();
    fx->writeFile("tavo_s.dat", formatScores({5, 4, 3, 2, 1, 0, 50, 40, 30, 20, 10, 0}));
    QVERIFY(fx->startUp());
    const QByteArray scores = fx->readFile("tavo_s.dat");

    struct Case { const char* what; QWidget* (*prepare)(); std::function<void(QWidget*)> key; };
    const Case cases[] = {
        {"title Esc", [] { return static_cast<QWidget*>(form1); }, [](QWidget* w) { GameFixture::escape(w); }},
        {"title keypad 3", [] { return static_cast<QWidget*>(form1); }, [](QWidget* w) { GameFixture::keypad(w, 3); }},
        {"high scores Esc", [] { switchScreen(form1, form8); return static_cast<QWidget*>(form8); },
         [](QWidget* w) { GameFixture::escape(w); }},
        {"play screen ready Esc", [] { switchScreen(form8, form1); GameFixture::keypad(form1, 4); return static_cast<QWidget*>(form3); },
         [](QWidget* w) { GameFixture::escape(w); }},
    };
    for (const Case& c : cases) {
        QWidget* window = c.prepare();
        const QStringList before = dumpState(fx->sounds);
        const QStringList shown = GameFixture::visibleScreens();
        const std::size_t sounds = fx->sounds.played.size();
        fx->messages.clear();
        fx->answers = {MsgResult::Cancel};
        c.key(window);
        QVERIFY2(fx->messages.size() == 1, c.what);
        const MessageRequest& box = fx->messages.front();
        QCOMPARE(box.text, kQuitText);
        QCOMPARE(box.buttons, MsgButtons::OKCancel);
        QVERIFY2(box.cancelIsDefault, c.what);
        QVERIFY(!box.informationIcon);
        QVERIFY2(fx->endRequests.empty(), c.what);
        QCOMPARE(dumpState(fx->sounds), before);
        QCOMPARE(GameFixture::visibleScreens(), shown);
        QCOMPARE(fx->sounds.played.size(), sounds);
        QCOMPARE(fx->readFile("tavo_s.dat"), scores);
    }
    // The title screen is still fully usable afterwards.
    switchScreen(form3, form1);
    fx->messages.clear();
    GameFixture::keypad(form1, 1);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form8"});
    QVERIFY(fx->messages.empty());
}

void StartupTest::quitKeysOkEndsProgram()
{
    // OK to the key question ends the program once, without touching the score file.
    fx->writeFolder();
    QVERIFY(fx->startUp());
    const QByteArray scores = fx->readFile("tavo_s.dat");
    GameFixture::keypad(form1, 3);
    QCOMPARE(int(fx->messages.size()), 1);
    QCOMPARE(int(fx->endRequests.size()), 1);
    QCOMPARE(fx->readFile("tavo_s.dat"), scores);

    fx->messages.clear();
    fx->endRequests.clear();
    GameFixture::escape(form1);
    QCOMPARE(int(fx->messages.size()), 1);
    QCOMPARE(int(fx->endRequests.size()), 1);
}

void StartupTest::closeBoxAsksWithOkDefault_data()
{
    QTest::addColumn<int>("form");
    for (int n : {1, 3, 4, 5, 6, 8})
        QTest::newRow(qPrintable(QStringLiteral("Form%1").arg(n))) << n;
}

void StartupTest::closeBoxAsksWithOkDefault()
{
    // The close box asks with OK as default: Cancel keeps the window (and play) going, OK ends once with no second question.
    QFETCH(int, form);
    fx->writeFolder();
    QVERIFY(fx->startUp());
    QWidget* window = screenByNumber(form);
    if (form == 3) {
        GameFixture::keypad(form1, 4);
        GameFixture::keypad(form3, 0);  // play runs, the clock with it
        QCOMPARE(Module1.PlayActive, 1);
        QVERIFY(form3->Timer1->isActive());
    } else if (form != 1) {
        switchScreen(form1, window);
    }
    QVERIFY(window->isVisible());
    const QStringList before = dumpState(fx->sounds);
    fx->messages.clear();

    fx->answers = {MsgResult::Cancel};
    QVERIFY(!window->close());
    QCOMPARE(int(fx->messages.size()), 1);
    QCOMPARE(fx->messages.front().text, kQuitText);
    QCOMPARE(fx->messages.front().buttons, MsgButtons::OKCancel);
    QVERIFY(!fx->messages.front().cancelIsDefault);
    QVERIFY(fx->endRequests.empty());
    QVERIFY(window->isVisible());
    QCOMPARE(dumpState(fx->sounds), before);
    if (form == 3) {
        QVERIFY(form3->Timer1->isActive());
        QCOMPARE(Module1.PlayActive, 1);
        // Play goes on: the next tick still counts down.
        GameFixture::tickClock(1);
        QCOMPARE(Module1.ClockTens * 10 + Module1.ClockUnits, 29);
    }

    fx->messages.clear();
    fx->answers = {MsgResult::OK};
    window->close();
    QCoreApplication::processEvents();
    QCOMPARE(int(fx->messages.size()), 1);
    QCOMPARE(int(fx->endRequests.size()), 1);
}

void StartupTest::realDialogEnterAfterEscKeepsRunning()
{
    // The real quit question after Esc shows "クェネル", the text, OK and Cancel, and Enter presses Cancel.
    fx->writeFolder();
    QVERIFY(fx->startUp());
    setMessageBoxHandler(nullptr);
    SeenBox seen;
    pressEnterOnNextBox(&seen);
    GameFixture::escape(form1);

    QVERIFY(seen.seen);
    QCOMPARE(seen.title, QString::fromUtf8("クェネル"));
    QCOMPARE(seen.text, kQuitText);
    QCOMPARE(seen.buttons.size(), 2);
    QVERIFY(seen.buttons.contains(QMessageBox::Ok));
    QVERIFY(seen.buttons.contains(QMessageBox::Cancel));
    QCOMPARE(seen.defaultButton, QMessageBox::Cancel);
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QVERIFY(fx->endRequests.empty());
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
}

void StartupTest::realDialogEnterAfterCloseBoxEnds()
{
    // The real close-box question has OK as default, so Enter at once ends the program.
    fx->writeFolder();
    QVERIFY(fx->startUp());
    setMessageBoxHandler(nullptr);
    SeenBox seen;
    pressEnterOnNextBox(&seen);
    form1->close();

    QVERIFY(seen.seen);
    QCOMPARE(seen.title, QString::fromUtf8("クェネル"));
    QCOMPARE(seen.text, kQuitText);
    QCOMPARE(seen.buttons.size(), 2);
    QCOMPARE(seen.defaultButton, QMessageBox::Ok);
    QCOMPARE(int(fx->endRequests.size()), 1);
}

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
