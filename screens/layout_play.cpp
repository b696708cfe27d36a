// The play screen: key grid and time marker on the left, banner and
// character in the middle, the number rows on the right, gauge and
// commentary box below. No background picture: black where nothing draws.
#include "platform/control_canvas.h"
#include "screens/art.h"
#include "screens/forms.h"
#include "screens/layout_table.h"
#include "state/module1.h"
#include "state/palette.h"

#include <QTimer>
#include <vector>

namespace {
using layout::Align;

// Key grid: three columns laid out like the keypad's 1-4-7, 2-5-8 and 3-6-9
// columns. Cells are 615 x 855 twips on a 600 x 840 pitch, so neighbours
// share their one-pixel border. Element = column base + row, row 0 at the bottom.
constexpr double kCellWidth = 615, kCellHeight = 855, kCellPoints = 42;
struct GridColumn {
    int base;
    double left;
    const char* caption;  // design placeholder, replaced at stage set-up
};
constexpr GridColumn kGridColumns[] = {
    {6, 600, "2"},    // left: 1, 4, 7
    {12, 1200, "3"},  // middle: 2, 5, 8
    {0, 1800, "1"},   // right: 3, 6, 9
};
struct GridRow {
    double top;
    QRgb colour[3];  // left, middle, right column
};
constexpr GridRow kGridRows[kKeyRows] = {
    {4440, {0x00FF00, 0x00FFFF, 0xFFFF00}},  // row 0: the key to strike now
    {3600, {0x00C000, 0x00C0C0, 0xC0C000}},
    {2760, {0x008000, 0x008080, 0x808000}},
    {1920, {0x008000, 0x008080, 0x808000}},
    {1080, {0x004000, 0x004040, 0x404000}},
    {240, {0x004000, 0x004040, 0x404000}},   // row 5: top
};

// Number rows: five digit cells each, most significant first; the last cell
// stays "0" for good since scores are kept in tens of points.
constexpr double kDigitLeft[5] = {6360, 6840, 7320, 7800, 8280};
constexpr double kDigitWidth = 495, kDigitHeight = 735, kDigitPoints = 36;
struct NumberRow {
    ControlArray<Label> Form3::*digits;
    int captionIndex;        // element of Label2
    const char* caption;
    double captionTop;       // level with the digits' lower edge
    double digitTop;
    QRgb colour;
    const char* design[5];
};
constexpr NumberRow kNumberRows[] = {
    {&Form3::Label7, 0, "ノルマ：", 960, 600, 0x00FFFF, {"1", "5", "0", "0", "0"}},
    {&Form3::Label5, 5, "ハイスコア：", 1800, 1440, 0xFFFF00, {"0", "0", "0", "0", "0"}},
    {&Form3::Label6, 6, "スコア：", 2640, 2280, 0x00FF00, {"0", "0", "0", "0", "0"}},
};
constexpr double kRowCaptionLeft = 4560, kRowCaptionWidth = 1815, kRowCaptionHeight = 375;
constexpr double kRowCaptionPoints = 18;

// Covers the score row exactly while the stage is being totalled.
constexpr layout::LabelRow kTotalling =
    {0, 6360, 2280, 2415, 735, 0x00FF00, 32.25, Align::Center, "集計中", false, true};
constexpr layout::LabelRow kCommentary =
    {0, 2520, 4200, 6255, 1095, 0xFFFFFF, 12, Align::Left, "あ", false, true};

// Tick marks beside the time marker's path; the last three meet the marker's
// lower edge at 3, 2 and 1 seconds left.
struct Tick {
    int index;
    double x1, x2, y;
    QRgb colour;
};
constexpr Tick kTicks[] = {
    {1, 240, 480, 840, 0xFFFFFF},
    {3, 360, 480, 1905, 0xFFFFFF},
    {2, 240, 480, 3030, 0xFFFFC0},
    {4, 480, 360, 4155, 0xFFFF80},
    {6, 360, 480, 4980, 0xFFFF00},
    {5, 360, 480, 5130, 0xFF8000},
    {0, 240, 480, 5280, 0xFF0000},
};
constexpr int kTickPixels = 2;

// Gauge blocks fill the tray from the right: block k-1 lights at level k.
constexpr double kGaugeRight = 7920, kGaugeBlockTop = 3120, kBlockWidth = 600, kBlockHeight = 750;
}  // namespace

