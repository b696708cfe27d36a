#include "platform/wav_length.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {
constexpr qsizetype kRiffHeaderBytes = 12;   // "RIFF", size, "WAVE"
constexpr qsizetype kChunkHeaderBytes = 8;   // id, size
constexpr qsizetype kFormatBytes = 16;       // the part of "fmt " read here
// What a sound card could plausibly be asked to play; anything outside is
// a damaged header, not a sound.
constexpr quint32 kMinRate = 1000;
constexpr quint32 kMaxRate = 768000;
constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatFloat = 3;
constexpr quint16 kFormatExtensible = 0xFFFE;

quint16 u16(const char* p) { return qFromLittleEndian<quint16>(p); }
quint32 u32(const char* p) { return qFromLittleEndian<quint32>(p); }
}  // namespace

std::chrono::microseconds wavPlayingTime(const QByteArray& wav)
{
    const char* const bytes = wav.constData();
    const qsizetype size = wav.size();
    if (size < kRiffHeaderBytes || std::memcmp(bytes, "RIFF", 4) != 0 ||
        std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return {};

    quint64 bytesPerSecond = 0;
    qsizetype pos = kRiffHeaderBytes;
    while (pos + kChunkHeaderBytes <= size) {
        const char* chunk = bytes + pos;
        const quint64 declared = u32(chunk + 4);
        const qsizetype body = pos + kChunkHeaderBytes;
        const qsizetype available = size - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (declared < quint64(kFormatBytes) || available < kFormatBytes)
                return {};
            const quint16 format = u16(bytes + body);
            const quint16 channels = u16(bytes + body + 2);
            const quint32 rate = u32(bytes + body + 4);
            const quint32 byteRate = u32(bytes + body + 8);
            const quint16 blockAlign = u16(bytes + body + 12);
            if (channels == 0 || rate < kMinRate || rate > kMaxRate)
                return {};
            // Plain sample formats are timed by their frames; compressed
            // ones by the average byte rate they declare.
            const bool plain = format == kFormatPcm || format == kFormatFloat ||
                               format == kFormatExtensible;
            bytesPerSecond = plain && blockAlign > 0 ? quint64(rate) * blockAlign : byteRate;
            if (bytesPerSecond < kMinRate)
                return {};
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (bytesPerSecond == 0)
                return {};   // data before its format cannot be timed
            const quint64 data = std::min<quint64>(declared, quint64(available));
            return std::chrono::microseconds(qint64(data * 1000000 / bytesPerSecond));
        }
        // Chunks are padded to an even length.
        const quint64 next = quint64(body) + declared + (declared & 1);
        if (next > quint64(size))
            break;
        pos = qsizetype(next);
    }
    return {};
}
