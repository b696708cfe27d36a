#include "state/datafiles.h"

#include "platform/files.h"
#include "platform/error_words.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

const QString kGameDataName = QString::fromLatin1(kGameDataFileName);
const QString kScoreName = QString::fromLatin1(kScoreFileName);

// Another copy of the game may be saving into the same folder. Its save
// takes milliseconds, a busy disk's flush can take seconds; a copy that
// cannot have the lock within this time keeps its bests in memory and tries
// again later, so a save never holds up play for longer than that.
constexpr int kLockWaitMs = 3000;
constexpr int kLockPollMs = 20;

// Scores are held in tens of points and shown multiplied by 10; keeping
// every stored value at or below this keeps that product inside an int.
constexpr int kMaxScore = 214748364;
// A quota above this could not be reached in any stage, and keeping it small
// keeps the score arithmetic far from overflow.
constexpr int kMaxQuota = 100000000;
constexpr double kMaxGaugeStep = 1000000.0;
// A stage draws twenty phrases; a list far beyond any announcer's script is
// refused before it is read into memory.
constexpr int kMaxPhrases = 10000;

// Neither file has any business being large; refuse before reading a
// runaway file into memory.
constexpr qint64 kMaxGameDataBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxScoreBytes = 64 * 1024;
// The end-of-text mark (Ctrl-Z) that DOS-era editors append to text files.
constexpr char kCtrlZ = '\x1A';

// A value as it appears in a message: short enough for a message box.
QString shown(const QString& text)
{
    constexpr int kLimit = 24;
    if (text.size() <= kLimit)
        return text;
    return text.left(kLimit) + QStringLiteral("…");
}

// --- tavo.dat ---------------------------------------------------------------

// Reads tavo.dat value by value, as comma-separated data files are read:
//  - values are separated by commas or line ends (CR LF, a bare LF or CR too);
//  - blank lines are skipped: a line end where a value would begin is not an
//    empty value, so a stray comma at the end of a line or an empty line
//    between groups changes nothing. Two commas in a row do make an empty value;
//  - a value opening with a double quote runs to the closing quote (commas and
//    blanks inside are kept) or, if it is never closed, to the end of its line;
//    whatever follows the closing quote up to the next separator is ignored;
//  - an unquoted value runs to the next separator and loses its surrounding
//    blanks (spaces and tabs).
// The separators are found in the raw bytes and only the values read are
// decoded: Shift-JIS never uses a byte below 0x40 as the second byte of a
// character, so a comma, quote, blank, CR or LF byte is always that
// character. Keeping the whole file decoded would cost twice its size again.
// Blanks and the printable ASCII characters, which Shift-JIS leaves as
// they are (some control characters it does not).
bool isPrintableAscii(QByteArrayView bytes)
{
    bool plain = true;
    for (char c : bytes)
        plain &= (c >= 0x20 && c < 0x7f) || c == '\t';
    return plain;
}

class ValueReader {
public:
    ValueReader(const QByteArray& bytes, const QString& file)
        : data_(bytes.constData()), size_(bytes.size()), file_(file)
    {
    }

    // The raw text of the next value; what names the value for messages.
    QString text(const QString& what)
    {
        ++ordinal_;
        if (!next())
            missing(what);
        return value_;
    }

    // Phrase i of count: named only if it is missing, so that a long list
    // costs no message text.
    QString phrase(int i, int count)
    {
        ++ordinal_;
        if (!next())
            missing(QStringLiteral("%1 番目のセリフ（全 %2 個）").arg(i).arg(count));
        return value_;
    }

    void skip(const QString& what) { text(what); }

