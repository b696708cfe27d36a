#include "play/number_entry.h"

#include <algorithm>

namespace {
constexpr int kSecondsPerMinute = 60;
constexpr int kDecimals = 2;

int pick(const std::function<double()>& random, int count)
{
    return std::clamp(static_cast<int>(random() * count), 0, count - 1);
}

// A digit inside an amount: 0 with its own share, 1-9 alike otherwise.
QChar innerDigit(const std::function<double()>& random)
{
    if (random() < kAmountZeroShare)
        return QLatin1Char('0');
    return QLatin1Char(static_cast<char>('1' + pick(random, 9)));
}

int keyOfChar(QChar c)
{
    return c == QLatin1Char('.') ? kEntryPoint : c.digitValue();
}
}  // namespace

QString drawAmount(const std::function<double()>& random)
{
    const int length = 1 + pick(random, kAmountLongest);
    QString amount(QLatin1Char(static_cast<char>('1' + pick(random, 9))));
    for (int i = 1; i < length; ++i)
        amount += innerDigit(random);
    if (random() < kAmountDecimalsShare) {
        amount += QLatin1Char('.');
        for (int i = 0; i < kDecimals; ++i)
            amount += innerDigit(random);
    }
    return amount;
}

QChar entryKeyChar(int key)
{
    if (key >= 0 && key <= 9)
        return QLatin1Char(static_cast<char>('0' + key));
    return key == kEntryPoint ? QLatin1Char('.') : QChar();
}

NumberEntry::NumberEntry(std::function<double()> random) : random_(std::move(random))
{
    prepare(minutes_);
}

void NumberEntry::prepare(int minutes)
{
    minutes_ = minutes;
    secondsLeft_ = minutes * kSecondsPerMinute;
    running_ = false;
    over_ = false;
    correct_ = entries_ = netKeys_ = grossKeys_ = 0;
    typed_.clear();
    amounts_.clear();
    refill();
}

void NumberEntry::refill()
{
    while (static_cast<int>(amounts_.size()) < kEntryAmountsShown)
        amounts_.push_back(drawAmount(random_));
}

void NumberEntry::start()
{
    if (!over_)
        running_ = true;
}

bool NumberEntry::tick()
{
    if (!running_)
        return false;
    secondsLeft_ = std::max(0, secondsLeft_ - 1);
    if (secondsLeft_ > 0)
        return false;
    running_ = false;
    over_ = true;
    return true;
}

int NumberEntry::expected() const
{
    const QString& want = amount();
    if (!want.startsWith(typed_))
        return kEntryBack;
    if (typed_.size() == want.size())
        return kEntryEnter;
    return keyOfChar(want.at(typed_.size()));
}

EntryStrike NumberEntry::strike(int key)
{
    EntryStrike s;
    s.key = key;
    if (!running_)
        return s;
    const QChar c = entryKeyChar(key);
    if (key == kEntryEnter && typed_.isEmpty())
        return s;  // nothing to submit
    if (!c.isNull() && typed_.size() >= kEntryLongest)
        return s;
    s.taken = true;
    s.expected = expected();
    s.matched = key == s.expected;
    ++grossKeys_;
    if (key == kEntryBack) {
        typed_.chop(1);
    } else if (key == kEntryEnter) {
        s.submitted = true;
        s.correct = typed_ == amount();
        ++entries_;
        if (s.correct) {
            ++correct_;
            netKeys_ += static_cast<int>(typed_.size()) + 1;
        }
        typed_.clear();
        amounts_.pop_front();
        refill();
    } else {
        typed_ += c;
    }
    return s;
}

QStringList NumberEntry::upcoming() const
{
    QStringList next;
    for (size_t i = 1; i < amounts_.size(); ++i)
        next << amounts_[i];
    return next;
}
