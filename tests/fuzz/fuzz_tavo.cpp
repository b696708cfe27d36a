// libFuzzer target for the tavo.dat reader: any bytes either give the game
// data or a DataFileError whose message names the file. Anything else (a
// crash, a sanitizer report, another exception, a hang) is a finding.
//
// Raw bytes seldom get past the first values, so an input opening with
// kShaped is a recipe instead: the lines after that byte stand in for the
// values of a complete, valid file ("=" keeps the valid value), and the
// phrases up to the phrase count are filled in. That way the fuzzer works on
// the stage values' upper limits and the phrase count as easily as on the
// caption.
#include "state/datafiles.h"

#include <QList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr char kShaped = '\x01';
constexpr int kPhraseCountValue = 41;   // values before it: caption .. last picture
constexpr int kMostPhrasesFilled = 20000;

QList<QByteArray> validValues()
{
    QList<QByteArray> v{"Quennel", "stages", "one", "two", "three", "four", "five",
                        "keys", "3", "5", "7", "9", "9", "gauge", "1", "1", "0.5", "0.5", "1",
                        "quota", "50", "80", "100", "120", "150", "pictures"};
    for (int i = 0; i < kCharacterPictures; ++i)
        v << "chara\\s" + QByteArray::number(i / 3 + 1) + "_" + QByteArray::number(i % 3) + ".bmp";
    v << "20";
    return v;
}

// Builds a tavo.dat from a recipe (see above). The flags byte picks the
// separator and whether the phrases fall one short of the count.
QByteArray shapedFile(const QByteArray& recipe)
{
    const char flags = recipe.isEmpty() ? 0 : recipe.at(0);
    QList<QByteArray> values = validValues();
    const QList<QByteArray> lines = recipe.mid(1).split('\n');
    qsizetype given = 0;
    for (const QByteArray& line : lines) {
        if (given < values.size()) {
            if (line != "=")
                values[given] = line;
        } else {
            values << line;   // a phrase
        }
        ++given;
    }
    bool ok = false;
    const int count = values.at(kPhraseCountValue).trimmed().toInt(&ok);
    if (ok && count >= 0 && count <= kMostPhrasesFilled) {
        const qsizetype wanted = kPhraseCountValue + 1 + count - ((flags & 1) ? 1 : 0);
        for (qsizetype i = values.size(); i < wanted; ++i)
            values << "p";
    }
    return values.join((flags & 2) ? QByteArray(",") : QByteArray("\r\n"));
}

[[noreturn]] void finding(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!bytes.isEmpty() && bytes.at(0) == kShaped)
        bytes = shapedFile(bytes.mid(1));
    try {
        const GameData game = parseGameData(bytes);
        // What the game relies on once the file is accepted.
        for (int s = 1; s <= 5; ++s) {
            if (game.stageKeyRange[s] < 1 || game.stageKeyRange[s] > 9)
                finding("accepted a key range outside 1..9");
            if (!(game.stageGaugeStep[s] > 0.0) || game.stageGaugeStep[s] > 1000000.0)
                finding("accepted a gauge step outside (0, 1000000]");
            if (game.stageQuota[s] < 0 || game.stageQuota[s] > 100000000)
                finding("accepted a quota outside 0..100000000");
        }
        if (game.phrases.size() > 10000)
            finding("accepted more than 10000 phrases");
    } catch (const DataFileError& e) {
        if (e.file() != QLatin1String("tavo.dat") || !e.message().contains(QLatin1String("tavo.dat"))
            || e.detail().isEmpty())
            finding((std::string("unclear message: ") + e.what()).c_str());
    }
    return 0;
}
