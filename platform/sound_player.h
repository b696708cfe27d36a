#pragma once
// The run's sound output: the ten WAV images, each decoded once for the one
// SDL audio device, and that device. The program's run owns one and
// installs it as the sound sink, so s_play reaches it.
// No audio device, a sound never loaded or an undecodable WAV mean silence.
// A waiting play then still takes the sound's own length, read from its WAV
// header (nothing when it has none).
#include "platform/sound.h"

#include <memory>

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

    struct State;

private:
    std::unique_ptr<State> d_;
};
