#pragma once
// How long a WAV image lasts, read from its header alone: the format
// chunk's byte rate and the data chunk's size (cut to the bytes really
// there). Needs no audio device and no decoder, so a waiting sound can
// take its own length even on a silent machine.
#include <QByteArray>

#include <chrono>

// Zero when the bytes are not a RIFF WAVE with a usable format and data
// chunk.
std::chrono::microseconds wavPlayingTime(const QByteArray& wav);
