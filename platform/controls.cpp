#include "platform/controls.h"
#include "platform/decode_ahead.h"

#include "platform/control_canvas.h"

#include <QCache>
#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

namespace {
const QColor kLabelBorder(0x80, 0x80, 0x80);

// A frame `width` pixels wide along the inside of r, filled rather than
// stroked: on a screen of two or more device pixels to a pixel it covers
// whole device pixels exactly where it lies at one to one (a stroked pen
// straddles the edge there and loses half its width to the clip).
void drawFrame(QPainter& painter, const QRect& r, const QColor& color, int width = 1)
{
    painter.fillRect(QRect(r.left(), r.top(), r.width(), width), color);
    painter.fillRect(QRect(r.left(), r.bottom() - width + 1, r.width(), width), color);
    painter.fillRect(QRect(r.left(), r.top(), width, r.height()), color);
    painter.fillRect(QRect(r.right() - width + 1, r.top(), width, r.height()), color);
}

// The larger version of a picture file for a device of `ratio` device
// pixels to a pixel: "name@Nx.ext" beside "name.ext", N from the ratio down
// to 2, as Qt names them. Empty when there is none.
QString findLargerFile(const QString& path, int ratio, int* found)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash)
        dot = path.size();
    for (int n = std::min(ratio, 9); n > 1; --n) {
        QString candidate = path;
        candidate.insert(dot, QStringLiteral("@%1x").arg(n));
        if (QFileInfo::exists(candidate)) {
            *found = n;
            return candidate;
        }
    }
    return {};
}
}  // namespace

PictureData::PictureData(const QPixmap& pixmap)
    : pixmap_(pixmap), decoded_(true), size_(pixmap.size()), sized_(true)
{
}

PictureData::PictureData(const QString& path) : path_(path)
{
}

QSize PictureData::size() const
{
    // Read when first asked: a picture whose size nothing needs before its
    // first paint (the title's artwork, decoded on another thread) costs
    // the making of its window nothing.
    if (!sized_) {
        sized_ = true;
        size_ = QImageReader(path_).size();
    }
    return size_;
}

const QPixmap& PictureData::pixmap() const
{
    if (!decoded_) {
        decoded_ = true;
        const QImage ahead = takeDecodedAhead(path_);
        pixmap_ = ahead.isNull() ? QPixmap(path_) : QPixmap::fromImage(ahead);
    }
    return pixmap_;
}

const QPixmap& PictureData::pixmapFor(qreal devicePixelRatio) const
{
    // Qt finds the @Nx file for a whole ratio; rounding first lets a 1.25
    // screen keep the plain picture and a 1.5 screen take the @2x one.
    const int wanted = qRound(devicePixelRatio);
    if (path_.isEmpty() || wanted < 2)
        return pixmap();
    if (largeRatio_ == 0) {
        int found = 1;
        const QString file = findLargerFile(path_, wanted, &found);
        largeRatio_ = 1;
        if (!file.isEmpty()) {
            QPixmap large(file);
            if (!large.isNull() && large.size() == size() * found) {
                large.setDevicePixelRatio(found);
                large_ = large;
                largeRatio_ = found;
            }
        }
    }
    return largeRatio_ > 1 ? large_ : pixmap();
}

void drawPicture(QPainter& painter, int x, int y, const PictureData& picture)
{
    if (picture.isNull())
        return;
    const qreal deviceRatio = painter.device()->devicePixelRatio();
    const QPixmap& pixmap = picture.pixmapFor(deviceRatio);
    if (!qFuzzyCompare(pixmap.devicePixelRatio(), deviceRatio))
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Always at the picture's own size in pixels, whichever version is drawn.
    painter.drawPixmap(QRect(QPoint(x, y), picture.size()), pixmap);
}

Picture makePicture(const QPixmap& pixmap)
{
    return std::make_shared<const PictureData>(pixmap);
}

QString artPath(const QString& name)
{
    return QStringLiteral(":/art/") + name;
}

Picture artPicture(const QString& name)
{
    return std::make_shared<const PictureData>(artPath(name));
}

