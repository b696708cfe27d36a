// The insight pages of プレイ記録: where they sit among the pages, keypad 5
// switching the keypad pages' mode and the speed page's best line (and
// nothing elsewhere), the mode of the last game first, numbers written with
// thousands separators, one page dot per page, and the pages kept legible:
// legends clear of the values, arrows and labels apart, numbers readable on
// their cells.
#include "platform/keys.h"
#include "screens/insight_pages.h"
#include "screens/progress_charts.h"
#include "screens/progress_window.h"

#include <QtTest>
#include <cmath>
#include <random>
#include <set>
#include <tuple>
#include <type_traits>

namespace {
QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

// A page drawn on black at zoom 1, without smoothing, so that colours stay exact.
QImage drawn(insight::Page page, const InsightData& data, int mode)
{
    QImage image(594, 375, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    insight::draw(p, page, data, mode);
    return image;
}

// Pixels of `area` (the whole image without one) that are `color`, or that pass a test of their colour.
template <typename Wanted>
int pixelsIn(const QImage& image, const Wanted& wanted, QRect area = {})
{
    area = area.isNull() ? image.rect() : area;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if constexpr (std::is_invocable_v<Wanted, QColor>)
                n += wanted(image.pixelColor(x, y));
            else
                n += image.pixelColor(x, y) == wanted;
        }
    return n;
}

// Rows of `area` with a pixel of `color`.
int rowsWith(const QImage& image, const QColor& color, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        n += pixelsIn(image, color, QRect(area.left(), y, area.width(), 1)) > 0;
    return n;
}

// 数字入力 tests: net keystrokes per hour, keys 1-9, 0, '.', Enter pressed
// now and then out of turn.
InsightData withTests(const std::vector<double>& netKph)
{
    InsightData data;
    SpeedPoint game;
    game.id = 1;
    game.speed.keys = 500;
    game.speed.keysPerHour = 3000;
    game.speed.accuracy = 0.97;
    data.speeds.push_back(game);
    for (size_t i = 0; i < netKph.size(); ++i)
        data.entrySpeeds.push_back({qint64(i) + 2, netKph[i]});
    GameRecord test;
    test.mode = GameMode::Entry;
    StageRecord stage;
    int ms = 0;
    for (int round = 0; round < 3; ++round) {
        for (int key = 0; key < kEntryPadKeys; ++key) {
            ms += 200 + 40 * key;
            const int struck = key == (round + 4) ? (key + 1) % 10 : key;
            stage.keys.push_back(KeyStroke{ms, qint8(struck), qint8(key), struck == key});
        }
    }
    test.stages.push_back(stage);
    data.entryKeypad = entryKeypad({test}, 1);
    return data;
}

// Pixels of this colour on row `y` across the speed chart's width.
int pixelsInRow(const QImage& image, const QColor& color, int y)
{
    return pixelsIn(image, color, QRect(QPoint(84, y), QPoint(488, y)));
}

// A dashed line across the chart has a pixel in two of three at least.
constexpr int kDashedPixels = 404 / 2;

// The row of a dashed line of this colour across the chart (its fullest row), -1 for none.
int dashedRow(const QImage& image, const QColor& color)
{
    std::pair<int, int> best{-1, 0};
    for (int y = 0; y < image.height(); ++y)
        if (const int n = pixelsInRow(image, color, y); n > best.second)
            best = {y, n};
    return best.second >= kDashedPixels ? best.first : -1;
}

// Where the chart puts a figure of keys per hour: on the scale of its
// cyan guides at 8,000, 10,000 and 12,000 (the first three such lines
// from the top).
double rowOfFigure(const QImage& image, double kph)
{
    std::vector<int> guides;
    for (int below = 0; guides.size() < 3;) {
        int y = -1;
        for (int row = below; row < image.height() && y < 0; ++row)
            if (pixelsInRow(image, chart::kCyan, row) >= kDashedPixels / 2)   // a label of the best may lie over part of it
                y = row;
        if (y < 0)
            return -1;
        guides.push_back(y);
        below = y + 1;
    }
    const double perKph = (guides[2] - guides[0]) / 4000.0;   // 12,000 at the top
    return guides[0] + (12000 - kph) * perKph;
}

// A history of one hard game: enough for the screen to show its pages.
void showOneHardGame(ProgressWindow& window)
{
    ProgressData data;
    data.gameCount = 1;
    GamePoint game;
    game.id = 1;
    game.mode = GameMode::Hard;
    data.recent[1].push_back(game);
    data.lastGame = game;
    window.setProgress(data);
    window.setInsight(InsightData{});
}

SpeedPoint speedPoint(int id, GameMode mode, int keys, double kph, double accuracy)
{
    SpeedPoint s;
    s.id = id;
    s.mode = mode;
    s.speed = GameSpeed{keys, kph, accuracy};
    return s;
}

// Games of every mode, keystrokes per hour rising to `newest`, the last.
InsightData speedsRisingTo(double newest, int games)
{
    InsightData data;
    for (int i = 0; i < games; ++i)
        data.speeds.push_back(speedPoint(i + 1, static_cast<GameMode>(i % kGameModes), 300 + i,
                                         newest * (i + 1) / games, 0.9 + 0.01 * (i % 10)));
    return data;
}

std::vector<QPointF> pointsAlong(const QPainterPath& path)
{
    std::vector<QPointF> points;
    for (int i = 0; i <= 100; ++i)
        points.push_back(path.pointAtPercent(i / 100.0));
    return points;
}

// The longest stretch of `a` lying within 3 px of `b`.
double runAlong(const std::vector<QPointF>& a, const std::vector<QPointF>& b)
{
    double longest = 0, run = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const bool near = std::any_of(b.begin(), b.end(), [&](const QPointF& q) {
            return std::hypot(a[i].x() - q.x(), a[i].y() - q.y()) < 3;
        });
        run = near && i > 0 ? run + std::hypot(a[i].x() - a[i - 1].x(), a[i].y() - a[i - 1].y()) : 0;
        longest = std::max(longest, run);
    }
    return longest;
}
}  // namespace

