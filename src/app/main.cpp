#include "app/test_hook.h"
#include "cli/cli.h"
#include "host/main_window.h"
#include "platform/port.h"
#include "platform/version.h"
#include "port/select.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace {

// `wqkscope SUBCOMMAND ...`: no window. Measuring needs no GUI at all, so no platform
// plugin is loaded and it runs where there is none; a picture draws text, which needs
// the GUI, on Qt's offscreen platform whatever the environment.
int runSubcommand(const std::vector<std::string>& args, char* program) {
    // Standard error carries the program's own messages: keep Qt's notes about the
    // desktop environment (no runtime directory, no fonts ...) out of it.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "wqkscope: %s\n", qPrintable(text));
    });
    int qtArgc = 1; // the options are ours, not Qt's
    std::unique_ptr<QCoreApplication> app;
    if (cli::drawsPicture(args)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(qtArgc, &program);
    } else {
        app = std::make_unique<QCoreApplication>(qtArgc, &program);
    }
    const int status = cli::run(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write fails with EFBIG and takes the ordinary failure path
    // (a message, the old file kept) instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (cli::meansSubcommand(args)) return runSubcommand(args, argv[0]);
    // The window's own option: the start-up settings instead of the last session's.
    const auto defaults = std::remove(args.begin(), args.end(), std::string("--defaults"));
    const bool fromDefaults = defaults != args.end();
    args.erase(defaults, args.end());
    const std::string usage = ports::usage() +
                              "Window:\n"
                              "  --defaults        start from the start-up settings, not from "
                              "those of the\n"
                              "                    last session\n" +
                              cli::subcommandSummary();
    ports::Choice choice = ports::parseArgs(args);
    if (choice.help) {
        std::fputs(usage.c_str(), stdout);
        return 0;
    }
    if (choice.version) {
        std::printf("wqkscope %s\n", plat::version);
        return 0;
    }
    if (!choice.errors.empty()) {
        for (const auto& e : choice.errors)
            std::fprintf(stderr, "wqkscope: %s\n", e.c_str());
        std::fputs(usage.c_str(), stderr);
        return 2;
    }
    QApplication app(argc, argv);
    app.setApplicationVersion(plat::version);
    // The desktop finds the entry, and with it the name and icon, by this name.
    QGuiApplication::setDesktopFileName(plat::appId);
    app.setWindowIcon(QIcon::fromTheme("wqkscope"));
    auto backend = ports::makeBackend(choice);
    plat::setPortBackend(backend.get());

    host::MainWindow window(fromDefaults ? host::MainWindow::Start::Defaults
                                         : host::MainWindow::Start::Remembered);
    // EXIT ends the program at once, even from inside a running loop.
    window.onEnd = [](int code) {
        std::fflush(nullptr);
        std::_Exit(code);
    };
    window.show();
    if (qEnvironmentVariableIsSet("WQK_TEST_HOOK")) installTestHook(window.wqk());
    return app.exec();
}
