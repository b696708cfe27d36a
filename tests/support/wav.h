#pragma once
// Small WAV images built in memory for sound tests: a constant level, so
// the samples that reach the device can be recognised and counted.
#include <QByteArray>

// `ms` milliseconds of PCM at `sampleRate`; every sample holds `level`
// (16-bit: signed value; 8-bit: offset from the 128 midpoint).
QByteArray makeWav(int ms, int sampleRate = 44100, int level = 8000, int channels = 1,
                   int bitsPerSample = 16);
