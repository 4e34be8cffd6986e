#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/Portable.h"

namespace testsupport {

// A fresh folder per test (portable::TempDir), removed with everything in it after the test.
class TempFolder : public ::testing::Test {
protected:
    explicit TempFolder(const std::string& prefix) : dir_(prefix), folder(dir_.path()) {}

    std::filesystem::path Write(const std::string& bytes, const std::string& name) const {
        const std::filesystem::path p = folder / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

private:
    portable::TempDir dir_;

protected:
    const std::filesystem::path folder;
};

}  // namespace testsupport
