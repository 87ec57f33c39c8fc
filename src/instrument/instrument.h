#pragma once
// The instrument without its window: the record of every setting, flag and buffer, the
// port it is reached through, and every procedure that talks to the device or changes
// the record. The window shows it and forwards its buttons here; the command line, the
// frequency response and the remote interface drive it directly. It reports back only
// through an InstrumentView (a run message, locks, a redraw), whose every call may do
// nothing, so it runs without any window.
#include "app/instrument_state.h"
#include "device/capture.h"
#include "device/protocol.h"
#include "instrument/view.h"
#include "platform/port.h"

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct CaptureSettings;

class Instrument : public QObject {
    Q_OBJECT
  public:
    // With a backend, the instrument owns it and makes it the port in use for its
    // lifetime; without one it uses whatever port is in use.
    explicit Instrument(std::unique_ptr<plat::PortBackend> backend = nullptr);
    ~Instrument() override;

    // The record as it stands: tools read it, or take a snapshot().
    const InstrumentState& state() const { return s; }
    // The record to write: only the window (its drawing keeps its own marks there) and
    // tests use this; everything else changes settings through the setters.
    InstrumentState& editRecord() { return s; }

    // The view that shows this instrument; nullptr for none.
    void setView(InstrumentView* v) { view_ = v ? v : &none_; }
    InstrumentView& view() { return *view_; }

    // ---- Start-up ---------------------------------------------------------------------
    // The whole start-up without a window: port access, the record from its start
    // values, the port configuration, detection, the first commands, and the fields the
    // panels derive. False when it cannot go on (no port access, or the view ended it).
    bool startUp();
    // Its steps, for the window, which draws between them.
    // Port access with one retry; false after the message when there is none.
    bool openPort();
    // Every field back to its start value, the display window at its start.
    void resetRecord();
    // The configured port, the detection and the first commands; false when the view
    // ended the program meanwhile.
    bool configurePort();
    // Reads the port number of WQKport.cfg; false when there is no valid one.
    bool readConfig();
    // Releases the port access. Nothing is sent: a playing generator keeps playing.
    void shutdown();

    // ---- Port access and detection ----------------------------------------------------
    void initport();
    void Testpower();
    // The two lines of the message a run starts with when the instrument cannot run
    // (none there, or no power), separated by a line feed; nullptr when it can.
    const char* hardwareFault();

    // ---- Device command procedures ------------------------------------------------------
    void ClearGeneratorMemory();
    void SETMAXLOOP();
    void SETCHAB();
    void reloadloop();

    // ---- Capture and read-out -------------------------------------------------------------
    void ADCconvert();
    void autoconvert();
    void trigconvert();
    void readbufferA();
    void readbufferB();

    // Auto trigger, off by default: in TRIG mode a capture whose trigger has not come
    // within max(100 ms, twice the capture's length) is taken at once without it, so a
    // signal that never crosses the level still shows. Off, the waits are as they were.
    void setAutoTrigger(bool on);
    bool autoTrigger() const { return autoTrigger_; }
    // The last capture was taken without its trigger (auto trigger on).
    bool untriggered() const { return untriggered_; }
    // How long a TRIG capture waits before auto trigger takes it, in ms.
    long autoTriggerWaitMs() const;

    // ---- Generator upload and generate-and-sample ------------------------------------------
    void DACWRITE();
    void DACCONT();
    void DACGEN();
    void DACADCONCE();
    void DACADC();

    // ---- Run control ----------------------------------------------------------------------
    // GO, or STOP during a run: GO runs every capture of the run before it returns.
    void goStop();
    // The run itself (GO's loop), from the hardware check to the unlock at its end.
    void GOMODE();
    // STOP: the run ends after the step in progress, whose capture delivers nothing.
    void stop();

    // ---- The record's side of the panels --------------------------------------------------
    // What each panel derives from the settings when it is drawn; settle() runs them all.
    void applyChannelA();       // the range code of A
    void applyChannelB();       // and of B
    void applyPositionA();      // A's magnification factor, volt offset and shift
    void applyPositionB();      // B's
    void applyPositionSum();    // the combined trace's
    void takeSampling();        // SCOPE and FFT: rate and size become the next capture's
    void applyTriggerPanel();   // the level line's colour
    void applyModeGroups();     // the D trace and the level setting a mode allows
    void applyDisplayPanel();   // the cursor's mode and colour, the combined factor
    void applyGeneratorPanel(); // the sweep and custom-wave fields of the settings
    void settle();
    // The generator wave from the generator settings (NORMAL and SWEEP).
    void updateWave();
    // UPDATE: a new wave, or in CUSTOM mode one the view loads.
    void updateGenerator();

