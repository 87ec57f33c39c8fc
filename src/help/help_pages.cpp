// Texts of the user guide: the start page, the specifications of the two models and the
// pages about the program itself (ports, files, printing, contact).
#include "help/help_pages.h"

#include "platform/version.h"

// Set by the build from the CMake cache (WQK_CONTACT_URL, WQK_CONTACT_EMAIL) and the
// install prefix.
#ifndef WQK_CONTACT_URL
#define WQK_CONTACT_URL ""
#endif
#ifndef WQK_CONTACT_EMAIL
#define WQK_CONTACT_EMAIL ""
#endif
#ifndef WQK_README
#define WQK_README "README.md"
#endif

namespace help {

namespace {

// The figures in which the two models differ.
struct ModelFigures {
    const char* title;
    const char* maxRate;
    const char* minRate;
    const char* maxLength;
    const char* bandwidth;
    const char* fft;
    const char* sweepStarts1;
    const char* sweepStarts2;
    const char* customRates;
};

constexpr ModelFigures Model20{"WQK01 Technical Specifications (20MHz)",
                               "20 million samples per second",
                               "2000 samples per second",
                               "13 s with the 32K buffer",
                               "AC or DC by software, 10 MHz bandwidth",
                               "0 to 10 MHz",
                               "5, 10, 50, 100, 500, 1000,",
                               "5000, 10000, 50000, 100000 Hz",
                               "2K, 20K, 200K, 2M and 20M Hz"};

constexpr ModelFigures Model30{"WQK01 Technical Specifications (30MHz)",
                               "30 million samples per second",
                               "3000 samples per second",
                               "9 s with the 32K buffer",
                               "AC or DC by software, 15 MHz bandwidth",
                               "0 to 15 MHz",
                               "7.5, 15, 75, 150, 750, 1500,",
                               "7500, 15000, 75000, 150000 Hz",
                               "3K, 30K, 300K, 3M and 30M Hz"};

Page specificationsPage(const ModelFigures& m) {
    return Page{m.title,
                {H("SCOPE"),
                 V("Maximum sampling rate", m.maxRate),
                 V("Minimum sampling rate", m.minRate),
                 V("Maximum sample length", m.maxLength),
                 V("Buffer sizes", "2K, 4K, 8K, 16K, 32K samples per channel"),
                 V("Input ranges", "\u00b11.2 V and \u00b112 V (\u00b120 V with x10 probes)"),
                 V("Input modes", m.bandwidth),
                 V("Trigger", "instant or digitally triggered with + and - slopes"),
                 V("", "pretrigger OFF, 10 or 100 sample points"),
                 V("Stability at 20 \u00b0C", "zero reading \u00b12 bits, noise \u00b11 bit"),
                 V("FFT analyser", m.fft),
                 Gap(),
                 H("GENERATOR"),
                 V("Frequency range", "5 Hz to 500 kHz, settable to 1 percent"),
                 V("", "accuracy within 3 %"),
                 V("Signal types", "sine, triangular, sweep, square and any custom wave"),
                 V("Sweep ratios", "x2, x5, x10, x20"),
                 V("Sweep start frequencies", m.sweepStarts1),
                 V("", m.sweepStarts2),
                 V("Custom-wave rates", m.customRates),
                 V("Amplitude", "built-in waves 0-1 V and 0-2 V peak to peak"),
                 V("", "custom waves: value 255 = 2 V, 0 = 0 V (8 bits)"),
                 V("Output impedance", "300 ohms"),
                 Gap(),
                 T("Note: Specifications are subject to change without notice")}};
}

} // namespace

Page contactPage(const std::string& url, const std::string& email, const std::string& readme) {
    const bool addresses = !url.empty() || !email.empty();
    std::vector<Line> head;
    if (addresses) {
        head = {T("WQK Scope & Generator is developed in the open. The project on the web:")};
        if (!url.empty()) head.push_back(V("Web page", url.c_str()));
        if (!email.empty()) head.push_back(V("E-mail", email.c_str()));
    } else {
        head = {T("WQK Scope & Generator is developed in the open, in the project's own source"),
                T("repository. The README installed with the program tells how to build and run"),
                T("it and how to run its tests:"), V("README", readme.c_str())};
    }
    Page p{"Contact and Support", head};
    p.lines.insert(
        p.lines.end(),
        {Gap(), H("Reporting a fault or asking for a feature"),
         addresses ? T("Write to the address above, or use the web page. A good report names:")
                   : T("Use the issue tracker of the project's repository. A good report names:"),
         T("  - the version line of this guide's start page,"),
         T("  - the port in use, as the window title shows it (simulated, ppdev or direct),"),
         T("  - the command-line options the program was started with,"),
         T("  - what you did, what you expected and what happened instead."), Gap(),
         H("Help on the command line"),
         T("wqkscope --help lists the command-line options of the program and"),
         T("wqkscope --version prints its version; man wqkscope is its manual page.")});
    return p;
}

namespace {

Page printingPage() {
    Page p{"Printing",
           {T("PRINT opens the print menu. The printout goes to the default printer of your"),
            T("system; on Linux the printers are run by CUPS."),
            Gap(),
            H("The two printouts"),
            T("Print All details: the whole instrument window, display and controls."),
            T("Print Signal Display only: the signal display with everything drawn in it,"),
            T("placed 1000 twips (about 18 mm) from the left and top edges of the page."),
            T("EXIT closes the menu without printing."),
            Gap(),
            H("Changing the default printer"),
            V("lpstat -d", "shows which printer is the default"),
            V("lpstat -p", "lists the printers and whether they are enabled"),
            V("lpoptions -d NAME", "makes printer NAME your default"),
            T("The printer settings of your desktop, or the CUPS page http://localhost:631,"),
            T("do the same."),
            Gap(),
            H("Printing into a PDF file"),
            T("File > Print to PDF... asks for a file, then opens this menu: the printout"),
            T("you choose goes into that file as one A4 page. Or make the printer of the"),
            T("package printer-driver-cups-pdf the default: printouts arrive in ~/PDF."),
            Gap(),
            H("When printing fails"),
            T("With no default printer, or a printer that is stopped or missing, a"),
            T("\"Printer Error!\" message says why, and the instrument carries on as before."),
            T("PRINT cannot be used while a capture runs.")}};
    p.valueColumn = 2200;
    return p;
}

Page readmePage() {
    Page p{"Important Information",
           {H("Parallel port"),
            T("The WQK01 needs a PC parallel port set to ECP mode in the BIOS set-up. On Linux"),
            T("the program reaches the port in one of two ways:"),
            V("ppdev", "through /dev/parport0..2 (kernel modules parport_pc and ppdev);"),
            V("", "your user must be allowed to open it, usually as a member of group lp"),
            V("direct", "raw port access on x86 PCs; needs root or the CAP_SYS_RAWIO capability"),
            T("With no parallel port the program runs a built-in simulated WQK01, so every"),
            T("function can be tried out. The window title names the port access in use."),
            H("Starting"),
            T("Connect the WQK01 and switch it on before you start the program: the instrument,"),
            T("its model and its options are detected at start-up."),
            T("Click the mode window beside GO to step through SCOPE, GENERATOR, SCOPE+GEN and"),
            T("FFT. A click on the signal display redraws it."),
            H("Choosing the port"),
            T("On the first run the program asks which port the WQK01 is plugged into; LPT1"),
            T("(address 378H) is the usual one. The choice is kept in the file WQKport.cfg in"),
            T("the folder the program is started from. The PORT button changes it at any time"),
            T("and shows at once whether a WQK01 answers on the chosen port."),
            H("Generator output without the program"),
            T("Closing the program sends nothing to the WQK01: a wave that is playing keeps"),
            T("playing for as long as the instrument has power, even with the PC switched off."),
            H("Command-line options (wqkscope --help lists them)"),
            T("--port=auto|sim|ppdev|direct picks the port access (auto, the default: ppdev"),
            T("when a port is there, else simulated). The simulated WQK01 takes --model=20|30,"),
            T("--no-chb, --no-gen, --power-off, --no-instrument, --lpt=1|2|3, the input signals"),
            T("--input-a=SIGNAL and --input-b=SIGNAL (sine, square, rc-square, dc, off),"),
            T("--noise=VOLTS and --port-latency=NS (1000 for a real port's time); --version.")}};
    p.valueColumn = 900;
    return p;
}

} // namespace

StartPage startPage() {
    return StartPage{
        "User Guide for WQK Scope & Generator",
        std::string("Version ") + plat::version + " for Linux",
        "Welcome to WQK Scope & Generator Help Pages",
        {"The WQK01 on your PC's parallel port is three instruments in one: a two-channel",
         "digital sampling oscilloscope, a programmable signal generator and an FFT",
         "spectrum analyser.", "",
         "Everything is driven by mouse clicks; the only thing you type is the name of a",
         "file you save. Captured signals and spectra can be exported to a spreadsheet.", "",
         "With the generator driving a circuit while channels A and B measure what comes",
         "in and what goes out (SCOPE+GEN mode), the WQK01 becomes a circuit and",
         "component analyser.", "",
         "Click a topic on the left to read about it; EXIT returns to the instrument.",
         "If you are new to the WQK01, start with \"Readme 1st\"."}};
}

std::optional<Page> specifications(int modelCode) {
    if (modelCode == 1) return specificationsPage(Model20);
    if (modelCode == 2) return specificationsPage(Model30);
    return std::nullopt;
}

Page page(Topic t) {
    switch (t) {
    case Topic::Specifications:
        return specificationsPage(Model20);
    case Topic::Contact:
        return contactPage(WQK_CONTACT_URL, WQK_CONTACT_EMAIL, WQK_README);
    case Topic::Printing:
        return printingPage();
    case Topic::Readme:
        return readmePage();
    default:
        return usingPage(t);
    }
}

} // namespace help
