#pragma once
// SDL, loaded the first time the sound device is wanted rather than with the
// program. SDL brings some thirty libraries of its own (PulseAudio and its
// codecs, Wayland, DRM), and loading them all before main() would put them
// in front of the title on every start; the device is opened only once the
// title is painted, and the library with it.
#include <SDL.h>

// The part of SDL the game uses, named as SDL names it without the prefix.
struct SdlLibrary {
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&SDL_LockAudioDevice) LockAudioDevice;
    decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice;
    decltype(&SDL_RWFromConstMem) RWFromConstMem;
    decltype(&SDL_LoadWAV_RW) LoadWAV_RW;
    decltype(&SDL_FreeWAV) FreeWAV;
    decltype(&SDL_BuildAudioCVT) BuildAudioCVT;
    decltype(&SDL_ConvertAudio) ConvertAudio;
};

// SDL, loaded on the first call; null when it cannot be loaded or lacks a
// function, and then the game is silent.
const SdlLibrary* sdlLibrary();