    // A decimal number ("3", " 3 ", "0.5", "1.0").
    double number(const QString& what, const QString& expected)
    {
        const QString raw = text(what);
        static const QRegularExpression pattern(
            QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
        bool ok = pattern.match(raw).hasMatch();
        const double value = ok ? raw.toDouble(&ok) : 0.0;
        if (!ok || !std::isfinite(value))
            fail(raw, what, expected);
        return value;
    }

    // A whole number from low to high; "3.0" counts as 3.
    int whole(const QString& what, int low, int high, const QString& expected)
    {
        const double value = number(what, expected);
        if (value != std::floor(value) || value < low || value > high)
            fail(value_, what, expected);
        return static_cast<int>(value);
    }

    [[noreturn]] void missing(const QString& what) const
    {
        throw DataFileError(file_, QStringLiteral("ファイルが %1 行目で終わっていて、%2 番目の値（%3）がありません。値が足りません。")
                                       .arg(line_).arg(ordinal_).arg(what));
    }

    [[noreturn]] void fail(const QString& raw, const QString& what, const QString& expected) const
    {
        throw DataFileError(file_, QStringLiteral("%1 番目の値（%2 行目、%3）「%4」が読めません。%5が必要です。")
                                       .arg(ordinal_).arg(valueLine_).arg(what, shown(raw), expected));
    }

private:
    bool atEnd() const { return pos_ >= size_; }
    char peek() const { return data_[pos_]; }
    static bool isBlank(char c) { return c == ' ' || c == '\t'; }
    static bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

    void takeLineEnd()
    {
        if (peek() == '\r') {
            ++pos_;
            if (!atEnd() && peek() == '\n')
                ++pos_;
        } else {
            ++pos_;
        }
        ++line_;
    }

    void skipBlanks()
    {
        while (!atEnd() && isBlank(peek()))
            ++pos_;
    }

    bool next()
    {
        // Blanks and whole blank lines before a value are passed over.
        for (;;) {
            skipBlanks();
            if (atEnd())
                return false;
            if (!isLineEnd(peek()))
                break;
            takeLineEnd();
        }
        valueLine_ = line_;
        if (peek() == '"') {
            const qsizetype start = ++pos_;
            while (!atEnd() && peek() != '"' && !isLineEnd(peek()))
                ++pos_;
            value_ = decode(start, pos_);
            if (!atEnd() && peek() == '"')
                ++pos_;
            while (!atEnd() && peek() != ',' && !isLineEnd(peek()))
                ++pos_;
        } else {
            const qsizetype start = pos_;
            while (!atEnd() && peek() != ',' && !isLineEnd(peek()))
                ++pos_;
            qsizetype end = pos_;
            while (end > start && isBlank(data_[end - 1]))
                --end;
            value_ = decode(start, end);
        }
        if (!atEnd()) {
            if (peek() == ',')
                ++pos_;
            else
                takeLineEnd();
        }
        return true;
    }

    // The whole file has been checked already (checkShiftJis), so a value
    // on its own decodes without error. Printable ASCII reads as itself and
    // skips the decoder, which most values (numbers, file names) are.
    QString decode(qsizetype from, qsizetype to)
    {
        const QByteArrayView raw(data_ + from, to - from);
        if (isPrintableAscii(raw))
            return QString::fromLatin1(raw);
        if (!decoder_)
            decoder_.emplace("Shift_JIS");
        decoder_->resetState();
        QString value = decoder_->decode(raw);
        value.squeeze();   // the decoder sizes for the worst case; phrases are kept all game
        return value;
    }

    const char* data_;
    qsizetype size_;
    QString file_;
    std::optional<QStringDecoder> decoder_;
    qsizetype pos_ = 0;
    int line_ = 1;
    int valueLine_ = 1;
    int ordinal_ = 0;
    QString value_;
};

[[noreturn]] void badShiftJis(const QString& fileName, qint64 line)
{
    throw DataFileError(fileName, QStringLiteral("%1 行目に Shift-JIS の文字として読めないバイトがあります。"
                                                 "ファイルは Shift-JIS で保存されている必要があります。")
                                      .arg(line));
}

// Puts bytes through the decoder into one small buffer, a bounded piece at
// a time (the decoder joins a pair cut between two pieces), so that even
// the largest file allowed is judged in little memory. True when the
// decoder refused a byte.
bool refused(QStringDecoder& decoder, QByteArrayView bytes, std::vector<QChar>& out)
{
    constexpr qsizetype kPiece = 256 * 1024;
    for (qsizetype from = 0; from < bytes.size() && !decoder.hasError(); from += kPiece) {
        const QByteArrayView piece = bytes.sliced(from, std::min(kPiece, bytes.size() - from));
        out.resize(std::size_t(decoder.requiredSpace(piece.size())));
        decoder.appendToBuffer(out.data(), piece);
    }
    return decoder.hasError();
}

// The line that holds the first byte the decoder refuses. Only a line with
// a byte of 0x80 or above can hold one (Shift-JIS keeps ASCII as it is, and
// no line end is a second byte), and a line end leaves the decoder with
// nothing pending, so only those lines go through the decoder, each with
// the byte that ends it: a first byte of a pair before a line end is a
// broken pair too. 0 when no line is at fault.
qint64 firstBadLine(QByteArrayView bytes, std::vector<QChar>& out)
{
    QStringDecoder decoder("Shift_JIS");
    qint64 line = 1;
    for (qsizetype from = 0; from < bytes.size(); ++line) {
        qsizetype to = from;
        bool ascii = true;
        while (to < bytes.size() && bytes[to] != '\r' && bytes[to] != '\n')
            ascii &= static_cast<unsigned char>(bytes[to++]) < 0x80;
        if (to < bytes.size())
            to += bytes[to] == '\r' && to + 1 < bytes.size() && bytes[to + 1] == '\n' ? 2 : 1;
        if (!ascii && refused(decoder, bytes.sliced(from, to - from), out))
            return line;
        from = to;
    }
    return 0;
}

// Refuses bytes that are not Shift-JIS: the whole file goes through the
// decoder once, and only when it refuses a byte is the file gone through
// again to name the line.
void checkShiftJis(const QByteArray& bytes, const QString& fileName)
{
    QStringDecoder decoder("Shift_JIS");
    if (!decoder.isValid())
        throw DataFileError(fileName, QStringLiteral("この環境では Shift-JIS の文字を読めません。"));
    std::vector<QChar> out;
    if (!refused(decoder, bytes, out))
        return;
    if (const qint64 line = firstBadLine(bytes, out))
        badShiftJis(fileName, line);
    throw DataFileError(fileName, QStringLiteral("Shift-JIS の文字として読めないバイトがあります。"
                                                 "ファイルは Shift-JIS で保存されている必要があります。"));
}

}  // namespace

