#include "screens/entry_window.h"

#include "history/entry_figures.h"
#include "screens/art.h"
#include "screens/progress_charts.h"

#include <QPainter>

EntryWindow* entryWindow = nullptr;

namespace {
using chart::pixelFont;
using chart::u8;

// The play screen's colours, as the palette has them: the frame of the key
// to strike, the colour of keys 1-3, fading with distance, and the yellow
// 集計中.
const QColor& kFrame = gamePalette().targetFrame;
const QColor& kAmount = gamePalette().keyRows[0];
constexpr int kNextShade[] = {0xC0, 0x80, 0x40};
const QColor kTyped(0xFF, 0xFF, 0xFF);
const QColor kBox(0x08, 0x08, 0x10);

const QRect kAmountBox(24, 58, 380, 70);
const QRect kTypedBox(24, 136, 380, 56);
const QRect kClockBox(420, 58, 150, 70);
constexpr int kNextTop = 222, kNextPitch = 34;

QString clockText(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void box(QPainter& p, const QRect& r, const QColor& edge, int width)
{
    p.setPen(QPen(edge, width));
    p.setBrush(kBox);
    p.drawRect(QRectF(r).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0));
}
}  // namespace

EntryWindow::EntryWindow()
{
    setWindowTitle(u8("数字入力"));
    setBackground(artPicture(QString::fromLatin1(art::kEntry)));
}

QRect EntryWindow::typedArea()
{
    return kTypedBox;
}

QRect EntryWindow::clockArea()
{
    return kClockBox;
}

void EntryWindow::showChoosing(int minutes)
{
    screen_ = EntryScreen{};
    screen_.minutes = minutes;
    screen_.secondsLeft = minutes * 60;
    update();
}

void EntryWindow::showRunning(const QString& amount, const QStringList& upcoming, int correct, int entries)
{
    screen_.phase = EntryScreen::Phase::Running;
    screen_.amount = amount;
    screen_.upcoming = upcoming;
    screen_.correct = correct;
    screen_.entries = entries;
    screen_.typed.clear();
    update();
}

void EntryWindow::showTyped(const QString& typed)
{
    screen_.typed = typed;
    // Only the typed line: the key's character is what the player waits for.
    repaint(kTypedBox);
}

void EntryWindow::showTimeLeft(int seconds)
{
    screen_.secondsLeft = seconds;
    update(kClockBox);
}

void EntryWindow::showOver()
{
    screen_.phase = EntryScreen::Phase::Over;
    screen_.typed.clear();
    update();
}

void EntryWindow::paintEvent(QPaintEvent* event)
{
    GameWindow::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (screen_.phase == EntryScreen::Phase::Choosing)
        drawChoice(p);
    else
        drawTest(p);
    drawHints(p);
}

void EntryWindow::drawChoice(QPainter& p)
{
    chart::text(p, 24, 76, u8("テンキーで金額を打ち、Enter で確定します。"), pixelFont(15), chart::kPaper);
    chart::text(p, 24, 98, u8("正しく確定した入力の打鍵数（Enter を含む）で、1 時間あたりの打鍵数を測ります。"),
                pixelFont(12), chart::kMist);
    chart::text(p, 24, 146, u8("時間"), pixelFont(15), chart::kPaper);
    int x = 90;
    for (const int minutes : kEntryLengths) {
        const bool chosen = minutes == screen_.minutes;
        const QRect r(x, 118, 120, 90);
        box(p, r, chosen ? kFrame : chart::kGold, chosen ? 3 : 1);
        chart::text(p, r.left() + 8, r.top() + 20, QString::number(minutes), pixelFont(15), chart::kMist);
        chart::text(p, r.center().x(), r.top() + 66, u8("%1 分").arg(minutes), pixelFont(chosen ? 34 : 28),
                    chosen ? kAmount : chart::kMist, Qt::AlignHCenter);
        x += 140;
    }
    chart::text(p, 24, 250, u8("打つキー: 0〜9、. （小数点）、Enter（確定）、BackSpace または − （1 字消す）"),
                pixelFont(13), chart::kMist);
    chart::text(p, 24, 276, u8("目安: 正確さ 98 % 以上で 8,000 / 10,000 / 12,000 打鍵/時"), pixelFont(13),
                chart::kMist);
}

void EntryWindow::drawTest(QPainter& p)
{
    const bool over = screen_.phase == EntryScreen::Phase::Over;
    box(p, kAmountBox, kFrame, 2);
    if (!over)
        chart::text(p, kAmountBox.right() - 14, kAmountBox.bottom() - 14, screen_.amount, pixelFont(54), kAmount,
                    Qt::AlignRight);
    box(p, kTypedBox, chart::kGold, 1);
    chart::text(p, kTypedBox.right() - 14, kTypedBox.bottom() - 12, screen_.typed, pixelFont(42), kTyped,
                Qt::AlignRight);
    if (!over) {
        int y = kNextTop;
        for (int i = 0; i < screen_.upcoming.size() && i < 3; ++i, y += kNextPitch)
            chart::text(p, kAmountBox.right() - 14, y, screen_.upcoming.at(i), pixelFont(28),
                        shaded(kAmount, kNextShade[i]), Qt::AlignRight);
    }
    chart::text(p, 24, kNextTop, u8("次"), pixelFont(14), chart::kMist);

    box(p, kClockBox, chart::kGold, 1);
    chart::text(p, kClockBox.left() + 8, kClockBox.top() + 18, u8("残り時間"), pixelFont(12), chart::kMist);
    if (over)
        chart::text(p, kClockBox.center().x(), kClockBox.bottom() - 14, u8("集計中"), pixelFont(32),
                    QColor(0x00, 0xFF, 0x00), Qt::AlignHCenter);
    else
        chart::text(p, kClockBox.right() - 12, kClockBox.bottom() - 12, clockText(screen_.secondsLeft),
                    pixelFont(40), chart::kYellow, Qt::AlignRight);
    chart::text(p, 420, 160, u8("正解"), pixelFont(13), chart::kMist);
    chart::text(p, 570, 160, u8("%1 / %2").arg(screen_.correct).arg(screen_.entries), pixelFont(18), chart::kPaper,
                Qt::AlignRight);
    chart::text(p, 420, 186, u8("%1 分のテスト").arg(screen_.minutes), pixelFont(13), chart::kMist);
}

void EntryWindow::drawHints(QPainter& p)
{
    QString hint;
    switch (screen_.phase) {
    case EntryScreen::Phase::Choosing: hint = u8("1・3・5: 時間を選ぶ　　0: スタート　　Esc: 終了"); break;
    case EntryScreen::Phase::Running: hint = u8("Enter: 確定　　BackSpace / − : 1 字消す"); break;
    case EntryScreen::Phase::Over: hint = u8("テンキーの 0 で結果を見ます"); break;
    }
    chart::text(p, 24, 359, hint, pixelFont(16), chart::kCyan);
}
