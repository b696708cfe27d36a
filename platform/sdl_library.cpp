#include "platform/sdl_library.h"

#include <QLibrary>

namespace {
// Each member from the library by its SDL name; false if one is missing.
template <typename F>
bool take(QLibrary& library, F& member, const char* name)
{
    member = reinterpret_cast<F>(library.resolve(name));
    return member != nullptr;
}

SdlLibrary load()
{
    SdlLibrary sdl{};
    // The run-time name of SDL 2, as its package installs it.
    QLibrary library(QStringLiteral("SDL2-2.0"), 0);
    if (!library.load())
        return SdlLibrary{};
    const bool whole = take(library, sdl.SetHint, "SDL_SetHint") &&
                       take(library, sdl.InitSubSystem, "SDL_InitSubSystem") &&
                       take(library, sdl.QuitSubSystem, "SDL_QuitSubSystem") &&
                       take(library, sdl.OpenAudioDevice, "SDL_OpenAudioDevice") &&
                       take(library, sdl.CloseAudioDevice, "SDL_CloseAudioDevice") &&
                       take(library, sdl.PauseAudioDevice, "SDL_PauseAudioDevice") &&
                       take(library, sdl.LockAudioDevice, "SDL_LockAudioDevice") &&
                       take(library, sdl.UnlockAudioDevice, "SDL_UnlockAudioDevice") &&
                       take(library, sdl.RWFromConstMem, "SDL_RWFromConstMem") &&
                       take(library, sdl.LoadWAV_RW, "SDL_LoadWAV_RW") &&
                       take(library, sdl.FreeWAV, "SDL_FreeWAV") &&
                       take(library, sdl.BuildAudioCVT, "SDL_BuildAudioCVT") &&
                       take(library, sdl.ConvertAudio, "SDL_ConvertAudio");
    // Kept loaded for the rest of the run: SDL's threads run its code.
    return whole ? sdl : SdlLibrary{};
}
}  // namespace

const SdlLibrary* sdlLibrary()
{
    static const SdlLibrary sdl = load();
    return sdl.SetHint ? &sdl : nullptr;
}
