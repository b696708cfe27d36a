#include "screens/entry_result.h"

#include "screens/art.h"
#include "screens/progress_charts.h"

#include <QLocale>
#include <QPainter>
#include <cmath>

EntryResultWindow* entryResultWindow = nullptr;

namespace {
using chart::grouped;
using chart::pixelFont;
using chart::u8;

QString perHour(const std::optional<double>& kph)
{
    return kph ? u8("%1 打鍵/時").arg(grouped(std::lround(*kph))) : u8("—");
}

QString percent(const std::optional<double>& share)
{
    return share ? QLocale(QLocale::English).toString(*share * 100.0, 'f', 1) + QStringLiteral(" %") : u8("—");
}
}  // namespace

EntryResultWindow::EntryResultWindow()
{
    setWindowTitle(u8("数字入力"));
    setBackground(artPicture(QString::fromLatin1(art::kEntryResult)));
}

void EntryResultWindow::setReport(EntryReport report)
{
    report_ = std::move(report);
    update();
}

void EntryResultWindow::paintEvent(QPaintEvent* event)
{
    GameWindow::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const EntryFigures& f = report_.figures;
    chart::text(p, 24, 66, u8("%1 分のテストの結果").arg(report_.minutes), pixelFont(16), chart::kPaper);

    struct Figure {
        QString name;
        QString value;
        QColor color;
        int px;
    };
    const Figure figures[] = {
        {u8("正味の打鍵速度（正しい入力の打鍵）"), perHour(f.netKph()), chart::kNormal, 26},
        {u8("総打鍵速度（打ったキーすべて）"), perHour(f.grossKph()), chart::kCyan, 18},
        {u8("正確さ（正しい入力 ÷ 入力）"), percent(f.accuracy()), chart::kYellow, 18},
        {u8("入力"), u8("%1 件（正しい入力 %2 件）").arg(f.entries).arg(f.correct), chart::kPaper, 18},
    };
    double y = 92;
    for (const Figure& fig : figures) {
        chart::text(p, 24, y, fig.name, pixelFont(12), chart::kMist);
        chart::text(p, 290, y + fig.px + 4, fig.value, pixelFont(fig.px), fig.color, Qt::AlignRight);
        y += fig.px + 26;
    }
    chart::text(p, 24, y + 4, u8("この長さのベスト"), pixelFont(12), chart::kMist);
    chart::text(p, 290, y + 26, perHour(report_.bestNetKph), pixelFont(18), chart::kGold, Qt::AlignRight);

    // The data-entry lines, each reached only at 98 % accuracy or better.
    const double x = 320;
    chart::text(p, x, 84, u8("正確さ 98 % 以上で"), pixelFont(12), chart::kMist);
    double ly = 106;
    for (const int line : kEntryLines) {
        const bool met = f.meets(line);
        chart::text(p, x, ly, u8("%1 打鍵/時").arg(grouped(line)), pixelFont(15), chart::kPaper);
        chart::text(p, 570, ly, met ? u8("達成") : u8("未達"), pixelFont(15), met ? chart::kNormal : chart::kMist,
                    Qt::AlignRight);
        ly += 22;
    }
    if (f.accuracy() && *f.accuracy() < kEntryAccuracyWanted)
        chart::text(p, x, ly, u8("（正確さが 98 % に届いていません）"), pixelFont(12), chart::kHard);

    chart::text(p, x, 196, u8("遅いキー（中央値）"), pixelFont(12), chart::kMist);
    double ky = 216;
    if (report_.slowest.empty())
        chart::text(p, x, ky, u8("—"), pixelFont(14), chart::kMist);
    for (const EntryKeyTime& k : report_.slowest) {
        chart::text(p, x, ky, entryKeyLabel(k.key), pixelFont(15), chart::kYellow);
        chart::text(p, 570, ky, u8("%1 ms（%2 回）").arg(grouped(k.medianMs)).arg(k.count), pixelFont(14),
                    chart::kPaper, Qt::AlignRight);
        ky += 19;
    }
    chart::text(p, x, 274, u8("多い打ち間違い"), pixelFont(12), chart::kMist);
    double my = 293;
    if (report_.misses.empty())
        chart::text(p, x, my, u8("なし"), pixelFont(14), chart::kNormal);
    for (const EntryMiss& m : report_.misses) {
        chart::text(p, x, my, u8("%1 のときに %2: %3 回").arg(entryKeyLabel(m.wanted), entryKeyLabel(m.struck)).arg(m.count),
                    pixelFont(14), chart::kPaper);
        my += 17;
    }
}
