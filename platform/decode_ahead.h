#pragma once
// Pictures decoded ahead, on a thread of their own, while the program makes
// its windows and reads its files: the title's artwork and the character
// pictures are then ready when they are first wanted, and the picture
// decoders (for JPEG, a plug-in and its library) are loaded beside the
// start-up rather than in front of the first paint.
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class DecodeAhead {
public:
    // Starts the thread; it first asks `paths` which pictures to decode
    // (so that reading a data file for their names happens there too),
    // then decodes them in that order.
    explicit DecodeAhead(std::function<QStringList()> paths);
    ~DecodeAhead();   // waits for the thread
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;

    // The picture at `path`, decoded as QImageReader decodes it by its
    // content, waiting for it if the thread has not got there yet. Null when
    // `path` was not asked for, was handed out already or could not be
    // decoded: the caller then decodes it itself, and reports what is wrong.
    QImage take(const QString& path);
    // Lets go of whatever was not taken.
    void forget();

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool listed_ = false;
    QStringList pending_;
    QHash<QString, QImage> done_;
    std::thread thread_;
};

// The run's pictures decoded ahead, if any; null leaves every picture to be
// decoded where it is wanted.
void setDecodeAhead(DecodeAhead* ahead);
QImage takeDecodedAhead(const QString& path);
