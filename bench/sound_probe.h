#pragma once
// What the benchmark and the sound tests read from the device's side of
// playback, watched through the sound player's tap.
#include "platform/sound_player.h"

#include <QtGlobal>
#include <mutex>

// What the device has taken of the newest sound so far. Every sound that
// reaches the device gets a new serial; frames are counted at the device's
// own rate.
struct SoundProgress {
    quint64 serial = 0;        // 0: nothing has been played yet
    qint64 framesTaken = 0;    // frames of the newest sound handed to the device
    qint64 framesTotal = 0;    // its length
    bool finished = false;     // all of it has been handed to the device
};

class SoundProbe : public SoundTap {
public:
    // Watches `player` until destroyed.
    explicit SoundProbe(SoundPlayer& player);
    ~SoundProbe() override;

    SoundProgress progress() const;
    // Time from asking for the newest sound to the moment the device first
    // took bytes of it, in nanoseconds; -1 while it has not started (or
    // nothing played).
    qint64 startLatencyNs() const;
    // True while the device is closed for a rest, until the next sound.
    bool resting() const;

    void requested(quint64 serial, qint64 frames, std::chrono::steady_clock::time_point asked) override;
    void taken(quint64 serial, qint64 taken) override;
    void rested(bool resting) override;

private:
    SoundPlayer& player_;
    mutable std::mutex lock_;
    SoundProgress progress_;
    std::chrono::steady_clock::time_point asked_{};
    qint64 latencyNs_ = -1;
    bool resting_ = false;
};
