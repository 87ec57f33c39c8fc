#include "host/display_overlay.h"

#include "app/wqk.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace host {

DisplayOverlay::DisplayOverlay(const WQK& w) : QWidget(w.control<PictureBox>("Picture1")), w_(w) {
    setObjectName("DisplayOverlay");
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(false);
    parentWidget()->installEventFilter(this);
    setGeometry(parentWidget()->rect());
    hide();
}

void DisplayOverlay::addLayer(OverlayLayer* layer) {
    layers_.push_back(layer);
    connect(layer, &OverlayLayer::changed, this, &DisplayOverlay::follow);
    follow();
}

analysis::DisplayMap DisplayOverlay::map() const {
    return analysis::displayMap(w_.state(), width(), height());
}

void DisplayOverlay::follow() {
    bool on = false;
    for (const OverlayLayer* l : layers_)
        on = on || l->active();
    setVisible(on);
    if (on) raise();
    update();
}

void DisplayOverlay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const analysis::DisplayMap m = map();
    for (const OverlayLayer* l : layers_)
        if (l->active()) {
            p.save();
            l->paint(p, m);
            p.restore();
        }
}

void DisplayOverlay::mousePressEvent(QMouseEvent* e) {
    const analysis::DisplayMap m = map();
    for (auto it = layers_.rbegin(); it != layers_.rend(); ++it)
        if ((*it)->active() && (*it)->press(e->position(), e->button(), m)) {
            dragging_ = *it;
            return;
        }
    e->ignore();
}

void DisplayOverlay::mouseMoveEvent(QMouseEvent* e) {
    if (dragging_) dragging_->drag(e->position(), map());
}

void DisplayOverlay::mouseReleaseEvent(QMouseEvent*) {
    if (dragging_) dragging_->release();
    dragging_ = nullptr;
}

void DisplayOverlay::keyPressEvent(QKeyEvent* e) {
    const analysis::DisplayMap m = map();
    for (auto it = layers_.rbegin(); it != layers_.rend(); ++it)
        if ((*it)->active() && (*it)->key(e->key(), e->modifiers(), m)) return;
    QWidget::keyPressEvent(e);
}

bool DisplayOverlay::event(QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            keyPressEvent(static_cast<QKeyEvent*>(e));
            return true;
        }
    }
    return QWidget::event(e);
}

bool DisplayOverlay::eventFilter(QObject* watched, QEvent* e) {
    if (watched == parentWidget() && e->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, e);
}

} // namespace host
