#pragma once
// Pace against the stage best: the best's run, replayed through the stage
// model, says what it had scored at each tick of the clock; the stage in
// play is that far ahead or behind. Shown only where the history holds the
// run that set the best.
#include "history/records.h"

#include <QColor>
#include <QString>
#include <optional>
#include <vector>

// Whether the play screen shows the pace (--pace / --no-pace; on by default).
void setPaceShown(bool shown);
bool paceShown();

class Pace {
public:
    Pace() = default;
    // The run of the stage best (its keys as stored), on a stage with this gauge step.
    Pace(const StageRecord& bestRun, double gaugeStep);

    // The best's score (in score units) after `ticks` ticks of the clock.
    int bestAfter(int ticks) const;

private:
    std::vector<qint32> keyMs_;      // the hits' times, in order
    std::vector<int> scoreAtKey_;    // the score after each of them
};

// 「ベスト比 +1,250」: a difference in score units, as shown, signed.
QString paceText(int differenceUnits);
// Green ahead, red behind, white level.
QColor paceColor(int differenceUnits);
