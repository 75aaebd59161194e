#pragma once

// What every benchmark program shares: a console reporter that also keeps the
// median time of each benchmark, and a table of ratios checked against their
// targets. Every target is a ratio of two figures measured in the same run, so
// that a busy machine slows both sides alike.

#include <benchmark/benchmark.h>

#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// A figure that could not be measured; it misses every target.
inline constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

// over / under, or kMissing unless both were measured.
inline double ratio(double over, double under) {
    return over > 0 && under > 0 ? over / under : kMissing;
}

class MedianReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // Seconds per iteration of the benchmark registered under name, by the
    // clock or in processor time of the benchmark's thread (the median over
    // the repetitions); kMissing when it did not run.
    double seconds(const std::string& name) const { return find(name, false); }
    double cpuSeconds(const std::string& name) const { return find(name, true); }
    // A counter of that benchmark (the median over the repetitions), or
    // kMissing.
    double counter(const std::string& name, const std::string& counter) const;

private:
    double find(const std::string& name, bool cpu) const;

    // Keyed by name and whether the time is processor time.
    std::map<std::pair<std::string, bool>, double> m_medians;
    std::map<std::pair<std::string, bool>, std::vector<double>> m_single;
    std::map<std::pair<std::string, std::string>, double> m_counterMedians;
    std::map<std::pair<std::string, std::string>, std::vector<double>> m_counters;
};

// Runs the registered benchmarks with the given defaults in front of the
// command-line arguments, which may override them.
void runBenchmarks(int argc, char** argv, const std::vector<std::string>& defaults,
                   MedianReporter& reporter);

class Targets {
public:
    explicit Targets(std::string group) : m_group(std::move(group)) {}

    // A figure shown beside the targets, for the record.
    void info(const std::string& what, const std::string& value);
    void atMost(const std::string& what, double ratio, double limit);
    void atLeast(const std::string& what, double ratio, double limit);
    void below(const std::string& what, double value, double limit);

    // Prints the table, one "[PASS]" or "[FAIL]" line per target, and
    // returns the exit status: 0 when every target is met.
    int print() const;

private:
    struct Line {
        std::string what;
        std::string value;
        std::string target;
        int verdict;  // -1 information only, 0 missed, 1 met
    };
    void add(const std::string& what, double ratio, const std::string& target, bool met);

    std::string m_group;
    std::vector<Line> m_lines;
};

// Formats with the given number of decimals, or "n/a" for a missing figure.
std::string number(double value, int decimals = 3);

}  // namespace bench
