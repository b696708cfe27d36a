// Sound output on one SDL audio device. Each sound's WAV image is decoded
// once by SDL's own loader, converted to the device's format and kept; the
// audio callback then only copies bytes of the one current sound, so a key
// press never waits for decoding and a new sound simply replaces the old one.
//
// A quiet device rests: SDL keeps the thread of a paused device waking
// every period to write silence, so a while after the last sound has ended
// the UI thread pauses the device and holds its lock, and the audio thread
// sleeps on that lock. The next sound lets go of it, and the thread, already
// past its wait, hands that sound over at once. (Closing the device instead
// would make the next sound, often a menu key's, wait for a new stream.)
// PulseAudio renders a woken stream from its first sample; only a null
// sink's monitor, which cannot take back what it has already recorded when
// the sink renders again for the new sound, shows its first 60 to 130
// frames missing, and does so for a freshly opened device as well.
//
// Without a device the player gives up at once (SDL's ALSA back-end would
// otherwise look for new cards ten times a second) and looks again for the
// next sound asked for, and then again only after a quiet spell, so that a
// stage played without sound does not look at every key.
#include "platform/sound_player.h"
#include "platform/sdl_library.h"
#include "platform/wav_length.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// 512 frames at 44.1 kHz is about 12 ms: short enough that a hit sound
// follows the key at once.
constexpr int kFrequency = 44100;
constexpr int kBufferFrames = 512;
// Silence for this long after the last sound ends closes the device, and
// a sound asked for after as long a quiet spell looks for a missing one.
constexpr auto kRestAfter = std::chrono::seconds(2);

// One sound, ready to copy to the device as it is.
struct Pcm {
    std::vector<Uint8> bytes;
};

// One sound name: its WAV image and, once decoded for the device's format,
// the form the callback copies.
struct Slot {
    QByteArray wav;
    bool decoded = false;
    std::shared_ptr<const Pcm> pcm;   // null once decoded: not a WAV we can play
};

// What the callback plays, under State::lock.
struct Playback {
    std::shared_ptr<const Pcm> pcm;   // null: silence
    std::size_t pos = 0;
    quint64 serial = 0;
    bool finished = true;
    Clock::time_point finishedAt{};
};

bool sameFormat(const SDL_AudioSpec& a, const SDL_AudioSpec& b)
{
    return a.freq == b.freq && a.format == b.format && a.channels == b.channels;
}

}  // namespace

struct SoundPlayer::State {
    // Owned by the UI thread.
    const SdlLibrary* sdl = nullptr;     // loaded with the first device
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec format_{};             // the format the sounds are decoded for
    bool subsystemUp = false;
    bool paused = true;
    bool resting = false;             // paused, and its lock held by this thread
    bool givenUp = false;             // no device the last time one was looked for
    Clock::time_point lastAsked{};    // the last sound asked for while given up
    bool retryQueued = false;
    QObject context;                  // ends the timer and a queued look with the player
    QTimer* restTimer = nullptr;
    std::array<Slot, kSoundCount> sounds;

    // Shared with the audio callback.
    std::mutex lock;
    std::condition_variable changed;
    Playback play;

    static void callback(void* self, Uint8* stream, int len);
    std::size_t frameBytes() const;
    Clock::duration framesToDuration(qint64 frames) const;
    std::shared_ptr<const Pcm> decode(const QByteArray& wav) const;
    std::shared_ptr<const Pcm> lookup(Sound sound);
    void dropDecoded();
    bool open();
    void close();
    void quitSubsystem();
    void pause(bool pause);
    void armRest(Clock::duration untilEnd = {});
    void rest();
    void wake();
    void lookAgain(bool now);
    void waitOutSilently(Sound sound) const;
};

void SoundPlayer::State::callback(void* self, Uint8* stream, int len)
{
    auto* s = static_cast<State*>(self);
    std::size_t filled = 0;
    {
        std::lock_guard<std::mutex> guard(s->lock);
        Playback& p = s->play;
        if (p.pcm && !p.finished) {
            const std::size_t total = p.pcm->bytes.size();
            const std::size_t n = std::min<std::size_t>(std::size_t(len), total - p.pos);
            if (n > 0) {
                std::memcpy(stream, p.pcm->bytes.data() + p.pos, n);
                p.pos += n;
                filled = n;
            }
            if (p.pos >= total) {
                p.finished = true;
                p.finishedAt = Clock::now();
                s->changed.notify_all();
            }
        }
    }
    if (filled < std::size_t(len))
        std::memset(stream + filled, s->format_.silence, std::size_t(len) - filled);
}

std::size_t SoundPlayer::State::frameBytes() const
{
    return std::size_t(SDL_AUDIO_BITSIZE(format_.format) / 8) * format_.channels;
}

Clock::duration SoundPlayer::State::framesToDuration(qint64 frames) const
{
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(double(frames) / format_.freq));
}

