// Writes a library of generated fixture files for the benchmarks of scripts/bench:
//   rigsmith-bench-library [--dense] DIRECTORY COUNT [SEED]
//   rigsmith-bench-library --scaled FACTOR FILE
// Half the files are in format 1.0, half in format 2; most are small, a few large. With --dense,
// every file is a format 2 fixture of the dense shape, about 26 KB.

#include "BenchFixtures.h"
#include "fxr/FixtureWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

bool Write(const std::filesystem::path &file, const std::string &text)
{
    std::ofstream out(file, std::ios::binary);
    out << text;
    if (!out)
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char **argv)
{
    // One file: the large fixture of the benchmarks multiplied, in format 2.
    if (argc == 4 && std::string(argv[1]) == "--scaled") {
        const bench::TShape shape = bench::Scaled(static_cast<int>(std::strtol(argv[2], nullptr, 10)));
        const std::string text = FormatFixture(bench::MakeFixture(shape, 2, 1), 2);
        std::printf("%zu bytes in %s\n", text.size(), argv[3]);
        return Write(argv[3], text) ? 0 : 1;
    }
    const bool dense = argc > 1 && std::string(argv[1]) == "--dense";
    if (dense) {
        --argc;
        ++argv;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s [--dense] DIRECTORY COUNT [SEED] | --scaled FACTOR FILE\n", argv[0]);
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
        const int version = dense || i % 2 != 0 ? 2 : 1;
        const bench::TShape shape = dense ? bench::Dense : bench::LibraryShape(fileSeed);
        const TFixture fixture = bench::MakeFixture(shape, version, fileSeed);
        const std::string text = FormatFixture(fixture, version);
        char name[32];
        std::snprintf(name, sizeof name, "fixture-%05ld.fxr", i);
        if (!Write(directory / name, text))
            return 1;
        bytes += text.size();
    }
    std::printf("%ld files, %ju bytes in %s\n", count, bytes, directory.c_str());
    return 0;
}
