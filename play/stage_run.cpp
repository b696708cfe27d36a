#include "play/stage_run.h"

#include "platform/system.h"
#include "state/digit_draw.h"

#include <cmath>

void StageRun::setUp()
{
    m_.PlayActive = 0;
    m_.PlayOver = 0;
    m_.StageScore = 0;
    m_.GaugeLevel = 0;
    m_.PointsPerHit = 0;
    m_.GaveUp = 0;
    m_.ClockTens = m_.StageTimeLimit[m_.Stage];
    m_.ClockUnits = 0;
    m_.AnimFrame = 0;
    randomize();
    for (int i = 0; i < kKeyRows; ++i)
        m_.KeyQueue[i] = drawDigit(m_, rnd(), i > 0 ? m_.KeyQueue[i - 1] : 0);
}

void StageRun::start()
{
    m_.PlayActive = 1;
}

Judgement StageRun::key(int d)
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
    // The digit behind the last row follows the last row's digit.
    j.newDigit = drawDigit(m_, rnd(), m_.KeyQueue[kKeyRows - 1]);
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

ClockTick StageRun::tick()
{
    ClockTick t;
    const int remaining = m_.ClockTens * kSecondsPerTen + m_.ClockUnits;
    t.elapsed = kStageSeconds - remaining;
    // (A clock that starts at 0 ends at its first tick instead of running on.)
    if (remaining <= 1) {
        m_.PlayActive = 0;
        m_.PlayOver = 1;
        t.timeUp = true;
        return t;
    }
    m_.ClockUnits = m_.ClockUnits - 1;
    if (m_.ClockUnits == -1) {
        m_.ClockTens = m_.ClockTens - 1;
        m_.ClockUnits = 9;
    }
    t.remaining = m_.ClockTens * kSecondsPerTen + m_.ClockUnits;
    return t;
}

void StageRun::giveUp()
{
    m_.GaveUp = 1;
    m_.PlayActive = 0;
    m_.PlayOver = 1;
}

int StageRun::quota() const
{
    return m_.Practice == 1 ? 0 : m_.StageQuota[m_.Stage];
}

StageVerdict StageRun::verdict() const
{
    return stageVerdict(m_.StageScore, quota(), m_.GaveUp == 1);
}

StageResult StageRun::finish()
{
    StageResult r;
    const bool practice = m_.Practice == 1;
    // The stage best is judged first: a beaten best is kept even when the
    // stage is then failed or given up.
    const int k = m_.ScoreSlotBase + m_.Stage;
    if (!practice && m_.StageScore > m_.HighScores[k]) {
        m_.HighScores[k] = m_.StageScore;
        r.bestBeaten = true;
    }
    r.quotaMet = quotaMet(m_.StageScore, quota());
    r.verdict = verdict();
    r.gameEnd = gameEndAfter(r.verdict, m_.Stage, practice);
    if (!practice)
        m_.GameScore = m_.GameScore + m_.StageScore;
    r.gameTotal = m_.GameScore;
    if (r.gameEnd == GameOutcome::Cleared && !practice)
        r.rank = rankOf(m_.GameScore);
    m_.Result = r;
    return r;
}

bool StageRun::keepGameBest()
{
    if (m_.GameScore <= m_.HighScores[m_.ScoreSlotBase])
        return false;
    m_.HighScores[m_.ScoreSlotBase] = m_.GameScore;
    return true;
}
