#include "platform/part_file.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace brimvex::platform {

PartFile::~PartFile() { Discard(); }

bool PartFile::Open(const std::string& part_path, std::string* error) {
  Discard();
  fd_ = ::open(part_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd_ < 0) {
    if (error != nullptr) *error = "cannot create " + part_path + ": " + std::strerror(errno);
    return false;
  }
  path_ = part_path;
  return true;
}

bool PartFile::Append(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool PartFile::Commit(const std::string& final_path, std::string* error) {
  if (fd_ < 0) return false;
  const bool flushed = ::fsync(fd_) == 0;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!flushed || !closed || ::rename(path_.c_str(), final_path.c_str()) != 0) {
    if (error != nullptr) *error = "cannot put " + final_path + " in place: " + std::strerror(errno);
    ::unlink(path_.c_str());
    path_.clear();
    return false;
  }
  path_.clear();
  return true;
}

void PartFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!path_.empty()) ::unlink(path_.c_str());
  path_.clear();
}

Sha256::Sha256() {
  auto* ctx = EVP_MD_CTX_new();
  EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr);
  ctx_ = ctx;
}

Sha256::~Sha256() { EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(ctx_)); }

void Sha256::Update(std::span<const std::uint8_t> bytes) {
  EVP_DigestUpdate(static_cast<EVP_MD_CTX*>(ctx_), bytes.data(), bytes.size());
}

std::string Sha256::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int n = 0;
  EVP_DigestFinal_ex(static_cast<EVP_MD_CTX*>(ctx_), digest, &n);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned int i = 0; i < n; ++i) {
    out.push_back(kHex[digest[i] >> 4]);
    out.push_back(kHex[digest[i] & 15]);
  }
  return out;
}

}  // namespace brimvex::platform
