#include "bench/sound_probe.h"
#include "bench/sdl_observer/sdl_observer.h"

#include <dlfcn.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

// The observer, once loaded; it stays for the rest of the run, as SDL does.
void* observer = nullptr;

template <typename F>
F observerFunction(const char* name)
{
    return observer ? reinterpret_cast<F>(dlsym(observer, name)) : nullptr;
}

}  // namespace

bool SoundProbe::install(QString* error)
{
    if (observer)
        return true;
    void* self = dlopen(QUENNEL_SDL_OBSERVER, RTLD_NOW);
    if (!self) {
        *error = QStringLiteral("cannot load the SDL observer: %1").arg(QString::fromLocal8Bit(dlerror()));
        return false;
    }
    // The game asks for SDL by its run-time name: that name must now be
    // the observer, not a real SDL loaded before it.
    void* byName = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (byName)
        dlclose(byName);
    if (byName != self) {
        *error = QStringLiteral("SDL's run-time name does not lead to the observer (%1): SDL was loaded before it")
                     .arg(QStringLiteral(QUENNEL_SDL_OBSERVER));
        dlclose(self);
        return false;
    }
    observer = self;
    if (!observerFunction<SdlObserverListen>(kSdlObserverListen) || !observerFunction<SdlObserverFormat>(kSdlObserverFormat) ||
        !observerFunction<SdlObserverState>(kSdlObserverState) || !observerFunction<SdlObserverReal>(kSdlObserverReal)) {
        *error = QStringLiteral("the SDL observer lacks its own functions");
        return false;
    }
    return true;
}

SoundProbe::SoundProbe()
{
    if (auto listen = observerFunction<SdlObserverListen>(kSdlObserverListen)) {
        const SdlObserverListener listener{this, &SoundProbe::onBuffer, &SoundProbe::onRested};
        listen(&listener);
    }
}

SoundProbe::~SoundProbe()
{
    if (auto listen = observerFunction<SdlObserverListen>(kSdlObserverListen))
        listen(nullptr);
}

void* SoundProbe::realSdlFunction(const char* name)
{
    auto realSdl = observerFunction<SdlObserverReal>(kSdlObserverReal);
    return realSdl ? dlsym(realSdl(), name) : nullptr;
}

std::optional<SDL_AudioSpec> SoundProbe::format() const
{
    SDL_AudioSpec obtained{};
    auto format = observerFunction<SdlObserverFormat>(kSdlObserverFormat);
    if (!format || !format(&obtained))
        return std::nullopt;
    return obtained;
}

namespace {
struct ObserverState {
    int opened = 0;
    long long buffers = 0;
    bool paused = true;
};

ObserverState observerState()
{
    ObserverState state;
    if (auto read = observerFunction<SdlObserverState>(kSdlObserverState))
        read(&state.opened, &state.buffers, &state.paused);
    return state;
}
}  // namespace

int SoundProbe::devicesOpened() const
{
    return observerState().opened;
}

qint64 SoundProbe::buffers() const
{
    return observerState().buffers;
}

bool SoundProbe::paused() const
{
    return observerState().paused;
}

