#include "history/entry_figures.h"

#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr double kMsPerHour = 3600.0 * 1000.0;

std::optional<double> perHour(int keys, int ms)
{
    if (ms <= 0)
        return std::nullopt;
    return keys * kMsPerHour / ms;
}
}  // namespace

QString entryKeyName(int key)
{
    switch (key) {
    case kEntryPoint: return QStringLiteral(".");
    case kEntryEnter: return QStringLiteral("enter");
    case kEntryBack: return QStringLiteral("back");
    default: return QString::number(key);
    }
}

QString entryKeyLabel(int key)
{
    switch (key) {
    case kEntryEnter: return QStringLiteral("Enter");
    case kEntryBack: return QStringLiteral("BS");
    default: return entryKeyName(key);
    }
}

std::optional<double> EntryFigures::netKph() const
{
    return perHour(netKeys, playMs);
}

std::optional<double> EntryFigures::grossKph() const
{
    return perHour(grossKeys, playMs);
}

std::optional<double> EntryFigures::accuracy() const
{
    if (entries == 0)
        return std::nullopt;
    return static_cast<double>(correct) / entries;
}

bool EntryFigures::meets(int kph) const
{
    const std::optional<double> net = netKph();
    const std::optional<double> share = accuracy();
    return net && share && *net >= kph && *share >= kEntryAccuracyWanted;
}

EntryFigures entryFigures(const StageRecord& test)
{
    EntryFigures f;
    f.playMs = test.playMs;
    int typed = 0;  // characters standing in the entry being typed
    for (const KeyStroke& k : test.keys) {
        ++f.grossKeys;
        if (k.digit == kEntryBack) {
            typed = std::max(0, typed - 1);
        } else if (k.digit == kEntryEnter) {
            ++f.entries;
            if (k.hit) {
                ++f.correct;
                f.netKeys += typed + 1;
            }
            typed = 0;
        } else {
            ++typed;
        }
    }
    return f;
}

std::vector<EntryKeyTime> slowestEntryKeys(const StageRecord& test, int n)
{
    std::array<std::vector<int>, kEntryKeys> gaps;
    qint32 before = 0;  // the first key counts from the start of the clock
    for (const KeyStroke& k : test.keys) {
        if (k.hit && k.digit >= 0 && k.digit < kEntryKeys)
            gaps[static_cast<size_t>(k.digit)].push_back(k.ms - before);
        before = k.ms;
    }
    std::vector<EntryKeyTime> keys;
    for (int key = 0; key < kEntryKeys; ++key) {
        const std::vector<int>& g = gaps[static_cast<size_t>(key)];
        if (static_cast<int>(g.size()) >= kEntryTimedAtLeast)
            keys.push_back({key, medianOf(g).value_or(0), static_cast<int>(g.size())});
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const EntryKeyTime& a, const EntryKeyTime& b) { return a.medianMs > b.medianMs; });
    if (static_cast<int>(keys.size()) > n)
        keys.resize(static_cast<size_t>(n));
    return keys;
}

std::vector<EntryMiss> frequentEntryMisses(const StageRecord& test, int n)
{
    std::vector<EntryMiss> misses;
    for (const KeyStroke& k : test.keys) {
        // Keys struck after a slip, before it is erased, only follow from it.
        if (k.hit || k.target == kEntryBack)
            continue;
        auto it = std::find_if(misses.begin(), misses.end(),
                               [&](const EntryMiss& m) { return m.wanted == k.target && m.struck == k.digit; });
        if (it == misses.end())
            misses.push_back({k.target, k.digit, 1});
        else
            ++it->count;
    }
    std::stable_sort(misses.begin(), misses.end(),
                     [](const EntryMiss& a, const EntryMiss& b) { return a.count > b.count; });
    if (static_cast<int>(misses.size()) > n)
        misses.resize(static_cast<size_t>(n));
    return misses;
}

int entryMinutes(int playMs)
{
    return static_cast<int>(std::lround(playMs / 60000.0));
}

std::optional<double> bestEntryKph(HistoryDatabase& db, int minutes)
{
    db.clearProblem();
    if (!db.openToRead())
        return std::nullopt;
    // The stored score of a test is its net keystrokes.
    QSqlError error;
    QVariant best;
    {
        QSqlQuery q(db.connection());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT MAX(s.score * 3600000.0 / s.play_ms) FROM stages s"
                                 " JOIN games g ON g.id = s.game_id"
                                 " WHERE g.mode = ? AND s.play_ms > 0 AND ROUND(s.play_ms / 60000.0) = ?"));
        q.addBindValue(modeName(GameMode::Entry));
        q.addBindValue(minutes);
        if (q.exec() && q.next())
            best = q.value(0);
        else
            error = q.lastError();
    }
    if (error.isValid()) {
        db.noteFailure(error);  // no query of the connection left
        return std::nullopt;
    }
    if (best.isNull())
        return std::nullopt;
    return best.toDouble();
}

EntryKeypad entryKeypad(const std::vector<GameRecord>& tests, int minKeys)
{
    EntryKeypad pad;
    std::array<std::vector<int>, kEntryPadKeys> times;
    const auto onPad = [](int key) { return key >= 0 && key < kEntryPadKeys; };
    for (const GameRecord& test : tests) {
        ++pad.games;
        for (const StageRecord& stage : test.stages) {
            qint32 before = 0;  // the first key counts from the start of the clock
            for (const KeyStroke& k : stage.keys) {
                ++pad.keys;
                const qint32 gap = k.ms - before;
                before = k.ms;
                if (!onPad(k.target))
                    continue;
                DigitFigures& f = pad.pad[static_cast<size_t>(k.target)];
                ++f.keys;
                if (k.hit) {
                    ++f.hits;
                    times[static_cast<size_t>(k.target)].push_back(gap);
                } else if (onPad(k.digit)) {
                    ++pad.misses[static_cast<size_t>(k.target)][static_cast<size_t>(k.digit)];
                }
            }
        }
    }
    for (int key = 0; key < kEntryPadKeys; ++key) {
        DigitFigures& f = pad.pad[static_cast<size_t>(key)];
        if (f.keys < std::max(minKeys, 1))
            continue;
        f.medianMs = medianOf(times[static_cast<size_t>(key)]);
        f.accuracy = static_cast<double>(f.hits) / f.keys;
    }
    return pad;
}

std::vector<EntryMiss> topEntryMisses(const EntryKeypad& pad, int n)
{
    std::vector<EntryMiss> misses;
    for (int wanted = 0; wanted < kEntryPadKeys; ++wanted)
        for (int struck = 0; struck < kEntryPadKeys; ++struck)
            if (const int count = pad.missCount(wanted, struck); count > 0)
                misses.push_back({wanted, struck, count});
    std::stable_sort(misses.begin(), misses.end(),
                     [](const EntryMiss& a, const EntryMiss& b) { return a.count > b.count; });
    if (static_cast<int>(misses.size()) > n)
        misses.resize(static_cast<size_t>(n));
    return misses;
}