QStringList gameFontFamilies()
{
    // The first face that is installed is used; looking them up is left to
    // the first text drawn, which keeps the title screen quick to appear.
    return {QString::fromUtf8("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho")};
}

QFont gameFont(double points)
{
    QFont font;
    font.setFamilies(gameFontFamilies());
    font.setPixelSize(qRound(points * 4.0 / 3.0));
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// ---------------------------------------------------------------- Control

Control::Control(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void Control::setRect(double left, double top, double width, double height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    applyGeometry();
}

void Control::setLeft(double twips)
{
    left_ = twips;
    applyGeometry();
}

void Control::setTop(double twips)
{
    // Positions are single-precision numbers of twips, as the clock computes them.
    top_ = static_cast<float>(twips);
    applyGeometry();
}

void Control::redraw()
{
    // Behind a canvas the control is drawn by the canvas alone: Qt would
    // not draw a widget that an opaque one in front of it hides.
    if (ControlCanvas* canvas = controlCanvas(parentWidget()))
        canvas->redrawArea(geometry());
    else
        update();
}

void Control::setVisible(bool visible)
{
    const bool changes = visible == isHidden();
    QWidget::setVisible(visible);
    if (changes)
        redraw();
}

void Control::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintOn(painter);
}

void Control::applyGeometry()
{
    const QRect place(twipsToPixels(left_), twipsToPixels(top_), twipsToPixels(width_),
                      twipsToPixels(height_));
    if (place == geometry())
        return;
    // Behind a canvas, the place left and the place taken are drawn again.
    if (ControlCanvas* canvas = controlCanvas(parentWidget()))
        canvas->redrawArea(geometry());
    setGeometry(place);
    redraw();
}

// ------------------------------------------------------------------ Label

namespace {
bool isSingleLatinWord(const QString& text)
{
    for (const QChar c : text)
        if (c.isSpace() || c.unicode() >= 0x3000)
            return false;
    return !text.isEmpty();
}
}  // namespace

QFont Label::fittedFont(const QString& text, int available) const
{
    // Our Mincho face sets Latin letters wider than the face the screens were
    // designed for; a single word such as a verdict that would not fit its
    // label is narrowed rather than cut off.
    QFont f = font();
    if (!isSingleLatinWord(text) || available <= 0)
        return f;
    const double natural = QFontMetricsF(f).horizontalAdvance(text);
    if (natural > available)
        f.setStretch(std::max(50, int(100.0 * available / natural)));
    return f;
}

Label::Label(QWidget* parent) : Control(parent)
{
    setFont(gameFont(points_));
    fontKey_ = font().key();
    markOpaque();
}

void Label::setCaption(const QString& text)
{
    if (text == caption_)
        return;
    caption_ = text;
    dropLayout();
    dropLook();
    redraw();
}

void Label::setForeColor(const QColor& color)
{
    if (color == fore_)
        return;
    fore_ = color;
    dropLook();
    redraw();
}

void Label::setBackColor(const QColor& color)
{
    back_ = color;
    markOpaque();
    dropLook();
    redraw();
}

void Label::setTransparent(bool transparent)
{
    transparent_ = transparent;
    markOpaque();
    dropLook();
    redraw();
}

void Label::markOpaque()
{
    // A label that fills its whole rectangle spares Qt painting what lies behind it.
    setAttribute(Qt::WA_OpaquePaintEvent, !transparent_ && back_.alpha() == 255);
}

void Label::setBorder(bool border)
{
    border_ = border;
    dropLayout();
    redraw();
}

void Label::setAlignment(Align align)
{
    align_ = align;
    dropLayout();
    redraw();
}

void Label::setFontPoints(double points)
{
    points_ = points;
    setFont(gameFont(points));
    fontKey_ = font().key();
    dropLayout();
    redraw();
}

int Label::lineHeight() const
{
    return font().pixelSize();
}

void Label::dropLayout()
{
    layout_.reset();
    look_.reset();
}

void Label::dropLook()
{
    look_.reset();
}

void Label::resizeEvent(QResizeEvent* event)
{
    dropLayout();
    Control::resizeEvent(event);
}

namespace {
// Laid-out texts by caption, font, size and alignment. The key grid and the
// number rows show the same few digits over and over, so a key press finds
// its texts here instead of shaping them again. Only the texts used last
// are kept: scores and the announcer's lines are new all the time, and
// keeping them all would grow the cache with every stage played. Short
// captions (digits, numbers, labels) and long texts (the announcer's lines,
// pages of the commentary log) are counted apart, so that a page of
// the log never pushes out the digits.
constexpr int kShortCaption = 12;
constexpr int kShortLayoutsKept = 256;
constexpr int kLongLayoutsKept = 16;   // enough for a screen drawn ahead
using SharedLayout = std::shared_ptr<const QTextLayout>;
using LayoutCache = QCache<QString, SharedLayout>;
LayoutCache& layoutCache(bool isShort)
{
    static LayoutCache shortTexts(kShortLayoutsKept), longTexts(kLongLayoutsKept);
    return isShort ? shortTexts : longTexts;
}
}  // namespace

const QTextLayout& Label::textLayout(const QRect& textRect) const
{
    if (layout_)
        return *layout_;
    const QString key = caption_ + QChar(0x1F) + fontKey_ + QChar(0x1F) +
                        QString::number(textRect.width()) + QLatin1Char('x') +
                        QString::number(textRect.height()) + QLatin1Char('/') +
                        QString::number(int(align_));
    const bool isShort = caption_.size() <= kShortCaption;
    LayoutCache& cache = layoutCache(isShort);
    if (const SharedLayout* found = cache.object(key)) {
        layout_ = *found;
        return *layout_;
    }
    // CR LF breaks a line; longer lines wrap inside the label. Each line
    // takes exactly the font's pixel height, so the log scrolls by whole lines.
    QString text = caption_;
    text.remove(QLatin1Char('\r'));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    // Lines break at spaces and between Japanese characters, never inside
    // a Latin word.
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    option.setAlignment(align_ == Align::Right    ? Qt::AlignRight
                        : align_ == Align::Center ? Qt::AlignHCenter
                                                  : Qt::AlignLeft);
    auto layout = std::make_shared<QTextLayout>(text, fittedFont(text, textRect.width()));
    layout->setTextOption(option);
    const int step = lineHeight();
    const QFontMetricsF metrics(font());
    const double lead = (step - metrics.height()) / 2.0;
    layout->beginLayout();
    int y = 0;
    while (true) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(textRect.width());
        line.setPosition(QPointF(0, y + lead));
        y += step;
        if (y - step > textRect.height())
            break;
    }
    layout->endLayout();
    cache.insert(key, new SharedLayout(layout));
    layout_ = std::move(layout);
    return *layout_;
}

