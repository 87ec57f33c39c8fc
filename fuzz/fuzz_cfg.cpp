// WQKport.cfg through the start-up's Checkconfig: a file naming LPT1..3 is taken as it
// stands; any other opens the port window (EXIT pressed at once), which changes nothing
// but writes the file anew; either way the file then reads back as the port in use.
#include "harness.h"
#include "port/config_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Program& p = fuzz::Program::get();
    WQK& w = p.w;
    p.reset();
    const fuzz::State& before = p.state();
    fuzz::Program::writeFile(portcfg::FileName, {reinterpret_cast<const char*>(data), size});
    const std::optional<double> number = portcfg::read(portcfg::FileName);
    bool opened = false;
    p.atNextDoEvents([&] {
        opened = !w.control<PictureBox>("CONFIGWINDOW")->isHidden();
        w.control<VbButton>("CONFIGEXIT")->click();
    });
    w.Checkconfig();
    FUZZ_CHECK(w.state().LptNumber >= 1 && w.state().LptNumber <= 3);
    if (opened) {
        p.unchanged(before, {"ConfigExitFlag"});
    } else {
        FUZZ_CHECK(number && *number == w.state().LptNumber);
        portcfg::write(portcfg::FileName, w.state().LptNumber); // as EXIT writes it
    }
    FUZZ_CHECK(portcfg::read(portcfg::FileName) == double(w.state().LptNumber));
    return 0;
}
