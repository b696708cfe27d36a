#pragma once
// The game's ten sounds, by name. s_play hands one to the audio device:
// asynchronously (a new sound cuts off the one still playing) or, for the
// count-down only, waiting until it has been heard to its end.
// No audio device, a sound never loaded or an undecodable WAV mean silence:
// playing a sound never fails visibly. A waiting play then still takes the
// sound's own length, read from its WAV header (nothing when it has none).

// In the order of the game folder's required files.
enum class Sound {
    SoundHit, SoundMiss, SoundOne, SoundTwo, SoundThree,
    SoundClear, SoundTimeUp, SoundPowah, SoundGameOver, SoundAllClear,
};
inline constexpr int kSoundCount = 10;
inline constexpr int soundIndex(Sound sound) { return static_cast<int>(sound); }

void s_play(Sound sound, bool wait);

// Opens the one audio device (a short buffer, at most 512 frames) at
// start-up. Safe to call more than once; without a device it does nothing.
void openSoundDevice();
void closeSoundDevice();

// Tests and the tools observe or replace playback through this seam.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    virtual void play(Sound sound, bool wait) = 0;
};
// Swallows every sound at once (the count-down included), for the tools
// that drive the game without anyone listening.
class SilentSink : public SoundSink {
public:
    void play(Sound, bool) override {}
};
// nullptr restores the real audio device. Returns the previous sink.
SoundSink* setSoundSink(SoundSink* sink);

// Decodes a sound for the open device ahead of time, so that its first
// s_play does not spend the key press on decoding. Without a device, or
// for a sound that is not a WAV, it does nothing.
void preloadSound(Sound sound);

// True while an audio device is open.
bool soundDeviceOpen();
