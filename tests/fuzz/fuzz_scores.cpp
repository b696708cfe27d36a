// libFuzzer target for the score file reader: any bytes either give twelve
// scores or a DataFileError naming tavo_s.dat; an accepted table written
// back with formatScores reads back as the same table, byte for byte stable.
#include "state/datafiles.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    ScoreTable scores;
    try {
        scores = parseScores(bytes);
    } catch (const DataFileError& e) {
        if (e.file() != QLatin1String("tavo_s.dat") || !e.message().contains(QLatin1String("tavo_s.dat"))
            || e.detail().isEmpty()) {
            std::fprintf(stderr, "unclear message: %s\n", e.what());
            std::abort();
        }
        return 0;
    }
    const QByteArray written = formatScores(scores);
    ScoreTable again;
    try {
        again = parseScores(written);
    } catch (const DataFileError& e) {
        std::fprintf(stderr, "the game's own table is rejected: %s\n", e.what());
        std::abort();
    }
    if (again != scores || formatScores(again) != written) {
        std::fprintf(stderr, "score table changed on the way through the file\n");
        std::abort();
    }
    return 0;
}
