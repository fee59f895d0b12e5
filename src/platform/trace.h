#pragma once
// Process-wide sink for the short diagnostic trace lines. Lines are kept as given (UTF-8,
// Chinese included, a trailing "\n" kept). BRIMVEX_TRACE=1 echoes them to stderr; a capture
// collects them for tests.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brimvex::platform {

void Trace(std::string_view line);
// printf-style trace, for the lines the program formats ("软件标示 %d，%xd%xd").
void TraceF(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The last lines written (a ring of a few hundred), oldest first.
std::vector<std::string> RecentTraces();
// Also append every line to this file ("" stops it). Returns false when it cannot be opened.
bool SetTraceFile(const std::string& path);

// Collects every line written while it exists (captures nest).
class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::vector<std::string> Lines() const;
  // True when some line contains the text.
  bool Contains(std::string_view text) const;
  // How many lines contain the text.
  std::size_t Count(std::string_view text) const;
  void Clear();

  void Add(std::string_view line);

 private:
  struct State;
  State* state_;
};

}  // namespace brimvex::platform
