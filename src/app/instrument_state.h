#pragma once
// The instrument state: every setting, flag and buffer of the program in one record,
// owned by the main window. Field names, types and start values are fixed: profiles
// and the file formats rely on them.
#include "modes/mode_names.h"
#include "platform/vb.h"

#include <cstdint>
#include <string>
#include <vector>

struct InstrumentState {
    // Samples in each channel buffer, the generator wave and the custom wave.
    static constexpr int BufferSize = 32768;
    static constexpr int LastIndex = BufferSize - 1;
    // Buffer value of code 128 (0 V): the middle of the display and of the converters.
    static constexpr int MidScale = 1280;

    InstrumentState();
    // Every field back to its start value; the three sample buffers to mid-scale.
    void reset();
    // The names of the fields in which two records differ, in the record's order (a NaN
    // equals a NaN; a Variant differs in its kind too).
    static std::vector<std::string> differences(const InstrumentState& a, const InstrumentState& b);

    // ---- Typed reads ----------------------------------------------------------------
    // The handlers read the Variant fields through these, each with one rule:
    //   flag:   true when the field holds 1 (0, and -1 for a toggle, are off);
    //   set:    true when the field is not 0 (requests, fitted options, done marks);
    //   index:  the whole part, cut toward zero;
    //   value:  the number as it is;
    //   nearest: the nearest whole number, halves to even (colours, frequencies).
    // An empty field reads as 0 under every rule. The fields keep their Variant type
    // where an empty value matters (profiles write it as an empty item).
    static bool flag(const vb::Variant& v) { return v.num() == 1; }
    static bool set(const vb::Variant& v) { return v.num() != 0; }
    static int index(const vb::Variant& v) { return static_cast<int>(v.num()); }
    static long nearest(double v) { return vb::CLng(v); }

    // Operating mode and run control.
    modes::Mode mode() const { return static_cast<modes::Mode>(index(ScopeMode)); }
    bool running() const { return flag(RunState); }
    bool waitingTrigger() const { return flag(WaitingTrigger); }
    bool buttonHeld() const { return flag(ButtonHeld); }

    // Port addresses and the instrument's options.
    int dataPort() const { return index(DataPort); }
    int statusPort() const { return index(StatusPort); }
    int controlPort() const { return index(ControlPort); }
    bool chanBFitted() const { return set(ChanBFitted); }
    bool genFitted() const { return set(GenFitted); }
    int rateCode() const { return index(RateCode); }
    int chanConfig() const { return index(ChanConfig); }
    int chanConfigPrev() const { return index(ChanConfigPrev); }

    // Channels.
    bool chanAOn() const { return flag(ChanAOn); }
    bool chanBOn() const { return ChanBOn == 1; }
    bool dcA() const { return flag(CouplingA); }
    bool dcB() const { return flag(CouplingB); }
    int rangeSelA() const { return index(RangeSelA); }
    int rangeSelB() const { return index(RangeSelB); }
    int probeA() const { return index(ProbeA); }
    int probeB() const { return index(ProbeB); }
    int rangeA() const { return index(RangeA); }
    int rateA() const { return index(RateA); }
    int sizeA() const { return index(SizeA); }
    int dataRangeA() const { return index(DataRangeA); }
    int dataRateA() const { return index(DataRateA); }
    int tracePosA() const { return index(TracePosA); }
    double voltOffsetA() const { return VoltOffsetA.num(); }
    double voltOffsetB() const { return VoltOffsetB.num(); }
    double voltOffsetSum() const { return VoltOffsetSum.num(); }
    int yMagA() const { return index(YMagA); }
    int yMagB() const { return index(YMagB); }
    int sumYMag() const { return index(SumYMag); }
    int yMagFactorA() const { return index(YMagFactorA); }
    int savedSumFactor() const { return index(SavedSumFactor); }
    bool fftDoneA() const { return set(FFTDoneA); }

    // Display toggles, window and colours.
    bool gridOn() const { return flag(GridOn); }
    bool joinOn() const { return flag(JoinOn); }
    bool unitsOn() const { return UnitsOn == 1; }
    bool showA() const { return flag(ShowA); }
    bool showB() const { return flag(ShowB); }
    bool showD() const { return flag(ShowD); }
    bool showAplusB() const { return flag(ShowAplusB); }
    bool showAminusB() const { return ShowAminusB == 1; }
    int xMagnify() const { return index(XMagnify); }
    int scrollPos() const { return index(ScrollPos); }
    long colourA() const { return nearest(ColourA); }
    long colourB() const { return nearest(ColourB); }
    long colourD() const { return nearest(ColourD); }
    long colourSum() const { return nearest(ColourSum); }

