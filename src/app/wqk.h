#pragma once
// The main window WQK. It owns the instrument state and every control; each control's
// objectName is its design name, and every handler and procedure is a public member
// with its design name. The bodies live in the folder of their subsystem.
#include "app/instrument_state.h"
#include "device/capture.h"
#include "device/protocol.h"
#include "display/frame.h"
#include "platform/design.h"
#include "platform/picturebox.h"
#include "platform/timer.h"

#include <QLabel>
#include <QScrollBar>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class QComboBox;
class QListWidget;
class QLineEdit;
class Instrument;
class InstrumentView;

using plat::PictureBox;
using plat::VbButton;

class WQK : public QWidget {
    Q_OBJECT
  public:
    explicit WQK(QWidget* parent = nullptr);
    ~WQK() override;

    // The record of every setting, flag and buffer, the instrument's. Handlers read it
    // through its typed reads; tests reach it here, tools read it through instrument().
    InstrumentState& state() { return s; }
    const InstrumentState& state() const { return s; }
    // A control by its objectName ("GOBUTTON", "Picture1", ...): tests click and read
    // them, the tools take the display's pixels.
    template <class T = QWidget> T* control(const char* name) const {
        return findChild<T*>(QString::fromLatin1(name));
    }
    // The instrument this window shows and drives.
    Instrument& instrument() { return *inst_; }
    const Instrument& instrument() const { return *inst_; }

    // Design size of the window in twips.
    static constexpr int DesignWidth = 9650;
    static constexpr int DesignHeight = 6750;

    // Set when start-up failed or EXIT was confirmed: the program ends.
    bool ended() const { return ended_; }
    // Runs the start-up once, as the window's first activation does.
    void activate();
    // The start-up has run to its end and the program goes on.
    bool hasStarted() const { return started_; }
    // Ends the program after the window has been unloaded (EXIT, failed start-up).
    // The program sets it to leave at once; by default the window only closes.
    std::function<void(int code)> onEnd;
    // Window title: the program, the port backend and the selected port.
    void updateTitle();

    // ---- Start-up and shutdown ------------------------------------------------
    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void Command22_Click();

    // ---- Port access and port selection ---------------------------------------
    void initport();
    void Checkconfig();
    void Configport();
    void Testpower();
    void SETUP_Click();
    void SETLPT1_Click();
    void SETLPT2_Click();
    void SETLPT3_Click();
    void CONFIGEXIT_Click();

    // ---- Device command protocol ------------------------------------------------
    void ClearGeneratorMemory();
    void SETMAXLOOP();
    void SETCHAB();
    void reloadloop();

    // ---- Capture read-out -------------------------------------------------------
    void ADCconvert();
    void autoconvert();
    void trigconvert();
    void readbufferA();
    void readbufferB();

    // ---- Generator upload and generate-and-sample ------------------------------
    void DACWRITE();
    void DACCONT();
    void DACGEN();
    void DACADCONCE();
    void DACADC();

    // ---- Run control --------------------------------------------------------------
    void GOBUTTON_Click();
    void GOMODE();
    void TRESETBUTTON_Click();

    // ---- Trigger ------------------------------------------------------------------
    void TRIGGER();
    void TMODEBUTTON_MouseDown();
    void TSOURCEBUTTON_MouseDown();
    void TSLOPEBUTTON_MouseDown();
    void PRETRIGBUTTON_MouseDown();
    void TriglevelBUTTON_MouseDown();
    void TRLARGEN_MouseDown();
    void TRLARGEN_KeyDown();
    void TRLARGEN_MouseUp();
    void TRSMALLN_MouseDown();
    void TRSMALLN_KeyDown();
    void TRSMALLN_MouseUp();
    void TRLARGEP_MouseDown();
    void TRLARGEP_KeyDown();
    void TRLARGEP_MouseUp();
    void TRSMALLP_MouseDown();
    void TRSMALLP_KeyDown();
    void TRSMALLP_MouseUp();
    void Timer1_Timer();

    // ---- Sampling rate and size ---------------------------------------------------
    void DSAMPLE();
    void SRATEN_MouseDown();
    void SRATEN_KeyPress();
    void SRATEP_MouseDown();
    void SRATEP_KeyPress();
    void SSIZEN_MouseDown();
    void SSIZEN_KeyPress();
    void SSIZEP_MouseDown();
    void SSIZEP_KeyPress();

