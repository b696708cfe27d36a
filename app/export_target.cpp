#include "app/export_target.h"

#include "platform/error_words.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>

namespace {
// The files the game reads and writes in its folder, by their name there.
const char* const kOwnFiles[] = {
    "tavo_s.dat", "tavo_s.dat.lock", "tavo.dat", "history.sqlite",
    "history.sqlite-journal", "history.sqlite-wal", "history.sqlite-shm",
};
// Folders whose every file belongs to the game.
const char* const kOwnFolders[] = {"wav/", "chara/"};

// Links followed to their end (up to the system's own limit); a name that
// does not exist yet is its folder's real path with the name.
QString resolved(const QString& path)
{
    QString at = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40 && QFileInfo(at).isSymLink(); ++hops)
        at = QFileInfo(at).symLinkTarget();
    const QFileInfo file(at);
    if (file.exists())
        return file.canonicalFilePath();
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? file.absoluteFilePath() : folder + QLatin1Char('/') + file.fileName();
}

bool isOwnFile(const QString& target, const QString& gameDir)
{
    const QString folder = QFileInfo(gameDir).canonicalFilePath();
    if (folder.isEmpty())
        return false;
    const QString relative = QDir(folder).relativeFilePath(resolved(target)).toLower();
    for (const char* name : kOwnFiles)
        if (relative == QLatin1String(name))
            return true;
    for (const char* prefix : kOwnFolders)
        if (relative.startsWith(QLatin1String(prefix)) || relative + QLatin1Char('/') == QLatin1String(prefix))
            return true;
    return false;
}
}  // namespace

ExportTarget exportTarget(const QString& target, const QString& gameDir)
{
    if (isOwnFile(target, gameDir)) {
        return {ExportTarget::Kind::Refused,
                QString::fromUtf8("ゲームフォルダにあるクェネル自身のファイルのため、書き出し先にはできません")};
    }
    struct stat info {};
    if (::stat(QFile::encodeName(target).constData(), &info) != 0)
        return {ExportTarget::Kind::File, QString()};  // a new file (or a reason the save will give)
    if (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode))
        return {ExportTarget::Kind::Stream, QString()};
    if (S_ISDIR(info.st_mode))
        return {ExportTarget::Kind::Refused, japaneseReason(EISDIR)};
    if (!S_ISREG(info.st_mode))
        return {ExportTarget::Kind::Refused, notRegularFileReason()};
    return {ExportTarget::Kind::File, QString()};
}