    // Cursor and trigger-level line.
    int cursorMode() const { return index(CursorMode); }
    double cursorX() const { return CursorX.num(); }
    double cursorXDrawn() const { return CursorXDrawn.num(); }
    long cursorColour() const { return nearest(CursorColour.num()); }
    long cursorColourDrawn() const { return nearest(CursorColourDrawn.num()); }
    bool cursorDrawn() const { return flag(CursorDrawn); }
    double cursorTime() const { return CursorTime.num(); }
    double cursorStepLarge() const { return CursorStepLarge.num(); }
    bool levelSetOn() const { return flag(LevelSetMode); }
    double trigLevel() const { return TrigLevel.num(); }
    double trigLevelPrev() const { return TrigLevelPrev.num(); }
    long levelLineColour() const { return nearest(LevelLineColour.num()); }
    long levelColourDrawn() const { return nearest(LevelColourDrawn.num()); }
    bool levelDrawn() const { return flag(LevelDrawn); }
    double levelStepLarge() const { return LevelStepLarge.num(); }
    double levelVolts() const { return LevelVolts.num(); }

    // Trigger and sampling.
    int trigMode() const { return index(TrigMode); }
    bool trigSourceB() const { return flag(TrigSource); }
    bool risingSlope() const { return flag(TrigSlope); }
    int preTrig() const { return index(PreTrig); }
    int sampleRateIndex() const { return index(SampleRateIndex); }

    // Generator.
    int genMode() const { return index(GenMode); }
    int genStyle() const { return index(GenStyle); }
    long genFreq() const { return nearest(GenFreq.num()); }
    int genRateIndex() const { return index(GenRateIndex); }
    int sweepStartIndex() const { return index(SweepStartIndex); }
    double sweepStartFreq() const { return SweepStartFreq.num(); }
    int sweepRatio() const { return index(SweepRatio); }
    bool sweepHalf() const { return flag(SweepHalf); }
    int sweepFactor() const { return index(SweepFactor); }
    int sweepRateIndex() const { return index(SweepRateIndex); }
    int customRateIndex() const { return index(CustomRateIndex); }
    int ampRatio() const { return index(AmpRatio); }
    double customMax() const { return CustomMax.num(); }
    double customMin() const { return CustomMin.num(); }
    int dutyCycle() const { return index(DutyCycle); }

    // Requests and exits of the file, print and help windows.
    bool loadDone() const { return flag(LoadDone); }
    bool saveDone() const { return flag(SaveDone); }
    bool loadExit() const { return set(LoadExit); }
    bool saveExit() const { return set(SaveExit); }
    bool copyARequested() const { return set(CopyARequest); }
    bool printFormRequested() const { return set(PrintFormReq); }
    bool printSignalRequested() const { return set(PrintSignalReq); }
    bool helpExit() const { return set(HelpExit); }

