#pragma once
// The WAV images behind the sound names, as start-up read them from the
// game folder. Each is decoded for the device when first played or
// preloaded; loading a new image drops the old one's decoded form.
#include "platform/sound.h"

#include <QByteArray>

void loadSound(Sound sound, const QByteArray& wav);
// The image last loaded for the sound (empty when none was).
const QByteArray& soundWav(Sound sound);
// Forgets every image (a fresh run, or between tests).
void unloadSounds();
