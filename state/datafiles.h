#pragma once
// The two data files of the game folder: the game data tavo.dat (Shift-JIS,
// read once at start-up) and the score table tavo_s.dat (twelve whole
// numbers, one per line, CR LF), rewritten whole when a best is beaten.
#include "state/rules.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <stdexcept>
#include <vector>

constexpr int kScoreSlots = 12;          // stages 1-5 and the game total, per mode
constexpr int kCharacterPictures = 15;   // three frames per stage

// The two files' names in the game folder.
inline constexpr char kGameDataFileName[] = "tavo.dat";
inline constexpr char kScoreFileName[] = "tavo_s.dat";

// A data file that cannot be used. message() is the text shown to the
// player: it names the file, where the problem is and what was expected.
class DataFileError : public std::runtime_error {
public:
    DataFileError(const QString& file, const QString& detail);
    QString file() const { return file_; }
    QString detail() const { return detail_; }
    QString message() const;

private:
    QString file_;
    QString detail_;
};

struct GameData {
    QString caption;
    std::array<QString, kStageCount + 1> stageTitle;      // 1..5 used
    std::array<int, kStageCount + 1> stageKeyRange{};     // 1..5 used, each 1..9
    std::array<double, kStageCount + 1> stageGaugeStep{}; // 1..5 used
    std::array<int, kStageCount + 1> stageQuota{};        // 1..5 used
    std::array<QString, kCharacterPictures> pictureFiles;
    std::vector<QString> phrases;           // N phrases, in file order
};

// Reads a whole file of the game folder, found by its game name ("wav\\hit.wav"),
// refusing anything larger than limit. Throws DataFileError.
QByteArray readGameFile(const QString& name, qint64 limit);

// Parses the bytes of tavo.dat. Throws DataFileError.
GameData parseGameData(const QByteArray& bytes, const QString& fileName = QStringLiteral("tavo.dat"));
// Reads tavo.dat from the working directory. Throws DataFileError.
GameData readGameDataFile();

using ScoreTable = std::array<int, kScoreSlots>;
// Parses the bytes of tavo_s.dat. Throws DataFileError.
ScoreTable parseScores(const QByteArray& bytes, const QString& fileName = QStringLiteral("tavo_s.dat"));
// The exact bytes the game writes: each number in plain decimal and CR LF.
QByteArray formatScores(const ScoreTable& scores);
// Reads tavo_s.dat from the working directory. Throws DataFileError.
ScoreTable readScoreFile();
// A save of the best scores that other copies of the game in the same
// folder may be making too: under a lock beside the file (tavo_s.dat.lock;
// one left by a copy that no longer runs is taken over at once, one held by
// a live copy never, however long it takes), the stored table is read again
// and each slot keeps the higher of the stored and the new value before the
// file is written. The file is replaced atomically (a
// temporary file in the same folder, flushed, renamed over the old one);
// where the folder allows no new file, it is rewritten in place and flushed.
// stored is that merged table (the one now in the file on success); failure
// is empty on success, otherwise the reason, and a failed save leaves the
// old table whole.
// busy: another copy held the lock for the whole wait, so nothing was read
// or written (stored is mine, failure says why); the caller keeps its bests
// and saves again later.
struct ScoreSave {
    ScoreTable stored;
    QString failure;
    bool busy = false;
};
ScoreSave saveScores(const ScoreTable& mine);