namespace {
// Looks of opaque labels by caption, colours, font, size, alignment and
// border. The key grid and the number rows show a few dozen one-digit
// looks over and over; only those are shared. Any other label keeps just
// its own current look: scores and lines are new all the time, and keeping
// them would grow the cache with every game played.
constexpr int kSharedLookChars = 1;
constexpr int kShortLooksKept = 256;
struct LookKey {
    QString caption, font;
    QRgb fore, back;
    int width, height, align;
    bool border;
    bool operator==(const LookKey&) const = default;
};
size_t qHash(const LookKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.caption, k.font, k.fore, k.back, k.width, k.height, k.align, k.border);
}
using SharedLook = std::shared_ptr<const QImage>;
QCache<LookKey, SharedLook>& lookCache()
{
    static QCache<LookKey, SharedLook> looks(kShortLooksKept);
    return looks;
}
}  // namespace

const QImage& Label::look() const
{
    if (look_)
        return *look_;
    const bool isShort = caption_.size() <= kSharedLookChars;
    const LookKey key{caption_,          fontKey_,          fore_.rgba(),
                      back_.rgba(),      QWidget::width(),  QWidget::height(),
                      int(align_),       border_};
    if (isShort) {
        if (const SharedLook* found = lookCache().object(key)) {
            look_ = *found;
            return *look_;
        }
    }
    // Drawn into an image exactly as onto the window: the same painting
    // code, on whole pixels, in the window's own opaque format, so copying
    // it changes no pixel.
    auto image = std::make_shared<QImage>(size(), QImage::Format_RGB32);
    {
        QPainter painter(image.get());
        drawLook(painter);
    }
    if (isShort)
        lookCache().insert(key, new SharedLook(image));
    look_ = std::move(image);
    return *look_;
}

