// The insight pages of プレイ記録: where they sit among the pages, keypad 5
// switching the keypad pages' mode and the speed page's best line (and
// nothing elsewhere), the mode of the last game first, and numbers written with thousands separators.
#include "platform/keys.h"
#include "screens/insight_pages.h"
#include "screens/progress_charts.h"
#include "screens/progress_window.h"

#include <QtTest>
#include <cmath>
#include <set>

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

int pixelsOf(const QImage& image, const QColor& color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == color;
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

// The row with the most pixels of this colour across the speed chart's
// width, and how many it has there.
std::pair<int, int> fullestRow(const QImage& image, const QColor& color, int below = 0)
{
    std::pair<int, int> best{-1, 0};
    for (int y = below; y < image.height(); ++y) {
        int n = 0;
        for (int x = 84; x <= 488; ++x)
            n += image.pixelColor(x, y) == color;
        if (n > best.second)
            best = {y, n};
    }
    return best;
}

// A dashed line across the chart has a pixel in two of three at least.
constexpr int kDashedPixels = 404 / 2;

// Where the chart puts a figure of keys per hour: on the scale of its
// cyan guides at 8,000, 10,000 and 12,000 (the first three such lines
// from the top).
double rowOfFigure(const QImage& image, double kph)
{
    std::vector<int> guides;
    for (int below = 0; guides.size() < 3;) {
        int y = -1;
        for (int row = below; row < image.height() && y < 0; ++row) {
            int n = 0;
            for (int x = 84; x <= 488; ++x)
                n += image.pixelColor(x, row) == chart::kCyan;
            if (n >= kDashedPixels / 2)   // a label of the best may lie over part of it
                y = row;
        }
        if (y < 0)
            return -1;
        guides.push_back(y);
        below = y + 1;
    }
    const double perKph = (guides[2] - guides[0]) / 4000.0;   // 12,000 at the top
    return guides[0] + (12000 - kph) * perKph;
}

// A history of one hard game: enough for the screen to show its pages.
ProgressData oneHardGame()
{
    ProgressData data;
    data.gameCount = 1;
    GamePoint game;
    game.id = 1;
    game.mode = GameMode::Hard;
    data.recent[1].push_back(game);
    data.lastGame = game;
    return data;
}
}  // namespace

class TestInsightPages : public QObject {
    Q_OBJECT
private slots:
    void keypadFiveSwitchesTheMode()
    {
        ProgressWindow window;
        window.setProgress(oneHardGame());
        window.setInsight(InsightData{});
        QCOMPARE(window.insightMode(), GameMode::Hard);   // the last game's mode first
        window.Form_KeyDown(vk::Numpad5, 0);               // the totals page: no mode to switch
        QCOMPARE(window.insightMode(), GameMode::Hard);
        while (window.page() != ProgressWindow::Keypad)
            window.Form_KeyDown(vk::Numpad6, 0);
        QCOMPARE(window.heading(), u8("テンキー分析（ハード）"));
        window.Form_KeyDown(vk::Numpad5, 0);
        QCOMPARE(window.heading(), u8("テンキー分析（練習）"));   // practice stages on their own
        window.Form_KeyDown(vk::Numpad5, 0);
        QCOMPARE(window.heading(), u8("テンキー分析（数字入力）"));   // then the 数字入力 tests
        QCOMPARE(window.insightMode(), GameMode::Entry);
        window.Form_KeyDown(vk::Numpad5, 0);
        QCOMPARE(window.heading(), u8("テンキー分析（ノーマル）"));
        window.Form_KeyDown(vk::Numpad6, 0);               // the mode stays for the next pages
        QCOMPARE(window.heading(), u8("打ち間違い（ノーマル）"));
        window.Form_KeyDown(vk::Numpad6, 0);
        window.Form_KeyDown(vk::Numpad5, 0);
        QCOMPARE(window.heading(), u8("苦手な指運び（ハード）"));
        for (int i = 0; i < insight::kModes; ++i)          // round the four modes, back to hard
            window.Form_KeyDown(vk::Numpad5, 0);
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
        QCOMPARE(games.front()->id, 11);
        QCOMPARE(games.back()->id, 60);
        QCOMPARE(games.back()->mode, GameMode::Hard);
        QCOMPARE(games[1]->id, 12);   // a hard game between two normal ones keeps its place
        QCOMPARE(games[1]->mode, GameMode::Hard);
    }

    // The speed chart draws the 数字入力 tests as a line of their own colour,
    // and nothing of it without tests; the games' line stays as it was.
    void speedChartHasTheTestsLine()
    {
        const QImage games = drawn(insight::Page::Speed, withTests({}), 0);
        QCOMPARE(pixelsOf(games, chart::kEntry), 0);
        const QImage tests = drawn(insight::Page::Speed, withTests({7400, 9100, 11800}), 0);
        QVERIFY(pixelsOf(tests, chart::kEntry) > 3 * 30);   // three squares of 6 x 6 and the line
        QCOMPARE(pixelsOf(tests, chart::kNormal), pixelsOf(games, chart::kNormal));
        // One test alone is a point in the middle; in every mode the same chart.
        const QImage one = drawn(insight::Page::Speed, withTests({8300}), insight::kEntryMode);
        QVERIFY(pixelsOf(one, chart::kEntry) >= 30);
        QCOMPARE(one, drawn(insight::Page::Speed, withTests({8300}), 1));
    }