// The sound as the device should take it: decoded and converted by the real
// SDL to the open device's format in one go, cut to whole frames. Null
// without a device or for bytes SDL cannot play.
std::shared_ptr<const std::vector<Uint8>> SoundProbe::convert(const QByteArray& wav) const
{
    const std::optional<SDL_AudioSpec> device = format();
    auto fromMem = reinterpret_cast<decltype(&SDL_RWFromConstMem)>(realSdlFunction("SDL_RWFromConstMem"));
    auto loadWav = reinterpret_cast<decltype(&SDL_LoadWAV_RW)>(realSdlFunction("SDL_LoadWAV_RW"));
    auto freeWav = reinterpret_cast<decltype(&SDL_FreeWAV)>(realSdlFunction("SDL_FreeWAV"));
    auto build = reinterpret_cast<decltype(&SDL_BuildAudioCVT)>(realSdlFunction("SDL_BuildAudioCVT"));
    auto convertAudio = reinterpret_cast<decltype(&SDL_ConvertAudio)>(realSdlFunction("SDL_ConvertAudio"));
    if (!device || !fromMem || !loadWav || !freeWav || !build || !convertAudio || wav.isEmpty() || wav.size() > INT_MAX)
        return nullptr;
    SDL_RWops* rw = fromMem(wav.constData(), int(wav.size()));
    SDL_AudioSpec src{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    if (!rw || !loadWav(rw, 1, &src, &buf, &len))
        return nullptr;
    const std::size_t srcFrame = std::size_t(SDL_AUDIO_BITSIZE(src.format) / 8) * src.channels;
    if (srcFrame > 0)
        len -= Uint32(len % srcFrame);
    SDL_AudioCVT cvt;
    const int built = build(&cvt, src.format, src.channels, src.freq, device->format, device->channels, device->freq);
    auto out = std::make_shared<std::vector<Uint8>>();
    if (srcFrame > 0 && len > 0 && built >= 0 && (built == 0 || len <= Uint32(INT_MAX / cvt.len_mult))) {
        out->resize(std::size_t(len) * std::size_t(built == 0 ? 1 : cvt.len_mult));
        std::memcpy(out->data(), buf, len);
        if (built != 0) {
            cvt.buf = out->data();
            cvt.len = int(len);
            out->resize(convertAudio(&cvt) == 0 ? std::size_t(cvt.len_cvt) : 0);
        }
    }
    freeWav(buf);
    const std::size_t frame = std::size_t(SDL_AUDIO_BITSIZE(device->format) / 8) * device->channels;
    out->resize(out->size() - out->size() % frame);
    return out->empty() ? nullptr : out;
}

int SoundProbe::asked(const QByteArray& wav)
{
    // Converted before the clock starts: the probe's own work is not the game's.
    auto bytes = convert(wav);
    const std::optional<SDL_AudioSpec> device = format();
    std::lock_guard<std::mutex> guard(lock_);
    if (device) {
        frameBytes_ = std::size_t(SDL_AUDIO_BITSIZE(device->format) / 8) * device->channels;
        silence_ = device->silence;
    }
    sounds_.push_back(Tracked{std::move(bytes)});
    latencyNs_ = -1;
    askedAt_ = Clock::now();
    return int(sounds_.size()) - 1;
}

SoundProgress SoundProbe::progressOf(const Tracked& t) const
{
    SoundProgress p;
    if (!t.bytes)
        return p;
    p.framesTotal = qint64(t.bytes->size() / frameBytes_);
    p.framesTaken = qint64(t.pos / frameBytes_);
    p.finished = t.pos == t.bytes->size();
    p.cutOff = t.cut;
    return p;
}

SoundProgress SoundProbe::progress(int sound) const
{
    std::lock_guard<std::mutex> guard(lock_);
    return sound >= 0 && std::size_t(sound) < sounds_.size() ? progressOf(sounds_[std::size_t(sound)]) : SoundProgress{};
}

SoundProgress SoundProbe::progress() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return sounds_.empty() ? SoundProgress{} : progressOf(sounds_.back());
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

void SoundProbe::onBuffer(void* self, const Uint8* bytes, int len)
{
    static_cast<SoundProbe*>(self)->buffer(bytes, std::size_t(std::max(len, 0)));
}

void SoundProbe::onRested(void* self, bool resting)
{
    auto* probe = static_cast<SoundProbe*>(self);
    std::lock_guard<std::mutex> guard(probe->lock_);
    probe->resting_ = resting;
}

// A buffer either goes on with a sound from where it was, or (the newest
// sound only) begins it at its first byte; whatever follows a sound's end
// in the buffer is silence. Silence at a sound's beginning cannot be told
// from the quiet before it: while only silence of it has matched, a buffer
// that begins it again dates its start afresh. A sound opening with two
// buffers of silence or more cannot be followed so and shows as cut off;
// none of the game's sounds does.
void SoundProbe::buffer(const Uint8* bytes, std::size_t len)
{
    const auto now = Clock::now();
    std::lock_guard<std::mutex> guard(lock_);
    // The bytes of `t` from `from` on that the buffer carries; 0: not these.
    auto carries = [&](const Tracked& t, std::size_t from) -> std::size_t {
        const std::size_t k = std::min(len, t.bytes->size() - from);
        if (std::memcmp(bytes, t.bytes->data() + from, k) != 0)
            return 0;
        return std::all_of(bytes + k, bytes + len, [&](Uint8 b) { return b == silence_; }) ? k : 0;
    };
    auto silent = [&](const Tracked& t) {
        return std::all_of(t.bytes->begin(), t.bytes->begin() + std::ptrdiff_t(t.pos),
                           [&](Uint8 b) { return b == silence_; });
    };
    for (std::size_t i = 0; i < sounds_.size(); ++i) {
        Tracked& t = sounds_[i];
        if (!t.bytes || t.cut || t.pos == t.bytes->size())
            continue;
        const bool newest = i + 1 == sounds_.size();
        const std::size_t fromStart = newest ? carries(t, 0) : 0;
        const std::size_t onwards = t.pos > 0 ? carries(t, t.pos) : 0;
        if (onwards > 0 && !(fromStart > 0 && silent(t))) {
            t.pos += onwards;
        } else if (fromStart > 0) {
            t.pos = fromStart;
            latencyNs_ = std::chrono::duration_cast<std::chrono::nanoseconds>(now - askedAt_).count();
        } else if (t.pos > 0) {
            t.cut = true;
        }
    }
}
