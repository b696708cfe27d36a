#include "game_fixture.h"

#include "wav.h"

#include "app/main_row_question.h"
#include "history/recorder.h"
#include "app/startup.h"
#include "play/stage_play.h"
#include "platform/system.h"
#include "screens/forms.h"
#include "screens/entry_result.h"
#include "screens/entry_window.h"
#include "screens/practice_result.h"
#include "screens/progress_window.h"
#include "state/module1.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringEncoder>
#include <QTest>

QByteArray TestGameData::toBytes() const
{
    QStringList values;
    auto quoted = [](const QString& s) { return QLatin1Char('"') + s + QLatin1Char('"'); };
    values << quoted(caption) << QString::fromUtf8("ステージ名");
    for (const QString& t : titles) values << t;
    values << QString::fromUtf8("キー範囲");
    for (const QString& v : keyRanges) values << v;
    values << QString::fromUtf8("ゲージ");
    for (const QString& v : gaugeSteps) values << v;
    values << QString::fromUtf8("ノルマ");
    for (const QString& v : quotas) values << v;
    values << QString::fromUtf8("画像");
    for (int i = 0; i < 15; ++i)
        values << QStringLiteral("chara\\c%1.bmp").arg(i);
    values << QString::number(phraseCount);
    for (int i = 1; i <= phraseCount; ++i)
        values << QString::fromUtf8("フレーズ%1").arg(i);
    values << extraValues;
    QStringEncoder encoder("Shift_JIS");
    return encoder.encode(values.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

GameFixture::GameFixture() : dir_(std::make_unique<QTemporaryDir>())
{
    oldCurrent_ = QDir::currentPath();
    QDir::setCurrent(dir_->path());
    resetModule1();
    gameHistory().reset();
    // The title's question about the main-row digits counts as answered:
    // the tests of that question open it again themselves.
    setMainRowQuestionAnswered(true);
    setSoundSink(&sounds);
    setMessageBoxHandler([this](const MessageRequest& request) {
        messages.push_back(request);
        if (answers.empty())
            return MsgResult::OK;
        const MsgResult answer = answers.front();
        answers.pop_front();
        return answer;
    });
    setEndHandler([this](int code) { endRequests.push_back(code); });
    setRandomSource([this] {
        if (randoms.empty()) {
            if (pinnedRandom)
                return *pinnedRandom;
            // The middle of digit k's share of [0, 1) for a range of 9.
            const double k = cycle_++ % 9;
            return (k + 0.5) / 9.0;
        }
        const double r = randoms.front();
        randoms.pop_front();
        return r;
    });
}

GameFixture::~GameFixture()
{
    destroyWindows();
    setDecodeAhead(nullptr);
    gameHistory().reset();
    setSoundSink(nullptr);
    setMessageBoxHandler(nullptr);
    setEndHandler(nullptr);
    setRandomSource(nullptr);
    resetModule1();
    QDir::setCurrent(oldCurrent_);
}

QString GameFixture::path(const QString& relativePath) const
{
    return relativePath.isEmpty() ? dir_->path() : dir_->filePath(relativePath);
}

void GameFixture::writeFile(const QString& relativePath, const QByteArray& bytes)
{
    const QString full = dir_->filePath(relativePath);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(full));
    file.write(bytes);
}

QByteArray GameFixture::readFile(const QString& relativePath) const
{
    QFile file(dir_->filePath(relativePath));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void GameFixture::writeFolder(const TestGameData& data)
{
    const char* wavs[] = {"hit", "miss", "one", "two", "three", "clear", "timeup", "powah", "gameover", "allclear"};
    int level = 3000;
    for (const char* name : wavs) {
        // Each sound differs, so a test can tell which one played.
        writeFile(QStringLiteral("wav/%1.wav").arg(QLatin1String(name)), makeWav(20, 22050, level));
        level += 500;
    }
    writeFile(QStringLiteral("tavo_s.dat"), QByteArray("0\r\n").repeated(12));
    writeFile(QStringLiteral("tavo.dat"), data.toBytes());
    for (int i = 0; i < 15; ++i) {
        QImage image(124, 124, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 24, 200, 200));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "BMP");
        writeFile(QStringLiteral("chara/c%1.bmp").arg(i), bytes);
    }
}

bool GameFixture::startUp()
{
    auto ahead = std::make_unique<DecodeAhead>([] { return startUpPictures(true); });
    setDecodeAhead(ahead.get());
    ahead_ = std::move(ahead);
    // As the program does: the title alone, then the rest once it is up.
    createTitleWindow();
    return showTitle() && finishStartUp();
}

void GameFixture::keypad(QWidget* window, int digit)
{
    QTest::keyClick(window, Qt::Key(Qt::Key_0 + digit), Qt::KeypadModifier);
}

void GameFixture::mainKeyboardDigit(QWidget* window, int digit)
{
    QTest::keyClick(window, Qt::Key(Qt::Key_0 + digit));
}

void GameFixture::escape(QWidget* window)
{
    QTest::keyClick(window, Qt::Key_Escape);
}

bool GameFixture::beginGame(const TestGameData& data, int modeKey, const QByteArray& scoreFile)
{
    writeFolder(data);
    if (!scoreFile.isEmpty())
        writeFile(QStringLiteral("tavo_s.dat"), scoreFile);
    if (!startUp())
        return false;
    keypad(form1, modeKey);
    return form3->isVisible() && Module1.Stage == 1;
}

void GameFixture::hitTarget()
{
    keypad(form3, Module1.KeyQueue[0]);
}

void GameFixture::missTarget()
{
    keypad(form3, Module1.KeyQueue[0] == 9 ? 1 : Module1.KeyQueue[0] + 1);
}

void GameFixture::tickClock(int ticks)
{
    for (int i = 0; i < ticks; ++i)
        stagePlay->Timer1_Timer();
}

QStringList GameFixture::visibleScreens()
{
    QStringList shown;
    const std::pair<const char*, QWidget*> screens[] = {
        {"Form1", form1}, {"Form3", form3}, {"Form4", form4},
        {"Form5", form5}, {"Form6", form6}, {"Form8", form8}, {"Progress", progressWindow},
        {"Practice", practiceResultWindow}, {"Entry", entryWindow}, {"EntryResult", entryResultWindow}};
    for (const auto& [name, window] : screens)
        if (window && window->isVisible())
            shown << QString::fromLatin1(name);
    return shown;
}