    // Fields in storage order.
    int32_t FFTNumSamples{};
    std::vector<double> RealIn = std::vector<double>(32801);
    std::vector<double> ImagIn = std::vector<double>(32801);
    std::vector<double> RealOut = std::vector<double>(32801);
    std::vector<double> ImagOut = std::vector<double>(33001);
    vb::Variant DutyCycle = vb::Variant(50);
    vb::Variant SquareSwitchAngle;
    vb::Variant FFTDoneA = vb::Variant(0);
    int16_t FFTDoneB = 0;
    int16_t BufBase = 2048;
    std::vector<int16_t> SaveA = std::vector<int16_t>(BufferSize);
    std::vector<int16_t> SaveB = std::vector<int16_t>(BufferSize);
    std::vector<int16_t> CustomWave = std::vector<int16_t>(BufferSize);
    vb::Variant AmpRatio = vb::Variant(0);
    int16_t KeepCustom = 0;
    vb::Variant CustomMax;
    vb::Variant CustomMin;
    int16_t CustomMid{};
    float AmpFactor{};
    int16_t DelayMode = 0;
    vb::Variant TracePosA = vb::Variant(0);
    int16_t TracePosB = 0;
    vb::Variant VoltOffsetA = vb::Variant(0);
    int16_t ShiftA = 0;
    vb::Variant VoltOffsetB = vb::Variant(0);
    int16_t ShiftB = 0;
    int16_t BaseA{};
    int16_t BaseB{};
    int16_t PowerFault = 0;
    int16_t BaseSum{};
    int16_t TracePosSum = 0;
    vb::Variant VoltOffsetSum = vb::Variant(0);
    int16_t ShiftSum = 0;
    int16_t LptNumber = 1;
    int16_t ConfigExitFlag{};
    vb::Variant ChanAOn = vb::Variant(1);
    int16_t ChanBOn = 1;
    vb::Variant CopyARequest = vb::Variant(0);
    int16_t CopyBRequest = 0;
    int16_t LevelTimeoutMs = 5000;
    int16_t TrigCursorMode = 1;
    float RateFactor = 1.0f;
    int16_t StatusDiff{};
    vb::Variant ChanBFitted;
    vb::Variant GenFitted;
    int16_t ModelCode{};
    int16_t RunRepeat = 0;
    vb::Variant WaitingTrigger = vb::Variant(0);
    int32_t ReadCount = 360;
    vb::Variant DataPort;
    vb::Variant StatusPort;
    vb::Variant ControlPort;
    vb::Variant EcrPort;
    vb::Variant RateCode = vb::Variant(0);
    int16_t TrigLevelCode{};
    int16_t CmdPrefix = 0;
    vb::Variant ChanConfig;
    vb::Variant ChanConfigPrev;
    int32_t PreTrigCount = 1;
    int32_t GenCount = 360;
    float GenLast = 4096.0f;
    std::vector<int16_t> GenWave = std::vector<int16_t>(BufferSize);
    std::vector<int16_t> ChanABuffer = std::vector<int16_t>(BufferSize);
    std::vector<int16_t> ChanBBuffer = std::vector<int16_t>(BufferSize);
    vb::Variant DataRangeA = vb::Variant(0);
    int16_t DataRangeB = 0;
    vb::Variant RangeA = vb::Variant(0);
    int16_t RangeB = 0;
    vb::Variant DataRateA = vb::Variant(3);
    int16_t DataRateB = 3;
    vb::Variant RateA = vb::Variant(3);
    int16_t RateB = 3;
    vb::Variant DataSizeA = vb::Variant(1);
    int16_t DataSizeB = 1;
    vb::Variant SizeA = vb::Variant(1);
    int16_t SizeB = 1;
    vb::Variant XMagnify;
    vb::Variant ScrollPos;
    int32_t FullScale = 2560;
    float ColourA = 8388608.0f;
    float ColourB = 32768.0f;
    float ColourD = 192.0f;
    float ColourSum = 12583104.0f;
    vb::Variant GridOn = vb::Variant(1);
    vb::Variant CouplingA = vb::Variant(-1);
    vb::Variant CouplingB = vb::Variant(-1);
    vb::Variant ShowA = vb::Variant(1);
    vb::Variant ShowB = vb::Variant(-1);
    vb::Variant ShowD = vb::Variant(-1);
    vb::Variant RangeSelA = vb::Variant(1);
    vb::Variant RangeSelB = vb::Variant(1);
    vb::Variant ProbeA = vb::Variant(0);
    vb::Variant ProbeB = vb::Variant(0);
    vb::Variant TrigMode = vb::Variant(0);
    vb::Variant TrigSource = vb::Variant(-1);
    vb::Variant TrigSlope = vb::Variant(1);
    vb::Variant PreTrig = vb::Variant(0);
    vb::Variant SumYMag = vb::Variant(0);
    int16_t SumYMagFactor = 1;
    vb::Variant JoinOn = vb::Variant(1);
    int16_t UnitsOn = -1;
    vb::Variant YMagA = vb::Variant(0);
    vb::Variant YMagB = vb::Variant(0);
    vb::Variant YMagFactorA = vb::Variant(1);
    int16_t YMagFactorB = 1;
    vb::Variant SavedSumFactor;
    vb::Variant SavedFactorA;
    int16_t SavedFactorB{};
    vb::Variant ShowAplusB = vb::Variant(-1);
    int16_t ShowAminusB = -1;
    vb::Variant CursorMode = vb::Variant(0);
    vb::Variant CursorX;
    vb::Variant CursorXDrawn;
    vb::Variant CursorColour = vb::Variant(0);
    vb::Variant CursorColourDrawn = vb::Variant(0);
    vb::Variant CursorDrawn = vb::Variant(0);
    vb::Variant CursorTime;
    std::string CursorUnit;
    vb::Variant CursorStepLarge;
    int32_t CursorStepSmall{};
    vb::Variant LevelSetMode = vb::Variant(0);
    vb::Variant TrigLevel = vb::Variant(MidScale);
    vb::Variant TrigLevelPrev = vb::Variant(MidScale);
    vb::Variant LevelLineColour = vb::Variant(0);
    vb::Variant LevelColourDrawn = vb::Variant(0);
    vb::Variant LevelDrawn = vb::Variant(0);
    vb::Variant LevelStepLarge = vb::Variant(160);
    int32_t LevelStepSmall = 10;
    vb::Variant LevelVolts = vb::Variant(0);
    vb::Variant ButtonHeld = vb::Variant(0);
    vb::Variant SampleRateIndex = vb::Variant(3);
    int32_t SampleSizeIndex = 1;
    int32_t CapturedSizeIndex = 1;
    vb::Variant ScopeMode = vb::Variant(0);
    int16_t CaptureStatus = 1;
    vb::Variant GenMode = vb::Variant(0);
    vb::Variant GenStyle = vb::Variant(0);
    vb::Variant SweepStartIndex = vb::Variant(5);
    vb::Variant SweepStartFreq;
    vb::Variant GenFreq = vb::Variant(50000);
    vb::Variant GenRateIndex = vb::Variant(4);
    vb::Variant SweepRatio = vb::Variant(0);
    vb::Variant SweepHalf = vb::Variant(1);
    vb::Variant SweepFactor = vb::Variant(0);
    vb::Variant SweepRateIndex = vb::Variant(0);
    vb::Variant CustomRateIndex = vb::Variant(1);
    vb::Variant SavedStyle = vb::Variant(0);
    int16_t AmpDiv = 1;
    int16_t GenDirty = 1;
    vb::Variant Pi = vb::Variant(vb::Pi);
    vb::Variant RunState = vb::Variant(0);
    int16_t LoadFromButton{};
    int16_t SaveFromButton{};
    vb::Variant LoadExit = vb::Variant(0);
    vb::Variant SaveExit = vb::Variant(0);
    vb::Variant LoadRawReq = vb::Variant(0);
    vb::Variant LoadCsvReq = vb::Variant(0);
    int16_t SaveCustomReq = 0;
    vb::Variant LoadDone;
    vb::Variant SaveDone;
    vb::Variant LoadABReq = vb::Variant(0);
    vb::Variant LoadBReq = vb::Variant(0);
    int16_t LoadProfileReq = 0;
    vb::Variant SaveABReq = vb::Variant(0);
    vb::Variant SaveProfileReq = vb::Variant(0);
    int16_t ExportABReq = 0;
    vb::Variant LoadFFTReq = vb::Variant(0);
    vb::Variant SaveFFTReq = vb::Variant(0);
    int16_t ExportFFTReq = 0;
    vb::Variant FileInvalid;
    int16_t NameOK{};
    std::string SaveTypeText;
    std::string SaveExt;
    std::string FilePath;
    int16_t PrintRedraw = 0;
    vb::Variant PrintFormReq;
    vb::Variant PrintSignalReq;
    int16_t PrintExit{};
    vb::Variant HelpExit = vb::Variant(0);
    vb::Variant HelpReadmeReq = vb::Variant(0);
    vb::Variant HelpBasicReq = vb::Variant(0);
    vb::Variant HelpScopeReq = vb::Variant(0);
    vb::Variant HelpFFTReq = vb::Variant(0);
    int16_t HelpGenReq = 0;
    vb::Variant HelpSaveReq = vb::Variant(0);
    vb::Variant HelpLoadReq = vb::Variant(0);
    vb::Variant HelpPrintReq = vb::Variant(0);
    vb::Variant HelpSpecReq = vb::Variant(0);
    int16_t HelpContactReq = 0;
};
