#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.
#include <atomic>
#include <filesystem>
#include <random>
#include <string>

namespace brimvex::test {

class TempDir {
 public:
  TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("brimvex-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder as the program spells folders: with a trailing "/".
  std::string folder() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

}  // namespace brimvex::test
