// Sound output on one SDL audio device. Each sound's WAV image is decoded
// once by SDL's own loader, converted to the device's format and kept; the
// audio callback then only copies bytes of the one current sound, so a key
// press never waits for decoding and a new sound simply replaces the old one.
//
// A quiet device rests: SDL keeps the thread of a paused device waking every
// period to write silence, so a while after the last sound has ended the UI
// thread pauses the device and holds its lock, and the audio thread sleeps
// on that lock. The next sound lets go of it, and the thread, already past
// its wait, hands that sound over at once. (Closing the device instead would
// make the next sound wait for a new stream and its decoding.) With SDL's
// PipeWire output a paused device writes its silence without the lock, so
// there the rest saves nothing, and does no harm.
#include "platform/sound.h"
#include "platform/sound_bank.h"
#include "platform/sound_probes.h"
#include "platform/wav_length.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <SDL.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// 512 frames at 44.1 kHz is about 12 ms: short enough that a hit sound
// follows the key at once.
constexpr int kFrequency = 44100;
constexpr int kBufferFrames = 512;
// Silence for this long after the last sound ends puts the device to rest.
constexpr auto kRestAfter = std::chrono::seconds(2);

// One sound, ready to copy to the device as it is.
struct Pcm {
    std::vector<Uint8> bytes;
};

// One sound name: its WAV image and, once decoded for the open device, the
// form the callback copies.
struct Slot {
    QByteArray wav;
    bool decoded = false;
    std::shared_ptr<const Pcm> pcm;   // null once decoded: not a WAV we can play
};

SoundSink* g_sink = nullptr;

// Owned by the UI thread.
SDL_AudioDeviceID g_device = 0;
SDL_AudioSpec g_spec{};
bool g_subsystemUp = false;
bool g_paused = true;
bool g_resting = false;   // paused, and its lock held by this thread
QPointer<QTimer> g_restTimer;
std::array<Slot, kSoundCount> g_sounds;

// Shared with the audio callback, under g_lock.
std::mutex g_lock;
std::condition_variable g_changed;
struct Playback {
    std::shared_ptr<const Pcm> pcm;   // null: silence
    std::size_t pos = 0;
    quint64 serial = 0;
    Clock::time_point requestedAt{};
    qint64 startLatencyNs = -1;
    bool finished = false;
    Clock::time_point finishedAt{};
} g_play;

void audioCallback(void*, Uint8* stream, int len)
{
    std::size_t filled = 0;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        if (g_play.pcm && !g_play.finished) {
            const std::size_t total = g_play.pcm->bytes.size();
            const std::size_t n = std::min<std::size_t>(std::size_t(len), total - g_play.pos);
            if (n > 0) {
                std::memcpy(stream, g_play.pcm->bytes.data() + g_play.pos, n);
                if (g_play.pos == 0)
                    g_play.startLatencyNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                Clock::now() - g_play.requestedAt).count();
                g_play.pos += n;
                filled = n;
            }
            if (g_play.pos >= total) {
                g_play.finished = true;
                g_play.finishedAt = Clock::now();
                g_changed.notify_all();
            }
        }
    }
    if (filled < std::size_t(len))
        std::memset(stream + filled, g_spec.silence, std::size_t(len) - filled);
}

std::size_t frameBytes()
{
    return std::size_t(SDL_AUDIO_BITSIZE(g_spec.format) / 8) * g_spec.channels;
}

