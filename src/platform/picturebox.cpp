#include "platform/picturebox.h"

#include "platform/design.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <algorithm>
#include <cmath>

namespace plat {

namespace {
constexpr size_t MaxTexts = 2000;
} // namespace

PictureBox::PictureBox(QWidget* parent, int designW, int designH)
    : QWidget(parent), designW_(designW), designH_(designH), scaleW_(designW), scaleH_(designH) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    image_.fill(toQColor(back_));
}

PictureBox::~PictureBox() {
    flush();
}

void PictureBox::setScale(double left, double top, double w, double h) {
    scaleLeft_ = left;
    scaleTop_ = top;
    scaleW_ = w;
    scaleH_ = h;
}

void PictureBox::resetScale() {
    setScale(0, 0, designW_, designH_);
}

double PictureBox::zoom() const {
    double zx = designW_ > 0 ? width() * 15.0 / designW_ : 1;
    double zy = designH_ > 0 ? height() * 15.0 / designH_ : 1;
    return std::max(0.05, std::min(zx, zy));
}

void PictureBox::ensureSize() {
    // A hidden widget gets its size before any resize event; draw at that size.
    QSize sz(std::max(1, width()), std::max(1, height()));
    if (image_.size() == sz) return;
    flush();
    if (image_.width() > 1 && image_.height() > 1) {
        const double sx = double(sz.width()) / image_.width(),
                     sy = double(sz.height()) / image_.height();
        for (Text& t : texts_) { // stretched with the picture
            t.baseline = QPointF(t.baseline.x() * sx, t.baseline.y() * sy);
            t.box = QRectF(t.box.x() * sx, t.box.y() * sy, t.box.width() * sx, t.box.height() * sy);
            t.font.setPixelSize(std::max(1, int(std::lround(t.font.pixelSize() * sy))));
        }
        image_ = image_.scaled(sz, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                     .convertToFormat(QImage::Format_RGB32);
    } else {
        image_ = QImage(sz, QImage::Format_RGB32);
        image_.fill(toQColor(back_));
    }
}

QPainter& PictureBox::painter() {
    ensureSize();
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
    }
    return *painter_;
}

void PictureBox::flush() {
    painter_.reset();
}

const QImage& PictureBox::image() {
    ensureSize();
    flush();
    return image_;
}

QColor PictureBox::pixel(int px, int py) {
    ensureSize();
    flush();
    if (px < 0 || py < 0 || px >= image_.width() || py >= image_.height()) return QColor();
    return QColor(image_.pixel(px, py));
}

void PictureBox::setBackColor(long c) {
    back_ = c;
    Cls();
}

void PictureBox::Cls() {
    ensureSize();
    flush();
    image_.fill(toQColor(back_));
    cut_.clear();
    texts_.clear();
    CurrentX = scaleLeft_;
    CurrentY = scaleTop_;
    update();
}

void PictureBox::applyPen(long colour, bool forText) {
    QPainter& p = painter();
    p.setCompositionMode(DrawMode == DrawNotXor && !forText
                             ? QPainter::RasterOp_NotSourceXorDestination
                             : QPainter::CompositionMode_SourceOver);
    QPen pen(toQColor(colour));
    pen.setWidth(std::max(1, DrawWidth));
    pen.setCapStyle(Qt::FlatCap);
    pen.setStyle(DrawStyle == StyleDot ? Qt::DotLine : Qt::SolidLine);
    if (DrawWidth <= 1) pen.setCosmetic(true);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
}

void PictureBox::Line(double x1, double y1, double x2, double y2) {
    Line(x1, y1, x2, y2, ForeColor);
}

void PictureBox::Line(double x1, double y1, double x2, double y2, long colour) {
    applyPen(colour);
    QPointF a = map(x1, y1), b = map(x2, y2);
    if (a == b)
        painter().drawPoint(a);
    else
        painter().drawLine(a, b);
    CurrentX = x2;
    CurrentY = y2;
    update();
}

void PictureBox::Box(double x1, double y1, double x2, double y2, long colour, bool filled) {
    applyPen(colour);
    QRectF r(map(x1, y1), map(x2, y2));
    if (filled) {
        painter().fillRect(r.normalized(), toQColor(colour));
        forgetTextsUnder(r.normalized());
    } else
        painter().drawRect(r.normalized());
    CurrentX = x2;
    CurrentY = y2;
    update();
}

void PictureBox::PSet(double x, double y) {
    PSet(x, y, ForeColor);
}

