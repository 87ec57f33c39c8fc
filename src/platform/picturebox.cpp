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
// Calls kept for a new size; a box drawn into more often than this without a Cls (a
// cursor moved for a long time) is stretched instead until its next Cls.
constexpr size_t MaxOps = 20000;

QImage blank(QSize pixels, double ratio, long back) {
    QImage img(pixels, QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(toQColor(back));
    return img;
}
} // namespace

PictureBox::PictureBox(QWidget* parent, int designW, int designH)
    : QWidget(parent), designW_(designW), designH_(designH), scaleW_(designW), scaleH_(designH) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_ = blank(pixelSize(), devicePixelRatioF(), back_);
}

PictureBox::~PictureBox() {
    flush();
}

QSize PictureBox::pixelSize() const {
    const double r = devicePixelRatioF();
    return {std::max(1, int(std::lround(width() * r))),
            std::max(1, int(std::lround(height() * r)))};
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
    const QSize sz = pixelSize();
    if (image_.size() == sz && image_.devicePixelRatio() == devicePixelRatioF()) return;
    flush();
    redrawAll(sz);
}

void PictureBox::redrawAll(QSize pixels) {
    const QImage old = image_;
    image_ = blank(pixels, devicePixelRatioF(), back_);
    if (replayable_) {
        // Everything since the Cls again, at the new size: texts and lines stay sharp.
        texts_.clear();
        cut_.clear();
        replaying_ = true;
        for (const Op& o : ops_)
            draw(o);
        flush();
        replaying_ = false;
        return;
    }
    if (old.width() <= 1 || old.height() <= 1) return;
    const double sx = double(pixels.width()) / old.width(),
                 sy = double(pixels.height()) / old.height();
    for (Text& t : texts_) { // stretched with the picture
        t.baseline = QPointF(t.baseline.x() * sx, t.baseline.y() * sy);
        t.box = QRectF(t.box.x() * sx, t.box.y() * sy, t.box.width() * sx, t.box.height() * sy);
        t.font.setPixelSize(std::max(1, int(std::lround(t.font.pixelSize() * sy))));
    }
    image_ = old.scaled(pixels, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                 .convertToFormat(QImage::Format_RGB32);
    image_.setDevicePixelRatio(devicePixelRatioF());
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
    ops_.clear();
    replayable_ = true;
    CurrentX = scaleLeft_;
    CurrentY = scaleTop_;
    update();
}

void PictureBox::applyPen(long colour, int mode, int style, int width, bool forText) {
    QPainter& p = painter();
    p.setCompositionMode(mode == DrawNotXor && !forText ? QPainter::RasterOp_NotSourceXorDestination
                                                        : QPainter::CompositionMode_SourceOver);
    QPen pen(toQColor(colour));
    pen.setWidth(std::max(1, width));
    pen.setCapStyle(Qt::FlatCap);
    pen.setStyle(style == StyleDot ? Qt::DotLine : Qt::SolidLine);
    if (width <= 1) {
        // One pixel of the design: as many of the screen's as it has for one.
        pen.setCosmetic(true);
        pen.setWidth(std::max(1, int(std::lround(devicePixelRatioF()))));
    }
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
}

PictureBox::Op PictureBox::op(Op::Kind k, double x1, double y1, double x2, double y2,
                              long colour) const {
    Op o;
    o.kind = k;
    o.x1 = x1, o.y1 = y1, o.x2 = x2, o.y2 = y2;
    o.scale[0] = scaleLeft_, o.scale[1] = scaleTop_, o.scale[2] = scaleW_, o.scale[3] = scaleH_;
    o.colour = colour;
    o.back = back_;
    o.mode = DrawMode, o.style = DrawStyle, o.width = DrawWidth;
    return o;
}

void PictureBox::record(Op o) {
    draw(o);
    if (replaying_ || !replayable_) return;
    if (ops_.size() >= MaxOps) {
        replayable_ = false;
        ops_.clear();
        return;
    }
    ops_.push_back(std::move(o));
}

void PictureBox::draw(const Op& o) {
    switch (o.kind) {
    case Op::Kind::Line: {
        applyPen(o.colour, o.mode, o.style, o.width);
        const QPointF a = at(o, o.x1, o.y1), b = at(o, o.x2, o.y2);
        if (a == b)
            painter().drawPoint(a);
        else
            painter().drawLine(a, b);
        break;
    }
    case Op::Kind::Box:
    case Op::Kind::Fill: {
        applyPen(o.colour, o.mode, o.style, o.width);
        const QRectF r = QRectF(at(o, o.x1, o.y1), at(o, o.x2, o.y2)).normalized();
        if (o.kind == Op::Kind::Fill) {
            painter().fillRect(r, toQColor(o.colour));
            forgetTextsUnder(r);
        } else {
            painter().drawRect(r);
        }
        break;
    }
    case Op::Kind::Point:
        applyPen(o.colour, o.mode, o.style, o.width);
        painter().drawPoint(at(o, o.x1, o.y1));
        break;
    case Op::Kind::Text:
        drawText(o);
        break;
    case Op::Kind::Runs:
        drawRuns(o);
        break;
    }
}

void PictureBox::Line(double x1, double y1, double x2, double y2) {
    Line(x1, y1, x2, y2, ForeColor);
}

void PictureBox::Line(double x1, double y1, double x2, double y2, long colour) {
    record(op(Op::Kind::Line, x1, y1, x2, y2, colour));
    CurrentX = x2;
    CurrentY = y2;
    update();
}

void PictureBox::Box(double x1, double y1, double x2, double y2, long colour, bool filled) {
    record(op(filled ? Op::Kind::Fill : Op::Kind::Box, x1, y1, x2, y2, colour));
    CurrentX = x2;
    CurrentY = y2;
    update();
}

void PictureBox::PSet(double x, double y) {
    PSet(x, y, ForeColor);
}

void PictureBox::PSet(double x, double y, long colour) {
    record(op(Op::Kind::Point, x, y, x, y, colour));
    CurrentX = x;
    CurrentY = y;
    update();
}

void PictureBox::ColumnRuns(const int* x, const int* top, const int* bottom, int n) {
    if (n <= 0) return;
    ensureSize();
    Op o = op(Op::Kind::Runs, 0, 0, 0, 0, ForeColor);
    o.xs.assign(x, x + n);
    o.tops.assign(top, top + n);
    o.bottoms.assign(bottom, bottom + n);
    o.at = image_.size();
    record(std::move(o));
    update();
}

void PictureBox::drawRuns(const Op& o) {
    flush(); // nothing may be pending in the painter: the pixels are written directly
    const QRgb colour = toQColor(o.colour).rgb();
    const bool notXor = o.mode == DrawNotXor;
    const int w = image_.width(), h = image_.height();
    // Runs worked out for another size land on the same places of this one.
    const double sx = double(w) / o.at.width(), sy = double(h) / o.at.height();
    const bool same = o.at == image_.size();
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (size_t i = 0; i < o.xs.size(); ++i) {
        const int c0 = same ? o.xs[i] : int(o.xs[i] * sx);
        const int c1 = same ? o.xs[i] : std::max(c0, int((o.xs[i] + 1) * sx) - 1);
        const int r0 = same ? o.tops[i] : int(o.tops[i] * sy);
        const int r1 = same ? o.bottoms[i] : std::max(r0, int((o.bottoms[i] + 1) * sy) - 1);
        for (int c = std::max(0, c0); c <= std::min(w - 1, c1); ++c)
            for (int y = std::max(0, r0); y <= std::min(h - 1, r1); ++y) {
                QRgb& p = reinterpret_cast<QRgb*>(bits + y * stride)[c];
                p = notXor ? (~(colour ^ p) | 0xFF000000u) : colour;
            }
    }
}

QFont PictureBox::fontOf(const std::string& name, double size, bool bold) const {
    QFont f(QString::fromStdString(name));
    // Point sizes are those of the design; they scale with the widget.
    f.setPixelSize(std::max(1, int(std::lround(size * 96.0 / 72.0 * zoom()))));
    f.setBold(bold);
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
    Op o = op(Op::Kind::Text, CurrentX, CurrentY, 0, 0, ForeColor);
    o.text = text;
    o.font = FontName;
    o.fontSize = FontSize;
    o.bold = FontBold;
    o.transparent = FontTransparent;
    record(std::move(o));
    if (newline) {
        CurrentX = scaleLeft_;
        CurrentY += TextHeight();
    } else {
        CurrentX += TextWidth(text);
    }
    update();
}

void PictureBox::drawText(const Op& o) {
    QPainter& p = painter();
    const QFont f = fontOf(o.font, o.fontSize, o.bold);
    p.setFont(f);
    QFontMetricsF fm(f);
    const QString s = QString::fromStdString(o.text);
    const QPointF topLeft = at(o, o.x1, o.y1);
    const QRectF r(topLeft, QSizeF(fm.horizontalAdvance(s), fm.height()));
    if (r.right() > width() + 0.5 || r.bottom() > height() + 0.5) cut_.push_back(o.text);
    if (!o.transparent) {
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.fillRect(r, toQColor(o.back));
        forgetTextsUnder(r);
    }
    applyPen(o.colour, o.mode, o.style, o.width, true);
    const QPointF baseline(topLeft.x(), topLeft.y() + fm.ascent());
    p.drawText(baseline, s);
    if (!s.trimmed().isEmpty()) texts_.push_back({baseline, r, f, toQColor(o.colour), s});
    // A box printed into again and again without Cls keeps its latest texts only.
    if (texts_.size() > MaxTexts) texts_.erase(texts_.begin());
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
    // What was drawn, drawn again at the new size, until the owner redraws.
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
