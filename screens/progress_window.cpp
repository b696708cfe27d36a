// The progress screen: its keys and its pages.
#include "screens/progress_window.h"

#include "history/recorder.h"
#include "platform/keys.h"
#include "platform/sound.h"
#include "screens/art.h"
#include "screens/calendar_page.h"
#include "screens/closing.h"
#include "screens/digit_trend_page.h"
#include "screens/forms.h"
#include "screens/history_notices.h"
#include "screens/insight_pages.h"
#include "screens/practice_result.h"
#include "screens/progress_charts.h"
#include "state/module1.h"

#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>

ProgressWindow* progressWindow = nullptr;

namespace {
// The area the artwork leaves free between its banner and its key hints.
constexpr double kHeadingBaseline = 66;
const QRectF kPlot(74, 88, 484, 214);

using chart::pixelFont;
using chart::u8;

QString whole(double v)
{
    return chart::grouped(std::lround(v));
}

// "20 ゲーム・1,234 キーから": what a page is drawn from, right under the legend.
void source(QPainter& p, double y, int games, qint64 keys, Qt::Alignment align = Qt::AlignRight)
{
    chart::text(p, align == Qt::AlignRight ? 570 : 24, y,
                u8("%1 ゲーム・%2 キーから").arg(chart::grouped(games), chart::grouped(keys)), pixelFont(12),
                chart::kMist, align);
}

QColor verdictColor(StageVerdict verdict)
{
    return verdict == StageVerdict::Clear ? chart::kYellow : chart::kHard;
}

QString verdictText(StageVerdict verdict)
{
    switch (verdict) {
    case StageVerdict::Clear: return QStringLiteral("Clear");
    case StageVerdict::Failure: return QStringLiteral("Failure");
    case StageVerdict::GiveUp: return QStringLiteral("GiveUp");
    }
    return QString();
}
}  // namespace

std::vector<const GamePoint*> gamesInPlayOrder(const ProgressData& data)
{
    std::vector<const GamePoint*> games;
    for (const std::vector<GamePoint>& mode : data.recent)
        for (const GamePoint& g : mode)
            games.push_back(&g);
    std::sort(games.begin(), games.end(), [](const GamePoint* a, const GamePoint* b) { return a->id < b->id; });
    if (games.size() > static_cast<size_t>(kProgressGames))
        games.erase(games.begin(), games.end() - kProgressGames);
    return games;
}

void openProgress(QWidget* from)
{
    // Nothing is created just to look: without a file there is no history yet.
    std::optional<ProgressData> progress;
    QString unreadable;
    gameHistory().saveHeldBack();
    const QFileInfo file(QString::fromLatin1(kHistoryFileName));
    if (file.exists() || file.isSymLink()) {
        HistoryDatabase& db = gameHistory().database();
        progress = readProgress(db, {});  // the counts; each page reads its own figures
        gameHistory().noteProblem(db);
        if (!progress)
            unreadable = db.reason() + QString::fromUtf8("。");
    }
    const bool read = progress.has_value();
    progressWindow->setProgress(std::move(progress), unreadable);
    progressWindow->setInsight(read ? std::optional<InsightData>(InsightData{}) : std::nullopt);
    if (read) {
        progressWindow->readPagesWith([](ProgressPart part, ProgressData& data, InsightData& insight) {
            HistoryDatabase& db = gameHistory().database();
            const bool ok = readProgressPart(db, part, data, insight);
            gameHistory().noteProblem(db);
            if (!ok && progressWindow->isVisible())
                showHistoryNotices();  // on opening, shown once the screen is up
            return ok;
        });
    }
    s_play(Sound::SoundPowah, false);
    switchScreen(from, progressWindow);
    showHistoryNotices();
}

ProgressWindow::ProgressWindow()
{
    setWindowTitle(u8("プレイ記録"));
    setBackground(artPicture(QString::fromLatin1(art::kProgress)));
    onKeyDown = [this](int KeyCode, int) { keyDown(KeyCode); };
}

void ProgressWindow::setInsight(std::optional<InsightData> insight)
{
    insight_ = std::move(insight);
    choosingDigit_ = false;
    chooseInsightMode();
    update();
}

void ProgressWindow::chooseInsightMode()
{
    insightMode_ = data_ && data_->lastGame ? data_->lastGame->mode : GameMode::Normal;
    if (data_ && data_->lastWasTest)
        insightMode_ = GameMode::Entry;
}