class TestInsightPages : public QObject {
    Q_OBJECT
private slots:
    void keypadFiveSwitchesTheMode()
    {
        ProgressWindow window;
        showOneHardGame(window);
        QCOMPARE(window.insightMode(), GameMode::Hard);   // the last game's mode first
        window.Form_KeyDown(vk::Numpad5, 0);               // the totals page: no mode to switch
        QCOMPARE(window.insightMode(), GameMode::Hard);
        while (window.page() != ProgressWindow::Keypad)
            window.Form_KeyDown(vk::Numpad6, 0);
        // Keys struck, then the heading: practice stages on their own, then
        // the 数字入力 tests; the mode stays for the next pages; four turns round.
        const std::pair<const char*, const char*> steps[] = {
            {"", "テンキー分析（ハード）"},   {"5", "テンキー分析（練習）"},  {"5", "テンキー分析（数字入力）"},
            {"5", "テンキー分析（ノーマル）"}, {"6", "打ち間違い（ノーマル）"}, {"65", "苦手な指運び（ハード）"},
            {"5555", "苦手な指運び（ハード）"},
        };
        for (const auto& [keys, heading] : steps) {
            for (const char* key = keys; *key; ++key)
                window.Form_KeyDown(*key == '5' ? vk::Numpad5 : vk::Numpad6, 0);
            QCOMPARE(window.heading(), u8(heading));
        }
        window.Form_KeyDown(vk::Numpad6, 0);
        QCOMPARE(window.page(), int(ProgressWindow::Speed));
        window.Form_KeyDown(vk::Numpad5, 0);               // every mode on one chart; 5 picks the best line's
        QCOMPARE(window.insightMode(), GameMode::Practice);
        QCOMPARE(window.page(), int(ProgressWindow::Speed));
        QVERIFY(!window.grab().isNull());
    }