// Decodes a WAV image and converts it to the device's format. Null when
// the bytes are not a WAV that SDL can read.
std::shared_ptr<const Pcm> SoundPlayer::State::decode(const QByteArray& wav) const
{
    if (wav.isEmpty() || wav.size() > INT_MAX)
        return nullptr;
    SDL_RWops* rw = sdl->RWFromConstMem(wav.constData(), int(wav.size()));
    if (!rw)
        return nullptr;
    SDL_AudioSpec src{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    if (!sdl->LoadWAV_RW(rw, 1, &src, &buf, &len))
        return nullptr;

    // SDL_AudioCVT converts the whole sound in one go; an SDL_AudioStream
    // would drop the resampler's tail of a sound at another rate.
    auto pcm = std::make_shared<Pcm>();
    SDL_AudioCVT cvt;
    const int build = sdl->BuildAudioCVT(&cvt, src.format, src.channels, src.freq,
                                        format_.format, format_.channels, format_.freq);
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
        ok = sdl->ConvertAudio(&cvt) == 0;
        pcm->bytes.resize(ok ? std::size_t(cvt.len_cvt) : 0);
        pcm->bytes.shrink_to_fit();
    }
    sdl->FreeWAV(buf);
    if (!ok)
        return nullptr;
    // Whole frames only, so a cut never lands inside a frame.
    pcm->bytes.resize(pcm->bytes.size() - pcm->bytes.size() % frameBytes());
    return pcm;
}

// The decoded form of a sound, decoded on its first use.
std::shared_ptr<const Pcm> SoundPlayer::State::lookup(Sound sound)
{
    Slot& slot = sounds.at(std::size_t(soundIndex(sound)));
    if (!slot.decoded) {
        slot.pcm = decode(slot.wav);
        slot.decoded = true;
    }
    return slot.pcm;
}

void SoundPlayer::State::dropDecoded()
{
    for (Slot& slot : sounds) {
        slot.pcm = nullptr;
        slot.decoded = false;
    }
}

