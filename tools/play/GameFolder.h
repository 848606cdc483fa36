#pragma once
// A throw-away working folder for a headless game: Data/Res and Data/Music are links to
// the generated data under dataRoot, Data/Save is a fresh empty folder, and the whole
// folder is removed with the object. Tests and benchmarks use it so their saves stay
// out of the repository.
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vorlane::play {

class TempGameFolder {
  public:
    explicit TempGameFolder(const std::filesystem::path& dataRoot) {
        namespace fs = std::filesystem;
        std::random_device rd;
        const fs::path base = fs::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            fs::path candidate = base / ("vorlane-game-" + std::to_string(rd()));
            std::error_code ec;
            if (fs::create_directory(candidate, ec)) {
                root_ = candidate;
                break;
            }
        }
        if (root_.empty()) throw std::runtime_error("cannot make a temporary game folder");
        const fs::path data = dataRoot / "Data";
        fs::create_directories(root_ / "Data" / "Save");
        fs::create_directory_symlink(fs::absolute(data / "Res"), root_ / "Data" / "Res");
        fs::create_directory_symlink(fs::absolute(data / "Music"), root_ / "Data" / "Music");
    }
    ~TempGameFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempGameFolder(const TempGameFolder&) = delete;
    TempGameFolder& operator=(const TempGameFolder&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path SaveDir() const { return root_ / "Data" / "Save"; }

  private:
    std::filesystem::path root_;
};

} // namespace vorlane::play
