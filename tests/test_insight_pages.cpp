// The insight pages of プレイ記録: where they sit among the pages, keypad 5
// switching the keypad pages' mode (and nothing elsewhere), the mode of the
// last game first, and numbers written with thousands separators.
#include "platform/keys.h"
#include "screens/progress_charts.h"
#include "screens/progress_window.h"

#include <QtTest>

namespace {
QString u8(const char* text)
{
    return QString::fromUtf8(text);
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
        QCOMPARE(window.heading(), u8("テンキー分析（ノーマル）"));
        window.Form_KeyDown(vk::Numpad6, 0);               // the mode stays for the next pages
        QCOMPARE(window.heading(), u8("打ち間違い（ノーマル）"));
        window.Form_KeyDown(vk::Numpad6, 0);
        window.Form_KeyDown(vk::Numpad5, 0);
        QCOMPARE(window.heading(), u8("苦手な指運び（ハード）"));
        for (int i = 0; i < kGameModes; ++i)               // round the three modes, back to hard
            window.Form_KeyDown(vk::Numpad5, 0);
        window.Form_KeyDown(vk::Numpad6, 0);
        QCOMPARE(window.page(), int(ProgressWindow::Speed));
        window.Form_KeyDown(vk::Numpad5, 0);               // both modes on one chart: nothing to switch
        QCOMPARE(window.insightMode(), GameMode::Hard);
        QVERIFY(!window.grab().isNull());
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