    // ---- Trace display, position and magnification -------------------------------
    void HScroll1_Change();
    void HScroll2_Change();
    void SDISPLAY();
    void Picture1_Click();
    void DelayWin_Click();
    void Command12_Click();
    void Command13_Click();
    void Command15_Click();
    void Command16_Click();
    void Command17_Click();
    void Command18_Click();
    void Command19_Click();
    void Command20_Click();
    void Command21_Click();

    // ---- Channel controls ---------------------------------------------------------
    void CHANA();
    void CHANB();
    void scrollcalca();
    void scrollcalcB();
    void Scrollcalc();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void SCHAbutton_Click();
    void SCHBbutton_Click();
    void scrollupA_Click();
    void scrolldownA_Click();
    void scrollupB_Click();
    void scrolldownB_Click();
    void Scrollup_Click();
    void scrolldown_Click();
    void YMagAbutton_Click();
    void YMagBbutton_Click();

    // ---- Cursors and readouts -----------------------------------------------------
    void curtest();
    void cursdraw();
    void trcursdraw();
    void Command23_Click();
    void Command24_MouseDown();
    void Command25_MouseDown();
    void Command26_MouseDown();
    void Command26_KeyPress();
    void Command27_MouseDown();
    void Command27_KeyPress();
    void Command24_MouseUp();
    void Command25_MouseUp();
    void Command26_MouseUp();
    void Command27_MouseUp();
    void CURSINFO_Click();

    // ---- Operating modes and control groups ---------------------------------------
    void SCOPEMODE_Click();
    void FFTbutton_Click();
    void SMODEDISP();
    void RANGEADISABLE();
    void RANGEAENABLE();
    void RANGEBDISABLE();
    void RANGEBENABLE();
    void GENDISABLE();
    void GENENABLE();
    void TRIGGERDISABLE();
    void TRIGGERENABLE();
    void SAMPLEDISABLE();
    void SAMPLEENABLE();
    void FILEDISABLE();
    void FILEENABLE();

    // ---- Spectrum -----------------------------------------------------------------
    void FFTconvert();

    // ---- Generator ------------------------------------------------------------------
    void GENUPDATEBUTTON_Click();
    void GENDISP();
    void GENMODEBUTTON_MouseDown();
    void GENSTYLEBUTTON_MouseDown();
    void GENAMPBUTTON_Click();
    void SWRATIOBUTTON_Click();
    void DCUP_Click();
    void DCDOWN_Click();
    void GENLFREQBUTTONN_MouseDown();
    void GENLFREQBUTTONP_MouseDown();
    void GENSFREQBUTTONN_MouseDown();
    void GENSFREQBUTTONP_MouseDown();
    void GENLFREQBUTTONN_MouseUp();
    void GENLFREQBUTTONP_MouseUp();
    void GENSFREQBUTTONN_MouseUp();
    void GENSFREQBUTTONP_MouseUp();
    void CopyAbutton_Click();
    void CopyBbutton_Click();
    void keepcustombutton_Click();
    void CropLeft();
    void CropRight();
    void CopyAToCustom();
    void CopyBToCustom();

    // ---- Files (load and save windows) ---------------------------------------------

    void fileloadbutton_Click();
    void filesavebutton_Click();
    void chaloadbutton_Click();
    void chbloadbutton_Click();
    void FFTloadab_Click();
    void Customloadbutton_Click();
    void CustomCSVbutton_Click();
    void profileloadbutton_Click();
    void loadexitbutton_Click();
    void chasavebutton_Click();
    void fftsaveab_Click();
    void customsavebutton_Click();
    void profilesavebutton_Click();
    void EXPORTABBUTTON_Click();
    void ExportFFTab_Click();
    void exitsavebutton_Click();
    void File3_Click();
    void FILELOAD();
    void filesave();
    void filenametest();
    void chabsave();
    void chabload();
    void fftabsave();
    void FFTabload();
    void profilesave();
    void profileload();
    void customload();
    void Customcsvload();
    void customsave();
    void exportab();
    void msgnotvalidwqk(const std::string& text);
    void msgnofileload();
    void msgnofilesave();
    void msgfilesaveerror();
    // The windows' error path: "Unable to open file", FileInvalid set.
    void fileopenerror();
    // FilePath from Dir1 and the name selected in File1; false when none is selected.
    bool loadfilepath();
    // Brings every panel in line with a freshly loaded profile.
    void profileapply();