    // 打鍵速度 draws a dashed line at the shown mode's best keys per hour, in its colour, where the chart's scale puts that figure; another mode moves it to that mode's best.
    void bestLineOfTheModeShown()
    {
        InsightData data = withTests({7400, 8900});
        for (int i = 0; i < 9; ++i) {   // games of the three modes between 4,000 and 9,000
            SpeedPoint s;
            s.id = 10 + i;
            s.mode = static_cast<GameMode>(i % 3);
            s.speed = GameSpeed{300, 4000.0 + 600 * i, 0.9 + 0.01 * i};
            data.speeds.push_back(s);
        }
        // Bests of the whole history, above the games shown; 数字入力's its best test.
        data.bestKph = {11300.0, 9700.0, 6500.0, 8900.0};
        const QColor colors[insight::kModes] = {chart::kNormal, chart::kHard, chart::kPractice, chart::kEntry};
        std::set<int> rows;
        for (int mode = 0; mode < insight::kModes; ++mode) {
            const QImage page = drawn(insight::Page::Speed, data, mode);
            const auto [row, pixels] = fullestRow(page, colors[mode]);
            QVERIFY2(pixels >= kDashedPixels, qPrintable(QString::number(mode)));
            QVERIFY2(std::abs(row - rowOfFigure(page, *data.bestKph[static_cast<size_t>(mode)])) <= 1.0,
                     qPrintable(QStringLiteral("mode %1 row %2").arg(mode).arg(row)));
            rows.insert(row);
            for (int other = 0; other < insight::kModes; ++other)   // one line: the others draw none
                QVERIFY(other == mode || fullestRow(page, colors[other]).second < kDashedPixels);
        }
        QCOMPARE(rows.size(), size_t(insight::kModes));
        // A best above the guides raises the scale so that the line stays on the chart.
        data.bestKph[0] = 19000.0;
        const QImage high = drawn(insight::Page::Speed, data, 0);
        const auto [row, pixels] = fullestRow(high, chart::kNormal);
        QVERIFY(pixels >= kDashedPixels);
        QVERIFY(row >= 86 && std::abs(row - rowOfFigure(high, 19000.0)) <= 1.0);
        // Without a best of the mode (none played), no line.
        data.bestKph[1].reset();
        QVERIFY(fullestRow(drawn(insight::Page::Speed, data, 1), chart::kHard).second < kDashedPixels);
    }

    // プレイ記録 reads a page's figures when the page is first shown, once: at opening the last game's (whose mode comes first) and the first page's; a part that failed is not asked for again; the screen opened anew reads afresh.
    void pagesReadWhenFirstShown()
    {
        using P = ProgressPart;
        ProgressWindow window;
        window.setProgress(oneHardGame());
        window.setInsight(InsightData{});
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
        window.setProgress(oneHardGame());
        window.setInsight(InsightData{});
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
        const auto goldIn = [&](int left, int right, int y) {
            for (int x = left; x <= right; ++x)
                if (keypad.pixelColor(x, y) == chart::kGold)
                    return true;
            return false;
        };
        int enterEdge = 0, besideNine = 0, insideZero = 0, betweenOneTwo = 0;
        for (int y = 82; y < 186; ++y)
            besideNine += goldIn(273, 278, y);
        for (int y = 186; y < 287; ++y)
            enterEdge += goldIn(273, 278, y);
        for (int y = 250; y < 276; ++y)
            insideZero += goldIn(95, 101, y);
        for (int y = 196; y < 224; ++y)
            betweenOneTwo += goldIn(95, 101, y);
        QVERIFY2(enterEdge > 80, qPrintable(QString::number(enterEdge)));
        QCOMPARE(besideNine, 0);
        QCOMPARE(insideZero, 0);
        QCOMPARE(betweenOneTwo, 224 - 196);
        QVERIFY(keypad != drawn(insight::Page::Keypad, data, 0));

        // Misses: the 12 x 12 grid in the misses' colour where a key was out of turn.
        const QImage misses = drawn(insight::Page::Misses, data, insight::kEntryMode);
        QVERIFY(pixelsOf(misses, chart::kHard) > 3 * 100);
        QCOMPARE(topEntryMisses(data.entryKeypad, 3).size(), size_t(3));

        // No tests: the three pages say there is nothing yet, and look alike.
        InsightData none;
        const QImage empty = drawn(insight::Page::Keypad, none, insight::kEntryMode);
        QCOMPARE(drawn(insight::Page::Misses, none, insight::kEntryMode), empty);
        QCOMPARE(drawn(insight::Page::Moves, none, insight::kEntryMode), empty);
        QVERIFY(empty != drawn(insight::Page::Keypad, data, insight::kEntryMode));
        QVERIFY(pixelsOf(empty, chart::kGold) == 0);
    }

    // Numbers on the pages carry thousands separators.
    void thousandsSeparators()
    {
        QCOMPARE(chart::grouped(1000000), QStringLiteral("1,000,000"));
        QCOMPARE(chart::grouped(999), QStringLiteral("999"));
        QCOMPARE(chart::grouped(12000), QStringLiteral("12,000"));
    }
};

QTEST_MAIN(TestInsightPages)
#include "test_insight_pages.moc"
