#pragma once

// Expected whole texts kept as files under tests/data. RIGSMITH_UPDATE_EXPECTED=1 writes them from
// what the program does now instead, to be read over before they are committed.

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testing_support {

inline const std::filesystem::path TestData = RIGSMITH_TEST_DATA;

// An empty text stands for no file.
inline void ExpectFile(const std::filesystem::path &expected, const std::string &actual)
{
    if (std::getenv("RIGSMITH_UPDATE_EXPECTED")) {
        std::filesystem::create_directories(expected.parent_path());
        actual.empty() ? void(std::filesystem::remove(expected)) : WriteAll(expected.string(), actual);
        return;
    }
    EXPECT_EQ(ReadAll(expected.string()), actual) << "expected in " << expected.string();
}

} // namespace testing_support
