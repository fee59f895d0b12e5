#include "platform/ipc_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/paths.h"

namespace brimvex::platform {
namespace {

// Keeps "<folder><stem>.sock" well inside sun_path (108 bytes) for ordinary folders.
constexpr std::size_t kMaxStemChars = 40;

std::string Octal(unsigned mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", mode & 07777u);
  return text;
}

}  // namespace

std::string WithTrailingSlash(std::string directory) {
  if (directory.empty() || directory.back() != '/') directory += '/';
  return directory;
}

std::string DefaultIpcDirectory() {
  const std::string runtime = RuntimeDir();
  if (!runtime.empty()) return runtime + "brimvex/";
  return "/tmp/brimvex-" + std::to_string(::geteuid()) + "/";
}

bool PrepareIpcDirectory(const std::string& directory, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error != nullptr) *error = "IPC folder " + directory + ": " + why;
    return false;
  };
  if (directory.empty()) return fail("no folder given");
  std::string path = directory;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    return fail(std::string("cannot create it: ") + std::strerror(errno));
  }
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return fail(std::string("cannot examine it: ") + std::strerror(errno));
  if (S_ISLNK(st.st_mode)) return fail("is a symbolic link; refusing it");
  if (!S_ISDIR(st.st_mode)) return fail("is not a folder");
  if (st.st_uid != ::geteuid()) {
    return fail("is owned by user " + std::to_string(st.st_uid) + ", not by us (" + std::to_string(::geteuid()) +
                "); refusing it");
  }
  if ((st.st_mode & 077) != 0) {
    return fail("has mode " + Octal(st.st_mode) + "; it must be closed to group and others (0700); refusing it");
  }
  return true;
}

std::string IpcFileStem(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string stem;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') || byte == '-' ||
        byte == '_') {
      stem.push_back(c);
    } else {
      stem.push_back('%');
      stem.push_back(kHex[byte >> 4]);
      stem.push_back(kHex[byte & 0xF]);
    }
  }
  if (stem.size() <= kMaxStemChars) return stem;
  // FNV-1a over the whole name; '~' never appears in a short stem, so the two forms cannot meet.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  char tail[18];
  std::snprintf(tail, sizeof tail, "~%016llx", static_cast<unsigned long long>(hash));
  return stem.substr(0, kMaxStemChars - 17) + tail;
}

}  // namespace brimvex::platform
