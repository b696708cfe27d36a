// Sound output: waiting and non-waiting play, cut-off, conversion,
// silence for everything that is not a playable WAV, a waiting sound's own
// length kept without a device, the device's rest and a missing device.
// The device is watched from outside: the SDL observer stands in SDL's
// place and the probe compares what reaches the device with each sound.
#include "bench/sound_probe.h"
#include "platform/sound.h"
#include "platform/sound_player.h"
#include "platform/wav_length.h"
#include "support/wav.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QtEndian>

#include <array>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kOutRate = 44100;   // what the disk driver grants: exactly what is asked

// The run's player, installed as the sink, and a probe watching its device.
std::unique_ptr<SoundPlayer> player;
std::unique_ptr<SoundProbe> probe;
// The images loaded behind each sound name, for the probe to compare with.
std::array<QByteArray, kSoundCount> wavs;

SoundProgress soundProgress() { return probe->progress(); }
qint64 lastSoundStartLatencyNs() { return probe->startLatencyNs(); }

// Puts a WAV image behind a sound name, so that any bytes can be played.
Sound loaded(Sound name, const QByteArray& wav)
{
    wavs.at(std::size_t(soundIndex(name))) = wav;
    loadSound(name, wav);
    return name;
}

// s_play, with the probe told first what is asked for; the probe's number
// for the sound.
int play(Sound sound, bool wait)
{
    const int id = probe->asked(wavs.at(std::size_t(soundIndex(sound))));
    s_play(sound, wait);
    return id;
}

// The probe saw the sound to its last frame, not cut off.
bool heardWhole(int id)
{
    const SoundProgress p = probe->progress(id);
    return p.finished && !p.cutOff && p.framesTaken == p.framesTotal;
}

void openDevice(const char* driver, const QString& diskFile = {})
{
    qputenv("SDL_AUDIODRIVER", driver);
    if (!diskFile.isEmpty())
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(diskFile));
    player->openDevice();
}

// Context switches of SDL's playback thread so far, from the kernel; -1
// while there is none.
qint64 audioThreadSwitches()
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || !comm.readAll().startsWith("SDLAudioP"))
            continue;
        QFile status(tasks.filePath(tid + QStringLiteral("/status")));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        qint64 switches = 0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.contains("ctxt_switches:"))
                switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        return switches;
    }
    return -1;
}

// Names of this process's threads that SDL started.
QStringList sdlThreads()
{
    QStringList names;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        const QByteArray name = comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : QByteArray();
        if (name.startsWith("SDL"))
            names << QString::fromLatin1(name);
    }
    return names;
}

// The 16-bit samples that the disk driver wrote (both channels).
std::vector<qint16> readDiskOutput(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    std::vector<qint16> samples(std::size_t(bytes.size() / 2));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i);
    return samples;
}

// Conversion to the device's format may round a level by a step or two.
bool near(qint16 sample, qint16 level)
{
    return qAbs(int(sample) - int(level)) <= 4;
}

qint64 countOf(const std::vector<qint16>& s, qint16 level)
{
    return std::count_if(s.begin(), s.end(), [&](qint16 v) { return near(v, level); });
}

std::vector<qint16>::const_iterator findLevel(std::vector<qint16>::const_iterator from,
                                              const std::vector<qint16>& s, qint16 level)
{
    return std::find_if(from, s.cend(), [&](qint16 v) { return near(v, level); });
}

// Waits, with a deadline, until the device has taken some of the newest sound.
bool waitUntilStarted(qint64 minFrames)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 3000) {
        if (soundProgress().framesTaken >= minFrames)
            return true;
        QTest::qWait(5);
    }
    return false;
}

class RecordingSink : public SoundSink {
public:
    struct Call { Sound sound; bool wait; };
    std::vector<Call> calls;
    void play(Sound sound, bool wait) override { calls.push_back({sound, wait}); }
};

}  // namespace

