#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

// Splits a game file name into its components. Names come from the game
// data, so they are kept inside the working directory: a leading separator,
// a drive letter or a ".." component makes the name unusable. "." and empty
// components (doubled separators) are simply passed over.
bool splitGameName(const QString& name, QStringList& parts)
{
    if (name.isEmpty())
        return false;
    if (name.front() == u'/' || name.front() == u'\\')
        return false;
    if (name.size() >= 2 && name.at(1) == u':' && name.at(0).isLetter())
        return false;
    if (name.contains(QChar(0)))
        return false;
    QString unified = name;
    unified.replace(u'\\', u'/');
    const QStringList raw = unified.split(u'/', Qt::SkipEmptyParts);
    for (const QString& part : raw) {
        if (part == QLatin1String(".."))
            return false;
        if (part == QLatin1String("."))
            continue;
        parts << part;
    }
    return !parts.isEmpty();
}

enum class Want { Any, Directory, File };

bool fits(const QFileInfo& info, Want want)
{
    switch (want) {
    case Want::Any: return info.exists();
    case Want::Directory: return info.isDir();
    case Want::File: return info.isFile();
    }
    return false;
}

// One component inside dir: the exact spelling if it fits, otherwise the
// first entry (in name order, so the choice is repeatable) that differs only
// in letter case.
QString matchComponent(const QDir& dir, const QString& part, Want want)
{
    if (fits(QFileInfo(dir, part), want))
        return part;
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(part, Qt::CaseInsensitive) == 0 && fits(QFileInfo(dir, entry), want))
            return entry;
    }
    return QString();
}

QString resolve(const QString& name, Want last)
{
    QStringList parts;
    if (!splitGameName(name, parts))
        return QString();
    QDir dir = QDir::current();
    QStringList found;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool isLast = i == parts.size() - 1;
        const QString real = matchComponent(dir, parts.at(i), isLast ? last : Want::Directory);
        if (real.isEmpty())
            return QString();
        found << real;
        if (!isLast)
            dir.setPath(dir.filePath(real));
    }
    // A path relative to the working directory, as the player would write it.
    return found.join(u'/');
}

}  // namespace

QString resolveGamePath(const QString& name)
{
    return resolve(name, Want::Any);
}

QString resolveGameFile(const QString& name)
{
    return resolve(name, Want::File);
}

bool isNormalFile(const QString& name)
{
    return !resolveGameFile(name).isEmpty();
}

GameEntry gameEntryKind(const QString& name)
{
    if (!resolveGameFile(name).isEmpty())
        return GameEntry::File;
    const QString path = resolveGamePath(name);
    if (path.isEmpty())
        return GameEntry::Missing;
    return QFileInfo(path).isDir() ? GameEntry::Folder : GameEntry::Special;
}
