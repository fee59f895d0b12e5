#include "platform/single_instance.h"

#include "platform/ipc_directory.h"
#include "platform/trace.h"

namespace brimvex::platform {

std::unique_ptr<SingleInstanceLock> SingleInstanceLock::Acquire(const std::string& name, const std::string& directory) {
  Status status = Status::kFailed;
  return Acquire(name, directory, &status);
}

std::unique_ptr<SingleInstanceLock> SingleInstanceLock::Acquire(const std::string& name, const std::string& directory,
                                                                Status* status, std::string* error) {
  std::string why;
  auto failed = [&]() -> std::unique_ptr<SingleInstanceLock> {
    if (status != nullptr) *status = Status::kFailed;
    Trace("single instance: " + why + "\n");
    if (error != nullptr) *error = why;
    return nullptr;
  };
  if (name.empty()) {
    why = "empty lock name";
    return failed();
  }
  const std::string folder = WithTrailingSlash(directory);
  if (!PrepareIpcDirectory(folder, &why)) return failed();
  Status result = Status::kFailed;
  auto lock = LockFile::TryAcquire(folder + IpcFileStem(name) + ".lock", &result, &why);
  if (status != nullptr) *status = result;
  if (lock) return std::unique_ptr<SingleInstanceLock>(new SingleInstanceLock(std::move(lock)));
  if (result == Status::kFailed) return failed();
  if (error != nullptr) *error = why;
  return nullptr;
}

SingleInstanceLock::~SingleInstanceLock() = default;

}  // namespace brimvex::platform
