#pragma once
// A fresh folder per test, removed afterwards, with small helpers to write and read files.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace ws::test {

class TempDir {
  public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("wallscan-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        // Give back write permission a test may have taken away, so cleanup works.
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

    std::string Write(const std::string& name, const std::string& bytes) const {
        const auto p = path_ / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out << bytes;
        return p.string();
    }

  private:
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The source tree, for tests that read the shipped samples and templates.
inline std::filesystem::path SourceDir() {
    return std::filesystem::path(WALLSCAN_SOURCE_DIR);
}

// A trace shipped in share/samples; "" for the folder itself.
inline std::string Sample(const char* name) {
    return (SourceDir() / "share" / "samples" / name).string();
}

}  // namespace ws::test
