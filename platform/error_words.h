#pragma once
// Our own Japanese wording for the reasons the system gives most often when a
// file cannot be opened, read, written or decoded. The caller's message still
// names the file; a reason without a wording here is passed on as given.
// Each reason is one phrase without a closing 。, so it can follow a colon or
// stand in brackets.
#include <QString>

class QFileDevice;
class QImageReader;

// A system text (an errorString() of QFile, QSaveFile, QLockFile ...) in our
// wording when it is one of the common reasons, otherwise unchanged.
QString japaneseReason(const QString& systemText);
// The same for an errno value of a C or POSIX call.
QString japaneseReason(int errnoValue);
// The reason a file failed, from its errorString().
QString fileReason(const QFileDevice& file);
// Why a picture could not be decoded.
QString pictureReason(const QImageReader& reader);
// For a name that exists but is a pipe, a device or a socket.
QString notRegularFileReason();