// Opens the device; on failure leaves nothing of SDL's audio running.
// Asked only while there is no device: openDevice and a look again check.
bool SoundPlayer::State::open()
{
    if (!sdl)
        sdl = sdlLibrary();
    if (!sdl)
        return false;
    if (!subsystemUp) {
        // The game has its own window system; SDL must not take its signals.
        sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (sdl->InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        subsystemUp = true;
    }
    SDL_AudioSpec want{};
    want.freq = kFrequency;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = &State::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID dev = sdl->OpenAudioDevice(
        nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (dev == 0) {
        quitSubsystem();
        return false;
    }
    // Sounds decoded for an earlier opening stay good in the same format.
    if (!sameFormat(have, format_))
        dropDecoded();
    format_ = have;
    device = dev;
    paused = true;   // devices open paused; the first sound starts it
    resting = false;
    {
        std::lock_guard<std::mutex> guard(lock);
        play = Playback{};
        play.finishedAt = Clock::now();
    }
    return true;
}

void SoundPlayer::State::close()
{
    if (restTimer)
        restTimer->stop();
    if (device) {
        // The audio thread must be able to take the lock to see that it ends.
        if (resting)
            sdl->UnlockAudioDevice(device);
        resting = false;
        sdl->CloseAudioDevice(device);   // stops the callback thread
        device = 0;
    }
    std::lock_guard<std::mutex> guard(lock);
    play.pcm = nullptr;
    play.finished = true;
    changed.notify_all();
}

void SoundPlayer::State::quitSubsystem()
{
    if (subsystemUp) {
        sdl->QuitSubSystem(SDL_INIT_AUDIO);
        subsystemUp = false;
    }
}

void SoundPlayer::State::pause(bool pauseIt)
{
    if (device && paused != pauseIt) {
        sdl->PauseAudioDevice(device, pauseIt ? 1 : 0);
        paused = pauseIt;
    }
}

// (Re)starts the count to the rest; `untilEnd` is what is still to be heard
// (negative: how long ago the last sound ended).
void SoundPlayer::State::armRest(Clock::duration untilEnd)
{
    if (!device)
        return;
    if (!QCoreApplication::instance())
        return;   // no event loop: the device simply never rests
    if (!restTimer) {
        restTimer = new QTimer(&context);
        restTimer->setSingleShot(true);
        QObject::connect(restTimer, &QTimer::timeout, [this] { rest(); });
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(untilEnd + kRestAfter);
    restTimer->start(std::max(wait, std::chrono::milliseconds::zero()));
}

void SoundPlayer::State::rest()
{
    if (!device || resting)
        return;
    std::optional<Clock::duration> untilEnd;   // set while a sound is heard or has just ended
    {
        std::lock_guard<std::mutex> guard(lock);
        const auto now = Clock::now();
        if (play.pcm && !play.finished)
            untilEnd = framesToDuration(qint64((play.pcm->bytes.size() - play.pos) / frameBytes()));
        else if (now - play.finishedAt < kRestAfter)
            untilEnd = play.finishedAt - now;   // ended after the count began
    }
    if (untilEnd) {
        armRest(*untilEnd);
        return;
    }
    pause(true);
    sdl->LockAudioDevice(device);
    resting = true;
}

// Lets the audio thread run again (SDL's device lock counts recursively, so
// the unpause can come first).
void SoundPlayer::State::wake()
{
    if (!resting)
        return;
    pause(false);
    sdl->UnlockAudioDevice(device);
    resting = false;
}

// Looks for a device again after giving up: at once for a waiting sound
// (the count-down may then be heard), otherwise once the current event is
// over, so that a key's own paint does not wait for it.
void SoundPlayer::State::lookAgain(bool now)
{
    const auto asked = Clock::now();
    const bool quietSpell = asked - lastAsked >= kRestAfter;
    lastAsked = asked;
    if (!quietSpell || retryQueued)
        return;
    auto look = [this] {
        givenUp = !open();
        armRest();
    };
    if (now || !QCoreApplication::instance()) {
        look();
        return;
    }
    retryQueued = true;
    QTimer::singleShot(0, &context, [this, look] {
        retryQueued = false;
        if (givenUp && !device)
            look();
    });
}

// Without a device, or for a sound the device cannot play, a waiting play
// still lasts as long as the sound would be heard: the count-down keeps
// its length on a silent machine.
void SoundPlayer::State::waitOutSilently(Sound sound) const
{
    std::this_thread::sleep_for(wavPlayingTime(sounds.at(std::size_t(soundIndex(sound))).wav));
}

SoundPlayer::SoundPlayer() : d_(std::make_unique<State>()) {}

SoundPlayer::~SoundPlayer()
{
    closeDevice();
}

void SoundPlayer::openDevice()
{
    if (d_->device)
        return;   // one device for the run
    d_->givenUp = !d_->open();
    d_->lastAsked = {};   // the next sound looks again
    d_->armRest();
}

void SoundPlayer::closeDevice()
{
    d_->close();
    d_->quitSubsystem();
    d_->givenUp = false;
}

bool SoundPlayer::deviceOpen() const
{
    return d_->device != 0;
}

void SoundPlayer::play(Sound sound, bool wait)
{
    State& s = *d_;
    if (!s.device && s.givenUp)
        s.lookAgain(wait);
    if (!s.device) {
        if (wait)
            s.waitOutSilently(sound);
        return;
    }
    std::shared_ptr<const Pcm> pcm = s.lookup(sound);
    if (pcm && pcm->bytes.empty())
        pcm = nullptr;
    const qint64 frames = pcm ? qint64(pcm->bytes.size() / s.frameBytes()) : 0;

    quint64 serial;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        // The old Pcm may be released here; its slot normally still owns it.
        s.play.pcm = pcm;
        s.play.pos = 0;
        s.play.serial = serial = s.play.serial + 1;
        s.play.finished = (pcm == nullptr);
        s.play.finishedAt = Clock::now();
    }
    if (!pcm) {
        // Silence cuts off what was playing, like any other sound.
        s.pause(true);
        s.armRest();
        if (wait)
            s.waitOutSilently(sound);
        return;
    }
    // Woken only now that the sound is in place: the thread's first
    // callback takes it, rather than one more period of silence.
    s.wake();
    s.pause(false);
    s.armRest(s.framesToDuration(frames));
    if (!wait)
        return;

    // Wait for the callback to take the last bytes. If the device stops
    // consuming, give up well after the sound should have ended rather
    // than hang the game.
    const auto deadline = Clock::now() + s.framesToDuration(frames) + std::chrono::seconds(2);
    Clock::time_point takenAt;
    bool done;
    {
        std::unique_lock<std::mutex> guard(s.lock);
        done = s.changed.wait_until(guard, deadline,
                                    [&] { return s.play.serial != serial || s.play.finished; });
        takenAt = s.play.finishedAt;
        if (!done) {
            s.play.pcm = nullptr;
            s.play.finished = true;
        }
    }
    if (!done) {
        s.pause(true);
        return;
    }
    // The last bytes went into the device's buffer when they were taken;
    // they are heard one to two buffers later.
    std::this_thread::sleep_until(takenAt + 2 * s.framesToDuration(s.format_.samples));
    s.pause(true);
}

void SoundPlayer::load(Sound sound, const QByteArray& wav)
{
    Slot& slot = d_->sounds.at(std::size_t(soundIndex(sound)));
    slot.wav = wav;
    slot.pcm = nullptr;
    slot.decoded = false;
}

void SoundPlayer::preload(Sound sound)
{
    if (d_->device)
        d_->lookup(sound);
}