// Decodes a WAV image and converts it to the device's format. Null when
// the bytes are not a WAV that SDL can read.
std::shared_ptr<const Pcm> decode(const QByteArray& wav)
{
    if (wav.isEmpty() || wav.size() > INT_MAX)
        return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(wav.constData(), int(wav.size()));
    if (!rw)
        return nullptr;
    SDL_AudioSpec src{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &src, &buf, &len))
        return nullptr;

    // SDL_AudioCVT converts the whole sound in one go; an SDL_AudioStream
    // would drop the resampler's tail of a sound at another rate.
    auto pcm = std::make_shared<Pcm>();
    SDL_AudioCVT cvt;
    const int build = SDL_BuildAudioCVT(&cvt, src.format, src.channels, src.freq,
                                        g_spec.format, g_spec.channels, g_spec.freq);
    const std::size_t srcFrame = std::size_t(SDL_AUDIO_BITSIZE(src.format) / 8) * src.channels;
    if (srcFrame > 0)
        len -= Uint32(len % srcFrame);
    bool ok = srcFrame > 0 && len > 0 && build >= 0 && (build == 0 || len <= Uint32(INT_MAX / cvt.len_mult));
    if (ok && build == 0) {
        pcm->bytes.assign(buf, buf + len);
    } else if (ok) {
        pcm->bytes.resize(std::size_t(len) * std::size_t(cvt.len_mult));
        std::memcpy(pcm->bytes.data(), buf, len);
        cvt.buf = pcm->bytes.data();
        cvt.len = int(len);
        ok = SDL_ConvertAudio(&cvt) == 0;
        pcm->bytes.resize(ok ? std::size_t(cvt.len_cvt) : 0);
        pcm->bytes.shrink_to_fit();
    }
    SDL_FreeWAV(buf);
    if (!ok)
        return nullptr;
    // Whole frames only, so a cut never lands inside a frame.
    pcm->bytes.resize(pcm->bytes.size() - pcm->bytes.size() % frameBytes());
    return pcm;
}

Slot& slotOf(Sound sound)
{
    return g_sounds.at(std::size_t(soundIndex(sound)));
}

// The decoded form of a sound, decoded on its first use.
std::shared_ptr<const Pcm> lookup(Sound sound)
{
    Slot& slot = slotOf(sound);
    if (!slot.decoded) {
        slot.pcm = decode(slot.wav);
        slot.decoded = true;
    }
    return slot.pcm;
}

// Forgets the decoded forms (the device's format may differ next time).
void dropDecoded()
{
    for (Slot& slot : g_sounds) {
        slot.pcm = nullptr;
        slot.decoded = false;
    }
}

Clock::duration framesToDuration(qint64 frames)
{
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(double(frames) / g_spec.freq));
}

void pauseDevice(bool pause)
{
    if (g_device && g_paused != pause) {
        SDL_PauseAudioDevice(g_device, pause ? 1 : 0);
        g_paused = pause;
    }
}

// Lets the audio thread run again (SDL's device lock counts recursively, so
// the unpause can come first).
void wakeDevice()
{
    if (!g_resting)
        return;
    pauseDevice(false);
    SDL_UnlockAudioDevice(g_device);
    g_resting = false;
}

void restDevice();

// (Re)starts the count to the rest; `untilEnd` is what is still to be heard
// (negative: how long ago the last sound ended).
void armRest(Clock::duration untilEnd = {})
{
    if (!g_device)
        return;
    if (!g_restTimer) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;   // no event loop: the device simply never rests
        g_restTimer = new QTimer(app);
        g_restTimer->setSingleShot(true);
        QObject::connect(g_restTimer, &QTimer::timeout, [] { restDevice(); });
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(untilEnd + kRestAfter);
    g_restTimer->start(std::max(wait, std::chrono::milliseconds::zero()));
}

void restDevice()
{
    if (!g_device || g_resting)
        return;
    std::optional<Clock::duration> untilEnd;   // set while a sound is heard or has just ended
    {
        std::lock_guard<std::mutex> guard(g_lock);
        const auto now = Clock::now();
        if (g_play.pcm && !g_play.finished)
            untilEnd = framesToDuration(qint64((g_play.pcm->bytes.size() - g_play.pos) / frameBytes()));
        else if (now - g_play.finishedAt < kRestAfter)
            untilEnd = g_play.finishedAt - now;   // ended after the count began
    }
    if (untilEnd) {
        armRest(*untilEnd);
        return;
    }
    pauseDevice(true);
    SDL_LockAudioDevice(g_device);
    g_resting = true;
}

// Without a device, or for a sound the device cannot play, a waiting play
// still lasts as long as the sound would be heard: the count-down keeps
// its length on a silent machine.
void waitOutSilently(Sound sound)
{
    std::this_thread::sleep_for(wavPlayingTime(slotOf(sound).wav));
}

