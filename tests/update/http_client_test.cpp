// The libcurl client against loopback servers: what reaches the wire, and how each kind of
// failure comes back.
#include <httplib.h>

#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "platform/curl/curl_http_client.h"
#include "test_support/env_scope.h"
#include "test_support/loopback_http_server.h"

namespace brimvex {
namespace {

using platform::HttpResult;
using test::LoopbackHttpServer;
using test::RawReply;

constexpr std::string_view kBody("abc\0", 4);

std::span<const std::uint8_t> Bytes(std::string_view s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

struct Call {
  HttpResult result;
  std::uint32_t last_error = 0;
  std::string text;  // the buffer up to the count (or the 14 bytes of the no-server mark)
};

Call Send(std::string_view method, const std::string& url, std::string_view body = kBody,
          platform::HttpSettings settings = {}, platform::Event* abort = nullptr) {
  auto client = platform::curl::CreateCurlHttpClient(std::move(settings));
  std::vector<std::uint8_t> buffer(102400, 0);
  Call c;
  c.result = client->Request(method, url, Bytes(body), buffer, abort);
  c.last_error = client->LastError();
  const std::size_t n = c.result.count > 0 ? static_cast<std::size_t>(c.result.count) : 14;
  c.text.assign(reinterpret_cast<const char*>(buffer.data()), n);
  return c;
}

// A port nothing listens on.
int ClosedPort() {
  LoopbackHttpServer probe([](const std::string&) { return RawReply{}; });
  return probe.port();
}

TEST(HttpClient, RequestReachesTheWireByteForByte) {
  LoopbackHttpServer server([](const std::string&) { return RawReply{LoopbackHttpServer::Answer(200, "{}")}; });
  const Call c = Send("post", server.url("/api/updates"));
  EXPECT_EQ(c.result.count, 2);
  EXPECT_TRUE(c.result.completed);
  EXPECT_EQ(c.result.status, 200);
  EXPECT_EQ(c.text, "{}");
  ASSERT_EQ(server.requests().size(), 1u);
  const std::string expected = "POST /api/updates HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
                               "\r\nUser-Agent: WinHTTP Client/1.0\r\nContent-Length: 4\r\n"
                               "Content-Type: application/x-www-form-urlencoded\r\n"
                               "Accept:application/prs.Quelt.v1+json\r\n\r\n" +
                               std::string(kBody);
  EXPECT_EQ(server.requests()[0], expected);
}

TEST(HttpClient, ArgumentErrorsSendNothing) {
  LoopbackHttpServer server([](const std::string&) { return RawReply{LoopbackHttpServer::Answer(200, "x")}; });
  struct Case {
    const char* method;
    std::string url;
    std::uint32_t last_error;
  };
  for (const Case& k : {Case{"PUT", server.url(), 87}, Case{"POST", "", 3}}) {
    const Call c = Send(k.method, k.url);
    EXPECT_EQ(c.result.count, -1) << k.method;
    EXPECT_EQ(c.last_error, k.last_error) << k.method;
  }
  EXPECT_TRUE(server.requests().empty());
}

TEST(HttpClient, NothingSentGivesTheNoServerMark) {
  test::EnvScope no_proxy({{"http_proxy", std::nullopt}, {"all_proxy", std::nullopt}, {"ALL_PROXY", std::nullopt}});
  for (const std::string& url :
       {"http://127.0.0.1:" + std::to_string(ClosedPort()) + "/api/updates", std::string("file:///etc/hostname"),
        std::string("ftp://127.0.0.1/x")}) {
    const Call c = Send("POST", url);
    EXPECT_EQ(c.result.count, 0) << url;
    EXPECT_FALSE(c.result.sent) << url;
    EXPECT_EQ(c.text, "NO_LINK_SERVER") << url;
    EXPECT_NE(c.last_error, 0u) << url;
  }
}

TEST(HttpClient, AnswersThatEndBadly) {
  const std::string big(200 * 1024, 'a');
  struct Case {
    const char* what;
    RawReply reply;
    std::int64_t count;
    bool completed;
    bool truncated;
    int status;
  };
  const Case cases[] = {
      {"longer than the buffer", {LoopbackHttpServer::Answer(200, big)}, 102400, false, true, 200},
      {"closed mid-body", {"HTTP/1.1 200 X\r\nContent-Length: 100\r\n\r\n0123456789"}, 10, false, false, 200},
      {"silent past the idle time-out",
       {"HTTP/1.1 200 X\r\nContent-Length: 100\r\n\r\n01234", {}, platform::Millis(60000)},
       5,
       false,
       false,
       200},
      {"error page", {LoopbackHttpServer::Answer(404, "gone")}, 4, true, false, 404},
  };
  for (const Case& k : cases) {
    LoopbackHttpServer server([&k](const std::string&) { return k.reply; });
    platform::HttpSettings settings;
    settings.idle_timeout = platform::Millis(1000);
    const Call c = Send("POST", server.url(), kBody, settings);
    EXPECT_EQ(c.result.count, k.count) << k.what;
    EXPECT_EQ(c.result.completed, k.completed) << k.what;
    EXPECT_EQ(c.result.truncated, k.truncated) << k.what;
    EXPECT_EQ(c.result.status, k.status) << k.what;
    EXPECT_TRUE(c.result.sent) << k.what;
  }
}

TEST(HttpClient, DirectFirstThenTheEnvironmentsProxy) {
  LoopbackHttpServer proxy([](const std::string&) { return RawReply{LoopbackHttpServer::Answer(200, "via proxy")}; });
  const std::string target = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/api/updates";
  {
    test::EnvScope env({{"http_proxy", proxy.url()}, {"no_proxy", std::nullopt}, {"NO_PROXY", std::nullopt}});
    const Call c = Send("POST", target);
    EXPECT_EQ(c.text, "via proxy");
    ASSERT_EQ(proxy.requests().size(), 1u);
    EXPECT_TRUE(proxy.requests()[0].starts_with("POST " + target + " HTTP/1.1\r\n")) << proxy.requests()[0];
  }
  {
    test::EnvScope env({{"http_proxy", proxy.url()}, {"no_proxy", "127.0.0.1"}});
    const Call c = Send("POST", target);
    EXPECT_EQ(c.text, "NO_LINK_SERVER");
    EXPECT_EQ(proxy.requests().size(), 1u);
  }
}

TEST(HttpClient, AbortEndsARequestWhileTheServerStillWaits) {
  LoopbackHttpServer server(
      [](const std::string&) { return RawReply{LoopbackHttpServer::Answer(200, "late"), platform::Millis(600000)}; });
  platform::Event abort;
  std::thread aborter([&] {
    server.request_seen().Wait();
    abort.Set();
  });
  const Call c = Send("POST", server.url(), kBody, {}, &abort);
  aborter.join();
  EXPECT_TRUE(c.result.aborted);
  EXPECT_FALSE(c.result.completed);
  EXPECT_EQ(c.result.count, 0);
}

class TlsServer {
 public:
  explicit TlsServer(const std::string& name)
      : server_((std::string(BRIMVEX_TEST_TLS_DIR) + name + ".crt").c_str(),
                (std::string(BRIMVEX_TEST_TLS_DIR) + name + ".key").c_str()) {
    server_.Post("/api/updates", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("{\"name\":\"tls\"}", "application/json");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~TlsServer() {
    server_.stop();
    thread_.join();
  }
  std::string url() const { return "https://127.0.0.1:" + std::to_string(port_) + "/api/updates"; }

 private:
  httplib::SSLServer server_;
  int port_ = 0;
  std::thread thread_;
};

TEST(HttpClient, CertificatesAreChecked) {
  struct Case {
    const char* server_cert;
    const char* ca;  // "" for the system store
    bool accepted;
  };
  const Case cases[] = {{"loopback", "", false}, {"loopback", "loopback", true}, {"wrongname", "wrongname", false}};
  for (const Case& k : cases) {
    TlsServer server(k.server_cert);
    platform::HttpSettings settings;
    if (*k.ca != '\0') settings.ca_file = std::string(BRIMVEX_TEST_TLS_DIR) + k.ca + ".crt";
    const Call c = Send("POST", server.url(), kBody, settings);
    if (k.accepted) {
      EXPECT_EQ(c.text, "{\"name\":\"tls\"}") << k.server_cert;
    } else {
      EXPECT_EQ(c.text, "NO_LINK_SERVER") << k.server_cert;
      EXPECT_NE(c.result.error.find("certificate"), std::string::npos) << c.result.error;
    }
  }
}

}  // namespace
}  // namespace brimvex
