#pragma once
// The game's sounds are WAV images held in memory. s_play hands one to the
// audio device: asynchronously (a new sound cuts off the one still playing)
// or, for the count-down only, waiting until it has been heard to its end.
// No audio device, an empty buffer or an undecodable WAV mean silence:
// playing a sound never fails visibly and never stalls.
#include <QByteArray>

void s_play(const QByteArray& sound, bool wait);

// Opens the one audio device (a short buffer, at most 512 frames) at
// start-up. Safe to call more than once; without a device it does nothing.
void sound_init();
void sound_shutdown();

// Tests and the benchmark observe or replace playback through this seam.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    virtual void play(const QByteArray& sound, bool wait) = 0;
};
// Swallows every sound at once (the count-down included), for the tools
// that drive the game without anyone listening.
class SilentSink : public SoundSink {
public:
    void play(const QByteArray&, bool) override {}
};
// nullptr restores the real audio device. Returns the previous sink.
SoundSink* setSoundSink(SoundSink* sink);

// Decodes a sound for the open device ahead of time, so that its first
// s_play does not spend the key press on decoding. Without a device, or
// for a buffer that is not a WAV, it does nothing.
void sound_preload(const QByteArray& sound);

// True while an audio device is open.
bool sound_deviceOpen();

// What the device has taken of the newest sound so far. Every s_play that
// reaches the device gets a new serial; frames are counted at the
// device's own rate.
struct SoundProgress {
    quint64 serial = 0;        // 0: nothing has been played yet
    qint64 framesTaken = 0;    // frames of the newest sound handed to the device
    qint64 framesTotal = 0;    // its length
    bool finished = false;     // all of it has been handed to the device
};
SoundProgress sound_progress();

// Time from the newest s_play to the moment the device first took bytes
// of it, in nanoseconds; -1 while it has not started (or nothing played).
qint64 sound_lastStartLatencyNs();