    // ---- Printing -------------------------------------------------------------------
    void Command1_Click();
    void printscope();
    // The two printouts of the print menu.
    void printSignalDisplay();
    void printWholeWindow();
    void Printform_Click();
    void Printsignal_Click();
    void exitprint_Click();

    // ---- Help -----------------------------------------------------------------------
    void helpbutton_Click();
    void helpscreen();
    void helpspec_Click();
    void helpcontact_Click();
    void helpprint_Click();
    void Helpload_Click();
    void HelpSave_Click();
    void Helpgenerator_Click();
    void Helpscope_Click();
    void HelpFFT_Click();
    void helpreadme_Click();
    void helpbasic_Click();
    void helpexit_Click();
    // What a file load brought into the record.
    enum class Load { Signal, Spectrum, Profile, CustomWave };
    Q_ENUM(Load)

  signals:
    // A page of the guide has just been drawn in htextwin (its title; the start page
    // gives its heading).
    void helpPageDrawn(const QString& title);
    // For the tools around the window, which only read the record. A capture has been
    // read out and its settings recorded (the redraw that follows turns FFT-mode
    // samples into spectra).
    void captured();
    // A file has been loaded into the record.
    void loaded(WQK::Load what);
    // The operating mode has changed.
    void modeChanged();
    // The start-up has ended and the window is in use (the tools may restore settings).
    void started();
    // The signal display has been redrawn (its window may have moved).
    void redrawn();

  protected:
    void closeEvent(QCloseEvent*) override;
    void showEvent(QShowEvent*) override;

  public:
    // The port addresses and first-phase byte of the record, for the command patterns.
    proto::Link link() const;
    // The channel settings the configuration is counted from.
    proto::ChannelSettings channelSettings() const;
    // What the read-out of the two memories depends on.
    capture::ReadOut readOut() const;

    // The redraw's input: the record's settings, the scroll bar and the bar's size.
    display::FrameInput frameInput() const;

