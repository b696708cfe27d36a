#pragma once
// What the benchmark and the sound tests read from the device's side of
// playback; the game itself never asks.
#include <QtGlobal>

// What the device has taken of the newest sound so far. Every s_play that
// reaches the device gets a new serial; frames are counted at the
// device's own rate.
struct SoundProgress {
    quint64 serial = 0;        // 0: nothing has been played yet
    qint64 framesTaken = 0;    // frames of the newest sound handed to the device
    qint64 framesTotal = 0;    // its length
    bool finished = false;     // all of it has been handed to the device
};
SoundProgress soundProgress();

// Time from the newest s_play to the moment the device first took bytes
// of it, in nanoseconds; -1 while it has not started (or nothing played).
qint64 lastSoundStartLatencyNs();

// True while the open device rests: paused, with its audio thread asleep
// until the next sound.
bool soundDeviceResting();
