#include "play/stage_run.h"

#include "platform/system.h"
#include "state/digit_draw.h"

#include <cmath>

Judgement StageRun::judge(int d)
{
    Judgement j;
    j.target = m_.KeyQueue[0];
    // The key to strike is the one digit in the bottom row: queue slot 0.
    j.hit = d == j.target;
    if (!j.hit) {
        m_.GaugeLevel = 0;
        m_.PointsPerHit = 0;
        j.gaugeEmptied = true;
        return j;
    }
    j.newDigit = drawDigit(m_, rnd());
    m_.KeyQueue[kNewDigitSlot] = j.newDigit;
    for (int i = 0; i < kKeyRows; ++i)
        m_.KeyQueue[i] = m_.KeyQueue[i + 1];
    raiseGauge(j);
    j.points = m_.PointsPerHit;
    m_.StageScore = m_.StageScore + j.points;
    return j;
}

void StageRun::raiseGauge(Judgement& j)
{
    m_.GaugeLevel = m_.GaugeLevel + m_.StageGaugeStep[m_.Stage];
    if (m_.GaugeLevel == kGaugeFull + 1) {
        m_.GaugeLevel = kGaugeFull;
    } else if (m_.GaugeLevel > kGaugeFull + 1) {
        // A step that jumps past 11 without landing on it (1.5: 10.5, 12)
        // holds the gauge full as well, instead of asking for a twelfth
        // block. A fraction between 10 and 11 is left as it is: like any
        // fraction it lights nothing and keeps the points per hit.
        m_.GaugeLevel = kGaugeFull;
        j.lightUp.set();
    }
    const bool whole = m_.GaugeLevel == std::floor(m_.GaugeLevel);
    if (whole && m_.GaugeLevel >= 1) {
        const int level = static_cast<int>(m_.GaugeLevel);
        j.lightUp.set(static_cast<size_t>(level - 1));
        if (level <= kGaugeFull)
            m_.PointsPerHit = kPointsPerHit[level];
    }
}
