// The one seam every screen plays its sounds through.
#include "platform/sound.h"

#include <utility>

namespace {
SoundSink* g_sink = nullptr;
}  // namespace

void s_play(Sound sound, bool wait)
{
    if (g_sink)
        g_sink->play(sound, wait);
}

SoundSink* setSoundSink(SoundSink* sink)
{
    return std::exchange(g_sink, sink);
}

void loadSound(Sound sound, const QByteArray& wav)
{
    if (g_sink)
        g_sink->load(sound, wav);
}

void preloadSound(Sound sound)
{
    if (g_sink)
        g_sink->preload(sound);
}
