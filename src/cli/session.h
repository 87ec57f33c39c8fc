#pragma once
// The window's own procedures driven without a window: a WQK that is never shown runs
// its start-up (port, detection, first commands) on the chosen backend, takes the
// settings of the options as a user's clicks would leave them, and runs its captures
// with GO. Its message boxes go to stderr; the port-selection window, which waits for a
// user, is closed at once, leaving the configured port as it is.
#include "app/wqk.h"
#include "cli/options.h"

#include <QObject>
#include <functional>
#include <iosfwd>
#include <memory>

namespace cli {

// Exit statuses of the subcommands.
enum Status { Done = 0, WriteFailed = 1, Usage = 2, NoInstrument = 3, Timeout = 4 };

class Session : public QObject {
    Q_OBJECT
  public:
    Session(const Settings& settings, std::ostream& err);
    ~Session() override;

    // The start-up and the instrument checks before a run: Done, or NoInstrument after
    // the window's messages.
    Status start();
    // The options into the window's settings (SCOPE mode, or FFT mode with `fft`):
    // Done, or Usage when a value does not fit this instrument.
    Status apply(bool fft);
    // GO for `captures` captures in a row; `each` runs after each one's read-out.
    // Done, or Timeout when a trigger or a capture's end did not come in time.
    Status capture(int captures, const std::function<void()>& each);
    // As capture(), while `more` says so after each capture: the run ends, Done, once it
    // returns false, or when STOP was pressed for `cancelled` (Ctrl-C, say).
    Status captureWhile(int captures, const std::function<bool()>& more,
                        const std::function<bool()>& cancelled = {});

    // What its messages on stderr start with: "wqkscope measure", say.
    std::string who = "wqkscope";

    WQK& wqk() { return *w_; }
    const InstrumentState& state() const { return w_->state(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    // Each group of settings as a user's clicks would set it; an error for a value
    // that does not fit this instrument, or "".
    std::string applySampling();
    std::string applyChannels();
    std::string applyTrigger();

    const Settings& settings_;
    std::ostream& err_;
    std::unique_ptr<plat::PortBackend> backend_;
    plat::PortBackend* oldBackend_;
    std::unique_ptr<WQK> w_;
    int endCode_ = -1;
};

} // namespace cli