    // A history of 数字入力 tests alone opens the pages, the keypad pages in
    // the tests' mode; the last game's page has nothing to show.
    void testsAloneOpenThePages()
    {
        ProgressData data;
        data.testCount = 2;
        data.lastWasTest = true;
        ProgressWindow window;
        window.setProgress(data);
        window.setInsight(withTests({8800, 9400}));
        QVERIFY(window.emptyText().isEmpty());
        QCOMPARE(window.insightMode(), GameMode::Entry);
        while (window.page() != ProgressWindow::LastGame)
            window.Form_KeyDown(vk::Numpad6, 0);
        QVERIFY(!window.grab().isNull());
        window.Form_KeyDown(vk::Numpad6, 0);
        QCOMPARE(window.heading(), u8("テンキー分析（数字入力）"));
        window.setProgress(ProgressData{});   // nothing at all: no pages
        QVERIFY(!window.emptyText().isEmpty());
    }

    // The trend pages: both modes on one axis in the order played, the latest 50 of them.
    void trendAxisInPlayOrder()
    {
        ProgressData data;
        // Ids 1..60: every third game hard (3, 6, ...), the rest normal.
        for (int id = 1; id <= 60; ++id) {
            GamePoint g;
            g.id = id;
            g.mode = id % 3 == 0 ? GameMode::Hard : GameMode::Normal;
            data.recent[id % 3 == 0 ? 1 : 0].push_back(g);
        }
        const std::vector<const GamePoint*> games = gamesInPlayOrder(data);
        QCOMPARE(games.size(), size_t(50));
        // The oldest shown is game 11 (60 - 50 + 1), the newest game 60, hard.
        // and game 12, hard between two normal ones, keeps its place.
        QCOMPARE(std::tuple(games.front()->id, games[1]->id, games.back()->id), std::tuple(11, 12, 60));
        QVERIFY(games[1]->mode == GameMode::Hard && games.back()->mode == GameMode::Hard && games.front()->mode == GameMode::Normal);
    }

    // The speed chart draws the 数字入力 tests as a line of their own colour,
    // and nothing of it without tests; the games' line stays as it was.
    void speedChartHasTheTestsLine()
    {
        const QImage games = drawn(insight::Page::Speed, withTests({}), 0);
        QCOMPARE(pixelsIn(games, chart::kEntry), 0);
        const QImage tests = drawn(insight::Page::Speed, withTests({7400, 9100, 11800}), 0);
        QVERIFY(pixelsIn(tests, chart::kEntry) > 3 * 30);   // three squares of 6 x 6 and the line
        QCOMPARE(pixelsIn(tests, chart::kNormal), pixelsIn(games, chart::kNormal));
        // One test alone is a point in the middle; in every mode the same chart.
        const QImage one = drawn(insight::Page::Speed, withTests({8300}), insight::kEntryMode);
        QVERIFY(pixelsIn(one, chart::kEntry) >= 30);
        QCOMPARE(one, drawn(insight::Page::Speed, withTests({8300}), 1));
    }

