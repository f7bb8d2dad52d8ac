// Tests that touch files run in a fresh, empty working folder of their own,
// since the program opens its files by bare name in the current directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        previous_ = fs::current_path();
        std::random_device entropy;
        do {
            folder_ = fs::temp_directory_path() / ("veruvo-test-" + std::to_string(entropy()));
        } while (!fs::create_directory(folder_));
        fs::current_path(folder_);
    }

    void TearDown() override {
        namespace fs = std::filesystem;
        fs::current_path(previous_);
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder_, ignored);
    }

    static void WriteFile(const std::string& name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }

    static std::string ReadFile(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::filesystem::path folder_;

private:
    std::filesystem::path previous_;
};
