// The progress screen: its keys and its pages.
#include "screens/progress_window.h"

#include "platform/keys.h"
#include "platform/sound.h"
#include "screens/art.h"
#include "screens/closing.h"
#include "screens/forms.h"
#include "screens/progress_charts.h"
#include "state/module1.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

ProgressWindow* progressWindow = nullptr;

namespace {
// The area the artwork leaves free between its banner and its key hints.
constexpr double kHeadingBaseline = 66;
const QRectF kPlot(74, 88, 484, 214);

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

QFont pixelFont(int px)
{
    QFont f = gameFont(9);
    f.setPixelSize(px);
    return f;
}

QString whole(double v)
{
    return QString::number(std::lround(v));
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

ProgressWindow::ProgressWindow()
{
    setWindowTitle(u8("プレイ記録"));
    setBackground(artPicture(QString::fromLatin1(art::kProgress)));
}

void ProgressWindow::setProgress(std::optional<ProgressData> progress, const QString& unreadable)
{
    page_ = Totals;
    data_.reset();
    empty_.clear();
    if (!unreadable.isEmpty())
        empty_ = u8("プレイ記録を読めません。\n") + unreadable;
    else if (!progress || progress->gameCount == 0)
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
    case Totals: return u8("スコア合計の推移（各モード最近50ゲーム）");
    case Gaps: return u8("正解キーの間隔（中央値・ミリ秒）");
    case Accuracy: return u8("正確さ（打ったキーのうち正解の割合）");
    case StageBests: return u8("ステージ別ベストスコア");
    case LastGame: return u8("前回のゲーム　1秒ごとの正解数");
    default: return QString();
    }
}

void ProgressWindow::Form_KeyDown(int KeyCode, int /*Shift*/)
{
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
    default: break;
    }
}

void ProgressWindow::drawTrend(QPainter& p, Page page)
{
    const QString names[kModeCount] = {u8("ノーマル"), u8("ハード")};
    const QColor colors[kModeCount] = {chart::kNormal, chart::kHard};
    std::vector<chart::Series> series;
    double low = 1e18, high = -1e18;
    int positions = 2;
    for (int m = 0; m < kModeCount; ++m) {
        chart::Series s{names[m], colors[m], {}};
        for (const GamePoint& g : data_->recent[m]) {
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
            s.values.push_back(v);
        }
        positions = std::max(positions, static_cast<int>(s.values.size()));
        if (!s.values.empty())
            series.push_back(std::move(s));
    }
    chart::legend(p, 570, kHeadingBaseline, series, pixelFont(13));
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
    } else {
        y = chart::niceAxis(low, high, 5, true);
    }
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
    chart::groupedBars(p, kPlot.adjusted(0, 12, 0, 0), groups, series, chart::niceAxis(0, high, 5, true), whole);
}

void ProgressWindow::drawLastGame(QPainter& p)
{
    const GamePoint& game = *data_->lastGame;
    const QColor color = game.mode == GameMode::Normal ? chart::kNormal : chart::kHard;
    chart::text(p, 570, kHeadingBaseline,
                (game.mode == GameMode::Normal ? u8("ノーマル") : u8("ハード")) + u8("　合計 ") +
                    QString::number(game.total),
                pixelFont(13), color, Qt::AlignRight);
    int top = 1;
    for (const StageSummary& s : data_->lastGameStages)
        top = std::max(top, *std::max_element(s.hitsPerSecond.begin(), s.hitsPerSecond.end()));
    const QFont label = pixelFont(13);
    const QFont small = pixelFont(11);
    const double rowHeight = 46;
    for (size_t i = 0; i < data_->lastGameStages.size(); ++i) {
        const StageSummary& s = data_->lastGameStages[i];
        const double rowTop = kPlot.top() - 10 + rowHeight * static_cast<double>(i);
        const QString name = s.stage >= 1 && s.stage <= kStageCount ? Module1.StageTitle[s.stage]
                                                                        : QString::number(s.stage);
        chart::text(p, 24, rowTop + 18, name, label, chart::kPaper);
        chart::text(p, 24, rowTop + 34, QString::number(s.score), small, color);
        chart::text(p, 130, rowTop + 34, verdictText(s.verdict), small, verdictColor(s.verdict), Qt::AlignRight);
        std::vector<int> seconds(s.hitsPerSecond.begin(), s.hitsPerSecond.end());
        chart::barStrip(p, QRectF(150, rowTop + 4, 420, rowHeight - 10), seconds, top, color);
    }
    chart::text(p, 570, kPlot.bottom() + 23, u8("1本 = 1秒（%1秒）　いちばん高い棒 = %2 回").arg(kStageSeconds).arg(top), small,
                chart::kMist, Qt::AlignRight);
}
