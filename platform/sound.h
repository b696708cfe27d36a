#pragma once
// The game's ten sounds, by name. s_play hands one to the run's sound
// player: asynchronously (a new sound cuts off the one still playing) or,
// for the count-down only, waiting until it has been heard to its end.
// Playing a sound never fails visibly.
#include <QByteArray>

// In the order of the game folder's required files.
enum class Sound {
    SoundHit, SoundMiss, SoundOne, SoundTwo, SoundThree,
    SoundClear, SoundTimeUp, SoundPowah, SoundGameOver, SoundAllClear,
};
inline constexpr int kSoundCount = 10;
inline constexpr int soundIndex(Sound sound) { return static_cast<int>(sound); }

void s_play(Sound sound, bool wait);

// Where the sounds go: the run's SoundPlayer (platform/sound_player.h), or
// whatever a test or a tool puts there to observe or swallow them.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    virtual void play(Sound sound, bool wait) = 0;
    // Start-up hands over each sound's WAV image as read from the game folder.
    virtual void load(Sound, const QByteArray&) {}
    // Gets a sound ready ahead of its first play.
    virtual void preload(Sound) {}
};
// Swallows every sound at once (the count-down included), for the tools
// that drive the game without anyone listening.
class SilentSink : public SoundSink {
public:
    void play(Sound, bool) override {}
};
// Returns the previous sink. With none, sounds go nowhere.
SoundSink* setSoundSink(SoundSink* sink);

// Through the installed sink.
void loadSound(Sound sound, const QByteArray& wav);
void preloadSound(Sound sound);
