#include "app/test_hook.h"
#include "app/wqk.h"
#include "platform/port.h"
#include "port/select.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    ports::Choice choice = ports::parseArgs(args);
    if (choice.help) {
        std::fputs(ports::usage().c_str(), stdout);
        return 0;
    }
    if (!choice.errors.empty()) {
        for (const auto& e : choice.errors)
            std::fprintf(stderr, "wqkscope: %s\n", e.c_str());
        std::fputs(ports::usage().c_str(), stderr);
        return 2;
    }
    QApplication app(argc, argv);
    auto backend = ports::makeBackend(choice);
    plat::setPortBackend(backend.get());

    WQK w;
    // EXIT ends the program at once, even from inside a running loop.
    w.onEnd = [](int code) {
        std::fflush(nullptr);
        std::_Exit(code);
    };
    w.show();
    if (qEnvironmentVariableIsSet("WQK_TEST_HOOK")) installTestHook(w);
    return app.exec();
}
