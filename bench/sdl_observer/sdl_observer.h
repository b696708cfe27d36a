#pragma once
// A stand-in for SDL that the benchmark and the sound tests load before the
// game first loads SDL: it carries SDL's run-time name, so the game's own
// load of SDL finds it, passes every call on to the real library and sees
// what reaches the audio device. Its own functions, looked up with dlsym by
// the names below, tell a listener about it.
#include <SDL.h>

extern "C" {

// Told about the one device the game opens. All three may be null.
struct SdlObserverListener {
    void* context;
    // The device took `len` bytes, as the game's callback has just filled
    // them (audio thread).
    void (*buffer)(void* context, const Uint8* bytes, int len);
    // The device was paused with its lock held (the audio thread sleeps on
    // it), or left that state.
    void (*rested)(void* context, bool resting);
};

// Installs `listener` (copied; null: none). Returns once no call to the one
// before is running.
using SdlObserverListen = void (*)(const SdlObserverListener* listener);
inline constexpr const char* kSdlObserverListen = "quennel_observer_listen";

// The format the open device obtained; false while none is open.
using SdlObserverFormat = bool (*)(SDL_AudioSpec* obtained);
inline constexpr const char* kSdlObserverFormat = "quennel_observer_format";

// Devices opened so far and buffers handed to them, counted from the load,
// and whether the open device is paused (true without one).
using SdlObserverState = void (*)(int* opened, long long* buffers, bool* paused);
inline constexpr const char* kSdlObserverState = "quennel_observer_state";

// The real SDL behind it (a dlopen handle), for what the game does not use.
using SdlObserverReal = void* (*)();
inline constexpr const char* kSdlObserverReal = "quennel_observer_real";
}
