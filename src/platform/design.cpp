#include "platform/design.h"

#include "platform/picturebox.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVariant>
#include <cmath>

namespace plat {

namespace {
// Arial runs wider than the narrow system font the captions were sized for.
constexpr double CaptionWidth = 0.85;
} // namespace

void fitFont(QFont& f, double pt, double zoom, const QString& text, int room) {
    int px = std::max(1, int(std::lround(pt * 96.0 / 72.0 * zoom * CaptionWidth)));
    f.setPixelSize(px);
    // A caption too wide for its control is drawn smaller rather than cut.
    while (px > 1 && QFontMetrics(f).horizontalAdvance(text) > room)
        f.setPixelSize(--px);
}

DesignPanel::DesignPanel(QWidget* parent, int designW, int designH)
    : QWidget(parent), designW_(designW), designH_(designH) {}

double DesignPanel::zoom() const {
    double zx = width() * 15.0 / designW_, zy = height() * 15.0 / designH_;
    return std::max(0.05, std::min(zx, zy));
}

void DesignPanel::place(QWidget* w, int x, int y, int width, int height, double fontPt) {
    placeChild(this, w, x, y, width, height, fontPt);
    relayout();
}

void DesignPanel::resizeEvent(QResizeEvent*) {
    relayout();
}

void DesignPanel::relayout() {
    relayoutChildren(this, designW_, designH_);
}

void placeChild(QWidget* parent, QWidget* w, int x, int y, int width, int height, double fontPt) {
    w->setParent(parent);
    w->setProperty("designRect", QRect(x, y, width, height));
    w->setProperty("designFont", fontPt);
    if (auto* b = qobject_cast<VbButton*>(w)) b->setFontSize(fontPt);
}

void relayoutChildren(QWidget* parent, int designW, int designH) {
    const double sx = double(parent->width()) / designW, sy = double(parent->height()) / designH;
    const double z = std::max(0.05, std::min(sx * 15.0, sy * 15.0));
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w) continue;
        QVariant v = w->property("designRect");
        if (!v.isValid()) continue;
        QRect r = v.toRect();
        int x0 = int(std::lround(r.x() * sx)), y0 = int(std::lround(r.y() * sy));
        int x1 = int(std::lround((r.x() + r.width()) * sx));
        int y1 = int(std::lround((r.y() + r.height()) * sy));
        w->setGeometry(x0, y0, std::max(1, x1 - x0), std::max(1, y1 - y0));
        if (auto* b = qobject_cast<VbButton*>(w)) b->setZoom(z);
        if (auto* l = qobject_cast<QLabel*>(w)) {
            QFont f = l->font();
            fitFont(f, w->property("designFont").toDouble(), z, l->text(),
                    l->contentsRect().width());
            l->setFont(f);
        }
    }
}

VbButton::VbButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setFocusPolicy(Qt::StrongFocus);
    // Captions fill small buttons as in the design; the default padding would clip them.
    setStyleSheet("QPushButton { padding: 0px 1px; }");
    applyFont();
}

void VbButton::setFontBold(bool b) {
    bold_ = b;
    applyFont();
}

bool VbButton::fontBold() const {
    return bold_;
}

void VbButton::setFontSize(double pt) {
    fontPt_ = pt;
    applyFont();
}

void VbButton::setZoom(double z) {
    zoom_ = z;
    applyFont();
}

void VbButton::setCaption(const std::string& s) {
    setText(QString::fromStdString(s));
    applyFont();
}

int VbButton::captionRoom() const {
    QStyleOptionButton opt;
    initStyleOption(&opt);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &opt, this).width();
}

void VbButton::applyFont() {
    QFont f("Arial");
    f.setBold(bold_);
    fitFont(f, fontPt_, zoom_, text(), captionRoom());
    setFont(f);
}

void VbButton::setBackColor(long colour) {
    back_ = colour;
    QColor c = toQColor(colour);
    setStyleSheet(
        QString("QPushButton { background-color: %1; border: 1px solid #666; padding: 0px 1px; }"
                "QPushButton:disabled { color: #888; }")
            .arg(c.name()));
}

// MouseDown and MouseUp come for every mouse button; only the left one clicks.
void VbButton::mousePressEvent(QMouseEvent* e) {
    QPushButton::mousePressEvent(e);
    e->accept();
    if (isEnabled()) emit mouseDown();
}

void VbButton::mouseReleaseEvent(QMouseEvent* e) {
    QPushButton::mouseReleaseEvent(e);
    e->accept();
    emit mouseUp();
}

void VbButton::keyPressEvent(QKeyEvent* e) {
    emit keyDown(e->key());
    if (!e->text().isEmpty()) emit keyPress(e->key());
    QPushButton::keyPressEvent(e);
}

} // namespace plat
