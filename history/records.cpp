#include "history/records.h"

#include <algorithm>

QString modeName(GameMode mode)
{
    return mode == GameMode::Normal ? QStringLiteral("normal") : QStringLiteral("hard");
}

std::optional<GameMode> modeFromName(const QString& name)
{
    if (name == QLatin1String("normal"))
        return GameMode::Normal;
    if (name == QLatin1String("hard"))
        return GameMode::Hard;
    return std::nullopt;
}

QString verdictName(StageVerdict verdict)
{
    switch (verdict) {
    case StageVerdict::Clear: return QStringLiteral("clear");
    case StageVerdict::Failure: return QStringLiteral("failure");
    case StageVerdict::GiveUp: return QStringLiteral("giveup");
    }
    return QString();
}

QString outcomeName(GameOutcome outcome)
{
    switch (outcome) {
    case GameOutcome::Cleared: return QStringLiteral("cleared");
    case GameOutcome::Lost: return QStringLiteral("lost");
    case GameOutcome::Quit: return QStringLiteral("quit");
    }
    return QString();
}

QString rankName(int rank)
{
    return rank >= 0 && rank < kRankCount ? QString(QLatin1Char(rankLetter(rank))) : QString();
}

std::optional<int> gameMedianGapMs(const GameRecord& game)
{
    std::vector<int> gaps;
    for (const StageRecord& stage : game.stages) {
        const std::vector<int> g = hitGaps(stage.keys);
        gaps.insert(gaps.end(), g.begin(), g.end());
    }
    return medianOf(std::move(gaps));
}

