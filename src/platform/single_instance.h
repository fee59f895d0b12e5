#pragma once
// The single-instance mutex: a flock on "<folder><name>.lock" in the IPC folder.
#include <memory>
#include <string>

#include "platform/ipc_hub.h"
#include "platform/lock_file.h"

namespace brimvex::platform {

class SingleInstanceLock {
 public:
  using Status = LockFile::Status;

  // Held while the returned object lives; nullptr when another process holds `name`.
  static std::unique_ptr<SingleInstanceLock> Acquire(const std::string& name,
                                                     const std::string& directory = IpcHub::DefaultDirectory());
  // The same, telling apart "another instance holds it" (kHeldElsewhere) from a folder or lock
  // that does not work (kFailed, with the reason in `error` and in the trace).
  static std::unique_ptr<SingleInstanceLock> Acquire(const std::string& name, const std::string& directory,
                                                     Status* status, std::string* error = nullptr);
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  const std::string& path() const { return lock_->path(); }

 private:
  explicit SingleInstanceLock(std::unique_ptr<LockFile> lock) : lock_(std::move(lock)) {}
  std::unique_ptr<LockFile> lock_;
};

}  // namespace brimvex::platform