    // 打鍵速度 draws a dashed line at the shown mode's best keys per hour, in its colour, where the chart's scale puts that figure; another mode moves it to that mode's best.
    void bestLineOfTheModeShown()
    {
        InsightData data = withTests({7400, 8900});
        for (int i = 0; i < 9; ++i)   // games of the three modes between 4,000 and 9,000
            data.speeds.push_back(speedPoint(10 + i, static_cast<GameMode>(i % 3), 300, 4000.0 + 600 * i, 0.9 + 0.01 * i));
        // Bests of the whole history, above the games shown; 数字入力's its best test.
        data.bestKph = {11300.0, 9700.0, 6500.0, 8900.0};
        const QColor colors[insight::kModes] = {chart::kNormal, chart::kHard, chart::kPractice, chart::kEntry};
        std::set<int> rows;
        for (int mode = 0; mode < insight::kModes; ++mode) {
            const QImage page = drawn(insight::Page::Speed, data, mode);
            const int row = dashedRow(page, colors[mode]);
            QVERIFY2(row >= 0 && std::abs(row - rowOfFigure(page, *data.bestKph[static_cast<size_t>(mode)])) <= 1.0,
                     qPrintable(QStringLiteral("mode %1 row %2").arg(mode).arg(row)));
            rows.insert(row);
            for (int other = 0; other < insight::kModes; ++other)   // one line: the others draw none
                QVERIFY(other == mode || dashedRow(page, colors[other]) < 0);
        }
        QCOMPARE(rows.size(), size_t(insight::kModes));
        // A best above the guides raises the scale so that the line stays on the chart.
        data.bestKph[0] = 19000.0;
        const QImage high = drawn(insight::Page::Speed, data, 0);
        const int row = dashedRow(high, chart::kNormal);
        QVERIFY(row >= 86 && std::abs(row - rowOfFigure(high, 19000.0)) <= 1.0);
        // Without a best of the mode (none played), no line.
        data.bestKph[1].reset();
        QCOMPARE(dashedRow(drawn(insight::Page::Speed, data, 1), chart::kHard), -1);

        // Hard games zigzagging across the normal best's height do not strike its words: the side of the line they stand on shows none of their colour (a guide through them apart), the other side does.
        InsightData crowded = withTests({});
        for (int i = 0; i < 24; ++i)
            crowded.speeds.push_back(i < 12 ? speedPoint(i + 1, GameMode::Normal, 300, 9000.0 + 100 * i, 0.95)
                                              : speedPoint(i + 1, GameMode::Hard, 300, 11000.0 + (i % 2 ? 700 : -700), 0.95));
        crowded.bestKph = {11000.0, 11700.0, std::nullopt, std::nullopt};
        const QImage page = drawn(insight::Page::Speed, crowded, 0);
        const int line = dashedRow(page, chart::kNormal);
        QVERIFY(line >= 0);
        const auto hardIn = [&](int from, int to) {
            int n = 0;
            for (int y = from; y <= to; ++y)
                n += pixelsInRow(page, chart::kCyan, y) == 0 ? pixelsIn(page, chart::kHard, QRect(QPoint(340, y), QPoint(480, y))) : 0;
            return n;
        };
        const int above = hardIn(line - 12, line - 5), below = hardIn(line + 5, line + 12);
        QVERIFY2(std::min(above, below) == 0 && std::max(above, below) > 20,
                 qPrintable(QStringLiteral("above %1, below %2").arg(above).arg(below)));
    }

    // プレイ記録 reads a page's figures when the page is first shown, once: at opening the last game's (whose mode comes first) and the first page's; a part that failed is not asked for again; the screen opened anew reads afresh.
    void pagesReadWhenFirstShown()
    {
        using P = ProgressPart;
        ProgressWindow window;
        showOneHardGame(window);
        std::vector<P> asked;
        const auto reader = [&](P part, ProgressData& data, InsightData&) {
            asked.push_back(part);
            if (part == P::LastGame)
                data.lastGame->mode = GameMode::Practice;
            return part != P::Calendar;
        };
        window.readPagesWith(reader);
        QCOMPARE(asked, (std::vector<P>{P::LastGame, P::Recent}));
        QCOMPARE(window.insightMode(), GameMode::Practice);
        for (int turn = 0; turn < 2 * ProgressWindow::kPageCount; ++turn) {
            window.Form_KeyDown(vk::Numpad6, 0);
            if (turn == ProgressWindow::Speed)
                window.Form_KeyDown(vk::Numpad5, 0);   // another mode: no new reading
        }
        window.Form_KeyDown(vk::Numpad4, 0);
        QCOMPARE(asked, (std::vector<P>{P::LastGame, P::Recent, P::StageBests, P::Keypad, P::Speed, P::Calendar,
                                        P::DigitTrends}));
        QVERIFY(!window.grab().isNull());
        showOneHardGame(window);
        window.readPagesWith(reader);
        QCOMPARE(asked.size(), size_t(9));
    }

