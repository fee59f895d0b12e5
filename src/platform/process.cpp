#include "platform/process.h"

#include <unistd.h>

namespace brimvex::platform {

int CurrentProcessId() { return static_cast<int>(::getpid()); }

}  // namespace brimvex::platform
