#pragma once
// What the benchmark and the sound tests see on the device's side of
// playback, through the SDL observer (bench/sdl_observer) loaded in SDL's
// place. The caller says which sound it is about to play; the probe then
// compares every buffer the device takes with that sound, converted to the
// device's format, and so sees when it starts, how much of it the device
// took, and whether something else cut it off.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <SDL.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// What the device took of one sound asked for.
struct SoundProgress {
    qint64 framesTaken = 0;   // frames of it handed to the device, in order from its first
    qint64 framesTotal = 0;   // its length in the device's format; 0: nothing to play
    bool finished = false;    // every frame of it reached the device
    bool cutOff = false;      // the device went on to other bytes before its end
};

class SoundProbe {
public:
    // Loads the observer in SDL's place. Must come before the game first
    // loads SDL; false, with the reason in `error`, when the game's load of
    // SDL would not find it.
    static bool install(QString* error);

    // Listens to the observer until destroyed (one probe at a time).
    SoundProbe();
    ~SoundProbe();
    SoundProbe(const SoundProbe&) = delete;
    SoundProbe& operator=(const SoundProbe&) = delete;

    // The caller is about to play `wav`; its clock starts now. Returns the
    // sound's number for progress(int).
    int asked(const QByteArray& wav);
    SoundProgress progress(int sound) const;
    // The newest sound asked for (an empty one before any).
    SoundProgress progress() const;
    // From asking for the newest sound to the first buffer carrying it, in
    // nanoseconds; -1 while none has (or nothing was asked for).
    qint64 startLatencyNs() const;
    // True while the device is paused with its thread asleep.
    bool resting() const;
    // The format the open device obtained; none while no device is open.
    std::optional<SDL_AudioSpec> format() const;
    // Devices opened and buffers handed to them since the observer loaded.
    int devicesOpened() const;
    qint64 buffers() const;
    // True while no device is open or the open one is paused: nothing
    // reaches it.
    bool paused() const;
    // A function of the real SDL (for what the game does not call).
    static void* realSdlFunction(const char* name);

private:
    struct Tracked {
        std::shared_ptr<const std::vector<Uint8>> bytes;   // in the device's format
        std::size_t pos = 0;                               // bytes taken so far
        bool cut = false;
    };
    static void onBuffer(void* self, const Uint8* bytes, int len);
    static void onRested(void* self, bool resting);
    void buffer(const Uint8* bytes, std::size_t len);
    std::shared_ptr<const std::vector<Uint8>> convert(const QByteArray& wav) const;
    SoundProgress progressOf(const Tracked& t) const;

    mutable std::mutex lock_;
    std::vector<Tracked> sounds_;
    std::size_t frameBytes_ = 4;
    Uint8 silence_ = 0;
    std::chrono::steady_clock::time_point askedAt_{};
    qint64 latencyNs_ = -1;
    bool resting_ = false;
};