    // ---- Settings -----------------------------------------------------------------------
    // Each does to the record what its button does: the same values (others are refused
    // with the range they must be in), refused while that button is locked, the same
    // fields derived; then the view draws the panels again. "" when done, else why not.
    enum class Channel { A, B };
    enum class Trace { A, B, Sum };
    enum class Toggle { Grid, Join, Units, ShowA, ShowB, ShowD, Sum, Difference };
    std::string setMode(modes::Mode mode);
    std::string setChannelOn(Channel c, bool on);
    std::string setRange(Channel c, int sel); // 0: 1.2 V, 1: 12 V (x10 with the probe)
    std::string setCoupling(Channel c, bool dc);
    std::string setProbe(Channel c, bool x10);
    std::string setSampleRate(int index); // 0..4: the model's rates, slowest first
    std::string setSampleSize(int index); // 0..4: 2K..32K
    std::string setTriggerMode(int mode); // 0 INST, 1 TRIG
    std::string setTriggerSource(Channel c);
    std::string setTriggerSlope(bool rising);
    std::string setPretrigger(int index); // 0 OFF, 1 10, 2 100
    // In buffer units counted down from the top of the display (MidScale is 0 V):
    // the nearest multiple of 10 within 10 and FullScale - 10.
    std::string setTriggerLevel(double units);
    std::string setRepeat(bool repeat);
    std::string setDisplay(Toggle t, bool on);
    std::string setYMagnification(Trace t, int step); // 0..2: x1, x2, x5
    std::string setTracePosition(Trace t, int pos);
    std::string setDelayMode(bool delay);
    // The X Magnify bar and the scroll bar: the display window of `width` samples from
    // sample `first`, cut to the buffer by the next redraw as the bars are.
    std::string setDisplayWindow(long width, long first = 0);
    std::string setGenMode(int mode);   // 0 NORMAL, 1 SWEEP, 2 CUSTOM
    std::string setGenStyle(int style); // 0 sine, 1 triangle, 2 ramp, 3 square
    std::string setGenFrequency(long hz);
    std::string setGenAmplitude(int ampDiv); // 1: 2 V peak-to-peak, 2: 1 V
    std::string setSweepStart(int index);    // 0..9
    std::string setSweepRatio(int ratio);
    std::string setDutyCycle(int percent); // even, 2..98
    std::string setCustomRate(int index);  // 0..4
    std::string setCustomAmplitude(int ratio);
    // A custom wave in buffer values (DAC code x 10), as a custom wave file loads it.
    std::string setCustomWave(const std::vector<int16_t>& wave);
    // Whether the button named so takes a click now.
    bool enabled(const char* control) const;

    // Every setting and buffer as it is, and back: the instrument's own description
    // (port, model, options) and the run state stay as they are. Refused during a run.
    InstrumentState snapshot() const;
    std::string restore(const InstrumentState& snap);
    // A profile (the text of the window's profile files) into the record as LOAD takes
    // one, every panel following: "" when taken, else why not, with nothing changed.
    std::string loadProfile(std::string_view text);

    // ---- The record's side of each button ------------------------------------------------
    // What a setting changes, without its checks and without telling the view: the
    // window's buttons, which are locked where their setting is refused, apply their
    // value through these and draw their panels themselves.
    void applyChannelOn(Channel c, bool on);
    void applyRange(Channel c, int sel);
    void applyCoupling(Channel c, bool dc);
    void applyProbe(Channel c, bool x10);
    void applySampleRate(int index);
    void applySampleSize(int index);
    void applyTriggerMode(int mode);
    void applyTriggerSource(Channel c);
    void applyTriggerSlope(bool rising);
    void applyPretrigger(int index);
    void applyLevelSetting(bool on); // SET LEVEL: the level arrows on
    void applyTriggerLevel(double units);
    void applyRepeat(bool repeat);
    void applyDisplay(Toggle t, bool on);
    void applyYMagnification(Trace t, int step);
    void applyTracePosition(Trace t, int pos);
    void applyDelayMode(bool delay);
    void applyGenStyle(int style);
    void applyGenFrequency(long hz);
    void applyGenAmplitude(int ampDiv);
    void applySweepStart(int index);
    void applySweepRatio(int ratio);
    void applyDutyCycle(int percent);
    bool applyCustomRate(int index); // true when it turned UNITS off
    void applyCustomAmplitude(int ratio);

    // ---- The record's side of the mode and generator-mode buttons ------------------------
    void modeStepRecord(); // the next mode, the FFT sample copies, the buffer base
    void modeStep();       // all of the mode button
    void FFTbutton();      // the F button: into FFT, or out of it
    void genModeStep();    // the generator's MODE button

