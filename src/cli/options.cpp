#include "cli/options.h"

#include "analysis/spectrum_tools.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace cli {

std::optional<double> number(const std::string& text, bool multipliers) {
    std::string_view t = text;
    double factor = 1;
    if (multipliers && !t.empty() && (t.back() == 'k' || t.back() == 'K' || t.back() == 'M')) {
        factor = t.back() == 'M' ? 1e6 : 1e3;
        t.remove_suffix(1);
    }
    double v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v))
        return std::nullopt;
    return v * factor;
}

namespace {

// One of a list of words: its index, or an error listing them.
template <size_t N>
std::string oneOf(const char* option, const std::string& v, const char* const (&words)[N],
                  const std::function<void(int)>& set) {
    for (size_t i = 0; i < N; ++i)
        if (v == words[i]) {
            set(int(i));
            return "";
        }
    std::string e = std::string(option) + " must be ";
    for (size_t i = 0; i < N; ++i)
        e += (i ? (i + 1 == N ? " or " : ", ") : "") + std::string(words[i]);
    return e + ": " + v;
}

// The same option for channel A and channel B: --STEM-a and --STEM-b.
void perChannel(OptionList& l, const std::string& stem, const char* value, const char* help,
                const std::function<std::string(Settings&, int, const std::string&)>& take) {
    for (int c = 0; c < 2; ++c)
        l.push_back({stem + (c ? "-b" : "-a"), value, c ? "the same for channel B" : help,
                     [take, c](Settings& s, const std::string& v) { return take(s, c, v); }});
}

void samplingOptions(OptionList& l) {
    l.push_back({"--rate", "HZ",
                 "sampling rate: 2k, 20k, 200k, 2M or 20M (x1.5 on the 30 MHz model; default 2M)",
                 [](Settings& s, const std::string& v) -> std::string {
                     const auto hz = number(v, true);
                     if (!hz || *hz <= 0)
                         return "--rate must be a rate in Hz such as 2000000, 2M or 200k: " + v;
                     s.rateHz = *hz;
                     return "";
                 }});
    l.push_back({"--size", "2K..32K", "samples per capture: 2K, 4K, 8K, 16K or 32K (default 4K)",
                 [](Settings& s, const std::string& v) {
                     static const char* const sizes[] = {"2K", "4K", "8K", "16K", "32K"};
                     std::string u = v;
                     std::transform(u.begin(), u.end(), u.begin(), ::toupper);
                     if (const auto n = number(v); n && *n >= 2048 && std::fmod(*n, 1) == 0)
                         u = std::to_string(long(*n) / 1024) + "K";
                     return oneOf("--size", u, sizes, [&s](int i) { s.sizeIndex = i; });
                 }});
}

void channelOptions(OptionList& l) {
    perChannel(l, "--range", "1.2|12|120",
               "input range of A in volts full scale (default 12; 120 needs --probe-a=10)",
               [](Settings& s, int c, const std::string& v) {
                   static const char* const r[] = {"1.2", "12", "120"};
                   return oneOf(c ? "--range-b" : "--range-a", v, r,
                                [&s, c](int i) { s.range[c] = i; });
               });
    perChannel(l, "--coupling", "dc|ac", "coupling of A (default ac)",
               [](Settings& s, int c, const std::string& v) {
                   static const char* const w[] = {"dc", "ac"};
                   return oneOf(c ? "--coupling-b" : "--coupling-a", v, w,
                                [&s, c](int i) { s.dc[c] = i == 0; });
               });
    perChannel(l, "--probe", "1|10", "probe of A: x1 or x10 (default 1)",
               [](Settings& s, int c, const std::string& v) {
                   static const char* const w[] = {"1", "10"};
                   return oneOf(c ? "--probe-b" : "--probe-a", v, w,
                                [&s, c](int i) { s.probe[c] = i; });
               });
    l.push_back({"--channels", "a|b|ab", "channels to capture (default ab, or a without channel B)",
                 [](Settings& s, const std::string& v) {
                     static const char* const w[] = {"a", "b", "ab"};
                     return oneOf("--channels", v, w, [&s](int i) {
                         s.chanOn[0] = i != 1;
                         s.chanOn[1] = i != 0;
                     });
                 }});
}

void triggerOptions(OptionList& l) {
    l.push_back({"--trigger", "inst|a+|a-|b+|b-",
                 "instant start, or A or B rising (+) or falling (-) (default inst)",
                 [](Settings& s, const std::string& v) {
                     static const char* const w[] = {"inst", "a+", "a-", "b+", "b-"};
                     return oneOf("--trigger", v, w, [&s](int i) {
                         s.trigMode = i == 0 ? 0 : 1;
                         s.trigSource = i >= 3 ? 1 : 0;
                         s.rising = i != 2 && i != 4;
                     });
                 }});
    l.push_back({"--level", "VOLTS", "trigger level in volts on the source's range (default 0)",
                 [](Settings& s, const std::string& v) -> std::string {
                     const auto n = number(v);
                     if (!n) return "--level must be a number of volts: " + v;
                     s.levelV = *n;
                     return "";
                 }});
    l.push_back({"--pretrigger", "0|10|100", "samples kept before the trigger (default 0)",
                 [](Settings& s, const std::string& v) {
                     static const char* const w[] = {"0", "10", "100"};
                     return oneOf("--pretrigger", v, w, [&s](int i) { s.preTrig = i; });
                 }});
    l.push_back(
        {"--timeout", "SECONDS",
         "longest wait for a trigger or the end of a capture, beyond the capture's own length "
         "(default 10)",
         [](Settings& s, const std::string& v) -> std::string {
             const auto n = number(v);
             if (!n || *n <= 0 || *n > 86400)
                 return "--timeout must be more than 0 and at most 86400 seconds: " + v;
             s.timeoutS = *n;
             return "";
         }});
    l.push_back({"--trigger-auto", "",
                 "with a trigger: a capture whose trigger has not come within twice its length "
                 "(at least 100 ms) is taken without it",
                 [](Settings& s, const std::string&) {
                     s.autoTrigger = true;
                     return std::string();
                 }});
    l.push_back({"--autoset", "",
                 "first choose ranges, rate, size and trigger for the signals on the inputs, as "
                 "the window's Auto-set (over the options above where they meet)",
                 [](Settings& s, const std::string&) {
                     s.autoset = true;
                     return std::string();
                 }});
}

} // namespace

