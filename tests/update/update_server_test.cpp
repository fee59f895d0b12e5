// brimvex-update-server as a program: its first line names the port, it answers by application
// key from --answer, serves --files, and ends with exit code 0 on SIGTERM.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/curl/curl_http_client.h"
#include "test_support/child_process.h"
#include "test_support/temp_dir.h"

namespace brimvex {
namespace {

TEST(UpdateServerProgram, AnswersByKeyServesFilesAndEndsOnSigterm) {
  test::TempDir dir;
  std::ofstream(dir.path() / "answers.json") << R"({"QUELT_1_Orrin_KB_1": {"name": "KB", "version": "1a"}})";
  std::filesystem::create_directories(dir.path() / "files");
  std::ofstream(dir.path() / "files" / "kb.bin") << "firmware";
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const pid_t pid = test::SpawnChild({BRIMVEX_UPDATE_SERVER, "--port", "0", "--answer", (dir.path() / "answers.json").string(),
                                      "--files", (dir.path() / "files").string()},
                                     {}, out[1]);
  close(out[1]);
  ASSERT_GT(pid, 0);
  FILE* lines = fdopen(out[0], "r");
  char first[128] = {};
  ASSERT_NE(fgets(first, sizeof first, lines), nullptr);
  int port = 0;
  ASSERT_EQ(std::sscanf(first, "listening on 127.0.0.1:%d", &port), 1) << first;
  const std::string base = "http://127.0.0.1:" + std::to_string(port);
  auto client = platform::curl::CreateCurlHttpClient();
  struct Case {
    const char* body;
    const char* answer;
  };
  for (const Case& k : {Case{"app_key=QUELT_1_Orrin_KB_1&version=19", R"({"name":"KB","version":"1a"})"},
                        Case{"app_key=QUELT_0_ALL_Halvo_1&version=1000", R"({"name":""})"}}) {
    std::vector<std::uint8_t> buffer(1024, 0);
    const std::string body(k.body);
    const auto r = client->Request("POST", base + "/api/updates",
                                   {reinterpret_cast<const std::uint8_t*>(body.data()), body.size() + 1}, buffer, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(r.count)), k.answer);
  }
  std::string file;
  const auto fetched = client->Fetch(
      base + "/files/kb.bin",
      [&](std::span<const std::uint8_t> b) {
        file.append(reinterpret_cast<const char*>(b.data()), b.size());
        return true;
      },
      nullptr, nullptr);
  EXPECT_EQ(fetched.status, 200);
  EXPECT_EQ(file, "firmware");
  const auto missing = client->Fetch(base + "/files/..%2Fanswers.json", [](std::span<const std::uint8_t>) { return true; },
                                     nullptr, nullptr);
  EXPECT_EQ(missing.status, 404);
  kill(pid, SIGTERM);
  EXPECT_EQ(test::WaitChild(pid), 0);
  fclose(lines);
}

}  // namespace
}  // namespace brimvex