void ProgressWindow::readPagesWith(PartReader read)
{
    read_ = std::move(read);
    partsRead_.clear();
    readPart(ProgressPart::LastGame);
    chooseInsightMode();
    readPart(partOf(page_));
    update();
}

void ProgressWindow::readPart(ProgressPart part)
{
    if (!read_ || !data_ || !insight_ || partsRead_.count(part))
        return;
    partsRead_.insert(part);  // once, even when it fails: its notice has been shown
    read_(part, *data_, *insight_);
}

ProgressPart ProgressWindow::partOf(int page)
{
    switch (page) {
    case StageBests: return ProgressPart::StageBests;
    case LastGame: return ProgressPart::LastGame;
    case Keypad:
    case Misses:
    case Moves: return ProgressPart::Keypad;
    case Speed: return ProgressPart::Speed;
    case Calendar: return ProgressPart::Calendar;
    case DigitTrends: return ProgressPart::DigitTrends;
    default: return ProgressPart::Recent;
    }
}

void ProgressWindow::setProgress(std::optional<ProgressData> progress, const QString& unreadable)
{
    page_ = Totals;
    choosingDigit_ = false;
    read_ = nullptr;
    partsRead_.clear();
    data_.reset();
    empty_.clear();
    if (!unreadable.isEmpty())
        empty_ = u8("プレイ記録を読めません。\n") + unreadable;
    else if (!progress || (progress->gameCount == 0 && progress->testCount == 0))
        empty_ = u8("まだプレイ記録がありません。\nゲームを遊ぶと、ここに一回ごとの記録が残ります。");
    else
        data_ = std::move(progress);
    update();
}

QString ProgressWindow::heading() const
{
    if (!data_)
        return empty_;
    switch (page_) {
    case Totals: return u8("スコア合計の推移（直近%1ゲーム）").arg(kProgressGames);
    case Gaps: return u8("正しく打ったキーの間隔（中央値）");
    case Accuracy: return u8("正確さ（打ったキーのうち正解の割合）");
    case StageBests: return u8("ステージ別ベストスコア");
    case LastGame: return u8("前回のゲーム　1秒ごとの正解数");
    case Calendar: return calendar_page::heading();
    case DigitTrends: return digit_trend_page::heading(trendMode());
    default: return insight::heading(static_cast<insight::Page>(page_ - Keypad), modeIndex(insightMode_));
    }
}

void ProgressWindow::showPage(int page, GameMode mode)
{
    if (!data_ || page < 0 || page >= kPageCount)
        return;
    page_ = page;
    insightMode_ = mode;
    update();
}

void ProgressWindow::startDrill(DrillKind kind)
{
    PracticeDrill drill;
    drill.kind = kind;
    // The moves of the page as shown: 数字入力 counts none.
    if (kind == DrillKind::SlowMoves && insight_ && insightMode_ != GameMode::Entry)
        drill.moves = insight_->keypad.at(static_cast<size_t>(modeIndex(insightMode_))).slowMoves;
    startPractice(this, drill);
}

void ProgressWindow::chooseDigit(int KeyCode)
{
    // Keypad 1-9 picks the digit, 0 or Esc cancels; other keys (the window
    // system's modifiers among them) leave the question open.
    const int digit = KeyCode - vk::Numpad0;
    const bool picked = digit >= 1 && digit <= kKeypadDigits;
    if (!picked && KeyCode != vk::Numpad0 && KeyCode != vk::Escape)
        return;
    choosingDigit_ = false;
    update();
    if (picked) {
        PracticeDrill drill;
        drill.kind = DrillKind::ChosenDigit;
        drill.digit = digit;
        startPractice(this, drill);
    }
}

void ProgressWindow::keyDown(int KeyCode)
{
    if (choosingDigit_) {
        chooseDigit(KeyCode);
        return;
    }
    switch (KeyCode) {
    case vk::Escape:
        quitByKey();
        break;
    case vk::Numpad4:
        turn(-1);
        break;
    case vk::Numpad6:
        turn(+1);
        break;
    case vk::Numpad5:
        if (data_ && page_ >= Keypad && page_ <= Speed) {
            insightMode_ = static_cast<GameMode>((modeIndex(insightMode_) + 1) % insight::kModes);
            update();
        } else if (data_ && page_ == DigitTrends) {
            // The trend is of the game modes' digits 1-9: 数字入力 is left out.
            insightMode_ = static_cast<GameMode>((trendMode() + 1) % kGameModes);
            update();
        }
        break;
    case vk::Numpad8:
        if (data_ && page_ == Keypad)
            startDrill(DrillKind::WeakDigits);
        else if (data_ && page_ == Moves)
            startDrill(DrillKind::SlowMoves);
        break;
    case vk::Numpad7:
        if (data_ && page_ == Keypad) {
            choosingDigit_ = true;
            update();
        }
        break;
    case vk::Numpad0:
        s_play(Sound::SoundPowah, false);
        switchScreen(this, form1);
        break;
    default: break;
    }
}

