#include "update/download.h"

#include <cctype>
#include <chrono>
#include <filesystem>

#include "platform/part_file.h"
#include "platform/trace.h"

namespace brimvex::update {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The scheme, when the text starts with one ("file:", "ftp:", "http:").
std::optional<std::string> SchemeOf(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == ':') return i > 0 ? std::optional<std::string>(Lower(s.substr(0, i))) : std::nullopt;
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ResolveDownloadUrl(const std::string& path, const std::string& base_url) {
  if (path.empty()) return std::nullopt;
  if (const auto scheme = SchemeOf(path)) {
    if (*scheme == "http" || *scheme == "https") return path;
    return std::nullopt;
  }
  if (path.starts_with("//")) return std::nullopt;
  const auto base_scheme = SchemeOf(base_url);
  if (!base_scheme || (*base_scheme != "http" && *base_scheme != "https")) return std::nullopt;
  if (path.front() == '/') {
    const std::size_t host = base_url.find("//");
    const std::size_t end = base_url.find('/', host == std::string::npos ? 0 : host + 2);
    return base_url.substr(0, end) + path;
  }
  const std::size_t slash = base_url.find_last_of('/');
  return base_url.substr(0, slash + 1) + path;
}

DownloadOutcome Download(platform::HttpClient& client, const DownloadJob& job, platform::Event* abort,
                         const PercentSink& percent) {
  DownloadOutcome out;
  const auto url = ResolveDownloadUrl(job.path, job.base_url);
  if (!url) {
    out.error = "download path refused: " + job.path;
    return out;
  }
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(job.local_file).parent_path(), ec);
  std::filesystem::remove(job.local_file, ec);
  platform::PartFile part;
  if (!part.Open(job.local_file + ".part", &out.error)) return out;
  platform::Sha256 digest;
  std::uint64_t received = 0;
  bool too_large = false;
  bool write_failed = false;
  const platform::HttpSink sink = [&](std::span<const std::uint8_t> bytes) {
    received += bytes.size();
    if (too_large || received > kMaxDownloadBytes) {
      too_large = true;
      return false;
    }
    digest.Update(bytes);
    if (!part.Append(bytes)) {
      write_failed = true;
      return false;
    }
    return true;
  };
  using Clock = std::chrono::steady_clock;
  int shown = -1;
  Clock::time_point last{};
  const platform::HttpProgress progress = [&](std::uint64_t now, std::uint64_t total) {
    if (total > kMaxDownloadBytes) too_large = true;
    if (total == 0 || !percent) return;
    const int p = static_cast<int>(std::min<std::uint64_t>(100, now * 100 / total));
    const Clock::time_point t = Clock::now();
    if (p == shown || (p < 100 && shown >= 0 && t - last < std::chrono::milliseconds(100))) return;
    shown = p;
    last = t;
    percent(p);
  };
  const platform::HttpResult r = client.Fetch(*url, sink, progress, abort);
  if (r.aborted) {
    out.aborted = true;
    out.error = "download cancelled";
  } else if (too_large) {
    out.error = "download larger than 256 MiB";
  } else if (write_failed) {
    out.error = "cannot write " + job.local_file + ".part";
  } else if (!r.completed || r.status >= 400 || r.status == 0) {
    out.error = "download failed (status " + std::to_string(r.status) + "): " + r.error;
  } else if (!job.sha256.empty() && Lower(job.sha256) != digest.HexDigest()) {
    out.error = "download does not match its sha256";
  } else if (part.Commit(job.local_file, &out.error)) {
    out.ok = true;
    if (percent && shown != 100) percent(100);
    return out;
  }
  part.Discard();
  platform::Trace(out.error);
  return out;
}

}  // namespace brimvex::update
