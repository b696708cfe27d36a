// libFuzzer target for the file layer beneath the readers: any game file
// name, resolved in a game folder that holds every kind of entry (files and
// folders differing only in case, named pipes, a device, symbolic links,
// files above the size limit), must give a consistent answer; and reading it
// with a size limit either returns the file's bytes or a DataFileError
// naming it, never blocking on a pipe or reading past the limit.
//
// Input: two bytes of size limit, then the name (UTF-8).
#include "platform/files.h"
#include "state/datafiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString& startFolder()
{
    static QString folder = QDir::currentPath();
    return folder;
}

[[noreturn]] void finding(const QString& what)
{
    std::fprintf(stderr, "%s\n", qPrintable(what));
    QDir::setCurrent(startFolder());   // the finding is written where the run began
    std::abort();
}

void put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        finding(QStringLiteral("cannot set up %1").arg(path));
}

// The game folder, made once per run in memory-backed storage when there is
// some (and removed at the end of the run). Returns its path.
const QString& gameFolder()
{
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/quennel-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/quennel-fuzz-XXXXXX"));
    static const QString game = [] {
        if (!dir.isValid())
            finding(QStringLiteral("no temporary folder"));
        put(dir.filePath(QStringLiteral("outside.txt")), "outside");
        const QString g = dir.filePath(QStringLiteral("game"));
        put(g + QStringLiteral("/tavo.dat"), "tavo");
        put(g + QStringLiteral("/TAVO_S.DAT"), "0\r\n");
        put(g + QStringLiteral("/Wav/hit.wav"), "RIFF hit");
        put(g + QStringLiteral("/Wav/HIT.WAV"), "RIFF HIT");
        put(g + QStringLiteral("/wav/miss.wav"), "RIFF miss");
        put(g + QStringLiteral("/wav/one.wav/inner"), "a folder named like a file");
        put(g + QStringLiteral("/chara/S1_0.BMP"), "BM");
        put(g + QStringLiteral("/ステージ.bmp"), "BM kana");
        put(g + QStringLiteral("/Äpfel.dat"), "umlaut");
        put(g + QStringLiteral("/.hidden"), "hidden");
        put(g + QStringLiteral("/empty.dat"), "");
        put(g + QStringLiteral("/big.dat"), QByteArray(70000, 'x'));
        QDir().mkpath(g + QStringLiteral("/dir.dat"));
        const QByteArray e = QFile::encodeName(g);
        if (::mkfifo((e + "/fifo.dat").constData(), 0644) != 0 || ::mkfifo((e + "/wav/two.wav").constData(), 0644) != 0)
            finding(QStringLiteral("cannot make the named pipes"));
        (void)::symlink("tavo.dat", (e + "/link.dat").constData());
        (void)::symlink("nowhere", (e + "/dangling.dat").constData());
        (void)::symlink("/dev/zero", (e + "/zero.dat").constData());
        (void)::symlink("loop.dat", (e + "/loop.dat").constData());
        (void)::symlink("../outside.txt", (e + "/up.dat").constData());
        return g;
    }();
    return game;
}

// The game folder is the working directory while one input runs; the
// fuzzer's own files (corpus, findings) stay where it was started.
class InGameFolder {
public:
    InGameFolder() : old_(startFolder())
    {
        if (!QDir::setCurrent(gameFolder()))
            finding(QStringLiteral("cannot enter the game folder"));
    }
    ~InGameFolder() { QDir::setCurrent(old_); }

private:
    QString old_;
};

// The name as the lookup should see it: '\' and '/' alike, "." and empty
// components dropped.
QString normalised(const QString& name)
{
    QString unified = name;
    unified.replace(u'\\', u'/');
    QStringList parts;
    for (const QString& part : unified.split(u'/', Qt::SkipEmptyParts))
        if (part != QLatin1String("."))
            parts << part;
    return parts.join(u'/');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const qint64 limit = qint64(data[0]) << 8 | data[1];
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    const InGameFolder inside;
    const QString path = resolveGamePath(name);
    const QString file = resolveGameFile(name);
    const GameEntry kind = gameEntryKind(name);
    const QString where = QStringLiteral("name \"%1\": ").arg(name);

    if ((kind == GameEntry::Missing) != path.isEmpty())
        finding(where + QStringLiteral("missing, yet a path was found, or the other way round"));
    if ((kind == GameEntry::File) != !file.isEmpty() || isNormalFile(name) != !file.isEmpty())
        finding(where + QStringLiteral("file and kind disagree"));
    if (!file.isEmpty() && !QFileInfo(file).isFile())
        finding(where + QStringLiteral("resolved to something that is not a regular file: ") + file);
    if (kind == GameEntry::Folder && !QFileInfo(path).isDir())
        finding(where + QStringLiteral("called a folder but is none: ") + path);
    for (const QString& found : {path, file}) {
        if (found.isEmpty())
            continue;
        // Inside the game folder, and the same name but for letter case.
        if (found.startsWith(u'/') || found.split(u'/').contains(QStringLiteral("..")))
            finding(where + QStringLiteral("left the game folder: ") + found);
        if (found.compare(normalised(name), Qt::CaseInsensitive) != 0)
            finding(where + QStringLiteral("resolved to another name: ") + found);
    }

    try {
        const QByteArray bytes = readGameFile(name, limit);
        QFile real(file);
        if (file.isEmpty() || !real.open(QIODevice::ReadOnly))
            finding(where + QStringLiteral("read although it is no regular file"));
        if (bytes.size() > limit || bytes != real.readAll())
            finding(where + QStringLiteral("read other bytes than the file's, or more than the limit"));
    } catch (const DataFileError& e) {
        if (e.file() != name || e.detail().isEmpty())
            finding(where + QStringLiteral("unclear message: ") + QString::fromUtf8(e.what()));
        if (kind == GameEntry::File && QFileInfo(file).size() <= limit)
            finding(where + QStringLiteral("a readable file within the limit was refused: ") + e.message());
    }
    return 0;
}
