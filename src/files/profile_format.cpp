// Profiles: "DPF" and 78 settings, each in print form and followed by a comma, on one
// line with no line break. Every item is checked against the values the program can
// hold, so a damaged or hostile profile is refused before it can index past a buffer.
#include "files/formats.h"
#include "platform/colours.h"

#include <algorithm>
#include <cmath>

namespace files {

namespace {

using S = InstrumentState;

struct Field {
    vb::Variant S::*v = nullptr;
    int16_t S::*i = nullptr;
    int32_t S::*l = nullptr;
};
constexpr Field V(vb::Variant S::*p) {
    return Field{p, nullptr, nullptr};
}
constexpr Field I(int16_t S::*p) {
    return Field{nullptr, p, nullptr};
}
constexpr Field L(int32_t S::*p) {
    return Field{nullptr, nullptr, p};
}

enum Rule : unsigned {
    Whole = 1,      // a whole number
    MayBeEmpty = 2, // a setting that is unset until the display first needs it
};

struct Item {
    const char* name;
    Field field;
    double lo, hi;
    unsigned rules;
    std::vector<double> only = {}; // when given, the values the program ever holds
};

constexpr double Colour = colours::White;
constexpr double Last = InstrumentState::LastIndex;
constexpr unsigned W = Whole;
const std::vector<double> Toggle = {-1, 1};
// Colours of the cursor line: none, its blue and green, and the trace colours of A+B/A-B
// and D; of the level line: none and the colours of A and B. The trace colours are fixed.
const S Start{};
const std::vector<double> CursorColours = {colours::Black, colours::CursorBlue,
                                           colours::CursorGreen, double(Start.colourSum()),
                                           double(Start.colourD())};
const std::vector<double> LevelColours = {colours::Black, double(Start.colourA()),
                                          double(Start.colourB())};

// Items 1..78 in file order, each limited to what the program can hold: an index within
// its table, a size the buffers take, never a running state (SAVE is locked then).
const Item items[ProfileItems] = {
    {"DataRangeA", V(&S::DataRangeA), 0, 2, W},
    {"DataRangeB", I(&S::DataRangeB), 0, 2, W},
    {"RangeA", V(&S::RangeA), 0, 2, W},
    {"RangeB", I(&S::RangeB), 0, 2, W},
    {"DataRateA", V(&S::DataRateA), 0, 4, W},
    {"DataRateB", I(&S::DataRateB), 0, 4, W},
    {"RateA", V(&S::RateA), 0, 4, W},
    {"RateB", I(&S::RateB), 0, 4, W},
    {"DataSizeA", V(&S::DataSizeA), 0, 4, W},
    {"DataSizeB", I(&S::DataSizeB), 0, 4, W},
    {"SizeA", V(&S::SizeA), 0, 4, W},
    {"SizeB", I(&S::SizeB), 0, 4, W},
    {"XMagnify", V(&S::XMagnify), 1, Last, W},
    {"ScrollPos", V(&S::ScrollPos), 0, Last, W},
    // A scale of 20 units or more leaves the level its room (10 .. FullScale - 10).
    {"FullScale", L(&S::FullScale), 20, 32767, W},
    {"GridOn", V(&S::GridOn), -1, 1, W, Toggle},
    {"CouplingA", V(&S::CouplingA), -1, 1, W, Toggle},
    {"CouplingB", V(&S::CouplingB), -1, 1, W, Toggle},
    {"ShowA", V(&S::ShowA), -1, 1, W, Toggle},
    {"ShowB", V(&S::ShowB), -1, 1, W, Toggle},
    {"ShowD", V(&S::ShowD), -1, 1, W, Toggle},
    {"RangeSelA", V(&S::RangeSelA), 0, 1, W},
    {"RangeSelB", V(&S::RangeSelB), 0, 1, W},
    {"ProbeA", V(&S::ProbeA), 0, 1, W},
    {"ProbeB", V(&S::ProbeB), 0, 1, W},
    {"TrigMode", V(&S::TrigMode), 0, 2, W}, // 2 ("1 SHOT") is only ever read, but is read
    {"TrigSource", V(&S::TrigSource), -1, 1, W, Toggle},
    {"TrigSlope", V(&S::TrigSlope), -1, 1, W, Toggle},
    {"PreTrig", V(&S::PreTrig), 0, 2, W},
    {"SumYMag", V(&S::SumYMag), 0, 2, W},
    {"SumYMagFactor", I(&S::SumYMagFactor), 1, 5, W, {1, 2, 5}},
    {"JoinOn", V(&S::JoinOn), -1, 1, W, Toggle},
    {"UnitsOn", I(&S::UnitsOn), -1, 1, W, Toggle},
    {"ShowAplusB", V(&S::ShowAplusB), -1, 1, W, Toggle},
    {"ShowAminusB", I(&S::ShowAminusB), -1, 1, W, Toggle},
    {"CursorMode", V(&S::CursorMode), 0, 5, W},
    {"CursorX", V(&S::CursorX), 0, Last, MayBeEmpty},
    {"CursorXDrawn", V(&S::CursorXDrawn), 0, Last, MayBeEmpty},
    {"CursorColour", V(&S::CursorColour), 0, Colour, W, CursorColours},
    {"CursorColourDrawn", V(&S::CursorColourDrawn), 0, Colour, W, CursorColours},
    {"CursorDrawn", V(&S::CursorDrawn), 0, 1, W},
    {"CursorStepLarge", V(&S::CursorStepLarge), 0, Last, MayBeEmpty},
    {"CursorStepSmall", L(&S::CursorStepSmall), 0, Last, W},
    {"LevelSetMode", V(&S::LevelSetMode), 0, 1, W},
    // The level stops at 10 and FullScale - 10; its line lies within a few scales of them.
    {"TrigLevel", V(&S::TrigLevel), 10, 32757, 0},
    {"TrigLevelPrev", V(&S::TrigLevelPrev), -1e6, 1e6, 0},
    {"LevelLineColour", V(&S::LevelLineColour), 0, Colour, W, LevelColours},
    {"LevelColourDrawn", V(&S::LevelColourDrawn), 0, Colour, W, LevelColours},
    {"LevelDrawn", V(&S::LevelDrawn), 0, 1, W},
    {"LevelStepLarge", V(&S::LevelStepLarge), 0, 32767, 0}, // the arrows only ever clamp
    {"LevelStepSmall", L(&S::LevelStepSmall), 0, 32767, W},
    {"SampleRateIndex", V(&S::SampleRateIndex), 0, 4, W},
    {"SampleSizeIndex", L(&S::SampleSizeIndex), 0, 4, W},
    {"ScopeMode", V(&S::ScopeMode), 0, 3, W},
    {"CaptureStatus", I(&S::CaptureStatus), 0, 1, W},
    {"GenMode", V(&S::GenMode), 0, 2, W},
    {"GenStyle", V(&S::GenStyle), 0, 4, W},
    {"SweepStartIndex", V(&S::SweepStartIndex), 0, 9, W},
    {"SweepStartFreq", V(&S::SweepStartFreq), 0, 1e6, MayBeEmpty},
    {"GenFreq", V(&S::GenFreq), 5, 500000, W},
    {"GenRateIndex", V(&S::GenRateIndex), 0, 4, W},
    {"SweepRatio", V(&S::SweepRatio), 0, 3, W},
    {"SweepHalf", V(&S::SweepHalf), 0, 1, W},
    {"SweepFactor", V(&S::SweepFactor), 0, 20, W, {0, 2, 5, 10, 20}},
    {"SweepRateIndex", V(&S::SweepRateIndex), 0, 4, W},
    {"CustomRateIndex", V(&S::CustomRateIndex), 0, 4, W},
    {"SavedStyle", V(&S::SavedStyle), 0, 4, W},
    {"AmpDiv", I(&S::AmpDiv), 1, 2, W},
    {"GenDirty", I(&S::GenDirty), 0, 1, W},
    {"RunState", V(&S::RunState), 0, 0, W},
    {"YMagA", V(&S::YMagA), 0, 2, W},
    {"YMagB", V(&S::YMagB), 0, 2, W},
    {"TracePosA", V(&S::TracePosA), -16, 16, W},
    {"TracePosB", I(&S::TracePosB), -16, 16, W},
    {"ChanAOn", V(&S::ChanAOn), 0, 1, W},
    {"ChanBOn", I(&S::ChanBOn), 0, 1, W},
    {"DelayMode", I(&S::DelayMode), 0, 1, W},
    {"RunRepeat", I(&S::RunRepeat), 0, 1, W},
};

std::string itemText(const S& s, const Item& it) {
    if (it.field.i) return printForm(s.*it.field.i);
    if (it.field.l) return printForm(s.*it.field.l);
    const vb::Variant& v = s.*it.field.v;
    switch (v.kind()) {
    case vb::Variant::Kind::Empty:
        return "";
    case vb::Variant::Kind::Text:
        return v.text();
    default:
        return printForm(v.num());
    }
}

// A field's text as the item's value; false when the program could never hold it.
bool readItem(const Item& it, std::string_view text, vb::Variant& out) {
    bool blank = text.find_first_not_of(" \t\r\n") == std::string_view::npos;
    if (blank) {
        if (!(it.rules & MayBeEmpty)) return false;
        out = vb::Variant();
        return true;
    }
    double v = 0;
    if (!parseNumber(text, v) || !std::isfinite(v)) return false;
    if (it.rules & Whole && v != std::floor(v)) return false;
    if (v < it.lo || v > it.hi) return false;
    if (!it.only.empty() && std::find(it.only.begin(), it.only.end(), v) == it.only.end())
        return false;
    if (v == std::floor(v))
        out = vb::Variant(static_cast<long long>(v));
    else
        out = vb::Variant(v);
    return true;
}

bool onlyBlanksFrom(std::string_view text, size_t pos) {
    return pos >= text.size() ||
           text.find_first_not_of(" \t\r\n\x1a", pos) == std::string_view::npos;
}

// Splits off the next field, which ends at a comma or at the end of the text; false
// when nothing but blanks is left.
bool nextField(std::string_view text, size_t& pos, std::string_view& field) {
    if (onlyBlanksFrom(text, pos)) return false;
    size_t comma = text.find(',', pos);
    if (comma == std::string_view::npos) comma = text.size();
    field = text.substr(pos, comma - pos);
    pos = std::min(comma + 1, text.size());
    return true;
}

// Combinations the program is not built to hold. v holds items 1..70, or 1..78 with the tail.
bool consistent(const std::vector<vb::Variant>& v) {
    auto item = [&v](int k) { return v[size_t(k - 1)].num(); };
    // No sum or difference trace in FFT mode.
    if (item(54) == 3 && (item(34) == 1 || item(35) == 1)) return false;
    // Each A/B pair of copies is set together.
    for (int k : {5, 7, 9, 11})
        if (item(k) != item(k + 1)) return false;
    // The custom style belongs to the custom generator mode and to no other.
    if ((item(57) == 4) != (item(56) == 2)) return false;
    // X20 is not offered from a 200-step start.
    return !(item(62) == 3 && item(63) == 1);
}

void swapIntoFftMode(S& s, bool entering) {
    // The mode button keeps the samples in SaveA/SaveB while the channel buffers hold
    // spectra; a profile that changes the mode must do the same or the samples are lost.
    if (entering) {
        s.SaveA = s.ChanABuffer;
        s.SaveB = s.ChanBBuffer;
        s.BufBase = 1024;
    } else {
        s.ChanABuffer = s.SaveA;
        s.ChanBBuffer = s.SaveB;
        s.FFTDoneA = 0;
        s.FFTDoneB = 0;
        s.BufBase = 2048;
    }
}

} // namespace

const char* profileItemName(int item) {
    return item >= 1 && item <= ProfileItems ? items[item - 1].name : "";
}

std::string encodeProfile(const InstrumentState& s) {
    std::string out = "DPF,";
    for (const Item& it : items)
        out += itemText(s, it) + ",";
    return out;
}

Outcome decodeProfile(std::string_view text, ProfileData& out) {
    if (text.size() < 10) return Outcome::Invalid;
    size_t pos = 0;
    std::string_view field;
    if (!nextField(text, pos, field)) return Outcome::Invalid;
    size_t b = field.find_first_not_of(" \t"), e = field.find_last_not_of(" \t");
    if (b == std::string_view::npos || field.substr(b, e - b + 1) != "DPF") return Outcome::Invalid;

    ProfileData d;
    d.values.reserve(ProfileItems);
    int count = ProfileRequiredItems;
    for (int k = 0; k < count; ++k) {
        if (!nextField(text, pos, field)) return Outcome::Unreadable;
        vb::Variant v;
        if (!readItem(items[k], field, v)) return Outcome::Invalid;
        d.values.push_back(std::move(v));
        if (k == ProfileRequiredItems - 1 && !onlyBlanksFrom(text, pos)) count = ProfileItems;
    }
    if (!consistent(d.values)) return Outcome::Invalid;
    out = std::move(d);
    return Outcome::Loaded;
}

void applyProfile(InstrumentState& s, const ProfileData& d) {
    const bool wasFft = s.mode() == modes::FFT;
    const size_t n = std::min(d.values.size(), size_t(ProfileItems));
    for (size_t k = 0; k < n; ++k) {
        const Field& f = items[k].field;
        if (f.v)
            s.*f.v = d.values[k];
        else if (f.i)
            s.*f.i = static_cast<int16_t>(d.values[k].num());
        else
            s.*f.l = static_cast<int32_t>(d.values[k].num());
    }
    const bool isFft = s.mode() == modes::FFT;
    if (wasFft != isFft) swapIntoFftMode(s, isFft);
    s.LoadDone = 1;
    s.LevelSetMode = 0;
}

} // namespace files