class TestSound : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Before any player loads SDL: the player's load must find the observer.
        QString error;
        QVERIFY2(SoundProbe::install(&error), qPrintable(error));
    }
    void init()
    {
        player = std::make_unique<SoundPlayer>();
        probe = std::make_unique<SoundProbe>();
        setSoundSink(player.get());
    }
    void cleanup()
    {
        setSoundSink(nullptr);
        probe.reset();
        player.reset();
        wavs = {};
        qputenv("SDL_AUDIODRIVER", "dummy");
    }

    void waitingPlayReturnsWhenTheSoundIsOver();
    void newSoundCutsOffThePlayingOne();
    void countDownSoundsAreEachHeardWhole();
    void otherRatesAndFormatsKeepTheirLength();
    void unplayableBuffersAreSilentAndDoNotWait();
    void noDeviceKeepsTheLengthOfAWaitingSound();
    void unplayableSoundWaitsItsHeaderLength();
    void headerGivesThePlayingTime();
    void sinkReceivesThePlaysInsteadOfTheDevice();
    void startLatencyIsRecordedPerSound();
    void idleDeviceRestsAndTheNextSoundWakesIt();
    void aSoundAfterARestIsHeardFromItsFirstSample();
    void noDeviceLeavesNothingRunningAndTheNextSoundLooksAgain();
    void theObserverSeesTheDeviceThePlayerOpens();
    void aSoundWithSilentEdgesIsFollowedWhole();
};

void TestSound::waitingPlayReturnsWhenTheSoundIsOver()
{
    // A waiting play returns only after the whole sound went to the device.
    openDevice("dummy");
    QVERIFY(player->deviceOpen());

    QElapsedTimer t;
    t.start();
    const int id = play(loaded(Sound::SoundHit, makeWav(500)), true);
    const qint64 ms = t.elapsed();
    QVERIFY2(ms >= 400, qPrintable(QString::number(ms)));
    QVERIFY2(ms < 2500, qPrintable(QString::number(ms)));
    QVERIFY(heardWhole(id));
    QCOMPARE(probe->progress(id).framesTotal, kOutRate / 2);
}

void TestSound::newSoundCutsOffThePlayingOne()
{
    // A non-waiting play returns at once; the next sound replaces it mid-way.
    QTemporaryDir dir;
    const QString out = dir.filePath("out.raw");
    openDevice("disk", out);
    QVERIFY(player->deviceOpen());

    const QByteArray longWav = makeWav(2000, 44100, 1000);
    const QByteArray shortWav = makeWav(300, 44100, 2000);
    const Sound longSound = loaded(Sound::SoundHit, longWav);
    const Sound shortSound = loaded(Sound::SoundMiss, shortWav);
    preloadSound(longSound);
    preloadSound(shortSound);

    QElapsedTimer t;
    t.start();
    const int first = play(longSound, false);
    QVERIFY2(t.elapsed() < 100, qPrintable(QString::number(t.elapsed())));
    QVERIFY(waitUntilStarted(2048));

    const int second = play(shortSound, true);
    QVERIFY(heardWhole(second));
    // The device went from the middle of the long one to the short one.
    const SoundProgress cut = probe->progress(first);
    QVERIFY(cut.cutOff);
    QVERIFY2(cut.framesTaken >= 2048 && cut.framesTaken < cut.framesTotal / 2,
             qPrintable(QString::number(cut.framesTaken)));
    player->closeDevice();   // closes the output file

    const auto samples = readDiskOutput(out);
    const qint64 longSamples = 2 * 44100 * 2000 / 1000;
    const qint64 shortSamples = 2 * 44100 * 300 / 1000;
    const qint64 heardOfLong = countOf(samples, 1000);
    QVERIFY2(heardOfLong > 0 && heardOfLong < longSamples / 2,
             qPrintable(QString::number(heardOfLong)));
    QCOMPARE(countOf(samples, 2000), shortSamples);
    // Nothing of the first sound comes after the second began.
    const auto secondStart = findLevel(samples.cbegin(), samples, 2000);
    QVERIFY(secondStart != samples.cend());
    QVERIFY(findLevel(secondStart, samples, 1000) == samples.cend());
}