void ProgressWindow::turn(int by)
{
    if (!data_)
        return;
    page_ = (page_ + by + kPageCount) % kPageCount;
    readPart(partOf(page_));
    update();
}

void ProgressWindow::paintEvent(QPaintEvent* event)
{
    GameWindow::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!data_) {
        const QStringList lines = empty_.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            chart::text(p, width() / 2.0, 170 + i * 30, lines[i], pixelFont(i == 0 ? 20 : 15),
                        i == 0 ? chart::kPaper : chart::kMist, Qt::AlignHCenter);
        }
        return;
    }
    chart::text(p, 24, kHeadingBaseline, heading(), pixelFont(16), chart::kPaper);
    // page dots between the key hints
    for (int i = 0; i < kPageCount; ++i) {
        const QPointF c(width() / 2.0 - (kPageCount - 1) * 7 + i * 14, 352);
        p.setPen(QPen(chart::kGold, 1));
        p.setBrush(i == page_ ? chart::kGold : Qt::NoBrush);
        p.drawEllipse(c, 3.5, 3.5);
    }
    switch (page_) {
    case Totals:
    case Gaps:
    case Accuracy: drawTrend(p, static_cast<Page>(page_)); break;
    case StageBests: drawStageBests(p); break;
    case LastGame: drawLastGame(p); break;
    case Calendar: calendar_page::draw(p, data_->calendar, dailyGoal()); break;
    case DigitTrends: digit_trend_page::draw(p, data_->digitTrends[static_cast<size_t>(trendMode())]); break;
    default:
        if (insight_)
            insight::draw(p, static_cast<insight::Page>(page_ - Keypad), *insight_, modeIndex(insightMode_),
                          choosingDigit_);
        break;
    }
}

void ProgressWindow::drawTrend(QPainter& p, Page page)
{
    const QString names[kModeCount] = {u8("ノーマル"), u8("ハード")};
    const QColor colors[kModeCount] = {chart::kNormal, chart::kHard};
    const std::vector<const GamePoint*> games = gamesInPlayOrder(*data_);
    const int positions = static_cast<int>(games.size());
    std::vector<chart::Series> series;
    for (int m = 0; m < kModeCount; ++m)
        series.push_back({names[m], colors[m], std::vector<std::optional<double>>(games.size())});
    double low = 1e18, high = -1e18;
    qint64 keys = 0;
    for (size_t i = 0; i < games.size(); ++i) {
        const GamePoint& g = *games[i];
        keys += g.hits + g.misses;
        std::optional<double> v;
        if (page == Totals)
            v = g.total;
        else if (page == Gaps && g.medianGapMs)
            v = *g.medianGapMs;
        else if (page == Accuracy && g.accuracy())
            v = *g.accuracy() * 100.0;
        if (v) {
            low = std::min(low, *v);
            high = std::max(high, *v);
        }
        series[static_cast<size_t>(modeIndex(g.mode))].values[i] = v;
    }
    // Only the modes played among them get a line and a legend.
    std::erase_if(series, [](const chart::Series& s) {
        return std::none_of(s.values.begin(), s.values.end(), [](const auto& v) { return v.has_value(); });
    });
    chart::legend(p, 570, kHeadingBaseline, series, pixelFont(13));
    source(p, kPlot.top() - 7, positions, keys);
    if (low > high) {
        chart::text(p, kPlot.center().x(), kPlot.center().y(), u8("まだ数字がありません"), pixelFont(15),
                    chart::kMist, Qt::AlignHCenter);
        return;
    }
    chart::Axis y;
    std::function<QString(double)> format = whole;
    if (page == Accuracy) {
        y = chart::niceAxis(std::max(0.0, low - 5), 100, 5, false);
        y.high = std::min(y.high, 100.0);
        format = [](double v) { return whole(v) + QLatin1Char('%'); };
        chart::text(p, kPlot.left(), kPlot.top() - 7, u8("縦軸は %1% から").arg(whole(y.low)), pixelFont(12),
                    chart::kMist);
    } else {
        y = chart::niceAxis(low, high, 5, true);
    }
    if (page == Gaps)
        chart::text(p, kPlot.left(), kPlot.top() - 7, u8("ミリ秒・低いほど速い"), pixelFont(12), chart::kMist);
    chart::lineChart(p, kPlot, series, positions, y, format);
}

