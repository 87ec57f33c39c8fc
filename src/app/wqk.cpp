#include "app/wqk.h"

#include "instrument/instrument.h"

#include "platform/msgbox.h"
#include "platform/port.h"

#include <QCloseEvent>
#include <QTimer>

WQK::WQK(QWidget* parent)
    : QWidget(parent), inst_(std::make_unique<Instrument>()), view_(makeView()),
      s(inst_->editRecord()) {
    setObjectName("WQK");
    inst_->setView(view_.get());
    connect(inst_.get(), &Instrument::captured, this, &WQK::captured);
    plat::useMessageDialog();
    createControls();
    connectHandlers();
    Form_Load();
}

WQK::~WQK() {
    if (activated_ && !unloaded_) Form_Unload();
    inst_->setView(nullptr);
}

void WQK::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // The start-up runs once the window is first shown, outside the show call itself.
    if (!activated_) QTimer::singleShot(0, this, [this] { activate(); });
}

void WQK::closeEvent(QCloseEvent* e) {
    // However the window is closed, the port library is released.
    if (!unloaded_) Form_Unload();
    ended_ = true;
    e->accept();
    if (onEnd) onEnd(0);
}

void WQK::activate() {
    if (activated_) return;
    activated_ = true;
    Form_Activate();
    if (ended_) return;
    started_ = true;
    emit started();
}
