#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

namespace brimvex::platform {
namespace {

bool Fail(std::string* error, const std::string& what) {
  if (error != nullptr) *error = what + ": " + std::strerror(errno);
  return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  const std::filesystem::path target(path);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::string pattern = (folder / ("." + target.filename().string() + ".tmp-XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return Fail(error, "cannot create a temporary file in " + folder.string());
  const std::string temp(name.data());
  auto abandon = [&](const std::string& what) {
    const int saved = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    errno = saved;
    return Fail(error, what);
  };
  // Keep the permissions of the file being replaced.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0)
    ::fchmod(fd, st.st_mode & 07777);
  else
    ::fchmod(fd, 0644);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return abandon("cannot write " + temp);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return abandon("cannot flush " + temp);
  if (::close(fd) != 0) {
    ::unlink(temp.c_str());
    return Fail(error, "cannot close " + temp);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int saved = errno;
    ::unlink(temp.c_str());
    errno = saved;
    return Fail(error, "cannot replace " + path);
  }
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

BoundedRead ReadRegularFile(const std::string& path, std::size_t max_bytes) {
  BoundedRead result;
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return result;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    result.status = BoundedRead::Status::kNotRegular;
    return result;
  }
  if (static_cast<std::uint64_t>(st.st_size) > max_bytes) {
    ::close(fd);
    result.status = BoundedRead::Status::kTooLarge;
    return result;
  }
  // The file may grow while it is read: read one byte past the limit to notice.
  std::string bytes(max_bytes + 1, '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return result;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (done > max_bytes) {
    result.status = BoundedRead::Status::kTooLarge;
    return result;
  }
  bytes.resize(done);
  result.bytes = std::move(bytes);
  result.status = BoundedRead::Status::kOk;
  return result;
}

}  // namespace brimvex::platform
