#pragma once
// A file written in pieces under a temporary name and put in place only when whole: Commit
// flushes it to disk and renames it; a part file that is not committed is removed. Written
// without an execute bit.
#include <cstdint>
#include <span>
#include <string>

namespace brimvex::platform {

class PartFile {
 public:
  PartFile() = default;
  ~PartFile();  // removes an uncommitted part
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;

  // Creates (or empties) `part_path`; false with the reason.
  bool Open(const std::string& part_path, std::string* error);
  bool Append(std::span<const std::uint8_t> bytes);
  // Flushes, closes and renames the part to `final_path`.
  bool Commit(const std::string& final_path, std::string* error);
  // Closes and removes the part.
  void Discard();

 private:
  int fd_ = -1;
  std::string path_;
};

// Lower-case hexadecimal SHA-256 of a byte stream.
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;
  void Update(std::span<const std::uint8_t> bytes);
  std::string HexDigest();

 private:
  void* ctx_ = nullptr;
};

}  // namespace brimvex::platform
