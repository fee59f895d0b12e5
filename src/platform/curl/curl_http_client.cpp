#include "platform/curl/curl_http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace brimvex::platform::curl {
namespace {

void GlobalInitOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// libcurl reads these for a request that goes through the environment's proxy.
bool EnvironmentNamesProxy() {
  for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
    const char* v = std::getenv(name);
    if (v != nullptr && *v != '\0') return true;
  }
  return false;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && Upper(s.substr(0, prefix.size())) == Upper(prefix);
}

struct Transfer {
  const HttpSink* sink = nullptr;
  const HttpProgress* progress = nullptr;
  std::uint64_t accepted = 0;
  bool sink_stopped = false;
};

size_t OnWrite(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const size_t n = size * count;
  if (t->sink_stopped) return 0;
  if (!(*t->sink)(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(data), n))) {
    t->sink_stopped = true;
    return 0;
  }
  t->accepted += n;
  return n;
}

int OnProgress(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
  auto* t = static_cast<Transfer*>(user);
  if (t->progress != nullptr && *t->progress)
    (*t->progress)(static_cast<std::uint64_t>(now), static_cast<std::uint64_t>(std::max<curl_off_t>(total, 0)));
  return 0;
}

struct Outcome {
  CURLcode code = CURLE_OK;
  long status = 0;
  bool sent = false;
  bool aborted = false;
  std::string error;
};

class CurlHttpClient final : public HttpClient {
 public:
  explicit CurlHttpClient(HttpSettings settings) : settings_(std::move(settings)) {
    GlobalInitOnce();
  }

  HttpResult Request(std::string_view method, std::string_view url, std::span<const std::uint8_t> body,
                     std::span<std::uint8_t> buffer, Event* abort) override {
    last_error_ = 0;
    HttpResult result;
    if (url.empty()) {
      last_error_ = kHttpErrorEmptyUrl;
      return result;
    }
    const std::string verb = Upper(method);
    if (verb != "GET" && verb != "POST") {
      last_error_ = kHttpErrorBadMethod;
      return result;
    }
    std::size_t filled = 0;
    bool truncated = false;
    const HttpSink sink = [&](std::span<const std::uint8_t> bytes) {
      const std::size_t room = buffer.size() - filled;
      const std::size_t n = std::min(room, bytes.size());
      std::memcpy(buffer.data() + filled, bytes.data(), n);
      filled += n;
      if (n < bytes.size()) {
        truncated = true;
        return false;
      }
      return true;
    };
    Transfer t;
    t.sink = &sink;
    const Outcome o = Run(verb, url, body, true, t, abort);
    Finish(o, result);
    result.truncated = truncated;
    if (truncated) result.completed = false;
    if (!o.sent) {
      const std::size_t n = std::min(buffer.size(), kNoLinkServer.size());
      std::memcpy(buffer.data(), kNoLinkServer.data(), n);
      result.count = 0;
    } else {
      result.count = static_cast<std::int64_t>(filled);
    }
    return result;
  }

  HttpResult Fetch(std::string_view url, const HttpSink& sink, const HttpProgress& progress, Event* abort) override {
    last_error_ = 0;
    HttpResult result;
    if (url.empty()) {
      last_error_ = kHttpErrorEmptyUrl;
      return result;
    }
    Transfer t;
    t.sink = &sink;
    t.progress = &progress;
    const Outcome o = Run("GET", url, {}, false, t, abort);
    Finish(o, result);
    result.count = static_cast<std::int64_t>(t.accepted);
    return result;
  }

  std::uint32_t LastError() const override { return last_error_; }
  HttpSettings& Settings() override { return settings_; }

 private:
  void Finish(const Outcome& o, HttpResult& result) {
    result.sent = o.sent;
    result.status = static_cast<int>(o.status);
    result.aborted = o.aborted;
    result.completed = o.code == CURLE_OK && !o.aborted;
    result.error = o.error;
    if (!result.completed) last_error_ = o.aborted ? static_cast<std::uint32_t>(CURLE_ABORTED_BY_CALLBACK)
                                                   : static_cast<std::uint32_t>(o.code);
  }

