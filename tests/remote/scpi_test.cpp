// SCPI as text: messages parsed to their commands (each written back in full, which parses
// to the same command), the framing of a byte stream with its limits, headers against
// the tree's patterns, units, number formats and the error queue.
#include "remote/scpi.h"
#include "remote/status.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace scpi;

namespace {

// The commands of a message written out in full, joined by `;`, then the error if any.
std::string parsed(std::string_view text) {
    const Message m = parse(text);
    std::string out;
    for (const Command& c : m.commands) {
        out += (out.empty() ? "" : ";") + toText(c);
        EXPECT_EQ(parse(toText(c)).commands, std::vector<Command>{c}) << toText(c);
    }
    if (m.error) out += " !" + std::to_string(m.error);
    return out;
}

} // namespace

TEST(ScpiParse, FormsPathsAndDataTypes) {
    struct Row {
        const char* name;
        std::string text, expected;
    };
    const Row rows[] = {
        {"case and forms kept as written", ":acq:SRATe 2e6", ":ACQ:SRATE 2000000"},
        {"compound keeps the path", "ACQ:SRAT 1;POIN 2;:TRIG:MODE NORM;SLOP POS",
         ":ACQ:SRAT 1;:ACQ:POIN 2;:TRIG:MODE NORM;:TRIG:SLOP POS"},
        {"common commands leave the path", "ACQ:SRAT 1;*CLS;POIN 2;*IDN?",
         ":ACQ:SRAT 1;*CLS;:ACQ:POIN 2;*IDN?"},
        {"suffixes and units", "CHAN02:RANG 12 V;:MEAS:FREQ? CHAN2",
         ":CHAN2:RANG 12 V;:MEAS:FREQ? CHAN2"},
        {"numbers", "X +1.5E-3,.5,5.,-2 e+1,1KHZ", ":X 0.0015,0.5,5,-20,1 KHZ"},
        {"non-decimal numbers", "X #HfF,#Q17,#b101", ":X 255,15,5"},
        {"strings, quotes doubled", "X 'it''s',\"a\"\"b;c\"", ":X \"it's\",\"a\"\"b;c\""},
        {"definite block holding ; and LF", "X #17a;b\nc\"d,1", ":X #17a;b\nc\"d,1"},
        {"indefinite block to the end", "X 1,#0ab;c", ":X 1,#14ab;c"},
        {"blanks and CR", "  RUN \r", ":RUN"},
        {"empty message", "", ""},
        {"kept before an error", "RUN;ACQ:SRAT 1 2", ":RUN !-103"},
        {"colon without a header", ":", " !-102"},
        {"double colon", "ACQ::SRAT 1", " !-102"},
        {"no blank after the header", "ACQ:SRAT,1", " !-111"},
        {"mnemonic too long", "ABCDEFGHIJKLM", " !-112"},
        {"dangling comma", "ACQ:SRAT 1,", " !-102"},
        {"string without its end", "X \"abc", " !-151"},
        {"block length not a number", "X #3ab1", " !-161"},
        {"block cut short", "X #15abc", " !-161"},
        {"exponent out of range", "X 1e999", " !-120"},
        {"bad hex", "X #HXYZ", " !-120"},
        {"expression", "X (1)", " !-102"},
        {"invalid character", "X @", " !-101"},
        {"suffix out of range", "CHAN1234567:RANG 1", " !-114"},
        {"common command with a suffix", "*IDN1?", " !-113"},
        {"character data too long", "X ABCDEFGHIJKLMN", " !-144"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(parsed(r.text), r.expected) << r.name;
}

TEST(ScpiFramer, CutsAtLfOutsideBlocksAndBoundsEveryMessage) {
    struct Row {
        const char* name;
        std::string input;
        std::vector<std::string> expected; // a message, or "!code" for one refused
        bool partial, partialQuery;
    };
    // Limits of 16 text bytes and 8 block bytes.
    const Row rows[] = {
        {"two messages and a part", "A\nB?\nC", {"A", "B?"}, true, false},
        {"LF inside a block", "X #13a\nb\nY\n", {"X #13a\nb", "Y"}, false, false},
        {"# in a string is text", "X \"#9\"\nY?", {"X \"#9\""}, true, true},
        {"too long, then the next", "X 12345678901234567890\nY\n", {"!-363", "Y"}, false, false},
        {"block too big, skipped", "X #19123\n56789 Z\nY\n", {"!-223", "Y"}, false, false},
        {"two blocks over the limit", "X #15abcde,#15abcde\nY\n", {"!-223", "Y"}, false, false},
        {"bad block length", "X #2a\nY\n", {"!-161", "Y"}, false, false},
        {"indefinite block too big", "X #0123456789\nY\n", {"!-223", "Y"}, false, false},
        {"hex is text", "X #HFF\n", {"X #HFF"}, false, false},
    };
    for (const Row& r : rows) {
        for (size_t chunk : {size_t(1), size_t(3), r.input.size()}) {
            Framer f(16, 8);
            for (size_t i = 0; i < r.input.size(); i += chunk)
                f.feed(std::string_view(r.input).substr(i, chunk));
            std::vector<std::string> got;
            while (auto m = f.next())
                got.push_back(m->error ? "!" + std::to_string(m->error) : m->text);
            EXPECT_EQ(got, r.expected) << r.name << ", chunks of " << chunk;
            EXPECT_EQ(f.partial(), r.partial) << r.name;
            EXPECT_EQ(f.partialQuery(), r.partialQuery) << r.name;
        }
    }
}

TEST(ScpiMatch, ShortLongOptionalNodesAndSuffixes) {
    struct Row {
        const char* pattern;
        const char* command;
        std::vector<int> suffixes; // {-1}: no match
    };
    const Row rows[] = {
        {"SYSTem:ERRor[:NEXT]", "SYST:ERR?", {}},
        {"SYSTem:ERRor[:NEXT]", "system:error:next?", {}},
        {"SYSTem:ERRor[:NEXT]", "SYST:ERR:NEX?", {-1}},
        {"CHANnel#:RANGe", "CHAN:RANG 1", {1}},
        {"CHANnel#:RANGe", "CHANNEL2:RANGE 1", {2}},
        {"CHANnel#:RANGe", "CHANN1:RANG 1", {-1}},
        {"ACQuire:SRATe", "ACQ:SRAT2 1", {-1}},
        {"ACQuire:SRATe", "ACQ 1", {-1}},
        {"*IDN", "*IDN?", {}},
        {"*IDN", "IDN?", {-1}},
        {"DISPlay:TRACe#", "DISP:TRAC3 ON", {3}},
    };
    for (const Row& r : rows) {
        std::vector<int> got;
        const bool hit = matches(r.pattern, parse(r.command).commands.at(0), got);
        EXPECT_EQ(hit ? got : std::vector<int>{-1}, r.suffixes) << r.pattern << " " << r.command;
    }
    int n = 0;
    EXPECT_TRUE(isWord("CHAN2", "CHANnel#", &n));
    EXPECT_EQ(n, 2);
    EXPECT_TRUE(isWord("ASCII", "ASCii"));
    EXPECT_FALSE(isWord("ASCI", "ASCii"));
}

TEST(ScpiUnits, MultipliersAndFormats) {
    struct Row {
        const char* number;
        const char* unit;
        double expected; // NaN: not a suffix of that unit
    };
    const double no = NAN;
    const Row rows[] = {{"1 KHZ", "HZ", 1e3}, {"2 MHZ", "HZ", 2e6}, {"2 MAHZ", "HZ", 2e6},
                        {"200K", "HZ", 2e5},  {"1 M", "HZ", 1e-3},  {"5 MV", "V", 5e-3},
                        {"7 US", "S", 7e-6},  {"3", "V", 3},        {"1 V", "HZ", no},
                        {"1 KV", "HZ", no},   {"1 PCT", "PCT", 1}};
    for (const Row& r : rows) {
        const Param p = parse(std::string("X ") + r.number).commands.at(0).params.at(0);
        const std::optional<double> v = inUnit(p, r.unit);
        if (std::isnan(r.expected)) {
            EXPECT_FALSE(v.has_value()) << r.number;
            continue;
        }
        EXPECT_DOUBLE_EQ(v.value_or(NAN), r.expected) << r.number;
    }
    EXPECT_EQ(number(2e6), "2000000");
    EXPECT_EQ(number(0.0009375), "0.0009375");
    EXPECT_EQ(number(1.5e-5), "1.5E-05");
    EXPECT_EQ(number(NAN), "9.91E+37");
    EXPECT_EQ(number(-INFINITY), "-9.9E+37");
    EXPECT_EQ(block(std::string("a\0b", 3)), std::string("#13a\0b", 6));
    EXPECT_EQ(quoted("say \"hi\""), "\"say \"\"hi\"\"\"");
}

TEST(ScpiStatus, QueueOverflowEventClassesAndStatusByte) {
    Status s;
    EXPECT_EQ(s.takeEvents(), Status::PowerOn);
    struct Row {
        int code, event;
    };
    for (const Row r : {Row{-113, 32}, Row{-222, 16}, Row{-363, 8}, Row{-410, 4}}) {
        s.error(r.code);
        EXPECT_EQ(s.takeEvents(), r.event) << r.code;
    }
    EXPECT_EQ(s.next(), "-113,\"Undefined header\"");
    s.clear();
    for (int i = 0; i < 20; ++i)
        s.error(-222, "n" + std::to_string(i));
    EXPECT_EQ(s.count(), Status::QueueSize);
    for (size_t i = 0; i + 1 < Status::QueueSize; ++i)
        EXPECT_EQ(s.next(), "-222,\"Data out of range;n" + std::to_string(i) + "\"");
    EXPECT_EQ(s.next(), "-350,\"Queue overflow\"");
    EXPECT_EQ(s.next(), "0,\"No error\"");
    s.error(-100);
    s.ese = 32;
    s.sre = 32;
    EXPECT_EQ(s.statusByte(true), 4 + 16 + 32 + 64);
    s.sre = 0;
    EXPECT_EQ(s.statusByte(false), 4 + 32);
}
