#pragma once
// A fresh, empty data root for one test, removed afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace vorlane::testing {

class TempDataRoot {
  public:
    TempDataRoot() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("vorlane_persist_") + info->test_suite_name() + "_" + info->name() +
                           "_" + std::to_string(::getpid()) + "_" + std::to_string(NextNumber());
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDataRoot() { std::filesystem::remove_all(path_); }
    TempDataRoot(const TempDataRoot&) = delete;
    TempDataRoot& operator=(const TempDataRoot&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path Save() const { return path_ / "Data" / "Save"; }

    static void Write(const std::filesystem::path& file, const std::string& contents) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out << contents;
    }
    static std::string Read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

  private:
    static int NextNumber() {
        static int next = 0;
        return ++next;
    }
    std::filesystem::path path_;
};

} // namespace vorlane::testing