    // The keypad pages in the 数字入力 mode: the keypad as it is (Enter two
    // rows tall on the right, 0 two keys wide at the bottom), a misses grid
    // of twelve keys, and without tests a page that says so.
    void entryModeKeypadPages()
    {
        const InsightData data = withTests({9000});
        const QImage keypad = drawn(insight::Page::Keypad, data, insight::kEntryMode);
        // The key frames' gold: along the right of the Enter column beside 3
        // and beside 0, none beside 9 and 6; no frame between the halves of
        // 0, as there is between 1 and 2 above it.
        const auto goldRows = [&](int left, int right, int top, int bottom) {
            return rowsWith(keypad, chart::kGold, QRect(QPoint(left, top), QPoint(right, bottom)));
        };
        QVERIFY2(goldRows(273, 278, 186, 286) > 80, qPrintable(QString::number(goldRows(273, 278, 186, 286))));
        QCOMPARE(goldRows(273, 278, 82, 185), 0);   // beside 9 and 6
        QCOMPARE(goldRows(95, 101, 250, 275), 0);   // inside 0
        QCOMPARE(goldRows(95, 101, 196, 223), 28);  // every row between 1 and 2
        QVERIFY(keypad != drawn(insight::Page::Keypad, data, 0));

        // Misses: the 12 x 12 grid in the misses' colour where a key was out of turn.
        const QImage misses = drawn(insight::Page::Misses, data, insight::kEntryMode);
        QVERIFY(pixelsIn(misses, chart::kHard) > 3 * 100);
        QCOMPARE(topEntryMisses(data.entryKeypad, 3).size(), size_t(3));

        // No tests: the three pages say there is nothing yet, and look alike.
        InsightData none;
        const QImage empty = drawn(insight::Page::Keypad, none, insight::kEntryMode);
        QCOMPARE(drawn(insight::Page::Misses, none, insight::kEntryMode), empty);
        QCOMPARE(drawn(insight::Page::Moves, none, insight::kEntryMode), empty);
        QVERIFY(empty != drawn(insight::Page::Keypad, data, insight::kEntryMode));
        QVERIFY(pixelsIn(empty, chart::kGold) == 0);
    }

    // プレイ記録's row of page dots: one per page, the current one filled, the last page's too.
    void onePageDotPerPage()
    {
        ProgressWindow window;
        showOneHardGame(window);
        window.resize(594, 375);
        const int pages = ProgressWindow::kPageCount;
        for (int page = 0; page < pages; ++page) {
            QCOMPARE(window.page(), page);
            const QImage image = window.grab().toImage();
            // Dots 14 px apart about the middle: gold through the filled one's
            // middle and 2 px either side, where a ring has none.
            for (int dot = 0; dot < pages; ++dot) {
                const int x = window.width() / 2 - (pages - 1) * 7 + dot * 14;
                const int gold = pixelsIn(image, [](const QColor& c) {
                    return std::abs(c.red() - chart::kGold.red()) < 40 && std::abs(c.green() - chart::kGold.green()) < 40 &&
                           std::abs(c.blue() - chart::kGold.blue()) < 40;
                }, QRect(x - 2, 352, 5, 1));
                QVERIFY2(gold == (dot == page ? 5 : 0), qPrintable(QStringLiteral("page %1, dot %2").arg(page).arg(dot)));
            }
            window.Form_KeyDown(vk::Numpad6, 0);
        }
        QCOMPARE(window.page(), 0);   // round to the first again
    }

    // 打鍵速度: the newest game never reaches the legends' band, however fast; each mode's line is in its legend colour.
    void speedLegendClearOfTheNewest()
    {
        for (double newest : {6000.0, 13536.0, 14999.0, 15000.0, 19999.0, 24000.0, 31000.0, 61000.0}) {
            const insight::SpeedLayout layout = insight::speedLayout(speedsRisingTo(newest, 30), 0);
            QVERIFY(layout.newest);
            const QRectF dot(*layout.newest - QPointF(3.5, 3.5), QSizeF(7, 7));
            QVERIFY2(!dot.intersects(layout.legend), qPrintable(QString::number(newest)));
            QVERIFY(layout.plot.contains(*layout.newest));
            QVERIFY(layout.legend.top() >= layout.plot.top() && layout.y.high >= newest);
        }
        // Hard games alone: the line between two of them is the hard mode's orange.
        InsightData hard;
        for (int i = 0; i < 2; ++i)
            hard.speeds.push_back(speedPoint(i + 1, GameMode::Hard, 200, 6000, 0.97));
        const QImage image = drawn(insight::Page::Speed, hard, 1);
        const insight::SpeedLayout layout = insight::speedLayout(hard, 0);
        const int y = static_cast<int>(layout.newest->y());
        const QRect band(QPoint(int(layout.plot.left()) + 20, y - 1), QPoint(int(layout.plot.right()) - 20, y));
        const int orange = pixelsIn(image, chart::kHard, band);
        QVERIFY2(orange >= band.width(), qPrintable(QStringLiteral("%1 of %2").arg(orange).arg(band.width())));
    }

