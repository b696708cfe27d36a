#include "history/records.h"

namespace {
const char* const kModeNames[] = {"normal", "hard", "practice", "entry"};
const char* const kVerdictNames[] = {"clear", "failure", "giveup"};
const char* const kOutcomeNames[] = {"cleared", "lost", "quit"};

template <typename E, size_t N>
std::optional<E> fromName(const char* const (&names)[N], const QString& name)
{
    for (size_t i = 0; i < N; ++i)
        if (name == QLatin1String(names[i]))
            return static_cast<E>(i);
    return std::nullopt;
}
}  // namespace

QString modeName(GameMode mode)
{
    return QLatin1String(kModeNames[static_cast<int>(mode)]);
}

QString verdictName(StageVerdict verdict)
{
    return QLatin1String(kVerdictNames[static_cast<int>(verdict)]);
}

QString outcomeName(GameOutcome outcome)
{
    return QLatin1String(kOutcomeNames[static_cast<int>(outcome)]);
}

QString rankName(int rank)
{
    return rank >= 0 && rank < kRankCount ? QString(QLatin1Char(rankLetter(rank))) : QString();
}

std::optional<GameMode> modeFromName(const QString& name)
{
    return fromName<GameMode>(kModeNames, name);
}

StageVerdict verdictFromName(const QString& name)
{
    return fromName<StageVerdict>(kVerdictNames, name).value_or(StageVerdict::Clear);
}

GameOutcome outcomeFromName(const QString& name)
{
    return fromName<GameOutcome>(kOutcomeNames, name).value_or(GameOutcome::Quit);
}

std::optional<int> rankFromName(const QString& name)
{
    for (int r = 0; r < kRankCount; ++r)
        if (name == rankName(r))
            return r;
    return std::nullopt;
}
