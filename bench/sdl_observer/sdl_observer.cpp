// The observer behind bench/sdl_observer/sdl_observer.h. Every function the
// game takes from SDL is passed on to the real library, loaded by its full
// path; opening a device puts a step in front of the game's callback, and
// pausing and locking tell when the game puts the device to rest.
#include "sdl_observer.h"
#include "platform/sdl_library.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#define OBSERVER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The real library's functions, in the table the game keeps of them.
struct Real : SdlLibrary {
    void* handle = nullptr;
};

template <typename F>
void take(void* handle, F& member, const char* name)
{
    member = reinterpret_cast<F>(dlsym(handle, name));
    if (!member) {
        std::fprintf(stderr, "sdl_observer: the real SDL (%s) has no %s\n", QUENNEL_REAL_SDL, name);
        std::abort();
    }
}

// The real library, or the process ends: a measurement without it would
// be of nothing.
const Real& real()
{
    static const Real r = [] {
        Real lib{};
        lib.handle = dlopen(QUENNEL_REAL_SDL, RTLD_NOW | RTLD_LOCAL);
        if (!lib.handle) {
            std::fprintf(stderr, "sdl_observer: cannot load the real SDL: %s\n", dlerror());
            std::abort();
        }
        take(lib.handle, lib.SetHint, "SDL_SetHint");
        take(lib.handle, lib.InitSubSystem, "SDL_InitSubSystem");
        take(lib.handle, lib.QuitSubSystem, "SDL_QuitSubSystem");
        take(lib.handle, lib.OpenAudioDevice, "SDL_OpenAudioDevice");
        take(lib.handle, lib.CloseAudioDevice, "SDL_CloseAudioDevice");
        take(lib.handle, lib.PauseAudioDevice, "SDL_PauseAudioDevice");
        take(lib.handle, lib.LockAudioDevice, "SDL_LockAudioDevice");
        take(lib.handle, lib.UnlockAudioDevice, "SDL_UnlockAudioDevice");
        take(lib.handle, lib.RWFromConstMem, "SDL_RWFromConstMem");
        take(lib.handle, lib.LoadWAV_RW, "SDL_LoadWAV_RW");
        take(lib.handle, lib.FreeWAV, "SDL_FreeWAV");
        take(lib.handle, lib.BuildAudioCVT, "SDL_BuildAudioCVT");
        take(lib.handle, lib.ConvertAudio, "SDL_ConvertAudio");
        return lib;
    }();
    return r;
}

// The one device the game has open. The callback fields are set before
// SDL starts the device's thread and left alone while it runs; the rest
// belongs to the thread that opens, pauses and locks it.
struct Device {
    SDL_AudioDeviceID id = 0;
    SDL_AudioCallback callback = nullptr;
    void* userdata = nullptr;
    SDL_AudioSpec obtained{};
    bool paused = true;   // SDL opens devices paused
    int locks = 0;
    bool resting = false;
};
Device device;

std::mutex listenerLock;
SdlObserverListener listener{};
std::atomic<int> opened{0};
std::atomic<long long> buffers{0};

void SDLCALL watchedCallback(void* self, Uint8* stream, int len)
{
    auto* d = static_cast<Device*>(self);
    d->callback(d->userdata, stream, len);
    buffers.fetch_add(1);
    std::lock_guard<std::mutex> guard(listenerLock);
    if (listener.buffer)
        listener.buffer(listener.context, stream, len);
}

// Resting: paused, with the lock held by the game, so the thread sleeps.
void noteRest(SDL_AudioDeviceID id)
{
    if (id == 0 || id != device.id)
        return;
    const bool resting = device.paused && device.locks > 0;
    if (resting == device.resting)
        return;
    device.resting = resting;
    std::lock_guard<std::mutex> guard(listenerLock);
    if (listener.rested)
        listener.rested(listener.context, resting);
}

}  // namespace

OBSERVER_EXPORT SDL_bool SDLCALL SDL_SetHint(const char* name, const char* value)
{
    return real().SetHint(name, value);
}

OBSERVER_EXPORT int SDLCALL SDL_InitSubSystem(Uint32 flags)
{
    return real().InitSubSystem(flags);
}

