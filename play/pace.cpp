#include "play/pace.h"

#include "play/stage_run.h"

#include <QLocale>
#include <algorithm>

namespace {
bool g_paceShown = true;
}  // namespace

void setPaceShown(bool shown)
{
    g_paceShown = shown;
}

bool paceShown()
{
    return g_paceShown;
}

Pace::Pace(const StageRecord& bestRun, double gaugeStep)
{
    // The stored keys judged again by the stage's own rules, each against
    // the target it was struck at.
    GameState m;
    m.Stage = 1;
    m.StageGaugeStep[1] = gaugeStep;
    m.StageKeyRange[1] = 9;
    StageRun run(m);
    run.start();
    for (const KeyStroke& key : bestRun.keys) {
        m.KeyQueue[0] = key.target;
        if (!run.key(key.digit).hit)
            continue;
        keyMs_.push_back(key.ms);
        scoreAtKey_.push_back(m.StageScore);
    }
}

int Pace::bestAfter(int ticks) const
{
    const qint64 ms = qint64(ticks) * kClockTickMs;
    const auto after = std::upper_bound(keyMs_.begin(), keyMs_.end(), ms);
    if (after == keyMs_.begin())
        return 0;
    return scoreAtKey_[size_t(after - keyMs_.begin()) - 1];
}

QString paceText(int differenceUnits)
{
    const qint64 points = qint64(differenceUnits) * kScoreUnit;
    const QString sign = points > 0 ? QStringLiteral("+") : points < 0 ? QStringLiteral("-") : QString::fromUtf8("±");
    return QString::fromUtf8("ベスト比 ") + sign + QLocale(QLocale::English).toString(points < 0 ? -points : points);
}

QColor paceColor(int differenceUnits)
{
    if (differenceUnits > 0)
        return QColor(0x00FF00);
    if (differenceUnits < 0)
        return QColor(0xFF4040);
    return QColor(0xFFFFFF);
}