const OptionList& captureOptions() {
    static const OptionList list = [] {
        OptionList l;
        samplingOptions(l);
        channelOptions(l);
        triggerOptions(l);
        return l;
    }();
    return list;
}

const OptionList& jsonOption() {
    static const OptionList list = {{"--json", "", "print one JSON object instead of a table",
                                     [](Settings& s, const std::string&) {
                                         s.json = true;
                                         return std::string();
                                     }}};
    return list;
}

const OptionList& spectrumOptions() {
    static const OptionList list = {
        {"--window", "rect|hann|hamming|blackman-harris|flattop",
         "window function (default rect: the FFT display's)",
         [](Settings& s, const std::string& v) {
             static const char* const w[] = {"rect", "hann", "hamming", "blackman-harris",
                                             "flattop"};
             return oneOf("--window", v, w, [&s, &v](int) { s.window = v; });
         }},
        {"--scale", "linear|dbfs|dbv",
         "vertical scale: the display's 0..100, dB full scale, dBV (default linear)",
         [](Settings& s, const std::string& v) {
             static const char* const w[] = {"linear", "dbfs", "dbv"};
             return oneOf("--scale", v, w, [&s, &v](int) { s.scale = v; });
         }},
        {"--average", "N", "power average of N captures, 1..64 (default 1)",
         [](Settings& s, const std::string& v) -> std::string {
             const auto n = number(v);
             if (!n || *n < 1 || *n > 64 || std::fmod(*n, 1) != 0)
                 return "--average must be 1..64: " + v;
             s.average = int(*n);
             return "";
         }},
        {"--peaks", "N", "highest peaks listed per channel, 0..100 (default 5)",
         [](Settings& s, const std::string& v) -> std::string {
             const auto n = number(v);
             if (!n || *n < 0 || *n > 100 || std::fmod(*n, 1) != 0)
                 return "--peaks must be 0..100: " + v;
             s.peaks = int(*n);
             return "";
         }},
        {"--out", "F.csv|-",
         "also write frequency and each channel's values as CSV (-: on standard output, "
         "instead of the report)",
         [](Settings& s, const std::string& v) -> std::string {
             if (v.empty()) return "--out needs a file name";
             s.out = v;
             return "";
         }},
    };
    return list;
}

Settings parse(const std::vector<std::string>& args, const std::vector<const OptionList*>& lists,
               std::vector<std::string>& errors) {
    Settings s;
    std::vector<std::string> rest;
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            s.help = true;
            continue;
        }
        const size_t eq = a.find('=');
        const std::string name = a.substr(0, eq);
        const Option* found = nullptr;
        for (const OptionList* l : lists)
            for (const Option& o : *l)
                if (name == o.name) found = &o;
        if (!found) {
            rest.push_back(a);
            continue;
        }
        if ((eq == std::string::npos) != found->value.empty()) {
            errors.push_back(found->value.empty()
                                 ? name + " takes no value"
                                 : name + " needs a value: " + name + "=" + found->value);
            continue;
        }
        const std::string e = found->take(s, eq == std::string::npos ? "" : a.substr(eq + 1));
        if (!e.empty()) errors.push_back(e);
    }
    s.port = ports::parseArgs(rest);
    for (const std::string& e : s.port.errors)
        errors.push_back(e);
    // The x10 probe moves the Range button's 1.2 and 12 V to 12 and 120 V: a range the
    // probe cannot give is refused rather than the probe turned round behind the user.
    for (int c = 0; c < 2; ++c) {
        const std::string ch = c ? "b" : "a";
        if (s.range[c] == 2 && s.probe[c] != 1)
            errors.push_back("--range-" + ch + "=120 needs the x10 probe: --probe-" + ch + "=10");
        if (s.range[c] == 0 && s.probe[c] == 1)
            errors.push_back("--range-" + ch + "=1.2 needs the x1 probe: --probe-" + ch + "=1");
    }
    return s;
}

std::string optionHelp(const std::vector<const OptionList*>& lists) {
    // Help texts start in one column; an option too long for it has its text on the
    // next line.
    constexpr size_t Column = 26;
    std::string out;
    for (const OptionList* l : lists)
        for (const Option& o : *l) {
            const std::string left = "  " + o.name + (o.value.empty() ? "" : "=" + o.value);
            out += left.size() + 2 > Column ? left + "\n" + std::string(Column, ' ')
                                            : left + std::string(Column - left.size(), ' ');
            out += o.help + "\n";
        }
    return out;
}

} // namespace cli
