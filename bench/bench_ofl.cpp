// The import of every mode of a library of Open Fixture Library fixtures, files read and parsed
// once per run, as the editor and rigsmith-fxr import them: bench_ofl [LIBRARY_DIR].

#include "ofl/OflImport.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string Library = OFL_DATA "/fixtures";

std::vector<std::string> Files()
{
    std::vector<std::string> files;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(Library))
        if (entry.path().extension() == ".json" && entry.path().filename() != "manufacturers.json")
            files.push_back(entry.path().string());
    return files;
}

void ImportEveryMode(benchmark::State &state)
{
    const std::vector<std::string> files = Files();
    std::size_t modes = 0;
    for (auto _ : state) {
        modes = 0;
        for (const std::string &file : files) {
            try {
                const TOflFixture source = TOflFixture::Read(file);
                for (std::size_t mode = 0; mode < source.ModeNames().size(); ++mode)
                    if (source.ChannelCount(mode) <= OflMaxChannels) {
                        TOflImport imported = source.Import(mode, 2);
                        benchmark::DoNotOptimize(imported);
                        ++modes;
                    }
            } catch (const EOflError &) {
                // a file that refers to another
            }
        }
    }
    state.counters["files"] = static_cast<double>(files.size());
    state.counters["modes"] = static_cast<double>(modes);
}
BENCHMARK(ImportEveryMode)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (argc > 1)
        Library = argv[1];
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
