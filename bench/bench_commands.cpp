// The encrypt command through the real window, on the offscreen platform,
// against a bare QPlainTextEdit of the same size given the same output text.
// A command counts as done when the output box has been painted with its
// result, since the text box lays out what it shows only when it paints.

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cipher/cipher.h"
#include "forms/main/mainwindow.h"
#include "support.h"
#include "targets.h"
#include "texts.h"

namespace {

// Counts the paint events of a widget.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) : QObject(widget) { widget->installEventFilter(this); }
    int count() const { return m_count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++m_count;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int m_count = 0;
};

// Lets the event loop run until the widget has painted again.
void settle(const PaintCounter& painted) {
    const int before = painted.count();
    for (int round = 0; round < 1000 && painted.count() == before; ++round) {
        QCoreApplication::processEvents();
    }
}

struct Case {
    std::string name;
    QString input;
    QString output;  // what the command writes into txt2
    QString shown;   // what txt2's document then holds, control pictures and all
};

struct Fixture {
    forms::MainWindow* window = nullptr;
    QPushButton* cmd1 = nullptr;
    PaintCounter* txt2Paints = nullptr;
    QPlainTextEdit* bare = nullptr;
    PaintCounter* barePaints = nullptr;
    testing::Sandbox* sandbox = nullptr;
};

Fixture fixture;

void timeCommand(benchmark::State& state, const Case& c) {
    toolkit::TextBox* txt1 = fixture.window->txt1();
    toolkit::TextBox* txt2 = fixture.window->txt2();
    txt1->setText(c.input);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        txt2->setText(QString());
        settle(*fixture.txt2Paints);
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(fixture.cmd1, Qt::LeftButton);
        settle(*fixture.txt2Paints);
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
    }
    if (!fixture.sandbox->boxes.shown.empty()) {
        state.SkipWithError(
            ("the command showed a message: " + fixture.sandbox->boxes.shown.back().text)
                .toStdString()
                .c_str());
    } else if (txt2->textBetween(0, txt2->document()->characterCount()) != c.output) {
        // Read from the document itself, not from a copy the box keeps.
        state.SkipWithError("the output box does not hold the encrypted text");
    }
}

void timeBareBox(benchmark::State& state, const QString& text) {
    for (auto _ : state) {
        fixture.bare->setPlainText(QString());
        settle(*fixture.barePaints);
        QElapsedTimer timer;
        timer.start();
        fixture.bare->setPlainText(text);
        settle(*fixture.barePaints);
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
    }
}

void timeKernel(benchmark::State& state, const std::u16string& input) {
    for (auto _ : state) {
        cipher::TextResult result = cipher::EncryptText(input);
        benchmark::DoNotOptimize(result.text.data());
        benchmark::ClobberMemory();
    }
}

QString qstring(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

Case makeCase(const std::string& name, const std::u16string& input) {
    Case c{name, qstring(input), qstring(cipher::EncryptText(input).text), {}};
    fixture.window->txt1()->setText(c.input);
    QTest::mouseClick(fixture.cmd1, Qt::LeftButton);
    c.shown = fixture.window->txt2()->document()->toRawText();
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::Sandbox sandbox;
    fixture.sandbox = &sandbox;

    fixture.window = forms::MainWindow::show(forms::Variant::frm640);
    fixture.cmd1 = testing::child<QPushButton>(fixture.window, QStringLiteral("cmd1"));
    fixture.txt2Paints = new PaintCounter(fixture.window->txt2()->viewport());

    // The bare box: a plain QPlainTextEdit of the output box's size.
    QPlainTextEdit bare;
    bare.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    bare.resize(fixture.window->txt2()->size());
    bare.show();
    fixture.bare = &bare;
    fixture.barePaints = new PaintCounter(bare.viewport());
    if (!QTest::qWaitForWindowExposed(fixture.window) || !QTest::qWaitForWindowExposed(&bare)) {
        std::fprintf(stderr, "the windows were never shown\n");
        return 2;
    }

    const std::u16string prose = bench::italianProse(bench::kBoxChars);
    const std::vector<Case> cases = {
        makeCase("a_prose_32766", prose),
        makeCase("b_nospace_32766", bench::proseWithoutSpaces(bench::kBoxChars)),
        makeCase("c_prose_1MiB", bench::italianProse(bench::kMiBChars)),
    };
    for (const Case& c : cases) {
        benchmark::RegisterBenchmark(("command/" + c.name).c_str(), timeCommand, c)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("bare/" + c.name).c_str(), timeBareBox, c.output)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        // For the record: a bare box given the text as the output box shows
        // it, where only a CR LF pair breaks the line.
        benchmark::RegisterBenchmark(("bare_shown/" + c.name).c_str(), timeBareBox, c.shown)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("kernel/a_prose_32766", timeKernel, prose)
        ->Unit(benchmark::kMicrosecond);

    bench::MedianReporter reporter;
    bench::runBenchmarks(
        argc, argv,
        {"--benchmark_repetitions=5", "--benchmark_min_time=0.2",
         "--benchmark_enable_random_interleaving=true", "--benchmark_report_aggregates_only=true"},
        reporter);

    auto ms = [&reporter](const std::string& name) {
        return bench::number(reporter.seconds(name) * 1e3, 2) + " ms";
    };
    auto ratio = [&reporter](const std::string& over, const std::string& under) {
        return bench::ratio(reporter.seconds(over), reporter.seconds(under));
    };
    bench::Targets targets("commands");
    for (const Case& c : cases) {
        targets.info("command " + c.name, ms("command/" + c.name));
        targets.info("bare box " + c.name, ms("bare/" + c.name));
        targets.info("bare box, shown text " + c.name, ms("bare_shown/" + c.name));
    }
    targets.info("kernel a_prose_32766",
                 bench::number(reporter.seconds("kernel/a_prose_32766") * 1e6, 1) + " us");
    targets.atMost("(a) command / bare box, prose 32,766",
                   ratio("command/a_prose_32766", "bare/a_prose_32766"), 1.25);
    targets.atMost("(c) command / bare box, prose 1 MiB",
                   ratio("command/c_prose_1MiB", "bare/c_prose_1MiB"), 1.25);
    targets.atMost("(b) command no spaces / command (a)",
                   ratio("command/b_nospace_32766", "command/a_prose_32766"), 1.5);
    targets.atMost("kernel / command (a), prose 32,766",
                   ratio("kernel/a_prose_32766", "command/a_prose_32766"), 0.02);
    // The bare box above splits its text at every lone CR, which the output
    // box keeps as a character; given the text as the output box shows it, a
    // bare box lays out the same long paragraphs.
    for (const Case& c : cases) {
        targets.info("command / bare box given the shown text, " + c.name,
                     bench::number(ratio("command/" + c.name, "bare_shown/" + c.name), 4));
    }
    const int status = targets.print();
    return status;
}
