#pragma once
// The HTTP client port: one synchronous request per call, a form body with a fixed header block,
// the whole answer collected into the caller's buffer. Settings and the last error belong to
// the client object, so two clients never disturb each other; one client serves one thread at
// a time.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/event.h"

namespace brimvex::platform {

// What a client starts with before every request.
struct HttpSettings {
  std::string user_agent = "WinHTTP Client/1.0";
  // Bounds name resolution and the connection (TLS handshake included).
  Millis connect_timeout{60000};
  // A request ends when no byte moved in either direction for this long.
  Millis idle_timeout{30000};
  // Certificates are checked against the system store, or against this file of CA
  // certificates when it is not empty.
  std::string ca_file;
};

inline constexpr std::uint32_t kHttpErrorEmptyUrl = 3;
inline constexpr std::uint32_t kHttpErrorBadMethod = 87;
inline constexpr std::string_view kNoLinkServer = "NO_LINK_SERVER";

struct HttpResult {
  // Body bytes in the buffer; -1 for an argument error (nothing written); 0 with the buffer
  // starting "NO_LINK_SERVER" when no request could be sent at all.
  std::int64_t count = -1;
  bool sent = false;
  // The whole answer arrived (not cut, not timed out, not aborted).
  bool completed = false;
  // The body was longer than the buffer: the transfer ended at its capacity.
  bool truncated = false;
  bool aborted = false;
  int status = 0;  // the HTTP status, 0 when none arrived
  std::string error;  // the transport's own words for a failure, "" on success
};

// Receives body bytes as they arrive; false ends the transfer.
using HttpSink = std::function<bool(std::span<const std::uint8_t>)>;
// Bytes received so far and the announced total (0 when unknown).
using HttpProgress = std::function<void(std::uint64_t received, std::uint64_t total)>;

class HttpClient {
 public:
  virtual ~HttpClient() = default;

  // Method "GET" or "POST" (any case), an http or https URL, the body as given. The buffer's
  // size is its capacity; its bytes past the count are left as they were. `abort`, when set,
  // ends the request at once.
  virtual HttpResult Request(std::string_view method, std::string_view url, std::span<const std::uint8_t> body,
                             std::span<std::uint8_t> buffer, Event* abort) = 0;
  // A GET whose body goes to `sink` as it arrives (no capacity), for downloads; the same
  // rules for schemes, redirects, certificates, proxies and time-outs. `count` is the number of
  // bytes the sink accepted.
  virtual HttpResult Fetch(std::string_view url, const HttpSink& sink, const HttpProgress& progress,
                           Event* abort) = 0;
  // 0 after a request that went well; 3, 87, or the transport's code of the last failure.
  virtual std::uint32_t LastError() const = 0;
  virtual HttpSettings& Settings() = 0;
};

// Makes clients; the program has one, the tests another.
using HttpClientFactory = std::function<std::unique_ptr<HttpClient>()>;

}  // namespace brimvex::platform
