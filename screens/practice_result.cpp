// The practice result, painted in the look of プレイ記録's pages.
#include "screens/practice_result.h"

#include "history/practice_report.h"
#include "platform/keys.h"
#include "platform/sound.h"
#include "screens/art.h"
#include "screens/closing.h"
#include "screens/progress_charts.h"
#include "screens/progress_window.h"

#include <QLocale>
#include <cmath>

PracticeResultWindow* practiceResultWindow = nullptr;

namespace {
using chart::grouped;
using chart::pixelFont;
using chart::u8;

constexpr double kHeadingBaseline = 66;
const QColor& kFaster = gamePalette().fasterFill;
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

void startPractice(QWidget* from)
{
    if (starter())
        starter()(from);
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

void PracticeResultWindow::keyDown(int KeyCode)
{
    switch (KeyCode) {
    case vk::Escape: quitByKey(); break;
    case vk::Numpad4: startPractice(this); break;
    case vk::Numpad0: openProgress(this); break;
    default: break;
    }
}

void PracticeResultWindow::paintEvent(QPaintEvent* event)
{
    GameWindow::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    chart::text(p, 24, kHeadingBaseline, u8("練習の結果"), pixelFont(16), chart::kPaper);
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
    double y = 100;
    for (const Figure& f : figures) {
        chart::text(p, 24, y, f.name, pixelFont(13), chart::kMist);
        chart::text(p, 250, y + 30, f.value, pixelFont(26), f.color, Qt::AlignRight);
        y += 62;
    }
    drawKeypad(p);

    QStringList faster;
    for (const DrilledDigit& d : report_.digits)
        if (d.faster())
            faster << QString::number(d.digit);
    const QString sentence = faster.isEmpty() ? u8("速くなった数字はまだありません。もう一度どうぞ。")
                                              : u8("速くなった数字: %1").arg(faster.join(u8("・")));
    chart::text(p, 24, 318, sentence, pixelFont(14), chart::kYellow);
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
        const bool faster = d && d->faster();
        p.setPen(QPen(faster ? gamePalette().faster : chart::kGold, faster ? 2 : 1));
        p.setBrush(faster ? kFaster : d ? kDrilled : kNotDrilled);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
        chart::text(p, r.left() + 6, r.top() + 17, QString::number(digit), pixelFont(16), rowColor(digit));
        if (!d) {
            chart::text(p, r.center().x(), r.top() + 46, u8("—"), pixelFont(18), chart::kMist, Qt::AlignHCenter);
            continue;
        }
        chart::text(p, r.right() - 5, r.top() + 16, u8("%1 回").arg(grouped(d->keys)), pixelFont(12), chart::kMist,
                    Qt::AlignRight);
        chart::text(p, r.right() - 5, r.top() + 42, milliseconds(d->nowMs) + u8(" ms"), pixelFont(15),
                    faster ? gamePalette().faster : chart::kPaper, Qt::AlignRight);
        chart::text(p, r.right() - 5, r.top() + 62, u8("前 %1").arg(milliseconds(d->beforeMs)), pixelFont(12),
                    chart::kMist, Qt::AlignRight);
    }
    const double x = origin.x() + 3 * size + 2 * gap + 10;
    const QFont small = pixelFont(12);
    const char* const legend[] = {"キーの上:", "出た回数", "今回の反応時間", "（中央値）", "前の数字"};
    for (int i = 0; i < 5; ++i)
        chart::text(p, x, 96 + 18 * i, u8(legend[i]), small, i == 0 ? chart::kPaper : chart::kMist);
    chart::text(p, x, 200, u8(gamePalette().fasterFrameWord) + u8(":"), small, gamePalette().faster);
    chart::text(p, x, 218, u8("速くなった"), small, gamePalette().faster);
}
