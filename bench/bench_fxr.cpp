// Benchmarks of the fixture file core: load and save of a large fixture in both formats, and loads
// of files of 1, 5, 10 and 50 MB, whose times must grow linearly and whose models must stay within a
// few times the file's size. At the end it prints the ratios of one run (scripts/bench adds the
// check of whole libraries against cat, and the peak memory of the command-line tool).

#include "BenchFixtures.h"
#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <istream>
#include <malloc.h>
#include <map>
#include <memory>
#include <streambuf>
#include <string>

namespace {

// Reads straight from a text in memory, so that only the reader is measured.
class TViewBuf : public std::streambuf {
public:
    explicit TViewBuf(const std::string &text)
    {
        char *begin = const_cast<char *>(text.data());
        setg(begin, begin, begin + text.size());
    }
};

void Load(const std::string &text, TFixture &fixture)
{
    TViewBuf buffer(text);
    std::istream in(&buffer);
    ReadFixture(in, fixture);
}

const std::string &LargeText(int version)
{
    static std::map<int, std::string> texts;
    auto &text = texts[version];
    if (text.empty())
        text = FormatFixture(bench::MakeFixture(bench::Large, version, 1), version);
    return text;
}

// A fixture of the large one's shape, its commands, palettes and comments multiplied to make a file
// of about the given number of megabytes.
const std::string &ScaledText(int megabytes)
{
    static std::map<int, std::string> texts;
    auto &text = texts[megabytes];
    const auto format = [](int factor) { return FormatFixture(bench::MakeFixture(bench::Scaled(factor), 2, 1), 2); };
    if (text.empty()) {
        // What one more multiple adds, the header not counted.
        const std::size_t step = format(2).size() - format(1).size();
        text = format(static_cast<int>(std::max<std::size_t>(1, megabytes * std::size_t(1000000) / step)));
    }
    return text;
}

// The bytes the memory allocator has handed out and not taken back, its own bookkeeping included.
double HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

void BM_Load(benchmark::State &state)
{
    const std::string &text = LargeText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TFixture fixture;
        Load(text, fixture);
        benchmark::DoNotOptimize(fixture.Palettes.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Load)->ArgName("format")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_Save(benchmark::State &state)
{
    const int version = static_cast<int>(state.range(0));
    TFixture fixture;
    Load(LargeText(version), fixture);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = FormatFixture(fixture, version);
        bytes += text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_Save)->ArgName("format")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// Reading only: releasing a model of 100 times the size runs into the memory allocator's own
// bookkeeping, which is not the reader's, so the fixture is released outside the measured time.
// The heap each scaled load left in use, by benchmark name.
std::map<std::string, double> models;

void BM_LoadScaled(benchmark::State &state)
{
    const std::string &text = ScaledText(static_cast<int>(state.range(0)));
    double model = 0;
    for (auto _ : state) {
        // Asking the allocator takes time that grows with what it holds, so the clock stops.
        state.PauseTiming();
        const double before = HeapInUse();
        state.ResumeTiming();
        auto fixture = std::make_unique<TFixture>();
        Load(text, *fixture);
        benchmark::DoNotOptimize(fixture->Palettes.Count());
        state.PauseTiming();
        model = HeapInUse() - before;
        fixture.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["file_bytes"] = static_cast<double>(text.size());
    state.counters["model_per_byte"] = model / static_cast<double>(text.size());
    models["BM_LoadScaled/MB:" + std::to_string(state.range(0))] = model;
}
// Five repetitions each: the ratios take the fastest, as the one the machine disturbed least.
BENCHMARK(BM_LoadScaled)
    ->ArgName("MB")
    ->Arg(1)
    ->Arg(5)
    ->Arg(10)
    ->Arg(50)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond);

// Shows the runs as usual and keeps each one's processor time for the ratios at the end, the least
// of its repetitions: on a machine where others build too, it varies less than the time on the
// clock.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    TRatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                const double time = run.GetAdjustedCPUTime() * TimeScale(run.time_unit);
                std::string name = run.benchmark_name();
                name = name.substr(0, name.find("/repeats:"));
                const auto [held, first] = seconds.emplace(name, time);
                held->second = first ? time : std::min(held->second, time);
            }
    }
    std::map<std::string, double> seconds;

private:
    static double TimeScale(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kNanosecond:
            return 1e-9;
        case benchmark::kMicrosecond:
            return 1e-6;
        case benchmark::kMillisecond:
            return 1e-3;
        default:
            return 1.0;
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto &s = reporter.seconds;
    const auto has = [&](const char *name) { return s.count(name) != 0; };
    std::printf("\n");
    for (const int version : {1, 2}) {
        const std::string load = "BM_Load/format:" + std::to_string(version);
        const std::string save = "BM_Save/format:" + std::to_string(version);
        if (has(load.c_str()) && has(save.c_str()))
            std::printf("large fixture, format %d: %zu bytes, load %.3f ms, save %.3f ms\n", version,
                        LargeText(version).size(), s.at(load) * 1e3, s.at(save) * 1e3);
    }
    // Each size against the one a tenth of it, and the largest against the smallest.
    for (const auto &[small, large] : {std::pair{1, 10}, std::pair{5, 50}, std::pair{1, 50}}) {
        const std::string smallName = "BM_LoadScaled/MB:" + std::to_string(small);
        const std::string largeName = "BM_LoadScaled/MB:" + std::to_string(large);
        if (has(smallName.c_str()) && has(largeName.c_str()))
            std::printf("load of %d MB (%zu bytes): %.1fx the time of %d MB (linear: %dx)\n", large,
                        ScaledText(large).size(), s.at(largeName) / s.at(smallName), small, large / small);
    }
    for (const int megabytes : {1, 5, 10, 50}) {
        const std::string name = "BM_LoadScaled/MB:" + std::to_string(megabytes);
        if (has(name.c_str()) && models.count(name))
            std::printf("model of %d MB: %.1f MB of heap, %.2fx the file; load %.0f ms\n", megabytes,
                        models.at(name) / 1e6, models.at(name) / static_cast<double>(ScaledText(megabytes).size()),
                        s.at(name) * 1e3);
    }
    return 0;
}