void TestSound::countDownSoundsAreEachHeardWhole()
{
    // Waiting plays one after another: each is heard in full, in order.
    QTemporaryDir dir;
    const QString out = dir.filePath("out.raw");
    openDevice("disk", out);
    QVERIFY(player->deviceOpen());

    const qint16 levels[] = {3000, 2000, 1000};
    const Sound names[] = {Sound::SoundThree, Sound::SoundTwo, Sound::SoundOne};
    for (int i = 0; i < 3; ++i)
        loaded(names[i], makeWav(150, 44100, levels[i]));
    for (Sound name : names)
        QVERIFY(heardWhole(play(name, true)));
    player->closeDevice();

    const auto samples = readDiskOutput(out);
    const qint64 each = 2 * 44100 * 150 / 1000;
    std::vector<qint16>::const_iterator from = samples.begin();
    for (qint16 level : levels) {
        QCOMPARE(countOf(samples, level), each);
        const auto at = findLevel(from, samples, level);
        QVERIFY(at != samples.cend());
        // The whole sound is one unbroken run.
        QVERIFY(std::all_of(at, at + each, [&](qint16 s) { return near(s, level); }));
        from = at + each;
    }
}

void TestSound::otherRatesAndFormatsKeepTheirLength()
{
    // A WAV at another rate and sample size plays for its own duration.
    QTemporaryDir dir;
    const QString out = dir.filePath("out.raw");
    openDevice("disk", out);
    QVERIFY(player->deviceOpen());

    const int id = play(loaded(Sound::SoundHit, makeWav(400, 22050, 40, 1, 8)), true);
    const SoundProgress p = probe->progress(id);
    player->closeDevice();

    // Every frame of the converted sound reached the device.
    QVERIFY(heardWhole(id));
    const qint64 expectedFrames = kOutRate * 400 / 1000;
    QVERIFY2(qAbs(p.framesTotal - expectedFrames) < expectedFrames / 50,
             qPrintable(QString::number(p.framesTotal)));
    const auto samples = readDiskOutput(out);
    const qint64 loud = std::count_if(samples.begin(), samples.end(),
                                      [](qint16 s) { return s > 5000; });
    QVERIFY2(qAbs(loud / 2 - expectedFrames) < expectedFrames / 50,
             qPrintable(QString::number(loud)));
}

void TestSound::unplayableBuffersAreSilentAndDoNotWait()
{
    // Empty, garbage and cut-short WAVs are silence, even when waiting.
    openDevice("dummy");
    QVERIFY(player->deviceOpen());

    const QByteArray good = makeWav(2000);
    QByteArray noData = makeWav(0);
    const QByteArray cases[] = {
        QByteArray(),
        QByteArray("this is not a sound at all, just some bytes"),
        good.left(30),                   // ends inside the format chunk
        QByteArray("RIFF\x10\0\0\0WAVE", 12),
        noData,
    };
    loaded(Sound::SoundHit, good);
    loaded(Sound::SoundPowah, makeWav(30, 44100, 3000));
    for (const QByteArray& bad : cases) {
        loaded(Sound::SoundMiss, bad);
        const int hit = play(Sound::SoundHit, false);
        QVERIFY(waitUntilStarted(1));

        QElapsedTimer t;
        t.start();
        play(Sound::SoundMiss, true);
        QVERIFY2(t.elapsed() < 200, qPrintable(QString::number(t.elapsed())));
        // It still cuts off what was playing: the device stops, and when
        // the next sound starts it the old one does not come back.
        QVERIFY(probe->paused());
        QVERIFY(heardWhole(play(Sound::SoundPowah, true)));
        QVERIFY(probe->progress(hit).cutOff);
        QVERIFY(!probe->progress(hit).finished);
    }
}

void TestSound::noDeviceKeepsTheLengthOfAWaitingSound()
{
    // Without a device a waiting play still lasts as long as the sound (the
    // count-down keeps its length); a non-waiting one returns at once.
    const Sound wav = loaded(Sound::SoundHit, makeWav(300));
    const qint64 buffers = probe->buffers();
    QElapsedTimer t;
    t.start();
    play(wav, true);   // before any openDevice
    QVERIFY2(t.elapsed() >= 300, qPrintable(QString::number(t.elapsed())));

    openDevice("nonexistent");
    QVERIFY(!player->deviceOpen());
    QVERIFY(!probe->format());
    t.restart();
    play(wav, false);
    preloadSound(wav);
    QVERIFY2(t.elapsed() < 200, qPrintable(QString::number(t.elapsed())));
    t.restart();
    play(wav, true);
    QVERIFY2(t.elapsed() >= 300, qPrintable(QString::number(t.elapsed())));
    // Nothing reached a device, nothing started.
    QCOMPARE(probe->buffers(), buffers);
    QCOMPARE(lastSoundStartLatencyNs(), -1);
}

