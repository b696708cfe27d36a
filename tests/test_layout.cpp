// Every window's controls at their design values, the play screen's
// stacking order, and the drawing of the key grid.
#include "app/title.h"
#include "play/stage_play.h"
#include "platform/control_canvas.h"
#include "screens/forms.h"
#include "state/module1.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTimer>
#include <QtTest>

namespace {

// ---------------------------------------------------------- expected layouts
// Written out here independently of the layout files, so a wrong value in
// a layout shows up as a difference.

enum Fill { Transparent, OpaqueBlack };
enum AlignTo { L, R, C };

struct LabelCase {
    const char* id;  // window.control(index)
    int left, top, width, height;
    QRgb fore;
    int pixelSize;   // points x 4/3
    AlignTo align;
    Fill fill;
    bool border;
    const char* caption;
    bool visible;
};

const LabelCase kLabels[] = {
    {"2.Label1", 120, 120, 5040, 720, 0xFFFFFF, 48, L, Transparent, false, "", false},

    // Key grid: right column 0..5 ("1"), left 6..11 ("2"), middle 12..17 ("3").
    {"3.Label1(0)", 1800, 4440, 615, 855, 0xFFFF00, 56, C, OpaqueBlack, true, "1", true},
    {"3.Label1(1)", 1800, 3600, 615, 855, 0xC0C000, 56, C, OpaqueBlack, true, "1", true},
    {"3.Label1(2)", 1800, 2760, 615, 855, 0x808000, 56, C, OpaqueBlack, true, "1", true},
    {"3.Label1(3)", 1800, 1920, 615, 855, 0x808000, 56, C, OpaqueBlack, true, "1", true},
    {"3.Label1(4)", 1800, 1080, 615, 855, 0x404000, 56, C, OpaqueBlack, true, "1", true},
    {"3.Label1(5)", 1800, 240, 615, 855, 0x404000, 56, C, OpaqueBlack, true, "1", true},
    {"3.Label1(6)", 600, 4440, 615, 855, 0x00FF00, 56, C, OpaqueBlack, true, "2", true},
    {"3.Label1(7)", 600, 3600, 615, 855, 0x00C000, 56, C, OpaqueBlack, true, "2", true},
    {"3.Label1(8)", 600, 2760, 615, 855, 0x008000, 56, C, OpaqueBlack, true, "2", true},
    {"3.Label1(9)", 600, 1920, 615, 855, 0x008000, 56, C, OpaqueBlack, true, "2", true},
    {"3.Label1(10)", 600, 1080, 615, 855, 0x004000, 56, C, OpaqueBlack, true, "2", true},
    {"3.Label1(11)", 600, 240, 615, 855, 0x004000, 56, C, OpaqueBlack, true, "2", true},
    {"3.Label1(12)", 1200, 4440, 615, 855, 0x00FFFF, 56, C, OpaqueBlack, true, "3", true},
    {"3.Label1(13)", 1200, 3600, 615, 855, 0x00C0C0, 56, C, OpaqueBlack, true, "3", true},
    {"3.Label1(14)", 1200, 2760, 615, 855, 0x008080, 56, C, OpaqueBlack, true, "3", true},
    {"3.Label1(15)", 1200, 1920, 615, 855, 0x008080, 56, C, OpaqueBlack, true, "3", true},
    {"3.Label1(16)", 1200, 1080, 615, 855, 0x004040, 56, C, OpaqueBlack, true, "3", true},
    {"3.Label1(17)", 1200, 240, 615, 855, 0x004040, 56, C, OpaqueBlack, true, "3", true},

    {"3.Label2(0)", 4560, 960, 1815, 375, 0xFFFFFF, 24, R, OpaqueBlack, false, "ノルマ：", true},
    {"3.Label2(5)", 4560, 1800, 1815, 375, 0xFFFFFF, 24, R, OpaqueBlack, false, "ハイスコア：", true},
    {"3.Label2(6)", 4560, 2640, 1815, 375, 0xFFFFFF, 24, R, OpaqueBlack, false, "スコア：", true},

    {"3.Label7(0)", 6360, 600, 495, 735, 0x00FFFF, 48, C, OpaqueBlack, true, "1", true},
    {"3.Label7(1)", 6840, 600, 495, 735, 0x00FFFF, 48, C, OpaqueBlack, true, "5", true},
    {"3.Label7(2)", 7320, 600, 495, 735, 0x00FFFF, 48, C, OpaqueBlack, true, "0", true},
    {"3.Label7(3)", 7800, 600, 495, 735, 0x00FFFF, 48, C, OpaqueBlack, true, "0", true},
    {"3.Label7(4)", 8280, 600, 495, 735, 0x00FFFF, 48, C, OpaqueBlack, true, "0", true},
    {"3.Label5(0)", 6360, 1440, 495, 735, 0xFFFF00, 48, C, OpaqueBlack, true, "0", true},
    {"3.Label5(1)", 6840, 1440, 495, 735, 0xFFFF00, 48, C, OpaqueBlack, true, "0", true},
    {"3.Label5(2)", 7320, 1440, 495, 735, 0xFFFF00, 48, C, OpaqueBlack, true, "0", true},
    {"3.Label5(3)", 7800, 1440, 495, 735, 0xFFFF00, 48, C, OpaqueBlack, true, "0", true},
    {"3.Label5(4)", 8280, 1440, 495, 735, 0xFFFF00, 48, C, OpaqueBlack, true, "0", true},
    {"3.Label6(0)", 6360, 2280, 495, 735, 0x00FF00, 48, C, OpaqueBlack, true, "0", true},
    {"3.Label6(1)", 6840, 2280, 495, 735, 0x00FF00, 48, C, OpaqueBlack, true, "0", true},
    {"3.Label6(2)", 7320, 2280, 495, 735, 0x00FF00, 48, C, OpaqueBlack, true, "0", true},
    {"3.Label6(3)", 7800, 2280, 495, 735, 0x00FF00, 48, C, OpaqueBlack, true, "0", true},
    {"3.Label6(4)", 8280, 2280, 495, 735, 0x00FF00, 48, C, OpaqueBlack, true, "0", true},

    {"3.Label8", 2520, 4200, 6255, 1095, 0xFFFFFF, 16, L, OpaqueBlack, true, "あ", true},
    {"3.Label12", 6360, 2280, 2415, 735, 0x00FF00, 43, C, OpaqueBlack, true, "集計中", false},
    // The pace against the stage best, shown while a stage is played.
    {"3.LabelPace", 6375, 60, 2400, 450, 0xFFFFFF, 18, R, Transparent, false, "", false},
    // Today's minutes against the daily goal, under the title's menu;
    // shown once the title has read the history.
    {"1.dailyLine", 3990, 4395, 4500, 300, 0xB8C4DC, 13, R, Transparent, false, "", false},

    {"4.Label2(1)", 4200, 960, 4095, 855, 0x00FF00, 56, R, Transparent, false, "10000", true},
    {"4.Label5(1)", 4200, 1800, 4095, 735, 0x00FFFF, 56, R, Transparent, false, "10000", true},
    {"4.Label3(1)", 4200, 2760, 4095, 855, 0xFF8000, 56, R, Transparent, false, "Clear!!", true},
    {"4.Label4(1)", 4200, 3720, 4095, 855, 0xFFFF00, 56, R, Transparent, false, "10000", true},
    // Keypad 5 after a lost game (shown with such a result only).
    {"4.LabelAgain", 4470, 5055, 1275, 330, 0xFFFFFF, 14, C, Transparent, false, "5 もう一度", false},

    {"5.Label3", 4560, 3000, 3015, 735, 0xFFFF00, 48, R, Transparent, false, "100000", true},
    {"5.Label5", 4560, 3600, 3015, 735, 0x00FF00, 48, R, Transparent, false, "1000", true},
    {"5.LabelAgain", 6300, 5160, 2400, 360, 0xFFFFFF, 16, R, Transparent, false, "5 もう一度", true},

    {"6.Label1(0)", 120, 120, 8340, 32490, 0xFFFFFF, 21, L, Transparent, false, "あ", true},
    {"6.Label2", 8040, 4800, 855, 735, 0xFFFFFF, 16, L, OpaqueBlack, false, "４：上へ １：下へ ０：戻る", true},

    {"8.Label5(1)", 6240, 720, 1695, 495, 0xFFFFFF, 32, R, Transparent, false, "100000", true},
    {"8.Label5(2)", 6240, 1080, 1695, 495, 0xFFFFFF, 32, R, Transparent, false, "100000", true},
    {"8.Label5(3)", 6240, 1440, 1695, 495, 0xFFFFFF, 32, R, Transparent, false, "100000", true},
    {"8.Label5(4)", 6240, 1800, 1695, 495, 0xFFFFFF, 32, R, Transparent, false, "100000", true},
    {"8.Label5(5)", 6240, 2160, 1695, 495, 0xFFFFFF, 32, R, Transparent, false, "100000", true},
    {"8.Label5(0)", 6240, 2640, 1695, 495, 0xFFFF00, 32, R, Transparent, false, "1000000", true},
    {"8.Label5(7)", 6240, 3120, 1695, 495, 0xFFFFFF, 32, R, Transparent, false, "100000", true},
    {"8.Label5(8)", 6240, 3480, 1695, 495, 0xFFFFFF, 32, R, Transparent, false, "100000", true},
    {"8.Label5(9)", 6240, 3840, 1695, 495, 0xFFFFFF, 32, R, Transparent, false, "100000", true},
    {"8.Label5(10)", 6240, 4200, 1695, 495, 0xFFFFFF, 32, R, Transparent, false, "100000", true},
    {"8.Label5(11)", 6240, 4560, 1695, 495, 0xFFFFFF, 32, R, Transparent, false, "100000", true},
    {"8.Label5(6)", 6240, 5040, 1695, 495, 0xFFFF00, 32, R, Transparent, false, "100000", true},
};

struct ImageCase {
    const char* id;
    int left, top, width, height;
    const char* art;  // design picture, or nullptr
    bool border;
    bool visible;
};

const ImageCase kImages[] = {
    {"1.Image1", 60, 60, 480, 480, "mascot.bmp", false, true},
    {"1.entryLine", 3150, 3000, 2940, 750, "title_entry.bmp", false, true},
    {"3.Image1", 2520, 1080, 1860, 1860, nullptr, true, true},
    {"3.Image2", 60, 240, 480, 480, "mascot.bmp", false, true},
    {"3.Image3(0)", 7920, 3120, 600, 750, "gauge_0.bmp", false, false},
    {"3.Image3(1)", 7320, 3120, 600, 750, "gauge_1.bmp", false, false},
    {"3.Image3(2)", 6720, 3120, 600, 750, "gauge_2.bmp", false, false},
    {"3.Image3(3)", 6120, 3120, 600, 750, "gauge_3.bmp", false, false},
    {"3.Image3(4)", 5520, 3120, 600, 750, "gauge_4.bmp", false, false},
    {"3.Image3(5)", 4920, 3120, 600, 750, "gauge_5.bmp", false, false},
    {"3.Image3(6)", 4320, 3120, 600, 750, "gauge_6.bmp", false, false},
    {"3.Image3(7)", 3720, 3120, 600, 750, "gauge_7.bmp", false, false},
    {"3.Image3(8)", 3120, 3120, 600, 750, "gauge_8.bmp", false, false},
    {"3.Image3(9)", 2520, 3120, 600, 750, "gauge_9.bmp", false, false},
    {"3.Image4", 2520, 3120, 6240, 990, "gauge_tray.bmp", false, true},
    {"3.Image5", 2520, 240, 3750, 750, "stage_1.jpg", false, true},
    {"4.Image2", 2580, 120, 3750, 750, "stage_1.jpg", false, true},
    {"4.Image3", -45, 4800, 9000, 750, "result_0.jpg", false, true},
    {"5.Image1", 4680, 4080, 3000, 750, "rank_0.jpg", false, true},
};

struct LineCase {
    int index;
    int x1, y1, x2, y2;
    QRgb colour;
};

const LineCase kLines[] = {
    {0, 240, 5280, 480, 5280, 0xFF0000}, {1, 240, 840, 480, 840, 0xFFFFFF},
    {2, 240, 3030, 480, 3030, 0xFFFFC0}, {3, 360, 1905, 480, 1905, 0xFFFFFF},
    {4, 480, 4155, 360, 4155, 0xFFFF80}, {5, 360, 5130, 480, 5130, 0xFF8000},
    {6, 360, 4980, 480, 4980, 0xFFFF00},
};

// The play screen's controls, front first.
const char* const kPlayFrontToBack[] = {
    "Image3(9)", "Image3(8)", "Image3(7)", "Image3(6)", "Image3(5)", "Image3(4)",
    "Image3(3)", "Image3(2)", "Image3(1)", "Image3(0)", "Label12", "Shape1",
    "Line1(6)", "Line1(5)", "Line1(4)", "Line1(3)", "Line1(2)", "Line1(1)", "Line1(0)",
    "Image1", "Label8",
    "Label5(0)", "Label5(1)", "Label5(2)", "Label5(3)", "Label5(4)",
    "Label6(0)", "Label6(1)", "Label6(2)", "Label6(3)", "Label6(4)",
    "Label2(6)", "Label2(5)",
    "Label1(11)", "Label1(10)", "Label1(9)", "Label1(8)", "Label1(7)",
    "Label1(17)", "Label1(16)", "Label1(15)", "Label1(14)", "Label1(13)",
    "Label1(5)", "Label1(4)", "Label1(3)", "Label1(2)", "Label1(1)",
    "Label7(0)", "Label7(1)", "Label7(2)", "Label7(3)", "Label7(4)",
    "Label1(6)", "Label1(12)", "Label1(0)",
    "Image4", "Image2", "Label2(0)", "Image5",
    "LabelPace",  // behind all: it shares no spot with another control
};

// Key colours of the two modes: [key group][display row], as R, G, B.
const QRgb kNormalColours[3][6] = {
    {0x00FF00, 0x00C000, 0x008000, 0x008000, 0x004000, 0x004000},
    {0x00FFFF, 0x00C0C0, 0x008080, 0x008080, 0x004040, 0x004040},
    {0xFFFF00, 0xC0C000, 0x808000, 0x808000, 0x404000, 0x404000},
};
const QRgb kExtraColours[3][6] = {
    {0x00FF00, 0x004000, 0, 0, 0, 0},
    {0x00FFFF, 0x004040, 0, 0, 0, 0},
    {0xFFFF00, 0x404000, 0, 0, 0, 0},
};
// The grid cell of row 0 for each keypad digit: its keypad column.
const int kRowZeroCell[10] = {-1, 6, 12, 0, 6, 12, 0, 6, 12, 0};

// ---------------------------------------------------------------- lookup

template <typename T>
void addArray(QHash<QString, QWidget*>& map, const QString& prefix, const ControlArray<T>& array)
{
    for (const auto& [index, item] : array)
        map.insert(QStringLiteral("%1(%2)").arg(prefix).arg(index), item);
}

// Every control of every window by its id, e.g. "3.Label1(4)" or "5.Image1".
QHash<QString, QWidget*> allControls()
{
    QHash<QString, QWidget*> m;
    m.insert("1.Image1", form1->Image1);
    m.insert("1.entryLine", form1->entryLine);
    m.insert("1.dailyLine", form1->dailyLine);
    m.insert("2.Label1", form2->Label1);
    addArray(m, "3.Label1", form3->Label1);
    addArray(m, "3.Label2", form3->Label2);
    addArray(m, "3.Label5", form3->Label5);
    addArray(m, "3.Label6", form3->Label6);
    addArray(m, "3.Label7", form3->Label7);
    m.insert("3.Label8", form3->Label8);
    m.insert("3.Label12", form3->Label12);
    m.insert("3.LabelPace", form3->LabelPace);
    m.insert("3.Image1", form3->Image1);
    m.insert("3.Image2", form3->Image2);
    addArray(m, "3.Image3", form3->Image3);
    m.insert("3.Image4", form3->Image4);
    m.insert("3.Image5", form3->Image5);
    m.insert("3.Shape1", form3->Shape1);
    addArray(m, "3.Line1", form3->Line1);
    addArray(m, "4.Label2", form4->Label2);
    addArray(m, "4.Label3", form4->Label3);
    addArray(m, "4.Label4", form4->Label4);
    addArray(m, "4.Label5", form4->Label5);
    m.insert("4.Image2", form4->Image2);
    m.insert("4.Image3", form4->Image3);
    m.insert("4.LabelAgain", form4->LabelAgain);
    m.insert("5.Label3", form5->Label3);
    m.insert("5.Label5", form5->Label5);
    m.insert("5.Image1", form5->Image1);
    m.insert("5.LabelAgain", form5->LabelAgain);
    addArray(m, "6.Label1", form6->Label1);
    m.insert("6.Label2", form6->Label2);
    addArray(m, "8.Label5", form8->Label5);
    return m;
}

QRect pixels(int left, int top, int width, int height)
{
    // Every design value is a whole number of pixels.
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QImage artImage(const char* name)
{
    return QImage(QStringLiteral(":/art/") + QString::fromLatin1(name));
}

bool artExists(const char* name)
{
    return QFile::exists(QStringLiteral(":/art/") + QString::fromLatin1(name));
}

// The controls have no meta-object of their own, so they are told apart by type.
template <typename T>
int countOf(QWidget* window)
{
    int n = 0;
    for (QObject* child : window->children())
        if (dynamic_cast<T*>(child))
            ++n;
    return n;
}

// Where a label's caption puts ink, in the label's own pixels: the pixels
// that differ from the same window area drawn with an empty caption.
QRect inkOf(QWidget* window, Label* label, const QString& caption)
{
    label->setCaption(QString());
    const QImage blank = window->grab(label->geometry()).toImage();
    label->setCaption(caption);
    const QImage drawn = window->grab(label->geometry()).toImage();
    QRect ink;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) != blank.pixel(x, y))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

void clearGrid()
{
    for (const auto& [index, cell] : form3->Label1)
        cell->setCaption(QString());
}

void fillKeyColours(const QRgb table[3][6])
{
    for (int g = 0; g < 3; ++g)
        for (int r = 0; r < 6; ++r)
            Module1.KeyColors[g][r] = QColor(table[g][r]);
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        resetModule1();
        createWindows();
    }
    void cleanup() { destroyWindows(); }

