#pragma once
// プレイ記録, the progress screen: pages of charts drawn from the play
// history, opened with keypad 2 on the title. Keypad 4 and 6 turn the
// pages, keypad 0 returns to the title, Esc asks to quit.
#include "history/history_reader.h"
#include "history/practice_report.h"
#include "screens/game_window.h"

#include <QString>
#include <functional>
#include <optional>
#include <set>

class ProgressWindow : public GameWindow {
public:
    enum Page { Totals, Gaps, Accuracy, StageBests, LastGame, Keypad, Misses, Moves, Speed, Calendar, DigitTrends, kPageCount };

    ProgressWindow();

    // Shows these figures from the first page. Without figures the screen
    // says so: no history yet, or (with a reason) why it cannot be read.
    void setProgress(std::optional<ProgressData> data, const QString& unreadable = QString());
    // The figures of the insight pages (after setProgress); keypad 5 on the
    // keypad pages and 打鍵速度 (whose line of the best follows it) switches
    // their mode (normal, hard, practice, 数字入力), and
    // on 数字別の推移 (normal, hard, practice), first the
    // last game's. Keypad 8 on テンキー分析 starts a practice stage of the
    // weak digits, on 苦手な指運び one of the slow moves shown; keypad 7 on
    // テンキー分析 and then a digit 1-9 one of that digit (0 or Esc instead
    // cancels).
    void setInsight(std::optional<InsightData> insight);
    // Reads each page's figures through read when the page is first shown
    // (after setProgress and setInsight): the last game's at once, for the
    // mode shown first, and the current page's. Without it the figures
    // given are all there is.
    using PartReader = std::function<bool(ProgressPart, ProgressData&, InsightData&)>;
    void readPagesWith(PartReader read);
    GameMode insightMode() const { return insightMode_; }

    int page() const { return page_; }
    // Back on a page in a mode of the keypad pages (after a practice stage).
    void showPage(int page, GameMode mode);
    // Keypad 7 was struck on テンキー分析: the next key picks the digit.
    bool choosingDigit() const { return choosingDigit_; }
    // The heading of the current page, or the text shown instead of charts.
    QString heading() const;
    QString emptyText() const { return empty_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void keyDown(int KeyCode);
    // The key after keypad 7 on テンキー分析.
    void chooseDigit(int KeyCode);
    void startDrill(DrillKind kind);
    // The mode 数字別の推移 shows: the one chosen, normal in place of 数字入力.
    int trendMode() const { return insightMode_ == GameMode::Entry ? modeIndex(GameMode::Normal) : modeIndex(insightMode_); }
    void turn(int by);
    void chooseInsightMode();
    // The figures of the page shown, read if not yet.
    void readPart(ProgressPart part);
    static ProgressPart partOf(int page);
    void drawTrend(QPainter& p, Page page);
    void drawStageBests(QPainter& p);
    void drawLastGame(QPainter& p);

    std::optional<ProgressData> data_;
    std::optional<InsightData> insight_;
    GameMode insightMode_ = GameMode::Normal;
    QString empty_;
    int page_ = Totals;
    bool choosingDigit_ = false;
    PartReader read_;
    std::set<ProgressPart> partsRead_;
};

extern ProgressWindow* progressWindow;

// Reads the history afresh and shows プレイ記録 in place of `from`.
void openProgress(QWidget* from);

// The trend pages' games: both modes on one axis, the latest
// kProgressGames of them in the order played.
std::vector<const GamePoint*> gamesInPlayOrder(const ProgressData& data);
