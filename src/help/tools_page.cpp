// The guide's page on the tools around the window and the keyboard shortcuts. The
// main window takes its shortcuts from this table, and the manual page is made from
// this page (guide_text --roff), so the three never disagree.
#include "help/help_pages.h"

#include <algorithm>

namespace help {

const std::vector<Shortcut>& shortcuts() {
    static const std::vector<Shortcut> list = {
        {"actionRunStop", "Space", "GO, or STOP during a run"},
        {"actionAutoset", "Ctrl+A", "Acquire > Auto-set"},
        {"actionTwoCursors", "Ctrl+K", "View > Two Cursors on or off"},
        {"actionLoad", "Ctrl+O", "File > Load... (LOAD)"},
        {"actionSave", "Ctrl+S", "File > Save... (SAVE)"},
        {"actionPrint", "Ctrl+P", "File > Print... (PRINT)"},
        {"actionExit", "Ctrl+Q", "File > Exit (EXIT)"},
        {"actionMeasurements", "Ctrl+1", "the Measurements panel"},
        {"actionSpectrum", "Ctrl+2", "the Spectrum panel"},
        {"actionGuide", "F1", "Help > Guide (HELP)"},
    };
    return list;
}

const char* shortcutFor(std::string_view action) {
    const auto& l = shortcuts();
    const auto it =
        std::find_if(l.begin(), l.end(), [&](const Shortcut& s) { return action == s.action; });
    return it == l.end() ? "" : it->keys;
}

Page toolsPage() {
    Page p{
        "Tools Around the Window",
        {T("The instrument window sits unchanged in a main window with menus, a status bar,"),
         T("panels at its right and an overlay on the signal display. With the panels closed"),
         T("and the overlay off the window works and draws exactly as it would without them."),
         H("Acquire"),
         T("Run/Stop is the GO button. Auto-set (SCOPE mode) takes a few captures and sets"),
         T("for each channel on the smallest range that holds its signal (DC coupled), the rate,"),
         T("size and X Magnify for about three periods of A's fundamental (else B's), the"),
         T("trigger on the larger signal, rising, at its middle, and UNITS on. Without a"),
         T("periodic signal it sets the ranges for the level and an instant trigger, keeps the"),
         T("rate and says so in the status bar. Auto Trigger: in TRIG mode a capture whose"),
         T("trigger has not come within twice its length (at least 100 ms) is taken without"),
         T("it; AUTO shows under TRIG, red after such a capture."),
         H("Panels"),
         T("Analysis > Measurements: frequency, period, levels, RMS, duty cycle, rise and fall"),
         T("time of each trace on show, and the gain and phase of B against A. Rows chooses"),
         T("the values shown; Statistics shows each one's mean, least, greatest, standard"),
         T("deviation and count over the captures since Reset. Analysis > Spectrum (FFT"),
         T("mode): window, dB scales, averaging and the highest peaks; outside FFT mode it"),
         T("shrinks to one line. Frequency Response... sweeps the generator (a Bode plot)."),
         H("Two cursors"),
         T("View > Two Cursors lays two time and two level cursors over the display, beside"),
         T("the window's own CURSOR. A click moves the nearer time cursor there, the right"),
         T("button the nearer level cursor; drag a line to move it. With the display clicked,"),
         T("the arrow keys move the chosen cursor of each pair (Shift: by ten), Tab chooses the"),
         T("other. The Measurements panel reads t1, t2, dt, 1/dt, V1, V2, dV and each trace"),
         T("at t1 and t2, in seconds and volts of the capture's rate, range and probe."),
         H("Math, references, persistence"),
         T("View > Math and References. Math trace M: A+B, A-B, A*B (V^2), A/B (no unit; no"),
         T("point where B is under one converter step), -A, -B, |A|, |B|, the running integral"),
         T("(V*s) or the derivative (V/s) of A or B, drawn over the display in its own colour"),
         T("with its own volts (or units) a division and position; Fit chooses the scale."),
         T("References R1-R4: Store keeps A, B or M of the record, or a channel of a signal file"),
         T("(.wqk) or a CSV export; each is shown or hidden, has its own scale and comes back"),
         T("at the next start. M and each reference on show are columns of the Measurements."),
         T("Persistence draws the last 2 to 64 captures fading, or with Infinite every capture"),
         T("until Clear. Off, the display is drawn exactly as without them."),
         H("XY view"),
         T("View > XY View plots B against A from the samples in the display window (B's"),
         T("offset from A corrected) on equal volt scales with a grid of volts a division, as"),
         T("lines or dots, keeping the last 1 to 64 captures fading, with B's phase against A."),
         H("Files"),
         T("Save Picture (PNG, SVG, PDF), Print to PDF, Export as WAV or sigrok session, and"),
         T("Record Captures (each capture into a folder with an index) are in the File menu."),
         H("Remembered settings"),
         T("The window's size and place, the panels, their options and the instrument's"),
         T("settings of the last session come back at the next start; they are kept in the"),
         T("wqkscope folder of your configuration folder (~/.config), the settings as a"),
         T("profile, session.dpf. A stored file that cannot be read is ignored with a message"),
         T("in the status bar. wqkscope --defaults starts from the start-up settings."),
         H("Remote control"),
         T("File > Remote Control... starts a SCPI server on a TCP port (127.0.0.1:5025 unless"),
         T("another address is given) that instrument scripts, with PyVISA for one, drive. While"),
         T("a client holds the instrument the menu bar shows Remote and the controls follow what"),
         T("it sets. wqkscope serve does the same without the window; the manual page lists the"),
         T("commands."),
         H("Command line"),
         T("wqkscope measure, spectrum, capture, log and bode capture without the window and"),
         T("print or write what they measured; --autoset and --trigger-auto work as the"),
         T("menu items. wqkscope --help lists them all."),
         H("Keyboard shortcuts")}};
    for (const Shortcut& s : shortcuts())
        p.lines.push_back(Line{s.keys, s.what, false});
    p.lines.push_back(V("Arrows, Tab", "the two cursors, with the display clicked"));
    p.valueColumn = 1700;
    return p;
}

} // namespace help
