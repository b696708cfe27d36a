// The practice result, painted in the look of プレイ記録's pages.
#include "screens/practice_result.h"

#include "history/practice_report.h"
#include "platform/keys.h"
#include "platform/sound.h"
#include "screens/art.h"
#include "screens/closing.h"
#include "screens/progress_charts.h"
#include "screens/progress_window.h"

#include <QFontMetricsF>
#include <QLocale>
#include <cmath>

PracticeResultWindow* practiceResultWindow = nullptr;

namespace {
using chart::grouped;
using chart::pixelFont;
using chart::u8;

constexpr double kHeadingBaseline = 66;
const QColor& kFaster = gamePalette().fasterFill;
const QColor kSlower(0x6E, 0x2C, 0x24);
const QColor kDrilled(0x20, 0x20, 0x38);
const QColor kNotDrilled(0x30, 0x30, 0x44);

PracticeStarter& starter()
{
    static PracticeStarter start;
    return start;
}

QString percent(double share)
{
    return QLocale(QLocale::English).toString(share * 100.0, 'f', 1) + QStringLiteral(" %");
}

QString milliseconds(const std::optional<int>& ms)
{
    return ms ? grouped(*ms) : u8("—");
}

QString wholePercent(double share)
{
    return QString::number(std::lround(share * 100.0)) + QStringLiteral(" %");
}

// ▲ faster (the time went down), ▼ slower: a sign as well as a colour.
QString changeSign(DigitChange change)
{
    switch (change) {
    case DigitChange::Faster: return u8("▲");
    case DigitChange::Slower: return u8("▼");
    case DigitChange::None: break;
    }
    return QString();
}

QColor changeColor(DigitChange change)
{
    return change == DigitChange::Slower ? gamePalette().slower : gamePalette().faster;
}

QString drillName(const PracticeDrill& drill)
{
    switch (drill.kind) {
    case DrillKind::SlowMoves:
        if (!drill.moves.empty())  // without moves it was the weak digits' drill
            return u8("指運び特訓");
        break;
    case DrillKind::ChosenDigit: return u8("%1 の特訓").arg(drill.digit);
    case DrillKind::WeakDigits: break;
    }
    return u8("苦手特訓");
}

// The play grid's colour of a digit's keypad row.
QColor rowColor(int digit)
{
    return keyRowColor(digit);
}
}  // namespace

void setPracticeStarter(PracticeStarter start)
{
    starter() = std::move(start);
}

void startPractice(QWidget* from, const PracticeDrill& drill)
{
    if (!starter())
        return;
    if (practiceResultWindow) {
        if (from == progressWindow)
            practiceResultWindow->setOrigin(progressWindow->page(), progressWindow->insightMode());
        practiceResultWindow->setDrill(drill);
    }
    starter()(from, drill);
}

PracticeResultWindow::PracticeResultWindow()
{
    setWindowTitle(u8("苦手特訓"));
    setBackground(artPicture(QString::fromLatin1(art::kPracticeResult)));
    onKeyDown = [this](int KeyCode, int) { keyDown(KeyCode); };
}

void PracticeResultWindow::setReport(PracticeReport report)
{
    report_ = std::move(report);
    update();
}

void PracticeResultWindow::setOrigin(int page, GameMode mode)
{
    originPage_ = page;
    originMode_ = mode;
}

void PracticeResultWindow::keyDown(int KeyCode)
{
    switch (KeyCode) {
    case vk::Escape: quitByKey(); break;
    case vk::Numpad4: startPractice(this, drill_); break;
    case vk::Numpad0:
        openProgress(this);
        progressWindow->showPage(originPage_, originMode_);
        break;
    default: break;
    }
}

void PracticeResultWindow::paintEvent(QPaintEvent* event)
{
    GameWindow::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    chart::text(p, 24, kHeadingBaseline, u8("練習の結果（%1）").arg(drillName(drill_)), pixelFont(16), chart::kPaper);
    chart::text(p, 570, kHeadingBaseline, u8("「前」は直近 %1 ゲームの数字").arg(kPracticeGames), pixelFont(12),
                chart::kMist, Qt::AlignRight);

    struct Figure {
        QString name;
        QString value;
        QColor color;
    };
    const Figure figures[] = {
        {u8("正解"), u8("%1 回").arg(grouped(report_.hits)), chart::kNormal},
        {u8("正確さ"), report_.accuracy ? percent(*report_.accuracy) : u8("—"), chart::kCyan},
        {u8("打鍵速度"),
         report_.keysPerHour ? u8("%1 打鍵/時").arg(grouped(std::lround(*report_.keysPerHour))) : u8("—"),
         chart::kYellow},
    };
    double y = 92;
    for (const Figure& f : figures) {
        chart::text(p, 24, y, f.name, pixelFont(13), chart::kMist);
        chart::text(p, 250, y + 27, f.value, pixelFont(24), f.color, Qt::AlignRight);
        y += 50;
    }
    drawMisses(p, 243);
    drawKeypad(p);

    QStringList faster;
    for (const DrilledDigit& d : report_.digits)
        if (d.faster())
            faster << QString::number(d.digit);
    const QString sentence = faster.isEmpty() ? u8("はっきり速くなった数字はまだありません。もう一度どうぞ。")
                                              : u8("速くなった数字: %1").arg(faster.join(u8("・")));
    chart::text(p, 24, 318, sentence, pixelFont(14), chart::kYellow);
}

