#pragma once
// The instrument driven without a window: its start-up (port, detection, first commands)
// on the chosen backend, the options as settings, and its captures. Its message boxes go
// to stderr; where the window would ask for a port, the configured one stays.
#include "cli/options.h"
#include "instrument/instrument.h"

#include <functional>
#include <iosfwd>
#include <memory>

namespace cli {

// Exit statuses of the subcommands.
enum Status { Done = 0, WriteFailed = 1, Usage = 2, NoInstrument = 3, Timeout = 4 };

class Session {
  public:
    Session(const Settings& settings, std::ostream& err);
    ~Session();

    // The start-up and the instrument checks before a run: Done, or NoInstrument after
    // the messages.
    Status start();
    // The options as the instrument's settings (SCOPE mode, or FFT mode with `fft`):
    // Done, or Usage when a value does not fit this instrument.
    Status apply(bool fft);
    // GO for `captures` captures in a row; `each` runs after each one's read-out.
    // Done, or Timeout when a trigger or a capture's end did not come in time.
    Status capture(int captures, const std::function<void()>& each);
    // As capture(), while `more` says so after each capture: the run ends, Done, once it
    // returns false, or when it was stopped for `cancelled` (Ctrl-C, say).
    Status captureWhile(int captures, const std::function<bool()>& more,
                        const std::function<bool()>& cancelled = {});

    // What its messages on stderr start with: "wqkscope measure", say.
    std::string who = "wqkscope";

    Instrument& instrument() { return inst_; }
    const InstrumentState& state() const { return inst_.state(); }

  private:
    // Each group of settings; an error for a value that does not fit this instrument,
    // or "".
    std::string applySampling();
    std::string applyChannels();
    std::string applyTrigger();

    const Settings& settings_;
    std::ostream& err_;
    Instrument inst_;
};

} // namespace cli