    // The six game screens have a fixed 594 x 375 client area; the caption
    // window and the picture store exist but are never shown.
    void windowSettings()
    {
        for (QWidget* w : {static_cast<QWidget*>(form1), static_cast<QWidget*>(form3),
                           static_cast<QWidget*>(form4), static_cast<QWidget*>(form5),
                           static_cast<QWidget*>(form6), static_cast<QWidget*>(form8)}) {
            QCOMPARE(w->size(), QSize(594, 375));
            QCOMPARE(w->minimumSize(), QSize(594, 375));
            QCOMPARE(w->maximumSize(), QSize(594, 375));
            QVERIFY(w->isHidden());
            QCOMPARE(w->palette().color(QPalette::Window), QColor(Qt::black));
        }
        QVERIFY(form2->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(form2->size(), QSize(386, 85));
        QVERIFY(form2->isHidden());
        QVERIFY(form7->isHidden());

        // Backgrounds: the four artwork screens; the play screen and the log have none.
        const struct {
            GameWindow* form;
            const char* art;
        } backgrounds[] = {{form1, "title.jpg"}, {form4, "results.jpg"},
                           {form5, "final.jpg"}, {form8, "highscores.jpg"}};
        for (const auto& b : backgrounds) {
            if (artExists(b.art)) {
                QVERIFY2(b.form->background(), b.art);
                QCOMPARE(b.form->background()->toImage(), artImage(b.art));
            }
        }
        QVERIFY(!form3->background() || form3->background()->isNull());
        QVERIFY(!form6->background() || form6->background()->isNull());

        // Timers: the title's never runs; the stage clock is 999 ms, repeating, idle.
        QCOMPARE(form1->Timer1->interval(), 100);
        QVERIFY(!form1->Timer1->isActive());
        QCOMPARE(form3->Timer1->interval(), 999);
        QCOMPARE(form3->Timer1->timerType(), Qt::PreciseTimer);
        QVERIFY(!form3->Timer1->isSingleShot());
        QVERIFY(!form3->Timer1->isActive());

        // The windows decide nothing themselves: the mascots answer clicks and
        // the keys and clock count once the title's and the play screen's
        // procedures take their windows over.
        QVERIFY(!form1->Image1->onClick && !form3->Image2->onClick && !form3->onTimer1 && !form1->onKeyDown);
        wireTitleScreen(*form1);
        wirePlayScreen(*form3);
        QVERIFY(form1->Image1->onClick && form1->onKeyDown && form1->onTimer1);
        QVERIFY(form3->Image2->onClick && form3->onKeyDown && form3->onTimer1);
    }

    // Every label of every window at its design rectangle, colours, fill,
    // border, alignment, text size, caption and visibility; no label extra.
    void labelsAtDesignValues()
    {
        const auto controls = allControls();
        QSet<QString> seen;
        for (const LabelCase& c : kLabels) {
            const QString id = QString::fromLatin1(c.id);
            QVERIFY2(controls.contains(id), c.id);
            auto* label = dynamic_cast<Label*>(controls.value(id));
            QVERIFY2(label, c.id);
            seen.insert(id);
            const QByteArray what = id.toUtf8();
            QVERIFY2(label->left() == c.left && label->top() == c.top &&
                         label->width() == c.width && label->height() == c.height,
                     what.constData());
            QVERIFY2(label->geometry() == pixels(c.left, c.top, c.width, c.height), what.constData());
            QVERIFY2(label->foreColor() == QColor(c.fore), what.constData());
            QVERIFY2(label->isTransparent() == (c.fill == Transparent), what.constData());
            if (c.fill == OpaqueBlack)
                QVERIFY2(label->backColor() == QColor(Qt::black), what.constData());
            QVERIFY2(label->hasBorder() == c.border, what.constData());
            const Label::Align align = c.align == L   ? Label::Align::Left
                                       : c.align == R ? Label::Align::Right
                                                      : Label::Align::Center;
            QVERIFY2(label->alignment() == align, what.constData());
            QVERIFY2(label->font().pixelSize() == c.pixelSize, what.constData());
            QVERIFY2(label->caption() == QString::fromUtf8(c.caption), what.constData());
            QVERIFY2(label->isHidden() == !c.visible, what.constData());
            QVERIFY2(label->focusPolicy() == Qt::NoFocus, what.constData());
        }
        int labelCount = 0;
        for (QWidget* w : {static_cast<QWidget*>(form1), static_cast<QWidget*>(form2),
                           static_cast<QWidget*>(form3), static_cast<QWidget*>(form4),
                           static_cast<QWidget*>(form5), static_cast<QWidget*>(form6),
                           static_cast<QWidget*>(form7), static_cast<QWidget*>(form8)})
            labelCount += countOf<Label>(w);
        QCOMPARE(labelCount, seen.size());
    }

    // Images at their design rectangles with their design pictures; the
    // result strip's picture is a copy, not the store's own picture.
    void imagesAtDesignValues()
    {
        const auto controls = allControls();
        int imageCount = 0;
        for (const ImageCase& c : kImages) {
            const QString id = QString::fromLatin1(c.id);
            auto* image = dynamic_cast<Image*>(controls.value(id));
            QVERIFY2(image, c.id);
            ++imageCount;
            QVERIFY2(image->left() == c.left && image->top() == c.top &&
                         image->width() == c.width && image->height() == c.height,
                     c.id);
            QVERIFY2(image->geometry() == pixels(c.left, c.top, c.width, c.height), c.id);
            QVERIFY2(image->hasBorder() == c.border, c.id);
            QVERIFY2(image->isHidden() == !c.visible, c.id);
            if (!c.art) {
                QVERIFY2(!image->picture() || image->picture()->isNull(), c.id);
            } else if (artExists(c.art)) {
                QVERIFY2(image->picture() && !image->picture()->isNull(), c.id);
                QVERIFY2(image->picture()->size() == QSize(c.width / 15, c.height / 15), c.id);
                QVERIFY2(image->picture()->toImage() == artImage(c.art), c.id);
            }
        }
        int total = 0;
        for (QWidget* w : {static_cast<QWidget*>(form1), static_cast<QWidget*>(form3),
                           static_cast<QWidget*>(form4), static_cast<QWidget*>(form5)})
            total += countOf<Image>(w);
        QCOMPARE(total, imageCount);

        QCOMPARE(form4->Image3->geometry().left(), -3);
    }

    // The red frame round the bottom row and the tick marks: exact places
    // and colours, and never a target for clicks.
    void shapeAndLines()
    {
        Shape* shape = form3->Shape1;
        QCOMPARE(shape->left(), 600.0);
        QCOMPARE(shape->top(), 4440.0);
        QCOMPARE(shape->width(), 1815.0);
        QCOMPARE(shape->height(), 855.0);
        QCOMPARE(shape->geometry(), QRect(40, 296, 121, 57));
        QCOMPARE(shape->borderColor(), QColor(0xFF0000));
        QCOMPARE(shape->borderWidth(), 2);
        QVERIFY(shape->testAttribute(Qt::WA_TransparentForMouseEvents));

        QCOMPARE(form3->Line1.size(), 7);
        for (const LineCase& c : kLines) {
            Line* line = form3->Line1(c.index);
            const QByteArray what = QByteArray::number(c.index);
            QVERIFY2(line->x1() == c.x1 && line->y1() == c.y1 && line->x2() == c.x2 &&
                         line->y2() == c.y2,
                     what.constData());
            QVERIFY2(line->color() == QColor(c.colour), what.constData());
            QVERIFY2(line->lineWidth() == 2, what.constData());
            QVERIFY2(line->testAttribute(Qt::WA_TransparentForMouseEvents), what.constData());
            // The widget spans the tick's length on its row.
            const QRect g = line->geometry();
            QVERIFY2(g.left() <= std::min(c.x1, c.x2) / 15 && g.right() >= std::max(c.x1, c.x2) / 15 - 1,
                     what.constData());
            QVERIFY2(g.top() <= c.y1 / 15 && g.bottom() >= c.y1 / 15, what.constData());
        }

        // Drawn, each tick is two pixels thick (rows y-1 and y) in its colour,
        // in front of the time marker wherever the marker stands.
        form3->Image2->setTop(4800);
        const QImage screen = form3->grab().toImage();
        for (const LineCase& c : kLines) {
            const int x = (std::min(c.x1, c.x2) + std::max(c.x1, c.x2)) / 2 / 15;
            const int y = c.y1 / 15;
            const QByteArray what = QByteArray::number(c.index);
            QVERIFY2(QColor(screen.pixel(x, y - 1)) == QColor(c.colour), what.constData());
            QVERIFY2(QColor(screen.pixel(x, y)) == QColor(c.colour), what.constData());
            QVERIFY2(QColor(screen.pixel(x, y + 1)) != QColor(c.colour), what.constData());
        }

        // A click on the frame or a tick reaches what lies under it.
        QCOMPARE(form3->childAt(40, 320), form3->Label1(6));
        QCOMPARE(form3->childAt(30, 352), static_cast<QWidget*>(nullptr));
    }

    // The picture store: empty character boxes, the program's own banners
    // (the five stages' and the practice stage's), result pictures and rank emblems.
    void pictureStore()
    {
        QCOMPARE(form7->Picture1.size(), 15);
        for (int i = 0; i < 15; ++i)
            QVERIFY(!form7->Picture1(i)->picture || form7->Picture1(i)->picture->isNull());
        const struct {
            const ControlArray<PictureBox>* array;
            int count;
            const char* pattern;
            int first;
            QSize size;
        } sets[] = {{&form7->Picture2, 5, "stage_%1.jpg", 1, QSize(250, 50)},
                    {&form7->Picture3, 3, "result_%1.jpg", 0, QSize(600, 50)},
                    {&form7->Picture4, 6, "rank_%1.jpg", 0, QSize(200, 50)}};
        QCOMPARE(form7->Picture2(kPracticeBanner)->picture->toImage(), artImage("stage_practice.jpg"));
        for (const auto& s : sets) {
            QCOMPARE(s.array->size(), s.count + (s.array == &form7->Picture2 ? 1 : 0));
            for (int i = 0; i < s.count; ++i) {
                const QByteArray name = QString::fromLatin1(s.pattern).arg(i + s.first).toLatin1();
                if (!artExists(name.constData()))
                    continue;
                const Picture& p = (*s.array)(i)->picture;
                QVERIFY2(p && p->size() == s.size, name.constData());
                QVERIFY2(p->toImage() == artImage(name.constData()), name.constData());
            }
        }
    }

    // The play screen stacks its controls in the design order, front first,
    // all of them behind the canvas that draws them.
    void playScreenStacking()
    {
        const auto controls = allControls();
        QList<QWidget*> expected;  // back first, as the children list runs
        for (const char* name : kPlayFrontToBack) {
            QWidget* w = controls.value(QStringLiteral("3.") + QString::fromLatin1(name));
            QVERIFY2(w, name);
            expected.prepend(w);
        }
        QList<QWidget*> actual;
        for (QObject* child : form3->children())
            if (auto* w = qobject_cast<QWidget*>(child))
                actual.append(w);
        QVERIFY(!actual.isEmpty());
        QCOMPARE(actual.takeLast(), static_cast<QWidget*>(form3->canvas));
        QCOMPARE(actual.size(), expected.size());
        for (int i = 0; i < actual.size(); ++i) {
            if (actual[i] != expected[i])
                QFAIL(qPrintable(QStringLiteral("stacking differs at %1 from the back: expected %2")
                                     .arg(i)
                                     .arg(controls.key(expected[i]))));
        }

        // The same order seen by a click: the totalling label over the score,
        // a gauge block over the tray, the tick over the marker.
        form3->Label12->show();
        QCOMPARE(form3->childAt(form3->Label6(2)->geometry().center()), form3->Label12);
        form3->Image3(4)->show();
        QCOMPARE(form3->childAt(form3->Image3(4)->geometry().center()), form3->Image3(4));
        QCOMPARE(form3->childAt(form3->Image2->geometry().center()), form3->Image2);
        // On the log, the key hint lies over the tall log label.
        QCOMPARE(form6->childAt(form6->Label2->geometry().center()), form6->Label2);
    }

    // n_print puts each digit in its keypad column of the given row, in the
    // colour of its key group and row, for both modes' colour tables.
    void nPrintPlacesEveryDigit()
    {
        for (const auto* table : {kNormalColours, kExtraColours}) {
            fillKeyColours(table);
            for (int row = 0; row < 6; ++row) {
                for (int d = 1; d <= 9; ++d) {
                    clearGrid();
                    Module1.KeyQueue[row] = d;
                    form3->n_print(row);
                    const int cell = kRowZeroCell[d] + row;
                    const QByteArray what = QStringLiteral("row %1 digit %2").arg(row).arg(d).toLatin1();
                    int written = 0;
                    for (const auto& [index, label] : form3->Label1)
                        if (!label->caption().isEmpty())
                            ++written;
                    QVERIFY2(written == 1, what.constData());
                    QVERIFY2(form3->Label1(cell)->caption() == QString::number(d), what.constData());
                    QVERIFY2(form3->Label1(cell)->foreColor() == QColor(table[(d - 1) / 3][row]),
                             what.constData());
                }
            }
        }
    }

    // n_print leaves the rest of the grid alone and ignores what has no cell.
    void nPrintTouchesOnlyItsCell()
    {
        fillKeyColours(kNormalColours);
        clearGrid();
        form3->Label1(6)->setCaption("7");  // left column, row 0
        Module1.KeyQueue[0] = 9;
        form3->n_print(0);
        QCOMPARE(form3->Label1(6)->caption(), QStringLiteral("7"));
        QCOMPARE(form3->Label1(0)->caption(), QStringLiteral("9"));

        // Digits outside 1..9 and rows outside 0..5 draw nothing.
        clearGrid();
        for (int bad : {0, 10, -3}) {
            Module1.KeyQueue[2] = bad;
            form3->n_print(2);
        }
        Module1.KeyQueue[6] = 5;
        form3->n_print(6);
        form3->n_print(-1);
        for (const auto& [index, label] : form3->Label1)
            QVERIFY(label->caption().isEmpty());
    }

    // An image given a picture of another size takes that size and keeps its corner.
    void imageTakesPictureSize()
    {
        Image* image = form3->Image1;
        QPixmap big(200, 150);
        big.fill(Qt::red);
        image->setPicture(makePicture(big));
        QCOMPARE(image->left(), 2520.0);
        QCOMPARE(image->top(), 1080.0);
        QCOMPARE(image->width(), 3000.0);
        QCOMPARE(image->height(), 2250.0);
        QCOMPARE(image->geometry(), QRect(168, 72, 200, 150));

        QPixmap small(40, 30);
        small.fill(Qt::blue);
        image->setPicture(makePicture(small));
        QCOMPARE(image->geometry(), QRect(168, 72, 40, 30));
        // A bigger character picture spreads over the number-row caption
        // behind it but stays under the gauge blocks in front.
        image->setPicture(makePicture(big));
        QCOMPARE(form3->childAt(QPoint(320, 130)), image);
        form3->Image3(9)->show();
        QCOMPARE(form3->childAt(QPoint(180, 215)), form3->Image3(9));
    }

    // The totalling label hides the score digits completely while shown,
    // and hiding it shows them again.
    void totallingLabelCoversScore()
    {
        const QRect area = form3->Label12->geometry();
        auto grabScore = [&](const QString& digit) {
            for (int i = 0; i < 4; ++i)
                form3->Label6(i)->setCaption(digit);
            return form3->grab(area).toImage();
        };
        // Without the label the digits show, so the two grabs differ.
        form3->Label12->hide();
        QVERIFY(grabScore("1") != grabScore("8"));

        form3->Label12->show();
        const QImage one = grabScore("1");
        const QImage eight = grabScore("8");
        QCOMPARE(one, eight);
        // And what shows is the label itself.
        QCOMPARE(one, form3->Label12->grab().toImage().convertToFormat(one.format()));

        form3->Label12->hide();
        QCOMPARE(form3->Label6(0)->caption(), QStringLiteral("8"));
        QVERIFY(grabScore("1") != eight);
    }

    // A Latin word that does not fit the rest of a line moves whole to the
    // next line: the first line looks as if the word were not there.
    void latinWordWrapsWhole()
    {
        Label* box = form3->Label8;
        const int width = box->geometry().width();
        const QFontMetricsF metrics(box->font());
        QString prefix;
        while (metrics.horizontalAdvance(prefix) < width / 2.0)
            prefix += QString::fromUtf8("実況");
        QString word;
        while (metrics.horizontalAdvance(word) < width * 0.7)
            word += QStringLiteral("Quennel");
        const QRect firstLine(box->geometry().topLeft(), QSize(width, box->lineHeight() - 2));
        box->setCaption(prefix);
        const QImage alone = form3->grab(firstLine).toImage();
        box->setCaption(prefix + QLatin1Char(' ') + word);
        QCOMPARE(form3->grab(firstLine).toImage(), alone);
        // And the word is drawn, on the second line.
        QVERIFY(!inkOf(form3, box, prefix + QLatin1Char(' ') + word).isEmpty());
        QVERIFY(inkOf(form3, box, prefix + QLatin1Char(' ') + word).bottom() > box->lineHeight());
    }

    // Drawn text follows its label's alignment, and a line longer than the
    // commentary box wraps onto the next line inside the box.
    void labelTextAlignedAndWrapped()
    {
        Label* score = form4->Label2(1);
        const QRect right = inkOf(form4, score, QStringLiteral("12340"));
        QVERIFY2(!right.isEmpty() && score->width() / 15 - 1 - right.right() <= 3,
                 qPrintable(QStringLiteral("ink %1..%2 of %3").arg(right.left()).arg(right.right()).arg(score->geometry().width())));

        form3->Label12->show();
        const QRect centre = inkOf(form3, form3->Label12, QStringLiteral("集計中"));
        const int leftGap = centre.left(), rightGap = form3->Label12->geometry().width() - 1 - centre.right();
        QVERIFY2(!centre.isEmpty() && std::abs(leftGap - rightGap) <= 3,
                 qPrintable(QStringLiteral("gaps %1 and %2").arg(leftGap).arg(rightGap)));

        // One line of forty characters needs two lines of the box.
        Label* box = form3->Label8;
        const QRect wrapped = inkOf(form3, box, QStringLiteral("一二三四五六七八九十").repeated(4));
        QVERIFY2(wrapped.top() < box->lineHeight() && wrapped.bottom() > box->lineHeight() + 2,
                 qPrintable(QStringLiteral("ink rows %1..%2").arg(wrapped.top()).arg(wrapped.bottom())));
    }
};

QTEST_MAIN(LayoutTest)
#include "test_layout.moc"
