#pragma once
// Where each sound lives in the game folder. The start-up check of the
// required files follows this table, then adds the two data files.
#include "platform/sound.h"

#include <array>

struct SoundFile {
    Sound sound;
    const char* file;  // as the game data writes names: '\' separates
};

inline constexpr std::array<SoundFile, kSoundCount> kSoundFiles = {{
    {Sound::SoundHit, "wav\\hit.wav"},
    {Sound::SoundMiss, "wav\\miss.wav"},
    {Sound::SoundOne, "wav\\one.wav"},
    {Sound::SoundTwo, "wav\\two.wav"},
    {Sound::SoundThree, "wav\\three.wav"},
    {Sound::SoundClear, "wav\\clear.wav"},
    {Sound::SoundTimeUp, "wav\\timeup.wav"},
    {Sound::SoundPowah, "wav\\powah.wav"},
    {Sound::SoundGameOver, "wav\\gameover.wav"},
    {Sound::SoundAllClear, "wav\\allclear.wav"},
}};

// Every sound once, in the order of its name.
constexpr bool soundFilesInOrder()
{
    for (int i = 0; i < kSoundCount; ++i)
        if (soundIndex(kSoundFiles[std::size_t(i)].sound) != i)
            return false;
    return true;
}
static_assert(soundFilesInOrder(), "kSoundFiles lists the sounds in the order of Sound");

// The ten sounds, then the score table and the game data.
inline constexpr int kRequiredFileCount = kSoundCount + 2;
