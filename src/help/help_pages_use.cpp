// Texts of the user guide: how to use the scope, the generator, the FFT, the files and
// the display.
#include "help/help_pages.h"

namespace help {

namespace {

Page loadingPage() {
    Page p{
        "File Loading",
        {T("LOAD opens the loading window. The lists start in the folder the program was started"),
         T("from: pick a file system in the drive list, double-click a folder in the directory"),
         T("list to open it, click a file, then the button for its kind. The buttons follow the "
           "mode:"),
         V("SCOPE", "Load A + B Waves (wqk), Load Scope Profile (dpf)"),
         V("GENERATOR, SCOPE+GEN", "Load Custom Wave (dcg), Load CSV Excel Wave, profile"),
         V("FFT", "Load A + B FFT plots (fft), Load Scope Profile (dpf)"),
         T("EXIT closes the window. A file that is not of the kind asked for is refused with"),
         T("a message and changes nothing; the window stays open for another try."),
         H("Signal files (.wqk)"),
         T("Both channels with the rate and ranges they were captured with, so time and"),
         T("voltage read as before. A channel switched OFF keeps its present trace: load a"),
         T("file with one channel OFF to compare a stored trace with a live one."),
         H("Profiles (.dpf)"),
         T("The complete front-panel set-up: mode, rate, size, channels, trigger, display,"),
         T("cursor and generator. Loading one puts every control back as it was saved."),
         H("Custom waves"),
         T("RAW (.dcg): any file; each byte is one point, 0 = 0 V and 255 = 2 V."),
         T("CSV: values 0 to 255 separated by commas or line breaks, as a spreadsheet"),
         T("writes them. A wave has at least 10 and at most 32768 points."),
         T("In CUSTOM generator mode UPDATE opens this window with two more choices: copy"),
         T("the captured channel A or B into the wave, or keep the existing data."),
         H("FFT plots (.fft)"),
         T("The two spectra saved in FFT mode, shown again as they were.")}};
    p.valueColumn = 2400;
    return p;
}

Page savingPage() {
    Page p{
        "File Saving",
        {T("SAVE opens the saving window. Pick the folder as in the loading window and type the"),
         T("name in the box (it starts as \"Untitled\"); a click on a file in the list takes its"),
         T("name. Then click the button for what to save. The buttons follow the mode:"),
         V("SCOPE", "Save A + B Waves, Export A + B (Excel), Save Scope Profile"),
         V("GENERATOR", "Save Custom Wave, Save Scope Profile"),
         V("SCOPE+GEN", "A + B waves, export, custom wave and profile"),
         V("FFT", "Save A + B FFT Plots, Export A + B FFT (Excel csv), profile"),
         Gap(),
         T("The kind of file sets the extension: trace.txt is saved as trace.wqk. You are"),
         T("asked to confirm the full name; a file of that name is replaced. If a file"),
         T("cannot be written, a message says so and an existing file stays as it was."),
         H("What is saved"),
         T("Waves (.wqk): all 32768 points of channels A and B with their rate and ranges."),
         T("Profile (.dpf): the whole front-panel set-up, in one line of text."),
         T("Custom wave (.dcg): the generator wave, one byte per point."),
         T("FFT plots (.fft): the two spectra, each scaled to 100 at its largest line."),
         T("Export (.csv): the selected buffer size of both channels, or both spectra,"),
         T("one line per point, to open in a spreadsheet."),
         Gap(),
         T("EXIT closes the window without saving. SAVE cannot be used during a capture.")}};
    p.valueColumn = 1700;
    return p;
}

Page generatorPage() {
    return Page{
        "Using Signal Generator",
        {H("Modes"),
         T("GENERATOR plays the wave continuously from GO until STOP. SCOPE+GEN plays it once"),
         T("while channels A and B are sampled at the generator's step rate: the display then"),
         T("shows how a circuit answers the stimulus. The wave itself is trace D."),
         H("Settings (MODE button)"),
         T("NORMAL: a fixed frequency, 5 Hz to 500 kHz. The arrows \u00ab \u00bb step by 500 Hz,"),
         T("< > by 1 Hz; hold them to repeat. The frequency is moved to the nearest one the"),
         T("step clock can make exactly, and that value is shown."),
         T("SWEEP: single cycles rising from the start frequency (\u00ab \u00bb) by the Ratio"),
         T("x2, x5, x10 or x20."),
         T("CUSTOM: your own wave from a file or from a captured channel."),
         T("Style: sine, triangle, ramp or square. Amp: 2V p-p or 1V p-p. For a NORMAL square"),
         T("wave Dcycle and its arrows set the duty cycle, 2 to 98 %."),
         H("Step rate"),
         T("The generator steps through its points at 2 kHz to 20 MHz (3 kHz to 30 MHz on the"),
         T("30 MHz model): chosen by the frequency in NORMAL, by the start frequency in"),
         T("SWEEP, and with \u00ab \u00bb in CUSTOM."),
         H("UPDATE"),
         T("The frame around UPDATE turns red when a setting has changed: press UPDATE (or"),
         T("GO) to compute the new wave, and the frame turns green."),
         H("Custom waves"),
         T("In CUSTOM mode UPDATE opens the loading window: load a .dcg or CSV wave, copy"),
         T("channel A or B, or keep the existing data. CropL and CropR cut the wave left or"),
         T("right of the cursor (this cannot be undone); Amp scales it x1, x2, x5 or to MAX.")}};
}

Page scopePage() {
    return Page{
        "Using the SCOPE",
        {H("Channels A and B"),
         T("Range: 1.2 V or 12 V full scale. Probe: x1 or x10 (with x10 the ranges read 12 V"),
         T("and 120 V). AC or DC coupling. Keep the input below 20 V with an x1 probe: the"),
         T("program warns when you switch a probe to x10. ON/OFF switches sampling of the"),
         T("channel; a channel that is OFF keeps its last trace for comparison."),
         H("Sampling"),
         T("Rate: 2 kHz to 20 MHz in decade steps (3 kHz to 30 MHz on the 30 MHz model)."),
         T("Size: 2K to 32K samples per channel."),
         H("Trigger"),
         T("MODE: INST captures at once, TRIG waits for the trigger. SOURCE: CH A or CH B."),
         T("SLOPE: + rising or - falling. PRE: OFF, 10 or 100 samples kept from before the"),
         T("trigger. SET LEVEL (in TRIG mode) shows the level line; move it with the arrows."),
         T("Level setting ends by itself 5 s after the last change."),
         H("Running"),
         T("Single takes one capture per GO, Repeat captures until STOP. GO turns into STOP"),
         T("while running; waiting for a trigger shows \"Waiting For Trigger\"."),
         T("Normal/Delay: after each capture the display returns to the start of the buffer"),
         T("(Normal) or stays where you put it (Delay)."),
         H("Sum and difference"),
         T("A+B and A-B show the sum or the difference of the channels as one purple trace."),
         T("Y Mag magnifies it; its own arrows at the left of the display move it.")}};
}

Page fftPage() {
    return Page{
        "Using the FFT",
        {T("The F button enters FFT mode from any mode; pressed again it returns to SCOPE."),
         T("GO captures as in SCOPE mode and shows the magnitude spectrum of A and B."),
         T("The FFT values are normalised to give a reading of 100 for the maximum value."),
         H("Reading the spectrum"),
         T("UNITS shows the frequency axis. CURSOR reads the value at the cursor in percent"),
         T("and the frequency of that spectral line."), H("Points and frequency range"),
         T("A buffer of N samples gives N/2 spectral points from 0 up to half the sampling"),
         T("rate: set the rate to at least twice the highest frequency of interest. Any size"),
         T("from 2K to 32K can be used. The larger the sample size the higher the spectral"),
         T("definition but more computational time."), H("Continuous display"),
         T("With Repeat the spectrum follows the signal until STOP."), H("Comparing two spectra"),
         T("Capture both channels, then switch one OFF: its spectrum stays frozen while the"),
         T("other channel goes on capturing."), H("Saving"),
         T("SAVE offers Save A + B FFT Plots (.fft) and Export A + B FFT (Excel csv); LOAD"),
         T("shows a saved FFT file again. Leaving FFT mode brings back the captured signals.")}};
}

Page softwarePage() {
    return Page{
        "Software Information",
        {H("Mode and display"),
         T("Click the mode window beside GO to change the mode. A click on the signal display"),
         T("redraws it. GRID shows the grid and labels, UNITS the numbers and units, JOIN"),
         T("joins the samples with lines (else dots). A, B and D choose the traces shown."),
         H("Moving through the buffer"),
         T("The X Magnify bar shows fewer samples (up) or more (down), from 256 to the whole"),
         T("buffer. The scroll bar under the display moves the view through the buffer; the"),
         T("yellow BUFFER DISPLAY bar shows which part of it is on screen."),
         H("Cursor"),
         T("CURSOR steps through the traces on show and off. \u00ab \u00bb move it in large "
           "steps,"),
         T("< > in small ones; hold to repeat. The readout gives the value under the cursor"),
         T("and the time from the left edge of the display."),
         T("Measuring a frequency: scroll until a cycle starts at the left edge, put the"),
         T("cursor on its end and click the readout: it shows 1/time for a moment."),
         H("Trace position and magnification"),
         T("The arrows beside each channel move its trace up or down; the box below them"),
         T("magnifies it 1, 2 or 5 times. The pink arrow shows which way it has moved."),
         H("Files on this computer"),
         T("WQKport.cfg, in the folder the program is started from, keeps the chosen port."),
         T("Everything else starts from fixed values at each start; save a profile to keep"),
         T("your set-up.")}};
}

} // namespace

Page usingPage(Topic t) {
    switch (t) {
    case Topic::Loading:
        return loadingPage();
    case Topic::Saving:
        return savingPage();
    case Topic::Generator:
        return generatorPage();
    case Topic::Scope:
        return scopePage();
    case Topic::FFT:
        return fftPage();
    default:
        return softwarePage();
    }
}

} // namespace help
