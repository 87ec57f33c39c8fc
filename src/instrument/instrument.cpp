// The instrument's life: the port it owns, start-up, detection, the power test and
// shutdown.
#include "instrument/instrument.h"

#include "device/commands.h"
#include "platform/clock.h"
#include "platform/msgbox.h"
#include "platform/port.h"
#include "port/config_file.h"

Instrument::Instrument(std::unique_ptr<plat::PortBackend> backend)
    : backend_(std::move(backend)), previousBackend_(plat::portBackend()) {
    if (backend_) plat::setPortBackend(backend_.get());
}

Instrument::~Instrument() {
    if (backend_) plat::setPortBackend(previousBackend_);
}

Instrument::Span::Span(int64_t& sum) : sum_(sum), t0_(plat::clock().nowNs()) {}
Instrument::Span::~Span() {
    sum_ += plat::clock().nowNs() - t0_;
}

proto::Link Instrument::link() const {
    return proto::Link{s.dataPort(), s.statusPort(), s.controlPort(), s.CmdPrefix};
}

proto::ChannelSettings Instrument::channelSettings() const {
    return proto::ChannelSettings{s.dcA(), s.rangeSelA() == 1, s.dcB(), s.rangeSelB() == 1};
}

capture::ReadOut Instrument::readOut() const {
    return capture::ReadOut{s.ReadCount, s.PreTrigCount, s.chanAOn()};
}

bool Instrument::openPort() {
    if (InitializeWinIo() || InitializeWinIo()) return true;
    plat::MsgBox("Printer port initialisation problem. Administrator privileges required to run "
                 "this program",
                 plat::Buttons::OK, "", plat::Icon::Critical);
    return false;
}

void Instrument::resetRecord() {
    s.reset();
    // The display window at its start: 512 samples from the first.
    s.XMagnify = 512;
    s.ScrollPos = 0;
}

bool Instrument::configurePort() {
    if (!readConfig()) view_->choosePort();
    if (view_->ended()) return false;
    initport();
    view_->portChanged();
    if (s.ModelCode == 0) {
        view_->choosePort();
        if (view_->ended()) return false;
        view_->portChanged();
    }
    // The sample counts of the first capture.
    s.ReadCount = 360;
    s.GenCount = 360;
    s.PreTrigCount = 1;
    view_->detected();
    // First commands to the instrument.
    ClearGeneratorMemory();
    SETCHAB();
    return true;
}

bool Instrument::startUp() {
    if (!openPort()) return false;
    resetRecord();
    if (!configurePort()) return false;
    settle();
    return true;
}

bool Instrument::readConfig() {
    if (auto n = portcfg::read(portcfg::FileName)) {
        // Only the whole numbers 1..3 are taken: anything else (0.5 would round to 0,
        // 3.5 to 4) leaves LptNumber as it is and the user chooses, so no port that does
        // not exist is shown or written back.
        const double v = *n;
        if (v == 1 || v == 2 || v == 3) {
            s.LptNumber = int16_t(v);
            return true;
        }
    }
    return false;
}

void Instrument::shutdown() {
    ShutdownWinIo();
}

void Instrument::initport() {
    int base = portcfg::baseAddress(s.LptNumber);
    // LptNumber is kept within 1..3; should it ever not be, stay on LPT1 rather than
    // address a port that does not exist.
    if (base == 0) base = cmd::Lpt1Base;
    s.DataPort = base + cmd::DataOffset;
    s.StatusPort = base + cmd::StatusOffset;
    s.ControlPort = base + cmd::ControlOffset;
    s.EcrPort = base + cmd::EcrOffset;
    const int dataReg = s.dataPort(), statusReg = s.statusPort(), controlReg = s.controlPort();
    const int ecr = base + cmd::EcrOffset;

    vbOut(ecr, cmd::EcrByteMode);
    vbOut(dataReg, 0);
    vbOut(controlReg, cmd::CtlIdle);
    vbOut(dataReg, s.CmdPrefix);
    vbOut(controlReg, cmd::CtlCommand);
    vbOut(dataReg, cmd::Idle);
    vbOut(controlReg, cmd::CtlIdle);
    vbOut(ecr, cmd::EcrByteMode);
    // The status lines that follow data bit 7 tell the model and its options.
    vbOut(dataReg, 0);
    const int s0 = vbInp(statusReg);
    vbOut(dataReg, cmd::DetectBit);
    const int s1 = vbInp(statusReg);

    s.StatusDiff = int16_t(s0 ^ s1);
    s.ChanBFitted = s.StatusDiff & cmd::StatusChanB;
    s.GenFitted = s.StatusDiff & cmd::StatusGenerator;
    s.ModelCode = int16_t((s.StatusDiff & cmd::StatusModel) >> cmd::StatusModelShift);
    s.RateFactor = (s.ModelCode == 2 || s.ModelCode == 3) ? 1.5f : 1.0f;
}

void Instrument::Testpower() {
    proto::CommandPulse(link(), cmd::Reset);
    s.PowerFault = 0;
    s.PowerFault = int16_t(vbInp(s.statusPort()) & cmd::StatusDone);
}