namespace {
// A WAV whose header is patched: format tag, byte rate and declared data size.
QByteArray patchedWav(const QByteArray& wav, quint16 format, quint32 byteRate, quint32 dataBytes)
{
    QByteArray out = wav;
    qToLittleEndian(format, out.data() + 20);
    qToLittleEndian(byteRate, out.data() + 28);
    qToLittleEndian(dataBytes, out.data() + 40);
    return out;
}
}  // namespace

void TestSound::unplayableSoundWaitsItsHeaderLength()
{
    // A sound the device cannot decode is silent, yet a waiting play of it
    // takes the length its header gives.
    openDevice("dummy");
    QVERIFY(player->deviceOpen());
    // 8 kHz mono 8-bit: 2400 bytes are 300 ms, in a format no decoder knows.
    const QByteArray bytes = patchedWav(makeWav(300, 8000, 0, 1, 8), 0x7777, 8000, 2400);
    QCOMPARE(wavPlayingTime(bytes), std::chrono::microseconds(300000));
    const Sound wav = loaded(Sound::SoundOne, bytes);
    const qint64 buffers = probe->buffers();
    QElapsedTimer t;
    t.start();
    play(wav, true);
    QVERIFY2(t.elapsed() >= 300, qPrintable(QString::number(t.elapsed())));
    t.restart();
    play(wav, false);
    QVERIFY2(t.elapsed() < 200, qPrintable(QString::number(t.elapsed())));
    // The device never ran for it.
    QVERIFY(probe->paused());
    QCOMPARE(probe->buffers(), buffers);
}

void TestSound::headerGivesThePlayingTime()
{
    // The length comes from the format and data chunks, cut to the bytes
    // really there; anything without them lasts nothing.
    using std::chrono::microseconds;
    QCOMPARE(wavPlayingTime(makeWav(1500)), microseconds(1500000));
    QCOMPARE(wavPlayingTime(makeWav(200, 22050, 10, 2, 8)), microseconds(200000));
    QCOMPARE(wavPlayingTime(makeWav(0)), microseconds(0));

    const QByteArray second = makeWav(1000, 8000, 0, 1, 8);   // 8000 data bytes
    // A data chunk that claims more than the file holds plays what is there.
    QCOMPARE(wavPlayingTime(patchedWav(second, 1, 8000, 80000)), microseconds(1000000));
    QCOMPARE(wavPlayingTime(second.left(44 + 4000)), microseconds(500000));
    // Compressed formats are timed by their declared byte rate.
    QCOMPARE(wavPlayingTime(patchedWav(second, 0x11, 4000, 8000)), microseconds(2000000));

    // An odd-sized chunk before the data is padded to an even length.
    QByteArray listed = second.left(36);
    listed += QByteArray("LIST\x03\0\0\0abc\0", 12);
    listed += second.mid(36);
    QCOMPARE(wavPlayingTime(listed), microseconds(1000000));

    const QByteArray nothing[] = {
        QByteArray(),
        QByteArray("RIFF\x10\0\0\0WAVE", 12),
        second.left(30),                                   // ends inside the format chunk
        second.left(12) + second.mid(36),                  // data but no format
        patchedWav(second, 1, 8000, 8000).replace(24, 4, QByteArray(4, '\0')),   // rate 0
        QByteArray("RIFX") + second.mid(4),
    };
    for (const QByteArray& bad : nothing)
        QCOMPARE(wavPlayingTime(bad), microseconds(0));
}

