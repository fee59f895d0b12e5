// brimvex-update-server: the loopback update service as a program of its own, for tests and
// for trying the settings window against chosen answers.
#include <json/json.h>
#include <signal.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/httplib/update_service.h"

namespace {

bool ReadFile(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *bytes = s.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App cli{"brimvex-update-server: an update service on 127.0.0.1"};
  int port = 0;
  std::string answer_file;
  std::string raw_file;
  int status = 200;
  int delay_ms = 0;
  std::string files_dir;
  cli.add_option("--port", port, "port to listen on (0: any free one)")->check(CLI::Range(0, 65535));
  auto* answer = cli.add_option("--answer", answer_file, "JSON object: application key -> answer (\"*\": others)");
  cli.add_option("--raw", raw_file, "answer every request with this file's bytes")->excludes(answer);
  cli.add_option("--status", status, "HTTP status of every answer")->check(CLI::Range(100, 599));
  cli.add_option("--delay-ms", delay_ms, "pause before every answer")->check(CLI::NonNegativeNumber);
  cli.add_option("--files", files_dir, "folder served as /files/NAME");
  CLI11_PARSE(cli, argc, argv);

  brimvex::platform::UpdateServiceConfig config;
  config.status = status;
  config.delay = brimvex::platform::Millis(delay_ms);
  config.files_dir = files_dir;
  if (!raw_file.empty()) {
    std::string bytes;
    if (!ReadFile(raw_file, &bytes)) {
      std::fprintf(stderr, "brimvex-update-server: cannot read %s\n", raw_file.c_str());
      return 2;
    }
    config.raw = bytes;
  }
  if (!answer_file.empty()) {
    std::string text;
    Json::Value root;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::istringstream in;
    if (ReadFile(answer_file, &text)) in.str(text);
    if (text.empty() || !Json::parseFromStream(builder, in, &root, &errors) || !root.isObject()) {
      std::fprintf(stderr, "brimvex-update-server: %s is not a JSON object\n", answer_file.c_str());
      return 2;
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    for (const auto& key : root.getMemberNames()) config.answers[key] = Json::writeString(writer, root[key]);
  }
  // SIGTERM and SIGINT are taken by sigwait below, not by a handler.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  brimvex::platform::UpdateService service(config);
  std::string error;
  if (!service.Start(port, &error)) {
    std::fprintf(stderr, "brimvex-update-server: %s\n", error.c_str());
    return 1;
  }
  std::printf("listening on 127.0.0.1:%d\n", service.Port());
  std::fflush(stdout);
  int sig = 0;
  sigwait(&signals, &sig);
  service.Stop();
  return 0;
}