void playOnDevice(Sound sound, bool wait)
{
    if (!g_device) {
        if (wait)
            waitOutSilently(sound);
        return;
    }
    std::shared_ptr<const Pcm> pcm = lookup(sound);
    if (pcm && pcm->bytes.empty())
        pcm = nullptr;

    quint64 serial;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        // The old Pcm may be released here; its slot normally still owns it.
        g_play.pcm = pcm;
        g_play.pos = 0;
        g_play.serial = serial = g_play.serial + 1;
        g_play.requestedAt = Clock::now();
        g_play.startLatencyNs = -1;
        g_play.finished = (pcm == nullptr);
        g_play.finishedAt = g_play.requestedAt;
    }
    if (!pcm) {
        // Silence cuts off what was playing, like any other sound.
        pauseDevice(true);
        armRest();
        if (wait)
            waitOutSilently(sound);
        return;
    }
    // Woken only now that the sound is in place: the thread's first
    // callback takes it, rather than one more period of silence.
    wakeDevice();
    pauseDevice(false);
    const qint64 frames = qint64(pcm->bytes.size() / frameBytes());
    armRest(framesToDuration(frames));
    if (!wait)
        return;

    // Wait for the callback to take the last bytes. If the device stops
    // consuming, give up well after the sound should have ended rather
    // than hang the game.
    const auto deadline = Clock::now() + framesToDuration(frames) + std::chrono::seconds(2);
    Clock::time_point takenAt;
    bool done;
    {
        std::unique_lock<std::mutex> guard(g_lock);
        done = g_changed.wait_until(guard, deadline,
                                    [&] { return g_play.serial != serial || g_play.finished; });
        takenAt = g_play.finishedAt;
        if (!done) {
            g_play.pcm = nullptr;
            g_play.finished = true;
        }
    }
    if (!done) {
        pauseDevice(true);
        return;
    }
    // The last bytes went into the device's buffer when they were taken;
    // they are heard one to two buffers later.
    std::this_thread::sleep_until(takenAt + 2 * framesToDuration(g_spec.samples));
    pauseDevice(true);
}

}  // namespace

void s_play(Sound sound, bool wait)
{
    if (g_sink) {
        g_sink->play(sound, wait);
        return;
    }
    playOnDevice(sound, wait);
}

SoundSink* setSoundSink(SoundSink* sink)
{
    return std::exchange(g_sink, sink);
}

void openSoundDevice()
{
    if (g_device)
        return;
    if (!g_subsystemUp) {
        // The game has its own window system; SDL must not take its signals.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return;
        g_subsystemUp = true;
    }
    SDL_AudioSpec want{};
    want.freq = kFrequency;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = audioCallback;
    SDL_AudioSpec have{};
    g_spec = {};
    const SDL_AudioDeviceID dev = SDL_OpenAudioDevice(
        nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (dev == 0)
        return;
    g_spec = have;
    g_device = dev;
    g_paused = true;   // devices open paused; the first sound starts it
    g_resting = false;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_play = Playback{};
        g_play.finished = true;
        g_play.finishedAt = Clock::now();
    }
    armRest();
}

void closeSoundDevice()
{
    if (g_restTimer)
        g_restTimer->stop();
    if (g_device) {
        // The audio thread must be able to take the lock to see that it ends.
        if (g_resting)
            SDL_UnlockAudioDevice(g_device);
        g_resting = false;
        SDL_CloseAudioDevice(g_device);   // stops the callback thread
        g_device = 0;
    }
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_play.pcm = nullptr;
        g_play.finished = true;
    }
    dropDecoded();
    if (g_subsystemUp) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        g_subsystemUp = false;
    }
}

void preloadSound(Sound sound)
{
    if (g_device)
        lookup(sound);
}

bool soundDeviceOpen()
{
    return g_device != 0;
}

bool soundDeviceResting()
{
    return g_resting;
}

SoundProgress soundProgress()
{
    std::lock_guard<std::mutex> guard(g_lock);
    SoundProgress p;
    p.serial = g_play.serial;
    if (g_device && frameBytes() > 0) {
        p.framesTaken = qint64(g_play.pos / frameBytes());
        p.framesTotal = g_play.pcm ? qint64(g_play.pcm->bytes.size() / frameBytes()) : 0;
    }
    p.finished = g_play.finished;
    return p;
}

qint64 lastSoundStartLatencyNs()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_play.startLatencyNs;
}

void loadSound(Sound sound, const QByteArray& wav)
{
    Slot& slot = slotOf(sound);
    slot.wav = wav;
    slot.pcm = nullptr;
    slot.decoded = false;
}

const QByteArray& soundWav(Sound sound)
{
    return slotOf(sound).wav;
}

void unloadSounds()
{
    for (Slot& slot : g_sounds)
        slot = Slot{};
}
