// A GoogleTest fixture with an empty folder of its own for every test, removed
// afterwards, for tests that write files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

namespace orlex::test {

class TTempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Dir_ = std::filesystem::temp_directory_path() /
               ("orlex_" + std::string(info->test_suite_name()) + "_" + info->name());
        std::filesystem::remove_all(Dir_);
        std::filesystem::create_directories(Dir_);
    }
    void TearDown() override { std::filesystem::remove_all(Dir_); }

    // The path of name inside the folder.
    std::string Path(const std::string& name) const { return (Dir_ / name).string(); }
    // How many files and folders it holds.
    std::size_t FilesLeft() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(Dir_), {}));
    }

private:
    std::filesystem::path Dir_;
};

}  // namespace orlex::test