OBSERVER_EXPORT void SDLCALL SDL_QuitSubSystem(Uint32 flags)
{
    real().QuitSubSystem(flags);
}

OBSERVER_EXPORT SDL_AudioDeviceID SDLCALL SDL_OpenAudioDevice(const char* name, int iscapture,
                                                              const SDL_AudioSpec* desired,
                                                              SDL_AudioSpec* obtained, int allowed)
{
    if (!desired || !desired->callback || iscapture || device.id != 0)
        return real().OpenAudioDevice(name, iscapture, desired, obtained, allowed);
    SDL_AudioSpec want = *desired;
    device.callback = desired->callback;
    device.userdata = desired->userdata;
    want.callback = &watchedCallback;
    want.userdata = &device;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID id = real().OpenAudioDevice(name, iscapture, &want, &have, allowed);
    if (id == 0)
        return 0;
    // The game gets back its own callback, as it asked.
    have.callback = desired->callback;
    have.userdata = desired->userdata;
    if (obtained)
        *obtained = have;
    device.id = id;
    device.obtained = have;
    device.paused = true;
    device.locks = 0;
    device.resting = false;
    opened.fetch_add(1);
    return id;
}

OBSERVER_EXPORT void SDLCALL SDL_CloseAudioDevice(SDL_AudioDeviceID id)
{
    real().CloseAudioDevice(id);
    if (id != 0 && id == device.id)
        device = Device{};
}

OBSERVER_EXPORT void SDLCALL SDL_PauseAudioDevice(SDL_AudioDeviceID id, int pause)
{
    real().PauseAudioDevice(id, pause);
    if (id != 0 && id == device.id)
        device.paused = pause != 0;
    noteRest(id);
}

OBSERVER_EXPORT void SDLCALL SDL_LockAudioDevice(SDL_AudioDeviceID id)
{
    real().LockAudioDevice(id);
    if (id != 0 && id == device.id)
        ++device.locks;
    noteRest(id);
}

OBSERVER_EXPORT void SDLCALL SDL_UnlockAudioDevice(SDL_AudioDeviceID id)
{
    real().UnlockAudioDevice(id);
    if (id != 0 && id == device.id && device.locks > 0)
        --device.locks;
    noteRest(id);
}

OBSERVER_EXPORT SDL_RWops* SDLCALL SDL_RWFromConstMem(const void* mem, int size)
{
    return real().RWFromConstMem(mem, size);
}

OBSERVER_EXPORT SDL_AudioSpec* SDLCALL SDL_LoadWAV_RW(SDL_RWops* src, int freesrc, SDL_AudioSpec* wavFormat,
                                                      Uint8** buf, Uint32* len)
{
    return real().LoadWAV_RW(src, freesrc, wavFormat, buf, len);
}

OBSERVER_EXPORT void SDLCALL SDL_FreeWAV(Uint8* buf)
{
    real().FreeWAV(buf);
}

OBSERVER_EXPORT int SDLCALL SDL_BuildAudioCVT(SDL_AudioCVT* cvt, SDL_AudioFormat srcFormat, Uint8 srcChannels,
                                              int srcRate, SDL_AudioFormat dstFormat, Uint8 dstChannels,
                                              int dstRate)
{
    return real().BuildAudioCVT(cvt, srcFormat, srcChannels, srcRate, dstFormat, dstChannels, dstRate);
}

OBSERVER_EXPORT int SDLCALL SDL_ConvertAudio(SDL_AudioCVT* cvt)
{
    return real().ConvertAudio(cvt);
}

OBSERVER_EXPORT void quennel_observer_listen(const SdlObserverListener* l)
{
    std::lock_guard<std::mutex> guard(listenerLock);
    listener = l ? *l : SdlObserverListener{};
}

OBSERVER_EXPORT bool quennel_observer_format(SDL_AudioSpec* obtained)
{
    if (device.id == 0)
        return false;
    *obtained = device.obtained;
    return true;
}

OBSERVER_EXPORT void quennel_observer_state(int* openedSoFar, long long* buffersSoFar, bool* paused)
{
    *openedSoFar = opened.load();
    *buffersSoFar = buffers.load();
    *paused = device.id == 0 || device.paused;
}

OBSERVER_EXPORT void* quennel_observer_real()
{
    return real().handle;
}
