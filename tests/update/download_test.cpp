// Downloads of marked lines from the loopback service: whole and checked, or nothing left.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "platform/curl/curl_http_client.h"
#include "platform/httplib/update_service.h"
#include "platform/part_file.h"
#include "test_support/loopback_http_server.h"
#include "test_support/temp_dir.h"
#include "update/download.h"

namespace brimvex::update {
namespace {

namespace fs = std::filesystem;

std::string Sha256Of(const std::string& bytes) {
  platform::Sha256 h;
  h.Update({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  return h.HexDigest();
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  return names;
}

TEST(Download, PathsThatMayBeFetched) {
  const std::string base = "http://127.0.0.1:8080/api/";
  struct Case {
    const char* path;
    std::optional<std::string> url;
  };
  const Case cases[] = {
      {"/files/kb.bin", "http://127.0.0.1:8080/files/kb.bin"},
      {"files/kb.bin", "http://127.0.0.1:8080/api/files/kb.bin"},
      {"https://example.org/kb.bin", "https://example.org/kb.bin"},
      {"HTTP://example.org/kb.bin", "HTTP://example.org/kb.bin"},
      {"file:///etc/passwd", std::nullopt},
      {"ftp://example.org/kb.bin", std::nullopt},
      {"//example.org/kb.bin", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& k : cases) EXPECT_EQ(ResolveDownloadUrl(k.path, base), k.url) << k.path;
}

TEST(Download, WholeAndCheckedOrNothingLeft) {
  const std::string firmware(300000, '\x5a');
  platform::UpdateServiceConfig config;
  config.files["kb.bin"] = firmware;
  platform::UpdateService service(config);
  ASSERT_TRUE(service.Start(0, nullptr));
  struct Case {
    const char* what;
    std::string path;
    std::string sha256;
    bool ok;
  };
  const Case cases[] = {
      {"checked", "/files/kb.bin", Sha256Of(firmware), true},
      {"unchecked", "/files/kb.bin", "", true},
      {"upper-case digest", "/files/kb.bin", Upper(Sha256Of(firmware)), true},
      {"wrong digest", "/files/kb.bin", Sha256Of("other"), false},
      {"missing file", "/files/none.bin", "", false},
      {"file scheme", "file:///etc/hostname", "", false},
  };
  auto client = platform::curl::CreateCurlHttpClient();
  for (const Case& k : cases) {
    test::TempDir dir;
    const std::string local = (dir.path() / "UpdateData" / "KB.bin").string();
    std::vector<int> percents;
    const DownloadJob job{k.path, service.BaseUrl(), local, k.sha256};
    const DownloadOutcome out = Download(*client, job, nullptr, [&](int p) { percents.push_back(p); });
    EXPECT_EQ(out.ok, k.ok) << k.what << ": " << out.error;
    if (k.ok) {
      EXPECT_EQ(FilesIn(dir.path() / "UpdateData"), std::vector<std::string>{"KB.bin"}) << k.what;
      std::ifstream in(local, std::ios::binary);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), firmware) << k.what;
      const auto perms = fs::status(local).permissions();
      EXPECT_EQ(perms & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec), fs::perms::none);
      ASSERT_FALSE(percents.empty()) << k.what;
      EXPECT_EQ(percents.back(), 100) << k.what;
      EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end())) << k.what;
    } else {
      EXPECT_TRUE(!fs::exists(dir.path() / "UpdateData") || FilesIn(dir.path() / "UpdateData").empty()) << k.what;
    }
  }
}

TEST(Download, AbortMidBodyLeavesNoPart) {
  test::LoopbackHttpServer server([](const std::string&) {
    return test::RawReply{"HTTP/1.1 200 X\r\nContent-Length: 1000\r\n\r\n" + std::string(10, 'a'), {},
                          platform::Millis(600000)};
  });
  test::TempDir dir;
  platform::Event abort;
  auto client = platform::curl::CreateCurlHttpClient();
  const DownloadJob job{server.url("/files/kb.bin"), "", (dir.path() / "KB.bin").string(), ""};
  const DownloadOutcome out = Download(*client, job, &abort, [&](int p) {
    if (p > 0) abort.Set();
  });
  EXPECT_TRUE(out.aborted);
  EXPECT_FALSE(out.ok);
  EXPECT_TRUE(FilesIn(dir.path()).empty());
}

}  // namespace
}  // namespace brimvex::update
