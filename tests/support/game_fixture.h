#pragma once
// A small game folder in a temporary directory, with the seams that let a
// test answer message boxes, hear which sounds played, stop the program
// from really ending and choose the random numbers.
#include "platform/decode_ahead.h"
#include "platform/msgbox.h"
#include "platform/sound.h"
#include "state/datafiles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The values of a test tavo.dat, with sensible defaults.
struct TestGameData {
    QString caption = QString::fromUtf8("クェネル テスト");
    QStringList titles{"First", "Second", "Third", "Bonus", "Final"};
    QList<QString> keyRanges{"3", "6", "9", "9", "9"};
    QList<QString> gaugeSteps{"1", "1", "0.5", "1", "1"};
    QList<QString> quotas{"100", "200", "300", "400", "500"};
    int phraseCount = 30;  // phrases "フレーズ1" .. "フレーズN"
    QStringList extraValues;  // written after the phrases

    QByteArray toBytes() const;  // Shift-JIS, one value per line, CR LF
};

struct PlayedSound {
    Sound sound;
    bool wait;
};

class RecordingSink : public SoundSink {
public:
    void play(Sound sound, bool wait) override { played.push_back({sound, wait}); }
    void load(Sound sound, const QByteArray& wav) override { wavs[std::size_t(soundIndex(sound))] = wav; }
    const QByteArray& wav(Sound sound) const { return wavs[std::size_t(soundIndex(sound))]; }
    std::vector<PlayedSound> played;
    std::array<QByteArray, kSoundCount> wavs;   // as start-up handed them over
};

class GameFixture {
public:
    GameFixture();
    ~GameFixture();

    // Writes the folder: ten WAVs, tavo_s.dat, tavo.dat and fifteen pictures.
    void writeFolder(const TestGameData& data = TestGameData{});
    void writeFile(const QString& relativePath, const QByteArray& bytes);
    QByteArray readFile(const QString& relativePath) const;
    QString path(const QString& relativePath = QString()) const;

    // Creates the windows and runs the start-up, with the pictures decoded
    // ahead as the program does; returns its result.
    bool startUp();
    // Writes the folder (with scoreFile as tavo_s.dat when given), starts up
    // and opens stage 1 from the title with keypad 4 (normal) or 6 (extra).
    bool beginGame(const TestGameData& data = TestGameData{}, int modeKey = 4,
                   const QByteArray& scoreFile = QByteArray());

    // Seams.
    RecordingSink sounds;
    std::vector<MessageRequest> messages;
    std::deque<MsgResult> answers;  // next answers; OK when empty
    std::vector<int> endRequests;   // exit codes asked for
    // Next random numbers. Once they are used up the source cycles so that
    // a key range of 9 draws 1, 2, .., 9 in turn (smaller ranges draw every
    // digit they have), unless a test pins one value for all draws.
    std::deque<double> randoms;
    std::optional<double> pinnedRandom;

    // Key presses on a window, as the player makes them.
    static void keypad(QWidget* window, int digit);
    static void mainKeyboardDigit(QWidget* window, int digit);
    static void escape(QWidget* window);

    // Stage helpers on the play screen.
    static void hitTarget();   // presses the key at the bottom of the stack
    static void missTarget();  // presses a digit that is not the target
    static void tickClock(int ticks);

    // Which of the game screens are visible.
    static QStringList visibleScreens();

private:
    std::unique_ptr<DecodeAhead> ahead_;
    std::unique_ptr<QTemporaryDir> dir_;
    int cycle_ = 0;
    QString oldCurrent_;
};