  private:
    // ---- Controls -----------------------------------------------------------------
    // Each control's objectName is its name here; tests and the tools reach a control
    // by that name (control<T>()).
    plat::DesignPanel* form = nullptr; // the window's client area
    // Display (signal display, scroll bars, toggles)
    PictureBox* Picture1 = nullptr;
    PictureBox* Picture2 = nullptr;
    QLabel* Label1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* HScroll2 = nullptr;
    PictureBox* Picture6 = nullptr;
    PictureBox* Picture7 = nullptr;
    PictureBox* DelayWin = nullptr;
    VbButton* Command12 = nullptr; // "Y Mag"
    VbButton* Command13 = nullptr; // "GRID"
    VbButton* Command15 = nullptr; // "JOIN"
    VbButton* Command16 = nullptr; // "UNITS"
    VbButton* Command17 = nullptr; // "A"
    VbButton* Command18 = nullptr; // "B"
    VbButton* Command19 = nullptr; // "D"
    VbButton* Command20 = nullptr; // "A+B"
    VbButton* Command21 = nullptr; // "A-B"
    PictureBox* Scrollup = nullptr;
    PictureBox* scrolldown = nullptr;
    // Channels
    PictureBox* Picture3 = nullptr;
    PictureBox* Picture4 = nullptr;
    VbButton* Command2 = nullptr; // A "AC"/"DC"
    VbButton* Command3 = nullptr; // A "Range"
    VbButton* Command4 = nullptr; // A "Probe"
    VbButton* Command5 = nullptr; // B "Probe"
    VbButton* Command6 = nullptr; // B "Range"
    VbButton* Command7 = nullptr; // B "AC"/"DC"
    VbButton* SCHAbutton = nullptr;
    VbButton* SCHBbutton = nullptr;
    PictureBox* scrollupA = nullptr;
    PictureBox* scrolldownA = nullptr;
    PictureBox* scrollupB = nullptr;
    PictureBox* scrolldownB = nullptr;
    PictureBox* YMagAbutton = nullptr;
    PictureBox* YMagBbutton = nullptr;
    // Cursor
    VbButton* Command23 = nullptr; // "CURSOR"
    VbButton* Command24 = nullptr; // "<" large
    VbButton* Command25 = nullptr; // ">" large
    VbButton* Command26 = nullptr; // "<" small
    VbButton* Command27 = nullptr; // ">" small
    PictureBox* CURSINFO = nullptr;
    PictureBox* Cursorch = nullptr;
    // Trigger
    PictureBox* Picture5 = nullptr;
    VbButton* TMODEBUTTON = nullptr;
    VbButton* TSOURCEBUTTON = nullptr;
    VbButton* TSLOPEBUTTON = nullptr;
    VbButton* PRETRIGBUTTON = nullptr;
    VbButton* TriglevelBUTTON = nullptr;
    VbButton* TRLARGEN = nullptr;
    VbButton* TRSMALLN = nullptr;
    VbButton* TRLARGEP = nullptr;
    VbButton* TRSMALLP = nullptr;
    PictureBox* levelval = nullptr;
    VbButton* TRESETBUTTON = nullptr;
    plat::Timer* Timer1 = nullptr;
    PictureBox* Trigwait = nullptr;
    // Sampling
    PictureBox* samdisp = nullptr;
    VbButton* SRATEN = nullptr;
    VbButton* SRATEP = nullptr;
    VbButton* SSIZEN = nullptr;
    VbButton* SSIZEP = nullptr;
    PictureBox* SRATEDISP = nullptr;
    PictureBox* SSIZEDISP = nullptr;
    // Run and mode
    VbButton* GOBUTTON = nullptr;
    PictureBox* GOCOLOR = nullptr;
    PictureBox* SCOPEMODE = nullptr;
    VbButton* FFTbutton = nullptr;
    // Generator
    PictureBox* GENPICTURE = nullptr;
    PictureBox* STYLEDISP = nullptr;
    PictureBox* GENFREQDISP = nullptr;
    PictureBox* GENUPDATEBACK = nullptr;
    VbButton* GENUPDATEBUTTON = nullptr;
    VbButton* GENMODEBUTTON = nullptr;
    VbButton* GENSTYLEBUTTON = nullptr;
    VbButton* GENAMPBUTTON = nullptr;
    VbButton* SWRATIOBUTTON = nullptr;
    VbButton* GENLFREQBUTTONN = nullptr;
    VbButton* GENLFREQBUTTONP = nullptr;
    VbButton* GENSFREQBUTTONN = nullptr;
    VbButton* GENSFREQBUTTONP = nullptr;
    VbButton* DCUP = nullptr;
    VbButton* DCDOWN = nullptr;
    // File, print, help, port, exit buttons
    VbButton* fileloadbutton = nullptr; // "LOAD"
    VbButton* filesavebutton = nullptr; // "SAVE"
    VbButton* Command1 = nullptr;       // "PRINT"
    VbButton* helpbutton = nullptr;     // "HELP"
    VbButton* SETUP = nullptr;          // "PORT"
    VbButton* Command22 = nullptr;      // "EXIT"
    // Port selection window
    PictureBox* CONFIGWINDOW = nullptr;
    VbButton* SETLPT1 = nullptr;
    VbButton* SETLPT2 = nullptr;
    VbButton* SETLPT3 = nullptr;
    VbButton* CONFIGEXIT = nullptr;
    // Pop-up panels filled by the file, print and help code
    PictureBox* fileloadwindow = nullptr;
    PictureBox* filesavewindow = nullptr;
    PictureBox* printwindow = nullptr;
    PictureBox* helpwindow = nullptr;
    // Buttons of the load window that start-up hides.
    VbButton* CopyAbutton = nullptr;
    VbButton* CopyBbutton = nullptr;
    VbButton* keepcustombutton = nullptr;
    VbButton* FFTloadab = nullptr;
    VbButton* fftsaveab = nullptr;
    // The drive, directory and file lists (src/files/lists.h), named here by class only.
    class DriveListBox* Drive1 = nullptr;
    class DirListBox* Dir1 = nullptr;
    class FileListBox* File1 = nullptr;
    class DriveListBox* Drive3 = nullptr;
    class DirListBox* Dir3 = nullptr;
    class FileListBox* File3 = nullptr;
    QLineEdit* savename = nullptr;
    VbButton* chaloadbutton = nullptr;
    VbButton* chbloadbutton = nullptr;
    VbButton* Customloadbutton = nullptr;
    VbButton* CustomCSVbutton = nullptr;
    VbButton* profileloadbutton = nullptr;
    VbButton* loadexitbutton = nullptr;
    VbButton* chasavebutton = nullptr;
    VbButton* customsavebutton = nullptr;
    VbButton* profilesavebutton = nullptr;
    VbButton* EXPORTABBUTTON = nullptr;
    VbButton* ExportFFTab = nullptr;
    VbButton* exitsavebutton = nullptr;
    VbButton* Printform = nullptr;   // "Print All details"
    VbButton* Printsignal = nullptr; // "Print Signal Display only"
    VbButton* exitprint = nullptr;   // "EXIT"
    PictureBox* htextwin = nullptr;  // the text area of the guide
    VbButton* helpspec = nullptr;
    VbButton* helpcontact = nullptr;
    VbButton* helpprint = nullptr;
    VbButton* Helpload = nullptr;
    VbButton* HelpSave = nullptr;
    VbButton* Helpgenerator = nullptr;
    VbButton* Helpscope = nullptr;
    VbButton* HelpFFT = nullptr;
    VbButton* helpreadme = nullptr;
    VbButton* helpbasic = nullptr;
    VbButton* helpexit = nullptr;