void Label::paintOn(QPainter& painter) const
{
    // A label that covers its rectangle is copied from its look; one that
    // lets the window show through is drawn where it stands.
    // Only at one device pixel to a pixel: on a zoomed screen a look drawn
    // apart sets a few glyph edge pixels differently.
    const qreal ratio = painter.device()->devicePixelRatio();
    if (transparent_ || back_.alpha() != 255 || width() <= 0 || height() <= 0 ||
        ratio != 1) {
        drawLook(painter);
        return;
    }
    painter.drawImage(QPoint(0, 0), look());
}

void Label::drawLook(QPainter& painter) const
{
    if (!transparent_)
        painter.fillRect(rect(), back_);
    const int inset = border_ ? 1 : 0;
    const QRect textRect = rect().adjusted(inset, inset, -inset, -inset);
    if (!caption_.isEmpty()) {
        painter.save();
        painter.setClipRect(textRect, Qt::IntersectClip);
        painter.setPen(fore_);
        textLayout(textRect).draw(&painter, textRect.topLeft());
        painter.restore();
    }
    if (border_)
        drawFrame(painter, rect(), kLabelBorder);
}

// ------------------------------------------------------------------ Image

Image::Image(QWidget* parent) : Control(parent) {}

void Image::setPicture(const Picture& picture)
{
    picture_ = picture;
    if (picture_ && !picture_->isNull()) {
        // The control takes the picture's size and keeps its top-left corner.
        width_ = picture_->width() * kTwipsPerPixel;
        height_ = picture_->height() * kTwipsPerPixel;
        applyGeometry();
    }
    redraw();
}

void Image::setBorder(bool border)
{
    border_ = border;
    redraw();
}

void Image::paintOn(QPainter& painter) const
{
    if (picture_)
        drawPicture(painter, 0, 0, *picture_);
    if (border_)
        drawFrame(painter, rect(), kLabelBorder);
}

void Image::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && onClick) {
        event->accept();
        onClick();
        return;
    }
    Control::mousePressEvent(event);
}

// ------------------------------------------------------------------ Shape

Shape::Shape(QWidget* parent) : Control(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setBorderColor(const QColor& color)
{
    color_ = color;
    redraw();
}

void Shape::setBorderWidth(int pixels)
{
    borderPixels_ = pixels;
    redraw();
}

void Shape::paintOn(QPainter& painter) const
{
    drawFrame(painter, rect(), color_, borderPixels_);
}

// ------------------------------------------------------------------- Line

Line::Line(QWidget* parent) : Control(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Line::setPoints(double x1, double y1, double x2, double y2)
{
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    place();
}

void Line::setColor(const QColor& color)
{
    color_ = color;
    redraw();
}

void Line::setLineWidth(int pixels)
{
    pixels_ = pixels;
    place();
}

void Line::place()
{
    // The game's lines are all level or upright. The widget covers the
    // line's thickness around its path: a level line from x1 up to x2 (the
    // end point itself not drawn) and rows y-1 and y for a line two pixels
    // thick.
    const int half = pixels_ / 2;
    const int ax = twipsToPixels(std::min(x1_, x2_)), bx = twipsToPixels(std::max(x1_, x2_));
    const int ay = twipsToPixels(std::min(y1_, y2_)), by = twipsToPixels(std::max(y1_, y2_));
    const bool upright = ax == bx;
    left_ = (upright ? ax - half : ax) * kTwipsPerPixel;
    top_ = (upright ? ay : ay - half) * kTwipsPerPixel;
    width_ = (upright ? pixels_ : bx - ax) * kTwipsPerPixel;
    height_ = (upright ? by - ay : pixels_) * kTwipsPerPixel;
    applyGeometry();
    redraw();
}

void Line::paintOn(QPainter& painter) const
{
    // It fills its whole thickness exactly.
    painter.fillRect(rect(), color_);
}
