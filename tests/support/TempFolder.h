#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/Portable.h"

namespace testsupport {

// A fresh folder per test, named after the test and removed after it.
class TempFolder : public ::testing::Test {
protected:
    explicit TempFolder(const std::string& prefix)
        : folder(std::filesystem::temp_directory_path() /
                 (prefix + "-" + std::to_string(portable::ProcessId()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    ~TempFolder() override { std::filesystem::remove_all(folder); }

    std::filesystem::path Write(const std::string& bytes, const std::string& name) const {
        const std::filesystem::path p = folder / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    const std::filesystem::path folder;
};

}  // namespace testsupport
