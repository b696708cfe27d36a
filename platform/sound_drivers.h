#pragma once
// Which of SDL's audio drivers to start when the player has named none
// (SDL_AUDIODRIVER). SDL on its own starts the first that loads, and ALSA
// loads on any machine: with no sound card it then prints eight lines of
// errors on every start and keeps a thread looking for cards. A driver with
// nothing to reach is left out instead.
#include <QStringList>

// What this machine offers the drivers.
struct AudioPlaces {
    bool alsaPlayback = false;   // an ALSA playback device (/dev/snd/pcmC*D*p)
    bool oss = false;            // /dev/dsp
    bool sndiod = false;         // a sndio server's socket folder
    bool pipewire = false;       // PipeWire's socket (or a remote named for it)
};
AudioPlaces audioPlacesHere();

// SDL's drivers in its own order.
QStringList compiledAudioDrivers();

// Those worth starting, in the same order. PulseAudio stays: it finds its
// server in ways no file shows, and is silent when there is none. SDL's
// disk and dummy drivers are only ever used when named.
QStringList audioDriversToTry(const QStringList& compiled, const AudioPlaces& here);
