// libFuzzer target for the tavo.dat reader: any bytes either give the game
// data or a DataFileError whose message names the file. Anything else (a
// crash, a sanitizer report, another exception, a hang) is a finding.
#include "state/datafiles.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const GameData game = parseGameData(bytes);
        // What the game relies on once the file is accepted.
        for (int s = 1; s <= 5; ++s) {
            if (game.stageKeyRange[s] < 1 || game.stageKeyRange[s] > 9 || !(game.stageGaugeStep[s] > 0.0)
                || game.stageQuota[s] < 0) {
                std::fprintf(stderr, "accepted stage %d with values out of range\n", s);
                std::abort();
            }
        }
    } catch (const DataFileError& e) {
        if (e.file() != QLatin1String("tavo.dat") || !e.message().contains(QLatin1String("tavo.dat"))
            || e.detail().isEmpty()) {
            std::fprintf(stderr, "unclear message: %s\n", e.what());
            std::abort();
        }
    }
    return 0;
}
