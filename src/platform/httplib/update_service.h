#pragma once
// A small update service on 127.0.0.1 only, over cpp-httplib: POST "/api/updates" answers by
// the request's application key, GET "/files/NAME" serves download files. It stands in for
// the vendor's service in `brimvex --emulate`, in brimvex-update-server and in the tests.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/event.h"

namespace brimvex::platform {

struct UpdateServiceConfig {
  // Application key -> answer text; "*" answers every other key. Without either: {"name":""}.
  std::map<std::string, std::string> answers;
  // When set, every POST answers these bytes as they are.
  std::optional<std::string> raw;
  int status = 200;
  Millis delay{0};  // before every answer (ended early by Stop)
  // GET "/files/NAME": from here first (name -> bytes), then from this folder.
  std::map<std::string, std::string> files;
  std::string files_dir;
};

class UpdateService {
 public:
  explicit UpdateService(UpdateServiceConfig config);
  ~UpdateService();  // stops
  UpdateService(const UpdateService&) = delete;
  UpdateService& operator=(const UpdateService&) = delete;

  // Listens on 127.0.0.1:port (0: any free port) and serves on a thread of its own.
  bool Start(int port, std::string* error);
  void Stop();
  int Port() const { return port_; }
  // "http://127.0.0.1:PORT/api/".
  std::string BaseUrl() const;
  // POST requests answered so far.
  int Posts() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int port_ = 0;
};

// The application key of a form body "app_key=KEY&version=..." (a trailing zero byte allowed).
std::string FormValue(const std::string& body, const std::string& name);

}  // namespace brimvex::platform
