#pragma once
// The folder where the IPC hub's sockets and the lock files live, and how names become file names.
#include <string>
#include <string_view>

namespace brimvex::platform {

// $XDG_RUNTIME_DIR/brimvex/, or /tmp/brimvex-<uid>/ when the variable is unset. Ends with "/".
std::string DefaultIpcDirectory();

// Creates the folder (mode 0700; its parent must exist) unless it is there, then checks that it is
// a real folder (no symbolic link), owned by this user and closed to group and others. False with
// a message naming the folder otherwise.
bool PrepareIpcDirectory(const std::string& directory, std::string* error);

// A file-name stem for an arbitrary UTF-8 name: letters, digits, '-' and '_' stay, every other byte
// becomes %XX, so different names never share a stem. Long names end in a hash of the whole name so
// the socket path stays within the kernel's limit.
std::string IpcFileStem(std::string_view name);

// The folder spelled with one trailing "/".
std::string WithTrailingSlash(std::string directory);

}  // namespace brimvex::platform
