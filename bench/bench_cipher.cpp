// The cipher kernel against copying the same UTF-16 buffer: the kernel should
// never be what the user waits for. Both are pure computation on one thread,
// so they are compared in processor time, which a busy machine disturbs far
// less than the clock.

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

#include "cipher/cipher.h"
#include "targets.h"
#include "texts.h"

namespace {

struct Input {
    std::string kind;
    std::size_t length;
    std::u16string plain;
    std::u16string encrypted;  // what decrypting is given
};

std::string name(const std::string& what, const Input& input) {
    return what + "/" + input.kind + "/" + std::to_string(input.length);
}

bool runsToTheEnd(const cipher::TextResult& result, std::size_t length) {
    return !result.stoppedAt && !result.unsupportedAt && result.text.size() == length + 1;
}

void registerInput(const Input& input) {
    const auto n = static_cast<std::int64_t>(input.length);
    benchmark::RegisterBenchmark(name("copy", input).c_str(), [&input, n](benchmark::State& state) {
        for (auto _ : state) {
            std::u16string copy = input.plain;
            benchmark::DoNotOptimize(copy.data());
            benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(state.iterations() * n);
    });
    using Kernel = cipher::TextResult (*)(std::u16string_view);
    auto kernel = [&input, n](Kernel run, const std::u16string& text) {
        return [&input, n, run, &text](benchmark::State& state) {
            if (!runsToTheEnd(run(text), input.length)) {
                state.SkipWithError("the text does not run to the end");
                return;
            }
            for (auto _ : state) {
                cipher::TextResult result = run(text);
                benchmark::DoNotOptimize(result.text.data());
                benchmark::ClobberMemory();
            }
            state.SetItemsProcessed(state.iterations() * n);
        };
    };
    benchmark::RegisterBenchmark(name("encrypt", input).c_str(),
                                 kernel(&cipher::EncryptText, input.plain));
    benchmark::RegisterBenchmark(name("decrypt", input).c_str(),
                                 kernel(&cipher::DecryptText, input.encrypted));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Input> inputs;
    for (std::size_t length : {bench::kBoxChars, bench::kMiBChars}) {
        inputs.push_back({"prose", length, bench::italianProse(length), {}});
        inputs.push_back({"codes", length, bench::allCodesMixed(length), {}});
    }
    for (Input& input : inputs) {
        input.encrypted = bench::encryptedForm(input.plain);
    }
    for (const Input& input : inputs) {
        registerInput(input);
    }

    bench::MedianReporter reporter;
    bench::runBenchmarks(
        argc, argv,
        {"--benchmark_repetitions=5", "--benchmark_min_time=0.1",
         "--benchmark_enable_random_interleaving=true", "--benchmark_report_aggregates_only=true"},
        reporter);

    bench::Targets targets("cipher");
    for (const Input& input : inputs) {
        const double copy = reporter.cpuSeconds(name("copy", input));
        const double chars = static_cast<double>(input.length);
        targets.info(
            "copy, " + input.kind + ", " + std::to_string(input.length) + " chars: Mchar/s",
            bench::number(chars / copy / 1e6, 0));
        for (const char* what : {"encrypt", "decrypt"}) {
            const double kernel = reporter.cpuSeconds(name(what, input));
            targets.info(std::string(what) + ", " + input.kind + ", " +
                             std::to_string(input.length) + " chars: Mchar/s",
                         bench::number(chars / kernel / 1e6, 0));
            targets.atLeast(std::string(what) + ", " + input.kind + ", " +
                                std::to_string(input.length) + " chars: speed / copy speed",
                            bench::ratio(copy, kernel), 0.05);
        }
    }
    return targets.print();
}
