// The sample data set that the build generates once into its own tree (see tests/CMakeLists.txt),
// shared by every test of the build, so no test writes or leaves a data set of its own.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

// A GameData in the current folder that reads the shared set in place: for tests that only read.
inline void LinkGeneratedData()
{
    std::error_code ec;
    std::filesystem::create_directory_symlink(ZORVA_TEST_DATA "/GameData", "GameData", ec);
    ASSERT_FALSE(ec) << "cannot link the generated data set: " << ec.message();
}

// A private copy in the current folder: for tests that change the data.
inline void CopyGeneratedData()
{
    std::error_code ec;
    std::filesystem::copy(ZORVA_TEST_DATA "/GameData", "GameData", std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing, ec);
    ASSERT_FALSE(ec) << "cannot copy the generated data set: " << ec.message();
}
