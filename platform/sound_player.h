#pragma once
// The run's sound output: the ten WAV images, each decoded once for the one
// SDL audio device, and that device. The program's run owns one and
// installs it as the sound sink, so s_play reaches it.
// No audio device, a sound never loaded or an undecodable WAV mean silence.
// A waiting play then still takes the sound's own length, read from its WAV
// header (nothing when it has none).
#include "platform/sound.h"

#include <QtGlobal>
#include <chrono>
#include <memory>

// Watches the device's side of playback; the benchmark and the sound tests
// install one (bench/sound_probe.h), the game none.
class SoundTap {
public:
    virtual ~SoundTap() = default;
    // A sound asked for at `asked` went to the device: a new serial, its
    // length in device frames (0: silence, which cuts off the sound playing
    // all the same).
    virtual void requested(quint64 serial, qint64 frames, std::chrono::steady_clock::time_point asked) = 0;
    // The device took frames of it, `taken` in all so far (audio thread).
    virtual void taken(quint64 serial, qint64 taken) = 0;
    // The device was closed for a rest, or opened again.
    virtual void rested(bool resting) = 0;
};

class SoundPlayer : public SoundSink {
public:
    SoundPlayer();
    ~SoundPlayer() override;
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Opens the one audio device (a short buffer, at most 512 frames). Safe
    // to call more than once. Without a device it gives up quietly until a
    // sound is next asked for.
    void openDevice();
    void closeDevice();
    // True while the device is open (and not closed for a rest).
    bool deviceOpen() const;

    void play(Sound sound, bool wait) override;
    void load(Sound sound, const QByteArray& wav) override;
    void preload(Sound sound) override;
    // The image last loaded for the sound (empty when none was).
    const QByteArray& wav(Sound sound) const;

    void setTap(SoundTap* tap);

    struct State;

private:
    std::unique_ptr<State> d_;
};
