#pragma once
// An exclusive advisory lock (flock) on a file, held while the object lives. The kernel drops it
// when the process dies, so a lock file never outlives its holder's claim. The file is removed on
// release; a locker that finds its file was replaced meanwhile tries again on the new one.
#include <memory>
#include <string>

namespace brimvex::platform {

class LockFile {
 public:
  enum class Status { kAcquired, kHeldElsewhere, kFailed };

  // Never waits: kHeldElsewhere when another open file (this or another process) holds the lock.
  static std::unique_ptr<LockFile> TryAcquire(const std::string& path, Status* status = nullptr,
                                              std::string* error = nullptr);
  ~LockFile();
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  LockFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
  std::string path_;
  int fd_;
};

}  // namespace brimvex::platform
