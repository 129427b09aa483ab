// libFuzzer target: arbitrary bytes into the fixture reader; whatever loads is written in both
// formats and read back (the properties are in FixtureProperty.cpp). A broken property aborts, so
// that libFuzzer keeps the input as a crash.

#include "FixtureProperty.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const std::string problem = CheckFixtureBytes(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!problem.empty()) {
        std::fprintf(stderr, "fixture property broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