    // 苦手な指運び: over many sets of five moves, no arrow lies along another, numbers stand apart, and a move to itself stays inside its key.
    void moveArrowsApart()
    {
        std::vector<std::vector<std::pair<int, int>>> sets = {
            {{1, 3}, {1, 2}, {2, 3}, {3, 1}, {2, 1}},
            {{5, 5}, {4, 6}, {1, 9}, {7, 3}, {2, 8}},
            {{1, 7}, {1, 4}, {4, 7}, {7, 1}, {9, 9}},
            {{3, 9}, {9, 3}, {6, 9}, {3, 6}, {6, 3}},
            {{1, 1}, {2, 2}, {5, 5}, {8, 8}, {2, 8}},
        };
        std::mt19937 random(42);
        std::uniform_int_distribution<int> digit(1, 9);
        while (sets.size() < 200) {
            std::vector<std::pair<int, int>> set;
            while (set.size() < 5) {
                const std::pair<int, int> m(digit(random), digit(random));
                if (std::find(set.begin(), set.end(), m) == set.end())
                    set.push_back(m);
            }
            sets.push_back(set);
        }
        for (const auto& set : sets) {
            std::vector<Move> moves;
            QString name;
            for (const auto& [from, to] : set) {
                moves.push_back({from, to, 500, 3});
                name += QStringLiteral("%1>%2 ").arg(from).arg(to);
            }
            const std::vector<insight::MoveArrow> arrows = insight::moveArrows(moves);
            QCOMPARE(arrows.size(), moves.size());
            std::vector<std::vector<QPointF>> along;
            for (const insight::MoveArrow& a : arrows)
                along.push_back(pointsAlong(a.path));
            for (size_t i = 0; i < arrows.size(); ++i) {
                if (moves[i].from == moves[i].to) {
                    QVERIFY(arrows[i].toItself);
                    const QRectF key = insight::moveKeyRect(moves[i].from);
                    QVERIFY2(key.contains(arrows[i].path.boundingRect()), qPrintable(name));
                    QVERIFY(key.contains(arrows[i].label));
                }
                for (size_t j = 0; j < arrows.size(); ++j) {
                    if (i == j)
                        continue;
                    const QPointF d = arrows[i].label - arrows[j].label;
                    QVERIFY2(std::hypot(d.x(), d.y()) >= 16, qPrintable(name));
                    QVERIFY2(runAlong(along[i], along[j]) < 12, qPrintable(name + QString::number(i) + QString::number(j)));
                }
            }
        }
    }

    // 打ち間違い: a cell's number is black on the light end of the scale and white on the dark end, legible on any fill.
    void missNumbersReadable()
    {
        for (int r = 0; r < 256; r += 15)
            for (int g = 0; g < 256; g += 15)
                for (int b = 0; b < 256; b += 15) {
                    const QColor fill(r, g, b);
                    QVERIFY(chart::contrast(chart::readableOn(fill), fill) >= 4.5);
                }
        // A grid whose busiest cell, 7 shown and 8 struck, is the scale's bright end.
        InsightData data;
        KeypadInsight& in = data.keypad[0];
        in.games = 1;
        in.keys = 400;
        for (int shown = 1; shown <= 9; ++shown)
            in.misses[static_cast<size_t>(shown - 1)][static_cast<size_t>(shown % 9)] = shown;
        in.misses[6][7] = 40;
        const QImage image = drawn(insight::Page::Misses, data, 0);
        const QRect cell(84 + 22 * 7 + 2, 104 + 22 * 6 + 2, 17, 17);   // inside its frame
        const int dark = pixelsIn(image, [](const QColor& c) { return qGray(c.rgb()) < 60; }, cell);
        QVERIFY2(dark >= 5, qPrintable(QString::number(dark)));
        QCOMPARE(chart::readableOn(chart::kHard), QColor(Qt::black));
    }

