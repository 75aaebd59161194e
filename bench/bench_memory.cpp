// Resident memory over many cycles of encrypt, transfer and decrypt on a
// 32,766-character text through the real window: after a warm-up it must not
// grow by 1 MiB or more.
//
//   zelvano_bench_memory [cycles] [--warmup=N]
//
// Default 10000 cycles, after a warm-up of a tenth as many (at least 50).

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "cipher/cipher.h"
#include "forms/main/mainwindow.h"
#include "support.h"
#include "targets.h"
#include "texts.h"

namespace {

double residentMiB() {
    std::ifstream statm("/proc/self/statm");
    long long size = 0;
    long long resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

class Cycle {
public:
    explicit Cycle(forms::MainWindow* window)
        : m_window(window),
          m_encrypt(testing::child<QPushButton>(window, QStringLiteral("cmd1"))),
          m_decrypt(testing::child<QPushButton>(window, QStringLiteral("Command1"))),
          m_transfer(testing::child<QPushButton>(window, QStringLiteral("Command3"))) {}

    // One cycle from the same input; returns what the output box holds.
    QString run(const QString& input) {
        m_window->txt1()->setText(input);
        QTest::mouseClick(m_encrypt, Qt::LeftButton);
        QTest::mouseClick(m_transfer, Qt::LeftButton);
        QTest::mouseClick(m_decrypt, Qt::LeftButton);
        QCoreApplication::processEvents();
        return m_window->txt2()->text();
    }

private:
    forms::MainWindow* m_window;
    QPushButton* m_encrypt;
    QPushButton* m_decrypt;
    QPushButton* m_transfer;
};

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    long cycles = 10000;
    long warmup = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--warmup=", 9) == 0 && std::atol(argv[i] + 9) >= 0) {
            warmup = std::atol(argv[i] + 9);
        } else if (std::atol(argv[i]) > 0) {
            cycles = std::atol(argv[i]);
        } else {
            std::cerr << "usage: " << argv[0] << " [cycles] [--warmup=N]\n";
            return 2;
        }
    }

    if (warmup < 0) {
        warmup = std::max(50L, cycles / 10);
    }

    testing::Sandbox sandbox;
    forms::MainWindow* window = forms::MainWindow::show(forms::Variant::frm640);
    if (!QTest::qWaitForWindowExposed(window)) {
        std::cerr << "the main window was never shown\n";
        return 2;
    }
    const std::u16string plain = bench::italianProse(bench::kBoxChars);
    const QString input = QString::fromStdU16String(plain);
    const QString expected =
        QString::fromStdU16String(cipher::DecryptText(cipher::EncryptText(plain).text).text);
    Cycle cycle(window);
    if (cycle.run(input) != expected || !sandbox.boxes.shown.empty()) {
        std::cerr << "a cycle does not give back the decrypted text\n";
        return 2;
    }

    // The resident size steps up and down by whole blocks as the allocator
    // takes and returns memory, so the highest size seen after the warm-up is
    // compared with the highest seen during it.
    double warmPeak = residentMiB();
    for (long i = 0; i < warmup; ++i) {
        cycle.run(input);
        warmPeak = std::max(warmPeak, residentMiB());
    }
    std::printf("%ld warm-up cycles: highest %.2f MiB resident\n", warmup, warmPeak);
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    double peak = 0.0;
    const long step = std::max(1L, cycles / 10);
    for (long i = 1; i <= cycles; ++i) {
        cycle.run(input);
        const double resident = residentMiB();
        peak = std::max(peak, resident);
        if (i % step == 0 || i == cycles) {
            std::printf("cycle %6ld: %.2f MiB resident (highest %.2f), %.1f s\n", i, resident, peak,
                        static_cast<double>(timer.elapsed()) / 1e3);
            std::fflush(stdout);
        }
    }
    const double seconds = static_cast<double>(timer.elapsed()) / 1e3;
    const bool clean = cycle.run(input) == expected && sandbox.boxes.shown.empty();

    bench::Targets targets("memory");
    targets.info("cycles of encrypt, transfer, decrypt", std::to_string(cycles));
    targets.info("time for the cycles", bench::number(seconds, 1) + " s");
    targets.info("time per cycle",
                 bench::number(seconds / static_cast<double>(cycles) * 1e3, 2) + " ms");
    targets.info("highest resident, warm-up / cycles",
                 bench::number(warmPeak, 2) + " / " + bench::number(peak, 2) + " MiB");
    targets.below("resident memory growth (MiB)", clean ? peak - warmPeak : bench::kMissing, 1.0);
    return targets.print();
}