void ProgressWindow::drawStageBests(QPainter& p)
{
    QStringList groups;
    for (int s = 1; s <= kStageCount; ++s)
        groups << Module1.StageTitle[s];
    std::vector<chart::Series> series = {{u8("ノーマル"), chart::kNormal, {}}, {u8("ハード"), chart::kHard, {}}};
    double high = 0;
    for (int m = 0; m < kModeCount; ++m) {
        for (const std::optional<int>& best : data_->stageBest[m]) {
            series[m].values.push_back(best ? std::optional<double>(*best) : std::nullopt);
            if (best)
                high = std::max(high, static_cast<double>(*best));
        }
    }
    chart::legend(p, 570, kHeadingBaseline, series, pixelFont(13));
    source(p, kPlot.top() - 7, data_->scoredGames, data_->scoredKeys);
    // Room above the highest bar for two values, one lifted over the other.
    chart::groupedBars(p, kPlot.adjusted(0, 12, 0, 0), groups, series, chart::niceAxis(0, high / 0.85, 5, true),
                       whole);
}

void ProgressWindow::drawLastGame(QPainter& p)
{
    if (!data_->lastGame) {  // 数字入力 tests only
        chart::text(p, kPlot.center().x(), kPlot.center().y(), u8("まだ記録がありません"), pixelFont(15),
                    chart::kMist, Qt::AlignHCenter);
        return;
    }
    const GamePoint& game = *data_->lastGame;
    const bool practice = game.mode == GameMode::Practice;
    const QColor colors[kGameModes] = {chart::kNormal, chart::kHard, chart::kPractice};
    const QColor color = colors[modeIndex(game.mode)];
    const QString names[kGameModes] = {u8("ノーマル"), u8("ハード"), u8("練習（苦手特訓）")};
    chart::text(p, 570, kHeadingBaseline, names[modeIndex(game.mode)] + u8("　合計 ") + chart::grouped(game.total),
                pixelFont(13), color, Qt::AlignRight);
    int top = 1;
    for (const StageSummary& s : data_->lastGameStages)
        top = std::max(top, *std::max_element(s.hitsPerSecond.begin(), s.hitsPerSecond.end()));
    const QFont label = pixelFont(13);
    const QFont small = pixelFont(12);
    const double rowHeight = 46;
    for (size_t i = 0; i < data_->lastGameStages.size(); ++i) {
        const StageSummary& s = data_->lastGameStages[i];
        const double rowTop = kPlot.top() - 10 + rowHeight * static_cast<double>(i);
        QString name = s.stage >= 1 && s.stage <= kStageCount ? Module1.StageTitle[s.stage] : QString::number(s.stage);
        if (practice)
            name = u8("練習");
        chart::text(p, 24, rowTop + 18, name, label, chart::kPaper);
        chart::text(p, 24, rowTop + 34, chart::grouped(s.score), small, color);
        if (!practice)
            chart::text(p, 130, rowTop + 34, verdictText(s.verdict), small, verdictColor(s.verdict), Qt::AlignRight);
        if (insight_ && s.stage >= 1 && s.stage <= kStageCount) {
            if (const std::optional<int> streak = insight_->lastGameStreaks[static_cast<size_t>(s.stage - 1)])
                chart::text(p, 140, rowTop + 18, u8("最長連続 %1").arg(chart::grouped(*streak)), small, chart::kPaper,
                            Qt::AlignRight);
        }
        std::vector<int> seconds(s.hitsPerSecond.begin(), s.hitsPerSecond.end());
        chart::barStrip(p, QRectF(150, rowTop + 4, 420, rowHeight - 10), seconds, top, color);
    }
    chart::text(p, 570, kPlot.bottom() + 23, u8("1本 = 1秒（%1秒）　最大 %2 回").arg(kStageSeconds).arg(top), small,
                chart::kMist, Qt::AlignRight);
    source(p, kPlot.bottom() + 23, 1, game.hits + game.misses, Qt::AlignLeft);
}
