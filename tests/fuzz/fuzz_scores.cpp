// libFuzzer target for the score file reader: any bytes either give twelve
// scores or a DataFileError naming tavo_s.dat; an accepted table written
// back with formatScores reads back as the same table, byte for byte stable.
// Then the same bytes lie on disk as tavo_s.dat and another table is saved
// over them the way the game saves: the save succeeds, keeps in each slot
// the higher of the stored and the new value (the stored ones only when the
// file was readable), and the file then reads back as exactly that table.
#include "state/datafiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

QString& startFolder();

[[noreturn]] void finding(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    QDir::setCurrent(startFolder());   // the finding is written where the run began
    std::abort();
}

QString& startFolder()
{
    static QString folder = QDir::currentPath();
    return folder;
}

// An empty game folder, in memory-backed storage when there is some (every
// input writes the score file), is the working directory while the save
// runs; the fuzzer's own files stay where it was started.
class InGameFolder {
public:
    InGameFolder()
    {
        static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                     ? QStringLiteral("/dev/shm/quennel-fuzz-XXXXXX")
                                     : QDir::tempPath() + QStringLiteral("/quennel-fuzz-XXXXXX"));
        (void)startFolder();
        if (!dir.isValid() || !QDir::setCurrent(dir.path()))
            finding("no temporary folder");
    }
    ~InGameFolder() { QDir::setCurrent(startFolder()); }
};

void saveOver(const QByteArray& bytes, const std::optional<ScoreTable>& stored)
{
    const InGameFolder inside;
    {
        QFile file(QStringLiteral("tavo_s.dat"));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            finding("cannot lay the input down as tavo_s.dat");
    }
    // Another copy's table, made from the same bytes.
    ScoreTable mine{};
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const qsizetype n = bytes.size();
        mine[i] = n == 0 ? int(i) : (uchar(bytes.at(qsizetype(i) % n)) << 12) + uchar(bytes.at(n - 1 - qsizetype(i) % n));
    }
    const ScoreSave save = saveScores(mine);
    if (!save.failure.isEmpty())
        finding(qPrintable(QStringLiteral("a save into a plain folder failed: ") + save.failure));
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const int expected = stored ? std::max(mine[i], (*stored)[i]) : mine[i];
        if (save.stored[i] != expected)
            finding("the save did not keep the higher value of a slot");
    }
    ScoreTable back;
    try {
        back = readScoreFile();
    } catch (const DataFileError& e) {
        finding(e.what());
    }
    if (back != save.stored)
        finding("the file does not read back as the table saved");
    if (QFile::exists(QStringLiteral("tavo_s.dat.lock")))
        finding("the save left its lock behind");
}

}  // namespace

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
        saveOver(bytes, std::nullopt);
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
    saveOver(bytes, scores);
    return 0;
}
