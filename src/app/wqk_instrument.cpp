// The window as the instrument's view, and the instrument's procedures under the names
// the window has always had.
#include "app/wqk.h"
#include "display/paint.h"
#include "instrument/instrument.h"
#include "platform/clock.h"
#include "platform/colours.h"

#include <QSignalBlocker>

class WQK::WindowView : public InstrumentView {
  public:
    explicit WindowView(WQK& w) : w_(w) {}
    void showRunMessage(const char* line1, const char* line2) override {
        w_.showRunMessage(line1, line2);
    }
    void hideRunMessage() override { w_.Trigwait->hide(); }
    void runStarted() override { w_.lockForRun(); }
    void runEnded() override { w_.unlockAfterRun(); }
    void captureRecorded() override {
        w_.DSAMPLE();
        if (w_.s.DelayMode == 0) w_.HScroll1->setValue(0);
        // Whether the capture came with its trigger shows beside AUTO.
        if (w_.instrument().autoTrigger()) w_.TRIGGER();
    }
    void redraw() override { w_.HScroll1_Change(); }
    void waveUpdated() override { w_.showNewWave(); }
    void loadCustomWave() override { w_.loadCustomWave(); }
    void choosePort() override { w_.Configport(); }
    void portChanged() override { w_.updateTitle(); }
    void detected() override { w_.showDetectionByte(); }
    bool ended() const override { return w_.ended(); }
    bool enabled(const char* control, const InstrumentState&) const override {
        const QWidget* c = w_.findChild<QWidget*>(control);
        return c && c->isEnabled() && !c->isHidden();
    }
    void settingsChanged(const char*) override { w_.showSettings(); }
    bool profileLoaded() override {
        // As the load window and the LOAD button after a profile.
        w_.profileapply();
        w_.HScroll1_Change();
        emit w_.loaded(Load::Profile);
        return true;
    }

  private:
    WQK& w_;
};

std::unique_ptr<InstrumentView> WQK::makeView() {
    return std::make_unique<WindowView>(*this);
}

void WQK::showSettings() {
    {
        // The bars take the record's window (a setting may have moved it), and the
        // redraw cuts it to the buffer as it cuts a dragged one.
        QSignalBlocker b1(HScroll1), b2(HScroll2);
        HScroll2->setRange(256, InstrumentState::LastIndex);
        HScroll2->setValue(int(s.xMagnify()));
        HScroll1->setRange(0, InstrumentState::LastIndex);
        HScroll1->setValue(int(s.scrollPos()));
    }
    showChannels();
    showMode(false);
    DSAMPLE();
    trcursdraw();
    DelayWin->Cls();
    const bool delay = s.DelayMode == 1;
    display::setBack(DelayWin, delay ? colours::Pink : colours::LightGreen);
    display::printAt(DelayWin, 0, 20, delay ? "   Delay" : "  Normal");
    HScroll2_Change();
}

void WQK::showRunMessage(const char* line1, const char* line2) {
    // Shown before drawing: a hidden box takes its real size only when shown.
    Trigwait->show();
    Trigwait->raise();
    Trigwait->Cls();
    Trigwait->Print(line1);
    Trigwait->Print(line2);
}

proto::Link WQK::link() const {
    return inst_->link();
}
proto::ChannelSettings WQK::channelSettings() const {
    return inst_->channelSettings();
}
capture::ReadOut WQK::readOut() const {
    return inst_->readOut();
}

void WQK::initport() {
    inst_->initport();
}
void WQK::Checkconfig() {
    if (!inst_->readConfig()) Configport();
}
void WQK::Testpower() {
    inst_->Testpower();
}
void WQK::ClearGeneratorMemory() {
    inst_->ClearGeneratorMemory();
}
void WQK::SETMAXLOOP() {
    inst_->SETMAXLOOP();
}
void WQK::SETCHAB() {
    inst_->SETCHAB();
}
void WQK::reloadloop() {
    inst_->reloadloop();
}
void WQK::ADCconvert() {
    inst_->ADCconvert();
}
void WQK::autoconvert() {
    inst_->autoconvert();
}
void WQK::trigconvert() {
    inst_->trigconvert();
}
void WQK::readbufferA() {
    inst_->readbufferA();
}
void WQK::readbufferB() {
    inst_->readbufferB();
}
void WQK::DACWRITE() {
    inst_->DACWRITE();
}
void WQK::DACCONT() {
    inst_->DACCONT();
}
void WQK::DACGEN() {
    inst_->DACGEN();
}
void WQK::DACADCONCE() {
    inst_->DACADCONCE();
}
void WQK::DACADC() {
    inst_->DACADC();
}
