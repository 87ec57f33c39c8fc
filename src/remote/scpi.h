#pragma once
// SCPI as text: a byte stream cut into program messages (with the input bounded), one
// message parsed into its commands (long and short forms, `;` compounds and the path
// rule, every data type of IEEE 488.2), a header matched against the command tree's
// patterns, and the response formats. Pure: no socket and no instrument, so the tests and
// the fuzz target drive it alone.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scpi {

// The most text one message may hold, and the largest block the instrument takes (a
// custom wave of 32768 one-byte points).
constexpr size_t MaxText = 64 * 1024;
constexpr size_t MaxBlock = 32768;

// The standard error numbers this interface reports.
enum Code : int {
    NoError = 0,
    CommandError = -100,
    InvalidCharacter = -101,
    SyntaxError = -102,
    InvalidSeparator = -103,
    DataTypeError = -104,
    ParameterNotAllowed = -108,
    MissingParameter = -109,
    HeaderSeparatorError = -111,
    MnemonicTooLong = -112,
    UndefinedHeader = -113,
    HeaderSuffixOutOfRange = -114,
    NumericDataError = -120,
    InvalidSuffix = -131,
    SuffixNotAllowed = -138,
    CharacterDataTooLong = -144,
    InvalidStringData = -151,
    InvalidBlockData = -161,
    ExecutionError = -200,
    SettingsConflict = -221,
    DataOutOfRange = -222,
    TooMuchData = -223,
    IllegalParameterValue = -224,
    DataStale = -230,
    HardwareMissing = -241,
    QueueOverflow = -350,
    InputBufferOverrun = -363,
    QueryInterrupted = -410,
    QueryUnterminated = -420,
};
// The standard text of a number ("Undefined header"); "" for one not listed above.
const char* message(int code);

// ---- Framing ---------------------------------------------------------------------------

// One program message as it arrived, without its LF; or, when error is set, a message
// that was refused and skipped (too long, a block too big, a malformed block length).
struct Framed {
    std::string text;
    int error = NoError;
};

// Cuts a byte stream into messages at each LF outside a block. A definite-length block
// (#<n><len><bytes>) may hold any byte, LF too; an indefinite one (#0) runs to the LF.
// Nothing is kept beyond one message of MaxText text and MaxBlock of block bytes: a
// longer message is skipped to its LF, and a longer block is skipped as it arrives.
class Framer {
  public:
    explicit Framer(size_t maxText = MaxText, size_t maxBlock = MaxBlock)
        : maxText_(maxText), maxBlock_(maxBlock) {}
    void feed(std::string_view bytes);
    // The oldest complete message not yet taken.
    std::optional<Framed> next();
    // Whether part of a message (or of one being skipped) has arrived without its LF,
    // and whether that part holds a query.
    bool partial() const { return started_; }
    bool partialQuery() const { return query_; }

  private:
    enum class State { Text, Quote, Hash, Digits, Block, Rest, SkipBlock, Skip };
    void take(char c);
    void fail(int code);
    void finish();

    size_t maxText_, maxBlock_;
    std::deque<Framed> done_;
    std::string cur_;
    State st_ = State::Text;
    bool started_ = false, query_ = false;
    char quote_ = 0;
    size_t text_ = 0, blocks_ = 0;
    int digits_ = 0;
    unsigned long long len_ = 0, remaining_ = 0;
    int error_ = NoError;
};

// ---- Parsing ---------------------------------------------------------------------------

struct Param {
    enum class Kind { Number, Word, String, Block };
    Kind kind = Kind::Number;
    double number = 0;
    std::string text; // Word: upper-cased; String: its characters; Block: its bytes
    std::string unit; // Number: the suffix written after it, upper-cased ("" for none)
    bool operator==(const Param& o) const;
};

struct Node {
    std::string name; // upper-cased, without its numeric suffix
    int suffix = -1;  // the numeric suffix written (CHANnel2), -1 for none
    bool operator==(const Node& o) const { return name == o.name && suffix == o.suffix; }
};

struct Command {
    bool common = false; // *IDN?: path holds its one name
    bool query = false;
    std::vector<Node> path; // from the root, whatever the message wrote
    std::vector<Param> params;
    bool operator==(const Command& o) const;
};

struct Message {
    std::vector<Command> commands; // the commands before the error, in order
    int error = NoError;           // what ended the parse early
    std::string info;              // where or why, for the error queue
};

// One program message: commands separated by `;`, each header relative to the path the
// command before it left (its header less its last node), or from the root after a
// leading `:`; common commands leave the path as it is.
Message parse(std::string_view text);
// A command written out in full (absolute path, canonical data): parse() gives it back.
std::string toText(const Command& c);

// ---- The command tree -----------------------------------------------------------------

// Whether a command's header is the pattern's: "ACQuire:SRATe", "CHANnel#:RANGe" (a
// node with # takes a numeric suffix, 1 when none is written), "SYSTem:ERRor[:NEXT]"
// (a node in brackets may be left out), "*IDN" (a common command). Each node is
// written in its short form (the capitals) or its long form. The suffixes taken, in
// order, go into `suffixes`.
bool matches(std::string_view pattern, const Command& c, std::vector<int>& suffixes);
// Whether a word (character data, upper-cased) is the mnemonic written "BYTE", "ASCii",
// "CHANnel#" (then `suffix` gets its number, 1 when none).
bool isWord(std::string_view word, std::string_view mnemonic, int* suffix = nullptr);

// ---- Responses ---------------------------------------------------------------------------

// A number in the shortest form that reads back the same (2000000, 0.0009375, 1.5E-05);
// NaN as 9.91E+37 and infinities as +/-9.9E+37, as SCPI writes them.
std::string number(double v);
// A definite-length block: #<digits of len><len><bytes>.
std::string block(std::string_view bytes);
// A string response in double quotes, an inner quote doubled.
std::string quoted(std::string_view text);
// A number's value in a base unit ("HZ", "V", "S") from the suffix written after it
// (KHZ, MHZ, MV, US ...; none for the base unit itself); nullopt when the suffix is
// not one of that unit.
std::optional<double> inUnit(const Param& p, std::string_view unit);

} // namespace scpi
