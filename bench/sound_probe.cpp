#include "bench/sound_probe.h"

SoundProbe::SoundProbe(SoundPlayer& player) : player_(player)
{
    player_.setTap(this);
}

SoundProbe::~SoundProbe()
{
    player_.setTap(nullptr);
}

SoundProgress SoundProbe::progress() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return progress_;
}

qint64 SoundProbe::startLatencyNs() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return latencyNs_;
}

bool SoundProbe::resting() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return resting_;
}

void SoundProbe::requested(quint64 serial, qint64 frames, std::chrono::steady_clock::time_point asked)
{
    std::lock_guard<std::mutex> guard(lock_);
    progress_ = SoundProgress{serial, 0, frames, frames == 0};
    asked_ = asked;
    latencyNs_ = -1;
}

void SoundProbe::taken(quint64 serial, qint64 taken)
{
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> guard(lock_);
    if (serial != progress_.serial)
        return;   // an older sound's last bytes, taken as the new one was asked for
    if (latencyNs_ < 0)
        latencyNs_ = std::chrono::duration_cast<std::chrono::nanoseconds>(now - asked_).count();
    progress_.framesTaken = taken;
    progress_.finished = taken >= progress_.framesTotal;
}

void SoundProbe::rested(bool resting)
{
    std::lock_guard<std::mutex> guard(lock_);
    resting_ = resting;
}
