#include "platform/lock_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace brimvex::platform {

std::unique_ptr<LockFile> LockFile::TryAcquire(const std::string& path, Status* status, std::string* error) {
  auto result = [&](Status s, const std::string& why) -> std::unique_ptr<LockFile> {
    if (status != nullptr) *status = s;
    if (error != nullptr) *error = why.empty() ? std::string() : path + ": " + why;
    return nullptr;
  };
  // A holder unlinks its file before it lets go; a few rounds always settle that race.
  for (int attempt = 0; attempt < 8; ++attempt) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return result(Status::kFailed, std::string("cannot open the lock file: ") + std::strerror(errno));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int err = errno;
      ::close(fd);
      if (err == EWOULDBLOCK) return result(Status::kHeldElsewhere, "held by another process");
      return result(Status::kFailed, std::string("cannot lock: ") + std::strerror(err));
    }
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino) {
      if (status != nullptr) *status = Status::kAcquired;
      return std::unique_ptr<LockFile>(new LockFile(path, fd));
    }
    ::close(fd);  // locked a file that its holder had just removed
  }
  return result(Status::kFailed, "the lock file keeps being replaced");
}

LockFile::~LockFile() {
  ::unlink(path_.c_str());
  ::close(fd_);
}

}  // namespace brimvex::platform