    // The panels' and windows' helpers of the handlers.
    void hideAtStart();
    void resetDisplay();
    void drawTitles();
    void drawPanels();
    void scopeGroups();
    void generatorGroups(modes::Mode mode);
    void modeToggles(modes::Mode mode);
    void setScrollMaxima();
    void enableLevel(bool on);
    void showTriggerSettings(PictureBox* p);
    void showSumMagnification();
    void prepareForPrint();
    void loadCustom(bool csv);
    void showLoadButtons(bool custom, modes::Mode mode);
    bool customRequests();
    bool signalRequests();
    bool loadStep(bool custom);
    void closeLoadWindow(bool custom);
    void listStep(DriveListBox* drive, DirListBox* dir, FileListBox* file);

    class WindowView;
    std::unique_ptr<InstrumentView> makeView();
    // The instrument first: the record below is its.
    std::unique_ptr<Instrument> inst_;
    std::unique_ptr<InstrumentView> view_;
    InstrumentState& s;
    // The window's side of a run, of the start-up and of a new generator wave.
    void lockForRun();
    void unlockAfterRun();
    void showDetectionByte();
    void loadCustomWave();
    void showNewWave();
    // Every panel drawn again from the record, after a setting changed without a click.
    void showSettings();
    void showChannels();
    // The mode's panels and toggles; from the mode button, also what the button changes
    // beyond the mode (the cursor off, a new wave on entering GENERATOR).
    void showMode(bool fromButton);
    // The redraw in its three steps around the frame.
    void prepareRedraw();
    void applyFrame(const display::Frame& f);
    void paintFrame(const display::Frame& f);
    // The two lines of the message box over the display during a run.
    void showRunMessage(const char* line1, const char* line2);
    void endProgram(int code = 0);
    void createControls();
    // Each panel of the window with its controls.
    void createSignalDisplay();
    void createChannelWindows();
    void createTriggerPanel();
    void createSamplingPanel();
    void createDisplayPanel();
    void createGeneratorPanel();
    void createRunButtons();
    void createPopups();
    void connectHandlers();
    void connectRunControls();
    void connectTriggerAndSampling();
    void connectDisplayAndChannels();
    void connectCursorModeAndGenerator();
    // Each subsystem builds the inside of its pop-up panel here (may be empty).
    void buildFileWindows();
    void buildPrintWindow();
    void buildHelpWindow();

    bool activated_ = false;
    bool started_ = false;
    bool ended_ = false;
    bool unloaded_ = false;
};
