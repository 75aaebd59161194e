#include <QApplication>

#include <csignal>
#include <cstdio>

#include "app/modulo1.h"
#include "toolkit/appearance.h"
#include "toolkit/display.h"
#include "toolkit/lifecycle.h"

int main(int argc, char* argv[]) {
    // A report written to a standard error that nobody reads any more must
    // not end the program before its box appears. A handler that does nothing,
    // unlike ignoring the signal, is not passed on to programs started from here.
    struct sigaction onBrokenPipe {};
    onBrokenPipe.sa_handler = [](int) {};
    onBrokenPipe.sa_flags = SA_RESTART;
    sigaction(SIGPIPE, &onBrokenPipe, nullptr);

    if (const std::optional<QString> missing = toolkit::missingDisplay(argc, argv)) {
        std::fprintf(stderr, "Zelvano: %s\n", missing->toLocal8Bit().constData());
        return 1;
    }
    QApplication app(argc, argv);
    toolkit::releaseCheckedDisplay();
    toolkit::setUpApplication();
    return toolkit::WindowRegistry::instance().run([] { Modulo1::Main(); });
}
