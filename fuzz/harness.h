#pragma once
// The program the fuzz targets load into: the main window on the simulated instrument
// and the virtual clock, started once. Every input starts again from the state right
// after that start-up (the record and every control), goes through the window's own
// load path, and is checked all-or-nothing: a rejected file changes nothing, an
// accepted one leaves a state whose files load again.
#include "app/wqk.h"
#include "check.h"

#include <string>
#include <vector>

namespace fuzz {

// What a user can see of a control and what the program reads back from it.
struct ControlState {
    QWidget* widget;
    bool hidden, disabled, bold;
    std::string text;
    double fontSize;
    long back;
    int min, max, value;
    bool operator==(const ControlState& o) const;
};

struct State {
    InstrumentState record;
    std::vector<ControlState> controls;
    bool timerOn = false;
};

// Where an input starts: right after start-up, or after start-up and one press of the F
// button (FFT mode) or of the mode indicator (GENERATOR mode).
enum class Start { Scope, Fft, Generator };

class Program {
  public:
    static Program& get();
    WQK& w;

    // Back to one of the start states, taken once.
    void reset(Start start = Start::Scope);
    // The state now, kept until the next call.
    const State& state();
    // Aborts, naming the first difference, unless the state equals `before` apart from
    // the fields named (the load window's own bookkeeping is always left out).
    void unchanged(const State& before, const std::vector<std::string>& alsoIgnored = {}) const;

    // Opens the load window with LOAD, picks a file holding `bytes` and presses
    // `request`; EXIT if the window is still open after that. True when it loaded.
    bool load(const std::string& bytes, VbButton* request);
    // Runs `writer` on a file of its own and returns what it wrote (SaveDone must be 1).
    std::string save(void (WQK::*writer)());
    // Runs `action` during the next DoEvents of this input, if it comes.
    void atNextDoEvents(std::function<void()> action);

    static void writeFile(const std::string& name, const std::string& bytes);
    static std::string readFile(const std::string& name);
    // The profile SAVE would write now is one the loader accepts.
    void profileLoadsAgain() const;

  private:
    explicit Program(WQK& window);
    State starts_[3], now_;
    int input_ = 0;
};

} // namespace fuzz
