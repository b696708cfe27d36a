#pragma once
// A working folder of its own for each test case of the play history: empty
// at the start, the recorder forgotten, the old working folder back at the
// end; and one query against a file through a connection of its own.
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

class HistoryFolder {
public:
    // In a test's init(): the folder emptied and made the working folder.
    void enter();
    // In its cleanup(): the recorder closed, the real clock and folder back.
    void leave();
    QString path(const QString& name = QStringLiteral("history.sqlite")) const { return dir_.filePath(name); }
    QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QString oldCurrent_;
};

// The first value `sql` gives on the file at `path`, or an invalid one.
QVariant scalar(const QString& path, const QString& sql);
