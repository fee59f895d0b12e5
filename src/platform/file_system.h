#pragma once
// File operations that need the operating system's guarantees.
#include <cstddef>
#include <string>
#include <string_view>

namespace brimvex::platform {

// Replaces the file at `path` with `bytes` so that readers see either the old or the new
// content: a temporary file in the same folder is written, flushed to disk and renamed over
// the target. On failure the old file is untouched, `error` (when given) says why, and the
// temporary file is removed.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Reads a file the user named, without blocking and without reading more than `max_bytes`: a
// FIFO, a device or a folder is refused before anything is read.
struct BoundedRead {
  enum class Status { kOk, kNotRegular, kTooLarge, kUnreadable };
  Status status = Status::kUnreadable;
  std::string bytes;  // the whole file when kOk
};
BoundedRead ReadRegularFile(const std::string& path, std::size_t max_bytes);

}  // namespace brimvex::platform
