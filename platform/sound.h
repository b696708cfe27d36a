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
// nullptr restores the real audio device. Returns the previous sink.
SoundSink* setSoundSink(SoundSink* sink);
