// Start-up time and peak resident memory of the program against a bare Qt
// window (a menu bar and two text boxes), each start in a process of its own.
//
//   zelvano_bench_startup [--runs=N]   drives the comparison (default 21 runs)
//   zelvano_bench_startup zelvano      one start of the program, as its main() does it
//   zelvano_bench_startup bare         one start of the bare window
//
// A started process prints "painted <monotonic ns> <peak RSS KiB>" once its
// window has been painted for the first time, and ends. The driver takes the
// time from just before it spawned the process.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/modulo1.h"
#include "targets.h"
#include "toolkit/lifecycle.h"
#include "toolkit/messagebox.h"

extern char** environ;

namespace {

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Reports the end of the first paint pass and ends the process. The report
// is queued, so it comes after every widget of that pass has painted.
class FirstPaint final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType()) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                const long long painted = monotonicNs();
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                std::printf("painted %lld %ld\n", painted, usage.ru_maxrss);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

void buildBareWindow(QMainWindow& window) {
    window.setWindowTitle(QStringLiteral("Bare"));
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Esci"));
    window.menuBar()
        ->addMenu(QStringLiteral("&Opzioni"))
        ->addAction(QStringLiteral("&Risoluzione"));
    window.menuBar()->addMenu(QStringLiteral("&?"))->addAction(QStringLiteral("Informazioni"));
    auto* client = new QWidget(&window);
    auto* input = new QPlainTextEdit(client);
    auto* output = new QPlainTextEdit(client);
    input->setGeometry(8, 8, 600, 180);
    output->setGeometry(8, 230, 600, 180);
    window.setCentralWidget(client);
    window.resize(619, 465 + window.menuBar()->sizeHint().height());
    window.show();
}

int startOnce(int argc, char** argv, bool zelvano) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    FirstPaint firstPaint;
    app.installEventFilter(&firstPaint);
    // A start that never paints fails instead of hanging the driver.
    QTimer::singleShot(30000, [] { QCoreApplication::exit(3); });

    std::unique_ptr<QMainWindow> bare;
    if (zelvano) {
        QApplication::setApplicationName(QStringLiteral("Zelvano"));
        QApplication::setApplicationDisplayName(QStringLiteral("Zelvano"));
        QApplication::setQuitOnLastWindowClosed(false);
        toolkit::runGuarded([] { Modulo1::Main(); });
        if (toolkit::WindowRegistry::instance().endRequested() ||
            toolkit::WindowRegistry::instance().loadedCount() == 0) {
            return 4;
        }
    } else {
        bare = std::make_unique<QMainWindow>();
        buildBareWindow(*bare);
    }
    return QApplication::exec();
}

struct Start {
    double seconds = bench::kMissing;
    double peakMiB = bench::kMissing;
};

// Spawns this program in the given mode and waits for its report.
Start startProcess(const std::string& self, const char* mode) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string arg0 = self;
    std::string arg1 = mode;
    char* args[] = {arg0.data(), arg1.data(), nullptr};
    pid_t pid = 0;
    const long long spawned = monotonicNs();
    const int error = posix_spawn(&pid, self.c_str(), &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (error != 0) {
        close(pipeEnds[0]);
        return {};
    }
    std::string output;
    char buffer[256];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        output.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long painted = 0;
    long peakKiB = 0;
    const std::size_t at = output.find("painted ");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || at == std::string::npos ||
        std::sscanf(output.c_str() + at, "painted %lld %ld", &painted, &peakKiB) != 2) {
        std::cerr << "a start in mode " << mode << " failed (status " << status << "):\n"
                  << output << '\n';
        return {};
    }
    return {static_cast<double>(painted - spawned) * 1e-9, static_cast<double>(peakKiB) / 1024.0};
}

double median(std::vector<double> values) {
    // One failed start spoils the comparison.
    if (values.empty() ||
        std::any_of(values.begin(), values.end(), [](double v) { return !std::isfinite(v); })) {
        return bench::kMissing;
    }
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

int drive(int runs) {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    // The program starts from a directory whose preference files open the
    // 640 x 480 main window directly.
    std::string dir = (std::filesystem::temp_directory_path() / "zelvano-startup-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) {
        std::cerr << "cannot make a temporary directory\n";
        return 2;
    }
    for (const char* name : {"frmstart.dat", "rex.dat"}) {
        std::ofstream(std::filesystem::path(dir) / name, std::ios::binary) << " 1 \r\n";
    }
    std::filesystem::current_path(dir);

    startProcess(self, "zelvano");  // warm-up: libraries and plugins into the page cache
    startProcess(self, "bare");
    std::vector<double> zelvanoTime, bareTime, zelvanoPeak, barePeak;
    for (int run = 0; run < runs; ++run) {
        // Alternate which goes first, so that neither always follows the other.
        const bool zelvanoFirst = run % 2 == 0;
        Start first = startProcess(self, zelvanoFirst ? "zelvano" : "bare");
        Start second = startProcess(self, zelvanoFirst ? "bare" : "zelvano");
        const Start& zelvano = zelvanoFirst ? first : second;
        const Start& bare = zelvanoFirst ? second : first;
        zelvanoTime.push_back(zelvano.seconds);
        zelvanoPeak.push_back(zelvano.peakMiB);
        bareTime.push_back(bare.seconds);
        barePeak.push_back(bare.peakMiB);
        std::printf("run %2d: zelvano %7.2f ms %6.1f MiB   bare %7.2f ms %6.1f MiB\n", run + 1,
                    zelvano.seconds * 1e3, zelvano.peakMiB, bare.seconds * 1e3, bare.peakMiB);
        std::fflush(stdout);
    }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);

    const double zt = median(zelvanoTime), bt = median(bareTime);
    const double zp = median(zelvanoPeak), bp = median(barePeak);
    bench::Targets targets("startup");
    const std::string of = " (median of " + std::to_string(runs) + ")";
    targets.info("program: start to first paint" + of, bench::number(zt * 1e3, 2) + " ms");
    targets.info("bare window: start to first paint" + of, bench::number(bt * 1e3, 2) + " ms");
    targets.info("program: peak resident memory" + of, bench::number(zp, 1) + " MiB");
    targets.info("bare window: peak resident memory" + of, bench::number(bp, 1) + " MiB");
    targets.atMost("start to first paint: program / bare", bench::ratio(zt, bt), 1.3);
    targets.atMost("peak resident memory: program / bare", bench::ratio(zp, bp), 1.3);
    return targets.print();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "zelvano") == 0 || std::strcmp(argv[1], "bare") == 0)) {
        return startOnce(argc, argv, std::strcmp(argv[1], "zelvano") == 0);
    }
    int runs = 21;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--runs=", 7) == 0 && std::atoi(argv[i] + 7) > 0) {
            runs = std::atoi(argv[i] + 7);
        } else {
            std::cerr << "usage: " << argv[0] << " [--runs=N] | zelvano | bare\n";
            return 2;
        }
    }
    return drive(runs);
}