    // ---- Captures for a caller without buttons --------------------------------------------
    enum class RunEnd { Done, TimedOut, Stopped, Refused };
    struct RunResult {
        RunEnd end = RunEnd::Done;
        std::string reason; // why not Done
    };
    // GO for `captures` captures in a row (Single for one, else Repeat); `more` runs after
    // each one's read-out and ends the run, Done, when it returns false; `cancelled` is
    // asked when the run stops otherwise (STOP for Ctrl-C, say), and a cancelled run is
    // Done too. Each capture may take its own length plus timeoutS before STOP ends the
    // run as TimedOut.
    RunResult captureRun(int captures, double timeoutS, const std::function<bool()>& more = {},
                         const std::function<bool()>& cancelled = {});
    RunResult captureOnce(double timeoutS) { return captureRun(1, timeoutS); }

    // The port addresses and first-phase byte of the record, for the command patterns.
    proto::Link link() const;
    // The channel settings the configuration is counted from.
    proto::ChannelSettings channelSettings() const;
    // What the read-out of the two memories depends on.
    capture::ReadOut readOut() const;

    // Captures read out since the instrument was made (generator output counts none).
    long captureCount() const { return captures_; }

    // ---- Output with captures beside it (the frequency response) ---------------------------
    // A run in which the generator plays without end while SCOPE captures are taken
    // beside it. One load sequence (07H, 06H, pulses) sets both the generator's length
    // and the count that stops sampling, and loading it again starts with a reset, which
    // ends the output: so a capture beside the output takes the wave's points less one
    // and is read from its first sample, in as many samples as the caller needs.
    // Starts it in SCOPE mode: the hardware check, the channel configuration, the
    // controls locked as for a run. "" or why it cannot start.
    std::string beginOutputRun();
    // Plays `wave` (buffer values: DAC code x 10; 2..32768 points) without end at the
    // step-rate index `rateIndex` (0..4). It is uploaded only when it differs from the
    // wave playing; else only the step rate is changed and the output plays on. The
    // record's generator wave is the one playing. "" or why not.
    std::string playWave(const std::vector<int16_t>& wave, int rateIndex);
    // One capture of the channels that are on, at the sample-rate index `rateIndex`,
    // while the output plays; its first `count` samples are read into the channel
    // buffers and recorded as a SCOPE capture without pretrigger (A and B side by side).
    // Stopped when the run is stopped (STOP, stop()); TimedOut when the capture has not
    // ended `timeoutS` after its own length.
    RunResult captureBeside(int rateIndex, long count, double timeoutS);
    // Reads the last capture beside the output again: its first `count` samples.
    void readBeside(long count) { readBesideCapture(count, false); }
    // Ends the run: the generator memory cleared, so the output falls to 0 V, and the
    // controls unlocked.
    void endOutputRun();
    bool outputRunning() const { return outputRun_; }

    // Where the instrument's time has gone since it was made, for the benchmarks: the
    // generator memory written (uploads, its clearing, output starts), the procedures'
    // fixed pauses, waits for captures to end, and read-outs.
    struct Timing {
        int64_t uploadNs = 0, pauseNs = 0, captureNs = 0, readOutNs = 0;
    };
    const Timing& timing() const { return timing_; }

  signals:
    // A capture has been read out and its settings recorded.
    void captured();

  private:
    // After a setting: the derived fields, and the view told which button stood for it.
    std::string changed(const char* control);
    // One capture (or generator output) with its redraw; true while the run goes on.
    void captureStep();
    bool nextCapture();
    int prepareCapture();
    void recordCapture(int rateIndex, const CaptureSettings& taken);
    // The hardware check before a run: false after its message.
    bool hardwareReady();
    // Selects a sample memory, skips `skip` samples and reads `n` into `buffer`.
    void readMemory(int select, long skip, long n, std::vector<int16_t>& buffer);
    void readBesideCapture(long count, bool fresh);
    // The capture beside the output that was read last, recorded with its settings;
    // `fresh` when it is a new capture, not the last one read again.
    void recordBeside(int rateIndex, long count, bool fresh);
    // Adds the time from its making to its end to one of the timing's sums.
    class Span {
      public:
        explicit Span(int64_t& sum);
        ~Span();
        Span(const Span&) = delete;
        Span& operator=(const Span&) = delete;

      private:
        int64_t& sum_;
        int64_t t0_;
    };

    InstrumentState s;
    long captures_ = 0;
    bool autoTrigger_ = false;
    bool untriggered_ = false;
    Timing timing_;
    // The output run: the wave uploaded and the step rate it plays at (-1: none yet).
    bool outputRun_ = false;
    std::vector<int16_t> playing_;
    int playingRate_ = -1, besideRate_ = -1;
    InstrumentView none_;
    InstrumentView* view_ = &none_;
    std::unique_ptr<plat::PortBackend> backend_;
    plat::PortBackend* previousBackend_ = nullptr;
};
