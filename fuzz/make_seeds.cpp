// Writes the seeds of the fuzz targets: files the program itself saves, in each mode,
// after captures on the simulated instrument.   make_seeds DIR  (./scripts/fuzz seeds)
#include "harness.h"
#include "port/config_file.h"

#include <QDir>

namespace {

std::string out;

void put(const std::string& target, const std::string& name, const std::string& bytes) {
    QDir().mkpath(QString::fromStdString(out + "/" + target));
    fuzz::Program::writeFile(out + "/" + target + "/" + name, bytes);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    out = QDir::current().absoluteFilePath(argv[1]).toStdString();
    fuzz::Program& p = fuzz::Program::get();
    WQK& w = p.w;

    // SCOPE: a capture of the simulated sine (range 1.2 V, 20 kS/s), then the cursor, a
    // trigger level and A+B.
    w.control<VbButton>("Command3")->click();
    w.SRATEN_MouseDown();
    w.SRATEN_MouseDown();
    w.control<VbButton>("GOBUTTON")->click();
    put("signal", "scope.wqk", p.save(&WQK::chabsave));
    w.state().ExportABReq = 1;
    put("csv", "scope.csv", p.save(&WQK::exportab));
    put("profile", "scope.dpf", p.save(&WQK::profilesave));
    w.Command23_Click();
    w.TMODEBUTTON_MouseDown();
    w.TriglevelBUTTON_MouseDown();
    w.Command20_Click();
    w.YMagAbutton_Click();
    w.scrolldownA_Click();
    w.SSIZEP_MouseDown();
    w.DelayWin_Click();
    w.TRESETBUTTON_Click();
    put("profile", "scope-cursor-level-sum.dpf", p.save(&WQK::profilesave));

    // FFT: the spectra of a capture.
    p.reset();
    w.control<VbButton>("FFTbutton")->click();
    w.control<VbButton>("Command3")->click();
    w.control<VbButton>("GOBUTTON")->click();
    put("signal", "spectra.fft", p.save(&WQK::fftabsave));
    w.state().ExportABReq = 0;
    put("csv", "spectra.csv", p.save(&WQK::exportab));
    put("profile", "fft.dpf", p.save(&WQK::profilesave));

    // GENERATOR: each built-in style, a sweep, and the custom mode.
    p.reset();
    w.SCOPEMODE_Click();
    for (const char* style : {"sine", "triangle", "ramp", "square"}) {
        w.GENUPDATEBUTTON_Click();
        put("raw", std::string("normal-") + style + ".dcg", p.save(&WQK::customsave));
        put("profile", std::string("generator-") + style + ".dpf", p.save(&WQK::profilesave));
        w.GENSTYLEBUTTON_MouseDown();
    }
    w.GENMODEBUTTON_MouseDown();
    w.GENUPDATEBUTTON_Click();
    put("raw", "sweep.dcg", p.save(&WQK::customsave));
    put("profile", "generator-sweep.dpf", p.save(&WQK::profilesave));
    w.GENMODEBUTTON_MouseDown();
    put("raw", "custom.dcg", p.save(&WQK::customsave));
    put("profile", "generator-custom.dpf", p.save(&WQK::profilesave));

    // SCOPE+GEN: one generate-and-sample run of the sine through the simulated RC filter.
    p.reset();
    w.SCOPEMODE_Click();
    w.SCOPEMODE_Click();
    w.control<VbButton>("GOBUTTON")->click();
    put("signal", "scope-gen.wqk", p.save(&WQK::chabsave));
    w.state().ExportABReq = 1;
    put("csv", "scope-gen.csv", p.save(&WQK::exportab));
    put("profile", "scope-gen.dpf", p.save(&WQK::profilesave));

    for (int lpt = 1; lpt <= 3; ++lpt) {
        QDir().mkpath(QString::fromStdString(out + "/cfg"));
        portcfg::write(out + "/cfg/lpt" + std::to_string(lpt) + ".cfg", lpt);
    }

    // SCPI: what a lab script sends, after the byte that picks the size of the pieces.
    const std::pair<const char*, std::string> scpi[] = {
        {"setup", ":ACQ:SRAT 200 KHZ;POIN 4096;:CHAN1:RANG 1.2;COUP DC;:TRIG:MODE NORM;LEV 0\n"},
        {"queries", "*IDN?;:SING;*OPC?\nWAV:SOUR CHAN2;FORM WORD;:WAV:PRE?;DATA?\nSYST:ERR?\n"},
        {"block", std::string("INST:MODE GEN;:SOUR:CUST:DATA #15\n\x00;\xff#\n", 39) + "*OPC\n"},
        {"data", "MEAS:FREQ? CHAN1;VPP? MATH\nSPEC:WIND HANN;PEAK? CHAN1,3\n'it''s' #H1F,#Q7\n"},
    };
    for (const auto& [name, text] : scpi)
        put("scpi", std::string(name) + ".txt", "\x07" + text);
    return 0;
}
