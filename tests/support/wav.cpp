#include "wav.h"

#include <QtEndian>

namespace {
void put16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}
void put32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}
}  // namespace

QByteArray makeWav(int ms, int sampleRate, int level, int channels, int bitsPerSample)
{
    const int bytesPerSample = bitsPerSample / 8;
    const quint32 frames = quint32(qint64(sampleRate) * ms / 1000);
    const quint32 dataBytes = frames * quint32(channels * bytesPerSample);

    QByteArray wav;
    wav.append("RIFF");
    put32(wav, 36 + dataBytes);
    wav.append("WAVE");
    wav.append("fmt ");
    put32(wav, 16);
    put16(wav, 1);   // PCM
    put16(wav, quint16(channels));
    put32(wav, quint32(sampleRate));
    put32(wav, quint32(sampleRate * channels * bytesPerSample));
    put16(wav, quint16(channels * bytesPerSample));
    put16(wav, quint16(bitsPerSample));
    wav.append("data");
    put32(wav, dataBytes);
    for (quint32 i = 0; i < frames * quint32(channels); ++i) {
        if (bitsPerSample == 8)
            wav.append(char(quint8(128 + level)));
        else
            put16(wav, quint16(qint16(level)));
    }
    return wav;
}