  // Direct first; when nothing could be sent, once more through the environment's proxy.
  Outcome Run(const std::string& verb, std::string_view url, std::span<const std::uint8_t> body, bool form,
              Transfer& t, Event* abort) {
    Outcome o = Attempt(verb, url, body, form, t, abort, false);
    if (!o.sent && !o.aborted && EnvironmentNamesProxy()) o = Attempt(verb, url, body, form, t, abort, true);
    return o;
  }

  Outcome Attempt(const std::string& verb, std::string_view url, std::span<const std::uint8_t> body, bool form,
                  Transfer& t, Event* abort, bool through_proxy) {
    Outcome o;
    const std::string target(url);
    CURL* easy = curl_easy_init();
    if (easy == nullptr) {
      o.code = CURLE_FAILED_INIT;
      o.error = "cannot create a transfer";
      return o;
    }
    char errbuf[CURL_ERROR_SIZE] = {};
    curl_slist* headers = nullptr;
    if (form) {
      headers = curl_slist_append(headers, ("Content-Length: " + std::to_string(body.size())).c_str());
      headers = curl_slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
      headers = curl_slist_append(headers, "Accept:application/prs.Quelt.v1+json");
    }
    headers = curl_slist_append(headers, "Expect:");
    const long idle_s = std::max<long>(1, static_cast<long>((settings_.idle_timeout.count() + 999) / 1000));
    curl_easy_setopt(easy, CURLOPT_URL, target.c_str());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errbuf);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, settings_.user_agent.c_str());
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings_.connect_timeout.count()));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, idle_s);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    // An https request never continues over plain http.
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, StartsWithNoCase(url, "https:") ? "https" : "http,https");
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!settings_.ca_file.empty()) curl_easy_setopt(easy, CURLOPT_CAINFO, settings_.ca_file.c_str());
    // "" turns every proxy off; unset, libcurl follows http_proxy, https_proxy, all_proxy, no_proxy.
    curl_easy_setopt(easy, CURLOPT_PROXY, through_proxy ? nullptr : "");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnWrite);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &t);
    if (t.progress != nullptr) {
      curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
      curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, OnProgress);
      curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &t);
    }
    if (verb == "POST" || !body.empty()) {
      curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
      curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, body.empty() ? "" : reinterpret_cast<const char*>(body.data()));
      if (verb == "GET") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, "GET");
    } else {
      curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }

    CURLM* multi = curl_multi_init();
    curl_multi_add_handle(multi, easy);
    // The abort event wakes the transfer loop; the waker ends with the transfer.
    Event done;
    std::thread waker;
    if (abort != nullptr)
      waker = std::thread([abort, &done, multi] {
        if (Event::WaitAny({abort, &done}) == 0) curl_multi_wakeup(multi);
      });
    int running = 1;
    CURLMcode mc = CURLM_OK;
    while (true) {
      mc = curl_multi_perform(multi, &running);
      if (mc != CURLM_OK || running == 0) break;
      if (abort != nullptr && abort->IsSet()) {
        o.aborted = true;
        break;
      }
      // Returns when a socket is ready, libcurl's own timer is due, or the waker calls.
      mc = curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
      if (mc != CURLM_OK) break;
    }
    done.Set();
    if (waker.joinable()) waker.join();
    if (!o.aborted) {
      o.code = CURLE_GOT_NOTHING;
      int left = 0;
      while (CURLMsg* msg = curl_multi_info_read(multi, &left))
        if (msg->msg == CURLMSG_DONE) o.code = msg->data.result;
      if (mc != CURLM_OK) o.code = CURLE_FAILED_INIT;
    }
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &o.status);
    long request_size = 0;
    curl_easy_getinfo(easy, CURLINFO_REQUEST_SIZE, &request_size);
    o.sent = request_size > 0 || o.status > 0;
    if (o.aborted) {
      o.error = "aborted";
    } else if (o.code != CURLE_OK) {
      o.error = errbuf[0] != '\0' ? std::string(errbuf) : std::string(curl_easy_strerror(o.code));
    }
    curl_multi_remove_handle(multi, easy);
    curl_multi_cleanup(multi);
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers);
    return o;
  }

  HttpSettings settings_;
  std::uint32_t last_error_ = 0;
};

}  // namespace

std::unique_ptr<HttpClient> CreateCurlHttpClient(HttpSettings settings) {
  return std::make_unique<CurlHttpClient>(std::move(settings));
}

}  // namespace brimvex::platform::curl
