#include "platform/sound_drivers.h"

#include <QDir>
#include <QFileInfo>

#include "platform/sdl_library.h"

AudioPlaces audioPlacesHere()
{
    AudioPlaces here;
    const QStringList nodes = QDir(QStringLiteral("/dev/snd")).entryList({QStringLiteral("pcmC*D*p")}, QDir::System);
    here.alsaPlayback = !nodes.isEmpty();
    here.oss = QFileInfo::exists(QStringLiteral("/dev/dsp"));
    here.sndiod = QFileInfo::exists(QStringLiteral("/tmp/sndio"));
    const QString runtime = qEnvironmentVariable("PIPEWIRE_RUNTIME_DIR", qEnvironmentVariable("XDG_RUNTIME_DIR"));
    here.pipewire = !qEnvironmentVariableIsEmpty("PIPEWIRE_REMOTE") ||
                    (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/pipewire-0")));
    return here;
}

QStringList compiledAudioDrivers()
{
    QStringList names;
    const SdlLibrary* sdl = sdlLibrary();
    for (int i = 0; sdl && i < sdl->GetNumAudioDrivers(); ++i)
        names << QString::fromLatin1(sdl->GetAudioDriver(i));
    return names;
}

QStringList audioDriversToTry(const QStringList& compiled, const AudioPlaces& here)
{
    QStringList chosen;
    for (const QString& name : compiled) {
        bool reachable = true;
        if (name == QLatin1String("alsa"))
            reachable = here.alsaPlayback;
        else if (name == QLatin1String("sndio"))   // without its server it plays on ALSA's devices
            reachable = here.sndiod || here.alsaPlayback;
        else if (name == QLatin1String("dsp"))
            reachable = here.oss;
        else if (name == QLatin1String("pipewire"))
            reachable = here.pipewire;
        else if (name == QLatin1String("disk") || name == QLatin1String("dummy"))
            reachable = false;
        if (reachable)
            chosen << name;
    }
    return chosen;
}