void PictureBox::PSet(double x, double y, long colour) {
    applyPen(colour);
    painter().drawPoint(map(x, y));
    CurrentX = x;
    CurrentY = y;
    update();
}

void PictureBox::ColumnRuns(const int* x, const int* top, const int* bottom, int n) {
    if (n <= 0) return;
    ensureSize();
    flush(); // nothing may be pending in the painter: the pixels are written directly
    const QRgb colour = toQColor(ForeColor).rgb();
    const bool notXor = DrawMode == DrawNotXor;
    const int w = image_.width(), h = image_.height();
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (int i = 0; i < n; ++i) {
        if (x[i] < 0 || x[i] >= w) continue;
        const int y0 = std::max(0, top[i]), y1 = std::min(h - 1, bottom[i]);
        for (int y = y0; y <= y1; ++y) {
            QRgb& p = reinterpret_cast<QRgb*>(bits + y * stride)[x[i]];
            p = notXor ? (~(colour ^ p) | 0xFF000000u) : colour;
        }
    }
    update();
}

QFont PictureBox::currentFont() const {
    QFont f(QString::fromStdString(FontName));
    // Point sizes are those of the design; they scale with the widget.
    f.setPixelSize(std::max(1, int(std::lround(FontSize * 96.0 / 72.0 * zoom()))));
    f.setBold(FontBold);
    return f;
}

double PictureBox::TextWidth(const std::string& text) const {
    QFontMetricsF fm(currentFont());
    double px = fm.horizontalAdvance(QString::fromStdString(text));
    return width() > 0 ? px * scaleW_ / width() : 0;
}

double PictureBox::TextHeight(const std::string&) const {
    QFontMetricsF fm(currentFont());
    return height() > 0 ? fm.height() * scaleH_ / height() : 0;
}

void PictureBox::Print(const std::string& text, bool newline) {
    QPainter& p = painter();
    QFont f = currentFont();
    p.setFont(f);
    QFontMetricsF fm(f);
    QString s = QString::fromStdString(text);
    QPointF topLeft = map(CurrentX, CurrentY);
    QRectF r(topLeft, QSizeF(fm.horizontalAdvance(s), fm.height()));
    if (r.right() > image_.width() + 0.5 || r.bottom() > image_.height() + 0.5)
        cut_.push_back(text);
    if (!FontTransparent) {
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.fillRect(r, toQColor(back_));
        forgetTextsUnder(r);
    }
    applyPen(ForeColor, true);
    const QPointF baseline(topLeft.x(), topLeft.y() + fm.ascent());
    p.drawText(baseline, s);
    if (!s.trimmed().isEmpty()) texts_.push_back({baseline, r, f, toQColor(ForeColor), s});
    // A box printed into again and again without Cls keeps its latest texts only.
    if (texts_.size() > MaxTexts) texts_.erase(texts_.begin());
    if (newline) {
        CurrentX = scaleLeft_;
        CurrentY += TextHeight();
    } else {
        CurrentX += TextWidth(text);
    }
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    ensureSize();
    flush();
    QPainter p(this);
    p.drawImage(0, 0, image_);
    if (p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Pdf) paintTexts(p);
}

void PictureBox::forgetTextsUnder(const QRectF& r) {
    texts_.erase(std::remove_if(texts_.begin(), texts_.end(),
                                [&r](const Text& t) { return t.box.intersects(r); }),
                 texts_.end());
}

void PictureBox::paintTexts(QPainter& p) const {
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (const Text& t : texts_) {
        p.setFont(t.font);
        p.setPen(t.colour);
        p.drawText(t.baseline, t.text);
    }
    p.restore();
}

void PictureBox::resizeEvent(QResizeEvent*) {
    // Keep what was drawn, stretched, until the owner redraws at the new size.
    ensureSize();
    relayoutChildren(this, designW_, designH_);
    emit resized();
}

void PictureBox::place(QWidget* w, int x, int y, int width, int height, double fontPt) {
    placeChild(this, w, x, y, width, height, fontPt);
    relayoutChildren(this, designW_, designH_);
}

void PictureBox::mousePressEvent(QMouseEvent* e) {
    pressed_ = true;
    emit mouseDown(int(e->button()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* e) {
    emit mouseUp(int(e->button()));
    if (pressed_ && rect().contains(e->position().toPoint())) emit clicked();
    pressed_ = false;
}

} // namespace plat
