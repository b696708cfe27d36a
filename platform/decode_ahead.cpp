#include "platform/decode_ahead.h"

#include <QImageReader>

namespace {
DecodeAhead* g_ahead = nullptr;
}  // namespace

DecodeAhead::DecodeAhead(std::function<QStringList()> paths)
{
    thread_ = std::thread([this, paths = std::move(paths)] {
        QStringList list = paths();
        list.removeDuplicates();
        {
            std::lock_guard<std::mutex> guard(lock_);
            pending_ = list;
            listed_ = true;
        }
        changed_.notify_all();
        for (const QString& path : list) {
            {
                std::lock_guard<std::mutex> guard(lock_);
                if (!pending_.contains(path))
                    continue;   // forgotten
            }
            QImageReader reader(path);
            reader.setDecideFormatFromContent(true);
            const QImage image = reader.read();
            {
                std::lock_guard<std::mutex> guard(lock_);
                if (pending_.removeOne(path))
                    done_.insert(path, image);
            }
            changed_.notify_all();
        }
    });
}

DecodeAhead::~DecodeAhead()
{
    thread_.join();
}

QImage DecodeAhead::take(const QString& path)
{
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [&] { return listed_ && !pending_.contains(path); });
    return done_.take(path);
}

void DecodeAhead::forget()
{
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [&] { return listed_; });
    pending_.clear();   // the thread decodes nothing more
    done_.clear();
}

void setDecodeAhead(DecodeAhead* ahead)
{
    g_ahead = ahead;
}

QImage takeDecodedAhead(const QString& path)
{
    return g_ahead ? g_ahead->take(path) : QImage();
}