Form3::Form3()
{
    setWindowTitle(QString::fromUtf8(layout::kDesignCaption));

    for (const GridColumn& column : kGridColumns) {
        for (int row = 0; row < kKeyRows; ++row) {
            const GridRow& r = kGridRows[row];
            const QRgb colour = r.colour[&column - kGridColumns];
            const layout::LabelRow cell = {column.base + row, column.left, r.top, kCellWidth,
                                           kCellHeight, colour, kCellPoints, Align::Center,
                                           column.caption, false, true};
            Label1.set(cell.index, layout::makeLabel(this, cell));
        }
    }

    Shape1 = new Shape(this);
    Shape1->setRect(600, 4440, 1815, 855);
    Shape1->setBorderColor(gamePalette().targetFrame);
    Shape1->setBorderWidth(2);

    Image2 = layout::makeImage(this, 60, 240, 480, 480, QString::fromLatin1(art::kMascot));

    for (const Tick& tick : kTicks) {
        auto* line = new Line(this);
        line->setColor(QColor(tick.colour));
        line->setLineWidth(kTickPixels);
        line->setPoints(tick.x1, tick.y, tick.x2, tick.y);
        Line1.set(tick.index, line);
    }

    Image5 = layout::makeImage(this, 2520, 240, 3750, 750, QStringLiteral("stage_1.jpg"));
    Image1 = layout::makeImage(this, 2520, 1080, 1860, 1860);
    Image1->setBorder(true);

    for (const NumberRow& row : kNumberRows) {
        const layout::LabelRow caption = {row.captionIndex, kRowCaptionLeft, row.captionTop,
                                          kRowCaptionWidth, kRowCaptionHeight, 0xFFFFFF,
                                          kRowCaptionPoints, Align::Right, row.caption, false,
                                          false};
        Label2.set(caption.index, layout::makeLabel(this, caption));
        for (int i = 0; i < 5; ++i) {
            const layout::LabelRow digit = {i, kDigitLeft[i], row.digitTop, kDigitWidth,
                                            kDigitHeight, row.colour, kDigitPoints,
                                            Align::Center, row.design[i], false, true};
            (this->*row.digits).set(i, layout::makeLabel(this, digit));
        }
    }

    Label12 = layout::makeLabel(this, kTotalling);
    Label12->hide();

    Image4 = layout::makeImage(this, 2520, 3120, 6240, 990, QString::fromLatin1(art::kGaugeTray));
    for (int i = 0; i < kGaugeBlocks; ++i) {
        Image* block = layout::makeImage(this, kGaugeRight - kBlockWidth * i, kGaugeBlockTop,
                                         kBlockWidth, kBlockHeight,
                                         QStringLiteral("gauge_%1.bmp").arg(i));
        block->hide();
        Image3.set(i, block);
    }

    Label8 = layout::makeLabel(this, kCommentary);

    // Not of the design: the pace against the stage best, in the black above
    // the quota row.
    static constexpr layout::LabelRow kPace =
        {0, 6375, 60, 2400, 450, 0xFFFFFF, 13.5, Align::Right, "", true, false};
    LabelPace = layout::makeLabel(this, kPace);
    LabelPace->hide();

    // Stacking, front first. Where controls overlap this decides what shows:
    // the totalling label over the score, the blocks over the tray, the red
    // frame over the bottom row, the ticks over the marker; a character
    // picture larger than its box spreads over the labels behind it only.
    const std::vector<QWidget*> frontToBack = {
        Image3(9), Image3(8), Image3(7), Image3(6), Image3(5),
        Image3(4), Image3(3), Image3(2), Image3(1), Image3(0),
        Label12, Shape1,
        Line1(6), Line1(5), Line1(4), Line1(3), Line1(2), Line1(1), Line1(0),
        Image1, Label8,
        Label5(0), Label5(1), Label5(2), Label5(3), Label5(4),
        Label6(0), Label6(1), Label6(2), Label6(3), Label6(4),
        Label2(6), Label2(5),
        Label1(11), Label1(10), Label1(9), Label1(8), Label1(7),
        Label1(17), Label1(16), Label1(15), Label1(14), Label1(13),
        Label1(5), Label1(4), Label1(3), Label1(2), Label1(1),
        Label7(0), Label7(1), Label7(2), Label7(3), Label7(4),
        Label1(6), Label1(12), Label1(0),
        Image4, Image2, Label2(0), Image5,
    };
    for (auto it = frontToBack.rbegin(); it != frontToBack.rend(); ++it)
        (*it)->raise();
    // A key changes the grid, the score, the gauge and the character at
    // once: one widget in front of them all draws them in one paint.
    canvas = new ControlCanvas(this);

    // The stage clock: a tick a little short of a second; start() enables it.
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(kClockTickMs);
    Timer1->setSingleShot(false);
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (onTimer1)
            onTimer1();
    });
}
