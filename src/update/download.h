#pragma once
// Downloading one marked line's file: from an absolute http(s) path or one relative to the
// service, into "<local file>.part", checked, then renamed into place. Nothing downloaded is
// ever started from here.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/event.h"
#include "platform/http_client.h"

namespace brimvex::update {

inline constexpr std::uint64_t kMaxDownloadBytes = 256ull * 1024 * 1024;

struct DownloadJob {
  std::string path;        // "path" of the answer
  std::string base_url;    // the service's "…/api/"
  std::string local_file;  // where the whole file ends up
  std::string sha256;      // expected digest, lower or upper case; empty: not checked
};

struct DownloadOutcome {
  bool ok = false;
  bool aborted = false;
  std::string error;
};

// The URL a path stands for: absolute http or https as it is, "/x" on the service's host,
// "x" beside the service's base; nullopt for every other scheme.
std::optional<std::string> ResolveDownloadUrl(const std::string& path, const std::string& base_url);

// Called with 0..100 as the percentage changes, at most ten times a second (and once at 100).
using PercentSink = std::function<void(int)>;
// Ends with nothing left behind unless ok: neither the part file nor the local file.
DownloadOutcome Download(platform::HttpClient& client, const DownloadJob& job, platform::Event* abort,
                         const PercentSink& percent);

}  // namespace brimvex::update
