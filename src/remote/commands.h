#pragma once
// The SCPI command set over the instrument: each message's commands run in order against
// the Instrument's setters (a refusal is -221 with the instrument's reason) and its
// record (queries answer from it at once). Runs are not started here: RUN, SINGle and
// the like ask the Runs of whoever serves, which starts them from the top of its event
// loop; *WAI, *OPC?, DIGitize, *RST and *TST? hold the message until no run is queued or
// going. Nothing here touches a socket or a widget.
#include "analysis/spectrum_tools.h"
#include "instrument/instrument.h"
#include "remote/scpi.h"
#include "remote/status.h"

#include <optional>
#include <string>
#include <vector>

namespace remote {

// The runs the command set asks for.
class Runs {
  public:
    virtual ~Runs() = default;
    virtual void single() = 0;  // one capture (a run of one in the mode in force)
    virtual void repeat() = 0;  // a Repeat run until STOP
    virtual void stop() = 0;    // the run queued or going ends
    virtual void autoset() = 0; // the menu's auto-set, from the top of the event loop
    // No capture queued or going (a Repeat run may go on).
    virtual bool idle() const = 0;
    // No run at all, and no wait loop of anyone's on the stack: the record may be
    // replaced.
    virtual bool quiet() const = 0;
};

// What the client chose for the data queries: not settings of the instrument.
struct DataSettings {
    enum class Format { Byte, Word, Ascii };
    int source = 1; // channel 1 (A) or 2 (B)
    Format format = Format::Byte;
    bool msbFirst = false;
    analysis::Window window = analysis::Window::Rectangular;
    analysis::Scale scale = analysis::Scale::Normalised;
    double timeoutS = 10; // a single capture's time beyond its own length
};

class Session {
  public:
    Session(Instrument& inst, Runs& runs);

    // Runs one framed message (or reports the error it was refused with). True when it
    // ran to its end; false when it waits for the runs to finish (then resume()).
    bool begin(const scpi::Framed& message);
    bool resume();
    bool waiting() const { return pending_.has_value(); }
    // The response of the message that ended: the answers of its queries joined by `;`
    // and one LF; empty when it asked nothing.
    std::string takeResponse();
    // A message that is held drops its answers (the client has gone).
    void abandon() { pending_.reset(); }

    // The run that a SINGle asked for has ended: how (no trigger, stopped ...).
    void runEnded(const Instrument::RunResult& r);
    // An auto-set that did not finish is an execution error with its reason.
    void autosetEnded(bool done, const std::string& why);
    // A capture has been read out (by a run of anyone's): which channels it holds.
    void captured();

    // *RST's settings: the record of a fresh start-up, the client's data choices.
    void reset();

    Instrument& inst;
    Runs& runs;
    scpi::Status status;
    DataSettings data;
    // The channels the last capture read; none before the first.
    bool capturedA = false, capturedB = false;
    // *OPC was sent: the operation-complete event is set once the runs are idle.
    bool opcArmed = false;
    // The last SINGle was stopped by this client (STOP, *RST): no error for it.
    bool stopAsked = false;

  private:
    bool step();
    struct Pending {
        scpi::Message message;
        size_t next = 0;
        std::vector<std::string> answers;
    };
    std::optional<Pending> pending_;
    std::string response_;
};

// A command of the tree: its pattern (scpi::matches) and what it does as a setting and
// as a query (either may be missing).
struct Call {
    Session& s;
    const scpi::Command& cmd;
    std::vector<int> suffixes;
};
using Handler = std::string (*)(const Call&);
struct Entry {
    const char* pattern;
    Handler set;
    Handler query;
    // WaitIdle: held until no capture is queued or going; StopFirst: and no run at all,
    // stopped first; WaitAfter: the commands after it wait for the capture it queued.
    unsigned flags = 0;
};
enum Flags : unsigned { WaitIdle = 1, StopFirst = 2, WaitAfter = 4 };
// Every command, in the order docs/remote.md lists them.
const std::vector<Entry>& commandTree();

// Thrown by a handler: the error it is refused with.
struct Refusal {
    int code;
    std::string info;
};

// The settings (commands_settings.cpp): INSTrument, ACQuire, CHANnel<n>, MATH, TRIGger,
// DISPlay, SOURce.
void addSettingCommands(std::vector<Entry>& tree);
// The data queries (commands_data.cpp): MEASure, WAVeform, SPECtrum.
void addDataCommands(std::vector<Entry>& tree);
// The short form of a mnemonic ("NORMal": "NORM"), as queries answer with words.
std::string shortForm(const char* mnemonic);

// Parameter checks shared by the handlers: each throws a Refusal naming what is wrong.
namespace args {
void count(const Call& c, size_t min, size_t max);
// A number in `unit` ("" for none) within lo..hi; MINimum and MAXimum stand for them.
double number(const Call& c, size_t i, const char* unit, double lo, double hi);
// One of the values listed (MINimum and MAXimum the first and last): its index.
int oneOf(const Call& c, size_t i, const char* unit, const std::vector<double>& values);
// One of the mnemonics listed ("BYTE", "ASCii"): its index.
int word(const Call& c, size_t i, const std::vector<const char*>& words);
bool flag(const Call& c, size_t i);
// A channel by its node's suffix (CHANnel<n>), or by a parameter CHANnel<n>.
int channel(int suffix);
int channelParam(const Call& c, size_t i, int otherwise);
// A setter's answer: "" goes on, anything else is -221 with that reason.
void apply(const std::string& refusal);
} // namespace args

} // namespace remote
