#pragma once
// Drives the load and save windows on the virtual clock: steps run during successive
// passes of the window loop, and a fallback EXIT ends a window that does not close.
#include "files/formats.h"
#include "files/lists.h"
#include "support/fixture.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace filetest {

using Step = std::function<void()>;

// Runs `open` (a click that opens a window) with steps[i] at the (i+1)-th pass. Returns
// true when the window closed without the fallback EXIT.
inline bool runWindow(testing_support::Harness& h, const Step& open, std::vector<Step> steps,
                      const Step& exit) {
    auto finished = std::make_shared<bool>(false), usedFallback = std::make_shared<bool>(false);
    for (size_t i = 0; i < steps.size(); ++i)
        h.clock().atDoEvents(int(i) + 1, [=, step = steps[i]] {
            if (!*finished) step();
        });
    h.clock().atDoEvents(int(steps.size()) + 3, [=] {
        if (!*finished) *usedFallback = true, exit();
    });
    open();
    *finished = true;
    return !*usedFallback;
}

inline bool load(testing_support::Harness& h, std::vector<Step> steps) {
    WQK& w = h.window();
    return runWindow(
        h, [&w] { w.control<VbButton>("fileloadbutton")->click(); }, std::move(steps),
        [&w] { w.control<VbButton>("loadexitbutton")->click(); });
}

inline bool save(testing_support::Harness& h, std::vector<Step> steps) {
    WQK& w = h.window();
    return runWindow(
        h, [&w] { w.control<VbButton>("filesavebutton")->click(); }, std::move(steps),
        [&w] { w.control<VbButton>("exitsavebutton")->click(); });
}

// Everything a load may change, for "nothing changed" checks.
struct Snapshot {
    std::string profile;
    std::vector<int16_t> a, b, gen, custom;
    std::vector<double> numbers;
    explicit Snapshot(const InstrumentState& s)
        : profile(files::encodeProfile(s)), a(s.ChanABuffer), b(s.ChanBBuffer), gen(s.GenWave),
          custom(s.CustomWave), numbers{s.GenLast, s.RateFactor, s.LoadDone.num(), s.FFTDoneA.num(),
                                        double(s.FFTDoneB)} {}
    bool operator==(const Snapshot& o) const {
        return profile == o.profile && a == o.a && b == o.b && gen == o.gen && custom == o.custom &&
               numbers == o.numbers;
    }
};

// The running program, for the window tests.
struct FileWindow : ::testing::Test {
    testing_support::Harness h;
    WQK& w = h.window();
};

inline const plat::Message* lastMessage(testing_support::Harness& h) {
    auto& shown = h.messages().shown;
    return shown.empty() ? nullptr : &shown.back();
}

} // namespace filetest