    // テンキー分析: digits a few ms apart keep nearly one colour, the scale's ends are stated, a digit short of keys shows its count.
    void keypadScaleAndShortDigits()
    {
        const std::optional<insight::KeypadScale> near = insight::keypadScale({386, 419, 402, 395});
        QVERIFY(near && near->at(419) < 0.2);
        QCOMPARE(std::tuple(near->fastMs, near->slowMs), std::tuple(386, 386 + insight::kScaleMinSpanMs));
        const std::optional<insight::KeypadScale> wide = insight::keypadScale({310, 905, 600});
        QCOMPARE(std::tuple(wide->fastMs, wide->slowMs, wide->at(905), wide->at(310)), std::tuple(310, 905, 1.0, 0.0));
        QVERIFY(!insight::keypadScale({}));
        // Digit 6 short of keys: its count is written, so 12 keys and 13 draw apart.
        InsightData data;
        KeypadInsight& in = data.keypad[0];
        in.games = 3;
        for (int d = 1; d <= 9; ++d) {
            in.digits[static_cast<size_t>(d - 1)] = {40, 38, 300 + 10 * d, 0.95};
            in.keys += 40;
        }
        in.digits[5] = {12, 12, std::nullopt, std::nullopt};
        const QImage twelve = drawn(insight::Page::Keypad, data, 0);
        in.digits[5].keys = 13;
        QVERIFY(twelve != drawn(insight::Page::Keypad, data, 0));
    }

    // ステージ別ベストスコア: no two value labels meet, at zoom 1 and 2, whatever the scores.
    void stageBestLabelsApart()
    {
        const QRectF area(74, 100, 484, 202);
        const std::function<QString(double)> whole = [](double v) { return chart::grouped(std::lround(v)); };
        for (qreal zoom : {1.0, 2.0}) {
            QImage device(594 * int(zoom), 375 * int(zoom), QImage::Format_RGB32);
            device.setDevicePixelRatio(zoom);
            const QFontMetricsF metrics(chart::axisFont(), &device);
            for (int base : {800, 9000, 12345, 54321, 99999}) {
                for (double apart : {0.0, 0.01, 0.03, 0.08, 0.2}) {
                    std::vector<chart::Series> series = {{QStringLiteral("n"), chart::kNormal, {}},
                                                         {QStringLiteral("h"), chart::kHard, {}}};
                    double high = 0;
                    for (int stage = 1; stage <= 5; ++stage) {
                        const double normal = base * (1 + 0.1 * stage);
                        const double hard = normal * (1 + apart * (stage % 2 ? 1 : -1));
                        series[0].values.push_back(normal);
                        series[1].values.push_back(stage == 4 ? std::nullopt : std::optional<double>(hard));
                        high = std::max({high, normal, hard});
                    }
                    const chart::Axis y = chart::niceAxis(0, high / 0.85, 5, true);
                    const std::vector<QRectF> labels = chart::barLabels(area, 5, series, y, whole, metrics);
                    QCOMPARE(labels.size(), size_t(10));
                    QVERIFY(labels[7].isNull());   // stage 4 of the second mode: no bar, no value
                    for (size_t i = 0; i < labels.size(); ++i) {
                        if (labels[i].isNull())
                            continue;
                        QVERIFY(labels[i].top() >= area.top() - 16);
                        for (size_t j = i + 1; j < labels.size(); ++j)
                            QVERIFY2(labels[j].isNull() || !labels[i].intersects(labels[j]),
                                     qPrintable(QStringLiteral("%1 %2 %3").arg(zoom).arg(base).arg(apart)));
                    }
                }
            }
        }
    }

    // Numbers on the pages carry thousands separators.
    void thousandsSeparators()
    {
        QCOMPARE(QStringList({chart::grouped(1000000), chart::grouped(999), chart::grouped(12000)}),
                 QStringList({"1,000,000", "999", "12,000"}));
    }
};

QTEST_MAIN(TestInsightPages)
#include "test_insight_pages.moc"
