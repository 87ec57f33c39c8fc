#include "app/test_hook.h"

#include "app/wqk.h"

#include <QSocketNotifier>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

void answer(WQK& w, const std::string& line) {
    const InstrumentState& s = w.state();
    if (line.rfind("pos ", 0) == 0) {
        // Any control of the program: the window of the Parts or the main window around it.
        QWidget* c = w.window()->findChild<QWidget*>(QString::fromStdString(line.substr(4)));
        if (c && c->isVisible() && c->isEnabled()) {
            const QPoint p = c->mapToGlobal(c->rect().center());
            std::printf("%d %d\n", p.x(), p.y());
        } else {
            std::printf("none\n");
        }
    } else if (line == "state") {
        const QWidget* f = w.focusWidget();
        std::printf("GenFreq=%ld CursorX=%ld CursorStepSmall=%ld CursorStepLarge=%ld "
                    "TrigLevel=%ld TracePosA=%ld RunState=%ld ButtonHeld=%ld ScopeMode=%ld "
                    "CursorMode=%ld LevelSetMode=%ld TrigMode=%ld focus=%s\n",
                    s.genFreq(), long(s.cursorX()), long(s.CursorStepSmall),
                    long(s.cursorStepLarge()), long(s.trigLevel()), long(s.tracePosA()),
                    long(s.running()), long(s.buttonHeld()), long(s.mode()), long(s.cursorMode()),
                    long(s.levelSetOn()), long(s.trigMode()),
                    f ? f->objectName().toUtf8().constData() : "-");
    } else {
        std::printf("?\n");
    }
    std::fflush(stdout);
}

} // namespace

void installTestHook(WQK& w) {
    auto* n = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &w);
    auto pending = std::make_shared<std::string>();
    QObject::connect(n, &QSocketNotifier::activated, &w, [&w, n, pending] {
        char buf[256];
        const ssize_t got = ::read(STDIN_FILENO, buf, sizeof buf);
        if (got <= 0) {
            n->setEnabled(false);
            return;
        }
        pending->append(buf, size_t(got));
        for (size_t end; (end = pending->find('\n')) != std::string::npos;) {
            answer(w, pending->substr(0, end));
            pending->erase(0, end + 1);
        }
    });
}