QByteArray readGameFile(const QString& name, qint64 limit)
{
    const QString path = resolveGameFile(name);
    if (path.isEmpty()) {
        switch (gameEntryKind(name)) {
        case GameEntry::Folder:
            throw DataFileError(name, QStringLiteral("この名前のものはフォルダで、ファイルではありません。"));
        case GameEntry::Special:
            throw DataFileError(name, notRegularFileReason() + QStringLiteral("。"));
        default:
            throw DataFileError(name, QStringLiteral("ゲームのフォルダ（%1）にファイルが見つかりません。")
                                          .arg(QDir::toNativeSeparators(QDir::currentPath())));
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DataFileError(name, QStringLiteral("ファイルを開けません：%1").arg(fileReason(file)));
    if (file.size() > limit)
        throw DataFileError(name, QStringLiteral("ファイルが大きすぎます（%1 バイト）。").arg(file.size()));
    // Sized by the file, not by the limit: a small file gets a small buffer.
    QByteArray bytes = file.read(std::min(limit, file.size()) + 1);
    if (file.error() != QFileDevice::NoError)
        throw DataFileError(name, QStringLiteral("ファイルを読めません：%1").arg(fileReason(file)));
    if (bytes.size() > limit)
        throw DataFileError(name, QStringLiteral("ファイルが大きすぎます。"));
    return bytes;
}

namespace {

#ifdef Q_OS_UNIX
// After the rename, make the new directory entry itself durable, so a power
// cut right after a save does not bring the old table back.
void syncDirectoryOf(const QString& path)
{
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}
#else
void syncDirectoryOf(const QString&) {}
#endif

}  // namespace

DataFileError::DataFileError(const QString& file, const QString& detail)
    : std::runtime_error((file + QStringLiteral(": ") + detail).toStdString()), file_(file), detail_(detail)
{
}

QString DataFileError::message() const
{
    return QStringLiteral("%1 を読み込めません。\r\n%2").arg(file_, detail_);
}

GameData parseGameData(const QByteArray& bytes, const QString& fileName)
{
    checkShiftJis(bytes, fileName);
    ValueReader in(bytes, fileName);
    GameData data;
    const QString heading = QStringLiteral("見出し");
    const QString stage = QStringLiteral("ステージ%1の");

    data.caption = in.text(QStringLiteral("ウィンドウのタイトル"));
    in.skip(heading);
    for (int s = 1; s <= kStageCount; ++s)
        data.stageTitle[s] = in.text(stage.arg(s) + QStringLiteral("題名"));
    in.skip(heading);
    for (int s = 1; s <= kStageCount; ++s)
        data.stageKeyRange[s] = in.whole(stage.arg(s) + QStringLiteral("キーの範囲"), 1, 9,
                                         QStringLiteral("1 から 9 までの整数"));
    in.skip(heading);
    for (int s = 1; s <= kStageCount; ++s) {
        // A step of zero or less would never move the gauge.
        const QString what = stage.arg(s) + QStringLiteral("ゲージの伸び");
        const QString expected = QStringLiteral("0 より大きい数（0.5 や 1 など）");
        const double step = in.number(what, expected);
        if (!(step > 0.0) || step > kMaxGaugeStep)
            in.fail(QString::number(step), what, expected);
        data.stageGaugeStep[s] = step;
    }
    in.skip(heading);
    for (int s = 1; s <= kStageCount; ++s)
        data.stageQuota[s] = in.whole(stage.arg(s) + QStringLiteral("ノルマ"), 0, kMaxQuota,
                                      QStringLiteral("0 から %1 までの整数").arg(kMaxQuota));
    in.skip(heading);
    for (int i = 0; i < kCharacterPictures; ++i)
        data.pictureFiles[i] = in.text(QStringLiteral("キャラクター画像 %1 番目のファイル名").arg(i + 1));
    const int count = in.whole(QStringLiteral("セリフの数"), 0, kMaxPhrases,
                               QStringLiteral("0 から %1 までの整数").arg(kMaxPhrases));
    data.phrases.reserve(std::size_t(count));
    for (int i = 1; i <= count; ++i)
        data.phrases.push_back(in.phrase(i, count));
    // Anything after the last phrase is never read.
    return data;
}

GameData readGameDataFile()
{
    return parseGameData(readGameFile(kGameDataName, kMaxGameDataBytes), kGameDataName);
}

ScoreTable parseScores(const QByteArray& bytes, const QString& fileName)
{
    ScoreTable scores{};
    int found = 0;
    int line = 0;
    qsizetype pos = 0;
    const QString expected = QStringLiteral("0 から %1 までの整数").arg(kMaxScore);
    // One number per line; CR LF, LF or CR end a line, the last line end is
    // optional, and blank lines (a trailing one above all) are passed over.
    // Twelve numbers are read and whatever follows them (a stray line, an
    // old editor's Ctrl-Z end mark, blank lines) is left alone: the next save
    // writes the twelve lines afresh. A Ctrl-Z ends the text, as it did for
    // the text files of the time.
    const qsizetype endMark = bytes.indexOf(kCtrlZ);
    const qsizetype size = endMark < 0 ? bytes.size() : endMark;
    while (pos < size && found < kScoreSlots) {
        qsizetype end = pos;
        while (end < size && bytes.at(end) != '\r' && bytes.at(end) != '\n')
            ++end;
        ++line;
        const QByteArray raw = bytes.mid(pos, end - pos);
        pos = end;
        if (pos < size) {
            if (bytes.at(pos) == '\r' && pos + 1 < size && bytes.at(pos + 1) == '\n')
                pos += 2;
            else
                ++pos;
        }
        const QByteArray value = raw.trimmed();
        if (value.isEmpty())
            continue;
        ++found;
        bool digitsOnly = true;
        for (char c : value)
            digitsOnly = digitsOnly && c >= '0' && c <= '9';
        const QString text = QString::fromLatin1(value);
        if (!digitsOnly) {
            const bool negative = value.startsWith('-') && value.size() > 1;
            throw DataFileError(fileName, QStringLiteral("%1 行目の「%2」は%3。%4が必要です。")
                                              .arg(line).arg(shown(text),
                                                             negative ? QStringLiteral("負の数です")
                                                                      : QStringLiteral("スコアとして読めません"),
                                                             expected));
        }
        bool ok = false;
        const qulonglong number = value.size() <= 12 ? value.toULongLong(&ok) : 0;
        if (!ok || number > static_cast<qulonglong>(kMaxScore))
            throw DataFileError(fileName, QStringLiteral("%1 行目の「%2」は大きすぎます。%3が必要です。")
                                              .arg(line).arg(shown(text), expected));
        scores[found - 1] = static_cast<int>(number);
    }
    if (found < kScoreSlots)
        throw DataFileError(fileName, QStringLiteral("スコアが %1 個しかありません。12 個（1 行に 1 個）が必要です。").arg(found));
    return scores;
}

QByteArray formatScores(const ScoreTable& scores)
{
    QByteArray out;
    for (int score : scores) {
        out += QByteArray::number(score);
        out += "\r\n";
    }
    return out;
}

ScoreTable readScoreFile()
{
    return parseScores(readGameFile(kScoreName, kMaxScoreBytes), kScoreName);
}

namespace {

// Rewrites the file itself, for a folder that allows no new file beside it:
// the new table over the old from the first byte, then the file cut to its
// length and flushed to disk. A table cut short by a crash here still starts
// with the new numbers, one to a line, and the reader takes the first twelve.
QString writeInPlace(const QString& target, const QByteArray& bytes)
{
    QFile file(target);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return fileReason(file);
    const qint64 written = file.write(bytes);
    if (written != bytes.size())
        return written < 0 ? fileReason(file)
                           : QStringLiteral("%1 バイトのうち %2 バイトしか書けませんでした。").arg(bytes.size()).arg(written);
    if (!file.resize(bytes.size()))
        return fileReason(file);
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0)
        return japaneseReason(errno);
#endif
    return QString();
}

// The spelling of tavo_s.dat to replace (a new file is written as
// tavo_s.dat), or why there is none.
QString scoreTarget(QString& reason)
{
    switch (gameEntryKind(kScoreName)) {
    case GameEntry::File:
        return resolveGameFile(kScoreName);
    case GameEntry::Folder:
        reason = QStringLiteral("%1 という名前のフォルダがあるため、ファイルを書けません。").arg(kScoreName);
        return QString();
    case GameEntry::Special:
        reason = QStringLiteral("%1 は%2。").arg(kScoreName, notRegularFileReason());
        return QString();
    case GameEntry::Missing:
        break;
    }
    return kScoreName;
}

// The lock one save holds among the copies of the game sharing the folder:
// tavo_s.dat.lock beside the table or, where no file can be made there (a
// read-only folder), the table file itself, which is then rewritten in place.
class ScoreLock {
public:
    explicit ScoreLock(const QString& target) : target_(target), file_(target + QStringLiteral(".lock"))
    {
        // Age alone never makes a lock stale: a live copy may be slow (a
        // stalled disk, a stopped process) and still about to write.
        file_.setStaleLockTime(0);
    }
    ~ScoreLock() { release(); }
    ScoreLock(const ScoreLock&) = delete;
    ScoreLock& operator=(const ScoreLock&) = delete;

    // Waits up to kLockWaitMs; false when another copy held it all the while.
    bool acquire()
    {
        // A lock whose copy no longer runs is taken over at once, by its
        // process id.
        if (file_.tryLock(kLockWaitMs))
            return true;
        if (file_.error() == QLockFile::LockFailedError)
            return takeOverOwnerless();
        return lockTable();
    }

    void release()
    {
        file_.unlock();
#ifdef Q_OS_UNIX
        if (tableFd_ >= 0)
            ::close(tableFd_);   // drops the flock
        tableFd_ = -1;
#endif
    }

private:
    // A lock file that names no copy (its copy ended while making it, or a
    // power cut left it empty) and that no live copy holds is taken over once
    // it is older than the wait; a fresh one may be a copy making it now.
    bool takeOverOwnerless()
    {
        qint64 pid = 0;
        QString host;
        QString app;
        if (file_.getLockInfo(&pid, &host, &app))
            return false;
        const QDateTime made = QFileInfo(target_ + QStringLiteral(".lock")).lastModified();
        if (!made.isValid() || qAbs(made.msecsTo(QDateTime::currentDateTime())) <= kLockWaitMs)
            return false;
        return file_.removeStaleLockFile() && file_.tryLock(0);
    }

    bool lockTable()
    {
#ifdef Q_OS_UNIX
        tableFd_ = ::open(QFile::encodeName(target_).constData(), O_RDONLY | O_CLOEXEC);
        if (tableFd_ < 0)
            return true;   // no table to guard: the save will say why it cannot write one
        QDeadlineTimer deadline(kLockWaitMs);
        while (::flock(tableFd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                return true;   // a file system without locks: saved as before locks
            if (deadline.hasExpired())
                return false;
            QThread::msleep(kLockPollMs);
        }
#endif
        return true;
    }

    QString target_;
    QLockFile file_;
#ifdef Q_OS_UNIX
    int tableFd_ = -1;
#endif
};

QString checkTable(const ScoreTable& scores)
{
    // A table the game could not read back would cost every best score at
    // the next start; keep the old file instead.
    for (int score : scores) {
        if (score < 0 || score > kMaxScore)
            return QStringLiteral("スコア %1 は 0 から %2 の範囲を外れているため保存できません。").arg(score).arg(kMaxScore);
    }
    return QString();
}

QString writeTable(const QString& target, const ScoreTable& scores)
{
    // QSaveFile writes a temporary file beside the target, flushes it to disk
    // and renames it over the old file: a crash leaves the old or the new
    // table, never a cut-off one. Without commit() the temporary file goes.
    // Unbuffered, so that a short write (a full disk, a file-size limit) shows
    // in the count here: through the write buffer it went unnoticed and a
    // cut-off table was committed.
    const QByteArray bytes = formatScores(scores);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // No new file can be made in the folder (it is read-only, say), but
        // the score file itself may still be writable.
        if (QFileInfo(target).isFile())
            return writeInPlace(target, bytes).isEmpty() ? QString() : fileReason(file);
        return fileReason(file);
    }
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        const QString reason = written < 0 || file.error() != QFileDevice::NoError
            ? fileReason(file)
            : QStringLiteral("%1 バイトのうち %2 バイトしか書けませんでした。").arg(bytes.size()).arg(written);
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return fileReason(file);
    return QString();
}

}  // namespace

ScoreSave saveScores(const ScoreTable& mine)
{
    ScoreSave save{mine, checkTable(mine)};
    if (!save.failure.isEmpty())
        return save;
    const QString target = scoreTarget(save.failure);
    if (target.isEmpty())
        return save;

    // One save at a time among the copies of the game sharing this folder,
    // and only a table read under the lock is written.
    ScoreLock lock(target);
    if (!lock.acquire()) {
        save.busy = true;
        save.failure = QStringLiteral("同じフォルダの別のクェネルが %1 を使用中で、%2 秒待っても終わりませんでした（%1.lock）。")
                           .arg(kScoreName).arg(kLockWaitMs / 1000);
        return save;
    }

    // What is stored now may hold bests another copy saved after this one
    // read the file. Every rule that writes a slot only ever raises it, so
    // the higher value of each slot is the one to keep.
    QByteArray stored;
    {
        QFile file(target);
        if (file.open(QIODevice::ReadOnly))
            stored = file.read(kMaxScoreBytes + 1);
    }
    try {
        const ScoreTable before = parseScores(stored);
        for (std::size_t i = 0; i < save.stored.size(); ++i)
            save.stored[i] = std::max(save.stored[i], before[i]);
    } catch (const DataFileError&) {
        // Nothing usable stored (missing or damaged): this copy's table it is.
    }
    if (stored == formatScores(save.stored))
        return save;   // already there, to the byte
    save.failure = writeTable(target, save.stored);
    lock.release();
    // The new name is already seen by every copy; making it durable need
    // not keep the others waiting.
    if (save.failure.isEmpty())
        syncDirectoryOf(target);
    return save;
}