void PracticeResultWindow::drawMisses(QPainter& p, double top)
{
    chart::text(p, 24, top, u8("多い打ち間違い（今回）"), pixelFont(13), chart::kMist);
    if (report_.misses.empty())
        chart::text(p, 24, top + 18, u8("打ち間違いはありません"), pixelFont(14), chart::kPaper);
    for (size_t i = 0; i < report_.misses.size(); ++i) {
        const Miss& m = report_.misses[i];
        chart::text(p, 24, top + 18 + 16 * static_cast<double>(i),
                    u8("%1 のときに %2: %3 回").arg(m.shown).arg(m.pressed).arg(grouped(m.count)), pixelFont(14),
                    chart::kPaper);
    }
}

void PracticeResultWindow::drawKeypad(QPainter& p)
{
    const QPointF origin(266, 80);
    const double size = 70, gap = 6;
    for (int digit = 1; digit <= kKeypadDigits; ++digit) {
        const QRectF r(origin.x() + ((digit - 1) % 3) * (size + gap), origin.y() + (2 - (digit - 1) / 3) * (size + gap),
                       size, size);
        const DrilledDigit* d = nullptr;
        for (const DrilledDigit& drilled : report_.digits)
            if (drilled.digit == digit)
                d = &drilled;
        const DigitChange change = d ? d->change() : DigitChange::None;
        const bool marked = change != DigitChange::None;
        p.setPen(QPen(marked ? changeColor(change) : chart::kGold, marked ? 2 : 1));
        p.setBrush(change == DigitChange::Faster   ? kFaster
                   : change == DigitChange::Slower ? kSlower
                   : d                             ? kDrilled
                                                   : kNotDrilled);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
        chart::text(p, r.left() + 6, r.top() + 17, QString::number(digit), pixelFont(16), rowColor(digit));
        if (!d) {
            chart::text(p, r.center().x(), r.top() + 46, u8("—"), pixelFont(18), chart::kMist, Qt::AlignHCenter);
            continue;
        }
        chart::text(p, r.right() - 5, r.top() + 16, u8("%1 回").arg(grouped(d->keys)), pixelFont(12), chart::kMist,
                    Qt::AlignRight);
        // The sign before the time, the time in the sign's colour; a long
        // time in a smaller size so both stay inside the key.
        const QString now = changeSign(change) + milliseconds(d->nowMs) + u8(" ms");
        QFont font = pixelFont(14);
        if (QFontMetricsF(font).horizontalAdvance(now) > size - 8)
            font = pixelFont(12);
        chart::text(p, r.right() - 5, r.top() + 34, now, font, marked ? changeColor(change) : chart::kPaper,
                    Qt::AlignRight);
        chart::text(p, r.right() - 5, r.top() + 49, u8("前 %1").arg(milliseconds(d->beforeMs)), pixelFont(12),
                    chart::kMist, Qt::AlignRight);
        const std::optional<double> accuracy = d->accuracy();
        chart::text(p, r.right() - 5, r.top() + 64, accuracy ? wholePercent(*accuracy) : u8("—"), pixelFont(12),
                    chart::kPaper, Qt::AlignRight);
    }
    const double x = origin.x() + 3 * size + 2 * gap + 10;
    const QFont small = pixelFont(12);
    const char* const legend[] = {"キーの上:", "出た回数", "今回の反応時間", "（中央値）", "前の数字", "今回の正確さ"};
    for (int i = 0; i < 6; ++i)
        chart::text(p, x, 96 + 18 * i, u8(legend[i]), small, i == 0 ? chart::kPaper : chart::kMist);
    chart::text(p, x, 214, u8("▲ 速くなった"), small, changeColor(DigitChange::Faster));
    chart::text(p, x, 232, u8("▼ 遅くなった"), small, changeColor(DigitChange::Slower));
    // The rule in the narrow column, a line a part.
    chart::text(p, x, 250, u8("前も今回も"), small, chart::kMist);
    chart::text(p, x, 266, u8("%1 回以上で").arg(kChangeMinKeys), small, chart::kMist);
    chart::text(p, x, 282, u8("%1 % かつ").arg(kChangeMinPercent), small, chart::kMist);
    chart::text(p, x, 298, u8("%1 ms 以上の差").arg(kChangeMinMs), small, chart::kMist);
}
