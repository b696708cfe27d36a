#include "app/after_title.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {
constexpr int kUnpaintedFallbackMs = 500;
// A real timer between two steps, not a posted call: the window system's
// events (a key, a paint) are handled in between.
constexpr int kStepGapMs = 1;

class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget* title, std::vector<StartupStep> steps, int firstStepDelayMs)
        : QObject(title), title_(title), steps_(std::move(steps)), firstStepDelayMs_(firstStepDelayMs)
    {
        title->installEventFilter(this);
        QTimer::singleShot(kUnpaintedFallbackMs, this, [this] { begin(); });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // The paint is sent to the window system right after this event.
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(firstStepDelayMs_, this, [this] { begin(); });
        return false;
    }

private:
    void begin()
    {
        if (started_)
            return;
        started_ = true;
        title_->removeEventFilter(this);
        next();
    }

    void next()
    {
        if (done_ == steps_.size()) {
            deleteLater();
            return;
        }
        steps_[done_++]();
        QTimer::singleShot(kStepGapMs, this, [this] { next(); });
    }

    QWidget* title_;
    std::vector<StartupStep> steps_;
    int firstStepDelayMs_;
    std::size_t done_ = 0;
    bool started_ = false;
};
}  // namespace

QObject* runAfterFirstPaint(QWidget* title, std::vector<StartupStep> steps, int firstStepDelayMs)
{
    // Owned by the title window: gone with it, steps not yet run included.
    return new AfterFirstPaint(title, std::move(steps), firstStepDelayMs);
}
