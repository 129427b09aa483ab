// Writes a library of generated fixture files for the benchmarks of scripts/bench:
//   rigsmith-bench-library DIRECTORY COUNT [SEED]
// Half the files are in format 1.0, half in format 2; most are small, a few large.

#include "BenchFixtures.h"
#include "fxr/FixtureWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DIRECTORY COUNT [SEED]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);
    const auto seed = static_cast<uint32_t>(argc > 3 ? std::strtoul(argv[3], nullptr, 0) : 1);
    std::filesystem::create_directories(directory);
    std::mt19937 seeds(seed);
    std::uintmax_t bytes = 0;
    for (long i = 0; i < count; ++i) {
        const auto fileSeed = static_cast<uint32_t>(seeds());
        const int version = i % 2 == 0 ? 1 : 2;
        const TFixture fixture = bench::MakeFixture(bench::LibraryShape(fileSeed), version, fileSeed);
        const std::string text = FormatFixture(fixture, version);
        char name[32];
        std::snprintf(name, sizeof name, "fixture-%05ld.fxr", i);
        std::ofstream out(directory / name, std::ios::binary);
        out << text;
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", (directory / name).c_str());
            return 1;
        }
        bytes += text.size();
    }
    std::printf("%ld files, %ju bytes in %s\n", count, bytes, directory.c_str());
    return 0;
}
