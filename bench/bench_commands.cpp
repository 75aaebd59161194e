// The encrypt command through the real window, on the offscreen platform,
// against a bare QPlainTextEdit of the same size given the same output text.
// A command counts as done when the output box has been painted with its
// result, since the text box lays out what it shows only when it paints.
//
// These machines are shared, and their speed drifts within seconds; so each
// iteration times the command and its baselines back to back, in a shuffled
// order, and every ratio comes from times taken side by side.

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "cipher/cipher.h"
#include "forms/main/mainwindow.h"
#include "support.h"
#include "targets.h"
#include "texts.h"
#include "toolkit/textbox_codec.h"

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

// One timed action of a paired benchmark, with what it needs done first.
struct Step {
    std::string name;
    std::function<void()> prepare;
    std::function<void()> run;
    std::function<std::string()> check;  // an error message, or empty
};

// Times the steps back to back in each iteration, in a shuffled order. The
// iteration time is that of the first step; counters give each step's time
// per iteration in milliseconds and the first step's time over each other's.
void timeSteps(benchmark::State& state, const std::vector<Step>& steps) {
    std::vector<double> totals(steps.size(), 0.0);
    std::vector<std::size_t> order(steps.size());
    std::iota(order.begin(), order.end(), 0);
    std::mt19937 shuffler(20261209);
    for (auto _ : state) {
        std::shuffle(order.begin(), order.end(), shuffler);
        double first = 0;
        for (const std::size_t k : order) {
            steps[k].prepare();
            QElapsedTimer timer;
            timer.start();
            steps[k].run();
            const double seconds = static_cast<double>(timer.nsecsElapsed()) * 1e-9;
            totals[k] += seconds;
            if (k == 0) {
                first = seconds;
            }
        }
        state.SetIterationTime(first);
    }
    for (const Step& step : steps) {
        if (const std::string error = step.check ? step.check() : std::string(); !error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    const auto iterations = static_cast<double>(state.iterations());
    for (std::size_t k = 0; k < steps.size(); ++k) {
        state.counters[steps[k].name] = totals[k] * 1e3 / iterations;
        if (k > 0) {
            state.counters[steps[0].name + "/" + steps[k].name] = totals[0] / totals[k];
        }
    }
}

// The encrypt command on the input, from an empty output box to the result
// painted.
Step commandStep(const std::string& name, const Case& c) {
    toolkit::TextBox* txt1 = fixture.window->txt1();
    toolkit::TextBox* txt2 = fixture.window->txt2();
    return {name,
            [=] {
                if (txt1->text() != c.input) {
                    txt1->setText(c.input);
                }
                txt2->setText(QString());
                settle(*fixture.txt2Paints);
            },
            [] {
                QTest::mouseClick(fixture.cmd1, Qt::LeftButton);
                settle(*fixture.txt2Paints);
            },
            [=]() -> std::string {
                if (!fixture.sandbox->boxes.shown.empty()) {
                    return "the command showed a message: " +
                           fixture.sandbox->boxes.shown.back().text.toStdString();
                }
                // Read from the document itself, not from a copy the box keeps.
                if (txt1->text() == c.input &&
                    txt2->textBetween(0, txt2->document()->characterCount()) != c.output) {
                    return "the output box does not hold the encrypted text";
                }
                return {};
            }};
}

// A bare box given the text, from empty to painted.
Step bareStep(const std::string& name, const QString& text) {
    return {name,
            [] {
                fixture.bare->setPlainText(QString());
                settle(*fixture.barePaints);
            },
            [text] {
                fixture.bare->setPlainText(text);
                settle(*fixture.barePaints);
            },
            {}};
}

void timeKernel(benchmark::State& state, const std::u16string& input) {
    for (auto _ : state) {
        cipher::TextResult result = cipher::EncryptText(input);
        benchmark::DoNotOptimize(result.text.data());
        benchmark::ClobberMemory();
    }
}

// The text box's conversion of the command's output, with the buffer it
// keeps from one text to the next.
void timeConversion(benchmark::State& state, const QString& output) {
    toolkit::textcodec::DocumentText shown;
    for (auto _ : state) {
        toolkit::textcodec::toDocument(output, shown);
        benchmark::DoNotOptimize(shown.text.data());
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
        // Besides the bare box given the output text, for the record: a bare
        // box given the text as the output box shows it, where only a CR LF
        // pair breaks the line.
        benchmark::RegisterBenchmark(
            ("pair/" + c.name).c_str(), timeSteps,
            std::vector<Step>{commandStep("command", c), bareStep("bare", c.output),
                              bareStep("shown", c.shown)})
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark(
        "pair/b_after_a", timeSteps,
        std::vector<Step>{commandStep("b", cases[1]), commandStep("a", cases[0])})
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("kernel/a_prose_32766", timeKernel, prose)
        ->Unit(benchmark::kMicrosecond);
    // For the record: the stages of command (c) on their own.
    const std::u16string prose1MiB = bench::italianProse(bench::kMiBChars);
    benchmark::RegisterBenchmark("kernel/c_prose_1MiB", timeKernel, prose1MiB)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("conversion/c_prose_1MiB", timeConversion, cases[2].output)
        ->Unit(benchmark::kMicrosecond);

    bench::MedianReporter reporter;
    bench::runBenchmarks(
        argc, argv,
        {"--benchmark_repetitions=5", "--benchmark_min_time=0.2",
         "--benchmark_enable_random_interleaving=true", "--benchmark_report_aggregates_only=true"},
        reporter);

    auto ms = [&reporter](const std::string& name, const std::string& step) {
        return bench::number(reporter.counter(name, step), 2) + " ms";
    };
    auto ratio = [&reporter](const std::string& over, const std::string& under) {
        return bench::ratio(reporter.seconds(over), reporter.seconds(under));
    };
    bench::Targets targets("commands");
    for (const Case& c : cases) {
        targets.info("command " + c.name, ms("pair/" + c.name, "command"));
        targets.info("bare box " + c.name, ms("pair/" + c.name, "bare"));
        targets.info("bare box, shown text " + c.name, ms("pair/" + c.name, "shown"));
    }
    for (const std::string name :
         {"kernel/a_prose_32766", "kernel/c_prose_1MiB", "conversion/c_prose_1MiB"}) {
        targets.info(name, bench::number(reporter.seconds(name) * 1e6, 1) + " us");
    }
    targets.atMost("(a) command / bare box, prose 32,766",
                   reporter.counter("pair/a_prose_32766", "command/bare"), 1.25);
    targets.atMost("(c) command / bare box, prose 1 MiB",
                   reporter.counter("pair/c_prose_1MiB", "command/bare"), 1.25);
    targets.atMost("(b) command no spaces / command (a)", reporter.counter("pair/b_after_a", "b/a"),
                   1.5);
    targets.atMost("kernel / command (a), prose 32,766",
                   ratio("kernel/a_prose_32766", "pair/a_prose_32766"), 0.02);
    // The bare box above splits its text at every lone CR, which the output
    // box keeps as a character; given the text as the output box shows it, a
    // bare box lays out the same long paragraphs.
    for (const Case& c : cases) {
        targets.info("command / bare box given the shown text, " + c.name,
                     bench::number(reporter.counter("pair/" + c.name, "command/shown"), 4));
    }
    const int status = targets.print();
    return status;
}