void TestSound::sinkReceivesThePlaysInsteadOfTheDevice()
{
    // An installed sink gets every play with its mode; the device gets none.
    openDevice("dummy");
    QVERIFY(player->deviceOpen());
    const Sound a = loaded(Sound::SoundHit, makeWav(50, 44100, 1000));
    const Sound b = loaded(Sound::SoundMiss, makeWav(5000, 44100, 2000));
    RecordingSink sink;
    QCOMPARE(setSoundSink(&sink), player.get());
    const qint64 before = probe->buffers();

    QElapsedTimer t;
    t.start();
    s_play(a, false);
    s_play(b, true);
    QVERIFY(t.elapsed() < 1000);   // the sink decides; nothing waits for 5 s

    QCOMPARE(setSoundSink(player.get()), &sink);
    QCOMPARE(sink.calls.size(), std::size_t(2));
    QCOMPARE(sink.calls[0].sound, a);
    QCOMPARE(sink.calls[0].wait, false);
    QCOMPARE(sink.calls[1].sound, b);
    QCOMPARE(sink.calls[1].wait, true);
    QVERIFY(probe->paused());
    QCOMPARE(probe->buffers(), before);

    QVERIFY(heardWhole(play(a, true)));   // the device again
    QVERIFY(probe->buffers() > before);
    QCOMPARE(sink.calls.size(), std::size_t(2));
}

void TestSound::startLatencyIsRecordedPerSound()
{
    // The moment the device first takes a sound is measured for each play.
    openDevice("dummy");
    QVERIFY(player->deviceOpen());
    const Sound wav = loaded(Sound::SoundHit, makeWav(1000));
    const Sound other = loaded(Sound::SoundMiss, makeWav(1000, 44100, 3000));
    preloadSound(wav);
    preloadSound(other);
    QCOMPARE(lastSoundStartLatencyNs(), -1);

    const int first = play(wav, false);
    QVERIFY(waitUntilStarted(1));
    const qint64 firstNs = lastSoundStartLatencyNs();
    QVERIFY(firstNs >= 0);
    QVERIFY(firstNs < 1'000'000'000);

    const int second = play(other, false);
    QVERIFY(waitUntilStarted(1));
    QVERIFY(lastSoundStartLatencyNs() >= 0);
    QVERIFY(probe->progress(first).cutOff);
    QVERIFY(probe->progress(second).framesTaken > 0);
}

void TestSound::idleDeviceRestsAndTheNextSoundWakesIt()
{
    // Two seconds after the last sound ends the audio thread sleeps; the next sound wakes it, and closing still works.
    openDevice("dummy");
    const Sound sound = loaded(Sound::SoundHit, makeWav(1500));
    QElapsedTimer t;
    t.start();
    const int first = play(sound, false);
    QTRY_VERIFY_WITH_TIMEOUT(probe->resting(), 8000);
    // It rested only once the sound was over.
    QVERIFY(probe->progress(first).finished);
    QVERIFY2(t.elapsed() >= 1500 + 2000 - 100, qPrintable(QString::number(t.elapsed())));

    const qint64 asleep = audioThreadSwitches();
    QVERIFY(asleep >= 0);
    QTest::qWait(300);   // a running dummy thread switches about 25 times in this
    // On a loaded machine the thread's own step into its rest may still be
    // counted as one switch after it reports resting: at most one, not 25.
    QVERIFY2(audioThreadSwitches() - asleep <= 1,
             qPrintable(QStringLiteral("%1 switches while resting").arg(audioThreadSwitches() - asleep)));

    const qint64 buffersAsleep = probe->buffers();
    play(sound, false);
    QVERIFY(!probe->resting());
    QVERIFY(waitUntilStarted(1));
    QVERIFY(audioThreadSwitches() > asleep);
    QVERIFY(probe->buffers() > buffersAsleep);

    play(loaded(Sound::SoundMiss, makeWav(50)), false);
    QTRY_VERIFY_WITH_TIMEOUT(probe->resting(), 8000);
    player->closeDevice();
    QVERIFY(!player->deviceOpen());
}

void TestSound::aSoundAfterARestIsHeardFromItsFirstSample()
{
    // The first sound after the device has rested reaches it whole, from its first sample on, every sample in order.
    QTemporaryDir dir;
    const QString out = dir.filePath("out.raw");
    openDevice("disk", out);
    play(loaded(Sound::SoundPowah, makeWav(50, 44100, 9000)), false);
    QTRY_VERIFY_WITH_TIMEOUT(probe->resting(), 8000);

    // Every frame its own value, in the device's own format so that no
    // conversion rounds it: a lost or repeated frame shows.
    constexpr int kFrames = 4410;
    QByteArray ramp = makeWav(100, kOutRate, 0, 2);
    for (int i = 0; i < 2 * kFrames; ++i)
        qToLittleEndian<qint16>(qint16(100 + i / 2), ramp.data() + 44 + 2 * i);
    const int id = play(loaded(Sound::SoundThree, ramp), true);
    QVERIFY(heardWhole(id));
    QCOMPARE(probe->progress(id).framesTotal, kFrames);
    player->closeDevice();

    const auto samples = readDiskOutput(out);
    const auto first = std::find(samples.cbegin(), samples.cend(), qint16(100));
    QVERIFY(first != samples.cend());
    QVERIFY(samples.cend() - first >= 2 * kFrames);
    for (int i = 0; i < kFrames; ++i) {
        QCOMPARE(first[2 * i], qint16(100 + i));
        QCOMPARE(first[2 * i + 1], qint16(100 + i));
    }
}

void TestSound::noDeviceLeavesNothingRunningAndTheNextSoundLooksAgain()
{
    // A device that cannot be opened leaves no thread of SDL's running; the next sound looks for one again.
    qputenv("SDL_AUDIODRIVER", "alsa");   // looks for new cards ten times a second while it is started
    player->openDevice();
    if (!player->deviceOpen())
        QCOMPARE(sdlThreads(), QStringList());

    player->closeDevice();
    QTemporaryDir dir;
    openDevice("disk", dir.path());   // a folder cannot be written as the output file
    QVERIFY(!player->deviceOpen());

    // Sound comes back: the next sound asked for finds it, once the key that asked is handled.
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(dir.filePath("out.raw")));
    play(loaded(Sound::SoundHit, makeWav(100)), false);
    QVERIFY(!player->deviceOpen());
    QTRY_VERIFY(player->deviceOpen());
    QVERIFY(probe->format());
}

