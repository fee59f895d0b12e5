#include "platform/trace.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <mutex>
#include <string>

namespace brimvex::platform {
namespace {

constexpr std::size_t kRingSize = 512;

struct Sink {
  std::mutex mutex;
  std::deque<std::string> ring;
  std::vector<TraceCapture*> captures;
  std::ofstream file;
  bool echo = [] {
    const char* v = std::getenv("BRIMVEX_TRACE");
    return v != nullptr && v[0] != '\0' && v[0] != '0';
  }();
};

Sink& TheSink() {
  static Sink* sink = new Sink;  // never destroyed: workers may trace during static teardown
  return *sink;
}

}  // namespace

struct TraceCapture::State {
  mutable std::mutex mutex;
  std::vector<std::string> lines;
};

void Trace(std::string_view line) {
  Sink& sink = TheSink();
  std::lock_guard lock(sink.mutex);
  sink.ring.emplace_back(line);
  if (sink.ring.size() > kRingSize) sink.ring.pop_front();
  for (TraceCapture* c : sink.captures) c->Add(line);
  const bool needs_newline = line.empty() || line.back() != '\n';
  if (sink.echo) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    if (needs_newline) std::fputc('\n', stderr);
  }
  if (sink.file.is_open()) {
    sink.file << line;
    if (needs_newline) sink.file << '\n';
    sink.file.flush();
  }
}

void TraceF(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) return;
  Trace(std::string_view(buffer, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1)));
}

std::vector<std::string> RecentTraces() {
  Sink& sink = TheSink();
  std::lock_guard lock(sink.mutex);
  return {sink.ring.begin(), sink.ring.end()};
}

bool SetTraceFile(const std::string& path) {
  Sink& sink = TheSink();
  std::lock_guard lock(sink.mutex);
  sink.file.close();
  if (path.empty()) return true;
  sink.file.open(path, std::ios::app | std::ios::binary);
  return sink.file.is_open();
}

TraceCapture::TraceCapture() : state_(new State) {
  Sink& sink = TheSink();
  std::lock_guard lock(sink.mutex);
  sink.captures.push_back(this);
}

TraceCapture::~TraceCapture() {
  {
    Sink& sink = TheSink();
    std::lock_guard lock(sink.mutex);
    std::erase(sink.captures, this);
  }
  delete state_;
}

void TraceCapture::Add(std::string_view line) {
  std::lock_guard lock(state_->mutex);
  state_->lines.emplace_back(line);
}

std::vector<std::string> TraceCapture::Lines() const {
  std::lock_guard lock(state_->mutex);
  return state_->lines;
}

bool TraceCapture::Contains(std::string_view text) const { return Count(text) > 0; }

std::size_t TraceCapture::Count(std::string_view text) const {
  std::lock_guard lock(state_->mutex);
  return static_cast<std::size_t>(std::count_if(state_->lines.begin(), state_->lines.end(), [&](const std::string& l) {
    return l.find(text) != std::string::npos;
  }));
}

void TraceCapture::Clear() {
  std::lock_guard lock(state_->mutex);
  state_->lines.clear();
}

}  // namespace brimvex::platform
