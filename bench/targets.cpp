#include "targets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <utility>

namespace bench {

void MedianReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred) {
            continue;
        }
        const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
        const std::string& name = run.run_name.function_name;
        for (const auto& [counter, value] : run.counters) {
            if (run.run_type != Run::RT_Aggregate) {
                m_counters[{name, counter}].push_back(value.value);
            } else if (run.aggregate_name == "median") {
                m_counterMedians[{name, counter}] = value.value;
            }
        }
        for (const bool cpu : {false, true}) {
            const double seconds =
                (cpu ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime()) / unit;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") {
                    m_medians[{name, cpu}] = seconds;
                }
            } else {
                m_single[{name, cpu}].push_back(seconds);
            }
        }
    }
}

namespace {

double median(std::vector<double> values) {
    if (values.empty()) {
        return kMissing;
    }
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

}  // namespace

double MedianReporter::find(const std::string& name, bool cpu) const {
    if (auto found = m_medians.find({name, cpu}); found != m_medians.end()) {
        return found->second;
    }
    // A single repetition (or aggregates not reported): the median of what ran.
    auto found = m_single.find({name, cpu});
    return found == m_single.end() ? kMissing : median(found->second);
}

double MedianReporter::counter(const std::string& name, const std::string& counter) const {
    if (auto found = m_counterMedians.find({name, counter}); found != m_counterMedians.end()) {
        return found->second;
    }
    auto found = m_counters.find({name, counter});
    return found == m_counters.end() ? kMissing : median(found->second);
}

void runBenchmarks(int argc, char** argv, const std::vector<std::string>& defaults,
                   MedianReporter& reporter) {
    std::vector<std::string> storage(defaults);
    std::vector<char*> args;
    args.push_back(argv[0]);
    for (std::string& arg : storage) {
        args.push_back(arg.data());
    }
    for (int i = 1; i < argc; ++i) {
        args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        std::exit(2);
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}

std::string number(double value, int decimals) {
    if (!std::isfinite(value)) {
        return "n/a";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void Targets::info(const std::string& what, const std::string& value) {
    m_lines.push_back({what, value, "", -1});
}

void Targets::add(const std::string& what, double ratio, const std::string& target, bool met) {
    // A figure that could not be measured misses its target.
    m_lines.push_back({what, number(ratio, 4), target, std::isfinite(ratio) && met ? 1 : 0});
}

void Targets::atMost(const std::string& what, double ratio, double limit) {
    add(what, ratio, "<= " + number(limit, 2), ratio <= limit);
}

void Targets::atLeast(const std::string& what, double ratio, double limit) {
    add(what, ratio, ">= " + number(limit, 2), ratio >= limit);
}

void Targets::below(const std::string& what, double value, double limit) {
    add(what, value, "< " + number(limit, 2), value < limit);
}

int Targets::print() const {
    std::cout << "\n== " << m_group << ": ratios measured in this run\n";
    bool allMet = true;
    for (const Line& line : m_lines) {
        const char* mark = line.verdict < 0 ? "[INFO]" : line.verdict > 0 ? "[PASS]" : "[FAIL]";
        allMet = allMet && line.verdict != 0;
        char text[512];
        std::snprintf(text, sizeof text, "%s %-8s %-58s %12s  %s", mark, m_group.c_str(),
                      line.what.c_str(), line.value.c_str(),
                      line.target.empty() ? "" : ("target " + line.target).c_str());
        std::cout << text << '\n';
    }
    std::cout.flush();
    return allMet ? 0 : 1;
}

}  // namespace bench
