// The colour-safe palette: its colours stay apart under simulated
// colour-vision deficiencies, and the chosen palette is what the play
// screen draws.
#include "screens/forms.h"
#include "state/module1.h"
#include "state/palette.h"
#include "support/game_fixture.h"

#include <QTest>
#include <QWidget>
#include <array>
#include <cmath>
#include <vector>

namespace {
using Matrix = std::array<std::array<double, 3>, 3>;

// Machado, Oliveira and Fernandes (2009), severity 1.0, on linear RGB.
struct Simulation {
    const char* name;
    Matrix m;
};
constexpr Matrix kNormalVision = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
constexpr Simulation kProtanopia = {
    "protanopia", {{{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}}};
constexpr Simulation kDeuteranopia = {
    "deuteranopia", {{{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}}};
constexpr Simulation kTritanopia = {
    "tritanopia", {{{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}}};
constexpr Simulation kDeficiencies[] = {kProtanopia, kDeuteranopia, kTritanopia};
constexpr double kApart = 20;  // CIE76 distance below which two colours are taken as one

double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// CIE L*a*b* (D65) of a colour as seen through `m`.
std::array<double, 3> lab(const QColor& color, const Matrix& m)
{
    const double in[3] = {linear(color.red()), linear(color.green()), linear(color.blue())};
    double rgb[3];
    for (int i = 0; i < 3; ++i)
        rgb[i] = std::clamp(m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2], 0.0, 1.0);
    const double x = (0.4124564 * rgb[0] + 0.3575761 * rgb[1] + 0.1804375 * rgb[2]) / 0.95047;
    const double y = 0.2126729 * rgb[0] + 0.7151522 * rgb[1] + 0.0721750 * rgb[2];
    const double z = (0.0193339 * rgb[0] + 0.1191920 * rgb[1] + 0.9503041 * rgb[2]) / 1.08883;
    const auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

double deltaE(const QColor& a, const QColor& b, const Matrix& m)
{
    const auto p = lab(a, m), q = lab(b, m);
    return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
}

// The smallest distance between any two of `colors`.
double closest(const std::vector<QColor>& colors, const Matrix& m)
{
    double least = 1e9;
    for (size_t i = 0; i < colors.size(); ++i)
        for (size_t j = i + 1; j < colors.size(); ++j)
            least = std::min(least, deltaE(colors[i], colors[j], m));
    return least;
}

std::vector<QColor> rowsAndFrame(const Palette& p)
{
    return {p.keyRows[0], p.keyRows[1], p.keyRows[2], p.targetFrame};
}

// Every child's place on the play screen, to compare two palettes' layouts.
std::vector<QRect> childPlaces()
{
    std::vector<QRect> places;
    for (const QWidget* child : form3->findChildren<QWidget*>())
        places.push_back(child->geometry());
    return places;
}
}  // namespace

class PaletteTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setPalette(PaletteName::Standard); }

    // The safe palette keeps at least 20 apart under protanopia,
    // deuteranopia and tritanopia: the grid rows and target frame, the chart
    // lines, the scales' ends, the moves' arrows and the practice marks.
    void safeColoursStayApart()
    {
        const Palette& p = safePalette();
        const std::vector<std::vector<QColor>> groups = {
            rowsAndFrame(p),
            {p.normalMode, p.hardMode, p.practiceMode, p.entryMode},
            {p.fast, p.slow, p.noFigure},
            {p.fewMisses, p.mostMisses},
            {p.moveArrows.begin(), p.moveArrows.end()},
            {p.faster, p.slower, p.fasterFill},
        };
        for (const Simulation& s : kDeficiencies) {
            for (const auto& group : groups) {
                const double least = closest(group, s.m);
                QVERIFY2(least >= kApart, qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(s.name)).arg(least)));
            }
            // The calendar's shades step up in lightness whatever the sight.
            for (size_t i = 1; i < p.calendarShades.size(); ++i)
                QVERIFY(lab(p.calendarShades[i], s.m)[0] > lab(p.calendarShades[i - 1], s.m)[0] + 8);
        }
    }

    // The measure tells: the standard colours, apart to normal sight, merge
    // under protanopia and deuteranopia (green and yellow rows).
    void standardRowsMergeForRedGreenDeficiencies()
    {
        QVERIFY(closest(rowsAndFrame(standardPalette()), kNormalVision) >= kApart);
        QVERIFY(closest(rowsAndFrame(standardPalette()), kProtanopia.m) < kApart);
        QVERIFY(deltaE(standardPalette().keyRows[0], standardPalette().keyRows[2], kDeuteranopia.m) < kApart);
    }

    // The chosen palette colours the play grid and its frame, fading rows
    // up the stack, and leaves every control where it was; standard is the
    // default and comes back.
    void playScreenDrawsTheChosenPalette()
    {
        QCOMPARE(gamePalette().targetFrame, standardPalette().targetFrame);
        std::vector<QRect> standardPlaces;
        for (const PaletteName name : {PaletteName::Standard, PaletteName::Safe}) {
            setPalette(name);
            const Palette& chosen = paletteNamed(name);
            GameFixture f;
            TestGameData data;
            data.keyRanges = {"9", "9", "9", "9", "9"};
            QVERIFY(f.beginGame(data));
            QCOMPARE(form3->Shape1->borderColor(), chosen.targetFrame);
            for (int g = 0; g < 3; ++g) {
                QCOMPARE(Module1.KeyColors[g][0], chosen.keyRows[static_cast<size_t>(g)]);
                for (int r = 1; r < 6; ++r) {
                    QVERIFY(Module1.KeyColors[g][r].value() < Module1.KeyColors[g][0].value());
                    QVERIFY(Module1.KeyColors[g][r].value() <= Module1.KeyColors[g][r - 1].value());
                }
            }
            // Digits 1 to 9 over a run of hits: the one to strike is its row's colour.
            GameFixture::keypad(form3, 0);
            QSet<int> seen;
            for (int hit = 0; hit < 30; ++hit) {
                const int d = Module1.KeyQueue[0];
                seen.insert(d);
                QCOMPARE(keyRowColor(d), chosen.keyRows[static_cast<size_t>((d - 1) / 3)]);
                QCOMPARE(form3->Label1(form3->keyCell(0))->foreColor(), keyRowColor(d));
                f.hitTarget();
            }
            QCOMPARE(seen.size(), 9);
            const QImage shot = form3->grab().toImage();
            const QRect frame = form3->Shape1->geometry();
            QCOMPARE(shot.pixelColor(frame.left(), frame.center().y()), chosen.targetFrame);
            if (name == PaletteName::Standard)
                standardPlaces = childPlaces();
            else
                QVERIFY(childPlaces() == standardPlaces);
        }
        setPalette(PaletteName::Standard);
        QCOMPARE(gamePalette().keyRows[0], standardPalette().keyRows[0]);
    }
};

QTEST_MAIN(PaletteTest)
#include "test_palette.moc"
