#include "platform/error_words.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QImageReader>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>

namespace {

struct Wording {
    int error;
    const char* japanese;  // UTF-8
};

// The reasons a player can do something about, in the words of this game.
const Wording kWordings[] = {
    {ENOSPC, "ディスクの空き容量が足りません"},
    {EDQUOT, "ディスクの使用量の上限に達しています"},
    {EACCES, "ファイルまたはフォルダに、読み書きする権限がありません"},
    {EPERM, "この操作をする権限がありません"},
    {EROFS, "読み取り専用の場所にあるため書き込めません"},
    {EISDIR, "ファイルではなくフォルダです"},
    {ENOENT, "ファイルまたはフォルダが見つかりません"},
    {EFBIG, "ファイルが大きくなりすぎて書き込めません"},
    {EIO, "ディスクの読み書きでエラーが起きました"},
    {ENAMETOOLONG, "ファイル名かフォルダ名が長すぎます"},
    {ENOTDIR, "途中のフォルダの名前が、フォルダではなくファイルのものです"},
    {ELOOP, "リンクがループしています"},
    {EBADF, "閉じられているか、書き込めない状態です"},
    {EPIPE, "読み手がいなくなりました"},
};

// Qt reports a file it cannot replace in words of its own, translated when
// Qt's Japanese catalogue is loaded.
const char kReadOnlyContext[] = "QSaveFile";
const char kReadOnlySource[] = "Existing file %1 is not writable";
const char kReadOnlyJapanese[] = "ファイルが読み取り専用になっているため書き込めません";
// And a folder named as the file to write.
const char kDirectorySource[] = "Filename refers to a directory";

// The texts the system may have used for one errno: Qt's own and the C library's.
QStringList systemTexts(int error)
{
    QStringList texts{qt_error_string(error), QString::fromLocal8Bit(std::strerror(error))};
    texts.removeDuplicates();
    return texts;
}

bool matchesTemplate(const QString& text, const QString& pattern)
{
    const QStringList parts = pattern.split(QStringLiteral("%1"));
    QStringList quoted;
    for (const QString& part : parts)
        quoted << QRegularExpression::escape(part);
    const QRegularExpression re(QRegularExpression::anchoredPattern(quoted.join(QStringLiteral(".*"))),
                                QRegularExpression::DotMatchesEverythingOption);
    return re.match(text).hasMatch();
}

}  // namespace

QString japaneseReason(const QString& systemText)
{
    const QString text = systemText.trimmed();
    for (const Wording& w : kWordings)
        if (systemTexts(w.error).contains(text))
            return QString::fromUtf8(w.japanese);
    const QString source = QString::fromLatin1(kReadOnlySource);
    const QString translated = QCoreApplication::translate(kReadOnlyContext, kReadOnlySource);
    if (matchesTemplate(text, source) || matchesTemplate(text, translated))
        return QString::fromUtf8(kReadOnlyJapanese);
    const QString directory = QString::fromLatin1(kDirectorySource);
    if (text == directory || text == QCoreApplication::translate(kReadOnlyContext, kDirectorySource))
        return japaneseReason(EISDIR);
    return systemText;
}

QString japaneseReason(int errnoValue)
{
    for (const Wording& w : kWordings)
        if (w.error == errnoValue)
            return QString::fromUtf8(w.japanese);
    return qt_error_string(errnoValue);
}

QString fileReason(const QFileDevice& file)
{
    return japaneseReason(file.errorString());
}

QString pictureReason(const QImageReader& reader)
{
    switch (reader.error()) {
    case QImageReader::FileNotFoundError:
        return QString::fromUtf8("ファイルが見つかりません");
    case QImageReader::UnsupportedFormatError:
        return QString::fromUtf8("対応していない画像形式です");
    case QImageReader::InvalidDataError:
        return QString::fromUtf8("画像のデータを読み取れません（ファイルが壊れているか、途中で切れています）");
    case QImageReader::DeviceError:
        if (reader.device())
            return japaneseReason(reader.device()->errorString());
        break;
    case QImageReader::UnknownError:
        break;
    }
    return reader.errorString();
}

QString notRegularFileReason()
{
    return QString::fromUtf8("通常のファイルではありません（パイプや装置などです）");
}