void TestSound::theObserverSeesTheDeviceThePlayerOpens()
{
    // The player's own load of SDL reaches the observer: it sees the device open in the player's format, and every buffer the device takes.
    QVERIFY(!probe->format());
    const int opened = probe->devicesOpened();
    openDevice("dummy");
    player->openDevice();   // a second call keeps the one device
    QVERIFY(player->deviceOpen());
    QCOMPARE(probe->devicesOpened(), opened + 1);
    const std::optional<SDL_AudioSpec> format = probe->format();
    QVERIFY(format);
    QCOMPARE(format->freq, kOutRate);
    QCOMPARE(int(format->channels), 2);
    QVERIFY(format->samples > 0 && format->samples <= 512);

    const qint64 before = probe->buffers();
    const int id = play(loaded(Sound::SoundTwo, makeWav(200, 44100, 5000)), true);
    const qint64 handed = probe->buffers() - before;
    // 200 ms are 8820 frames: at least that many buffers' worth were handed over.
    QVERIFY2(handed >= (8820 + format->samples - 1) / format->samples, qPrintable(QString::number(handed)));
    QCOMPARE(probe->progress(id).framesTaken, 8820);

    player->closeDevice();
    QVERIFY(!probe->format());
}

void TestSound::aSoundWithSilentEdgesIsFollowedWhole()
{
    // A sound that begins and ends with silent samples is followed from its first sample to its last.
    openDevice("dummy");
    QVERIFY(player->deviceOpen());
    constexpr int kFrames = 4410, kQuiet = 300;
    QByteArray edged = makeWav(100, kOutRate, 7000, 2);
    for (int i = 0; i < 2 * kFrames; ++i)
        if (i < 2 * kQuiet || i >= 2 * (kFrames - kQuiet))
            qToLittleEndian<qint16>(0, edged.data() + 44 + 2 * i);
    play(loaded(Sound::SoundClear, makeWav(50, kOutRate, 2000)), true);   // something before it

    const int id = play(loaded(Sound::SoundOne, edged), true);
    QVERIFY(heardWhole(id));
    QCOMPARE(probe->progress(id).framesTotal, kFrames);
    QVERIFY(lastSoundStartLatencyNs() >= 0);
}

QTEST_GUILESS_MAIN(TestSound)
#include "test_sound.moc"
