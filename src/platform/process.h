#pragma once
// This process.
namespace brimvex::platform {

// The process id (what a window handle stands for in messages to other programs).
int CurrentProcessId();

}  // namespace brimvex::platform
