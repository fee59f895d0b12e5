#include "platform/httplib/update_service.h"

#include <httplib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace brimvex::platform {

std::string FormValue(const std::string& body, const std::string& name) {
  std::string text = body.substr(0, body.find('\0'));
  std::size_t at = 0;
  while (at <= text.size()) {
    const std::size_t end = std::min(text.find('&', at), text.size());
    const std::string pair = text.substr(at, end - at);
    const std::size_t eq = pair.find('=');
    if (eq != std::string::npos && pair.substr(0, eq) == name) return pair.substr(eq + 1);
    at = end + 1;
  }
  return {};
}

struct UpdateService::Impl {
  UpdateServiceConfig config;
  httplib::Server server;
  std::thread thread;
  Event stop;
  std::atomic<int> posts{0};
};

namespace {

// A plain name inside the folder; nothing that climbs out of it.
bool PlainName(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

}  // namespace

UpdateService::UpdateService(UpdateServiceConfig config) : impl_(std::make_unique<Impl>()) {
  impl_->config = std::move(config);
}

UpdateService::~UpdateService() { Stop(); }

bool UpdateService::Start(int port, std::string* error) {
  Impl& impl = *impl_;
  impl.server.Post("/api/updates", [&impl](const httplib::Request& req, httplib::Response& res) {
    ++impl.posts;
    if (impl.config.delay.count() > 0) impl.stop.Wait(impl.config.delay);
    res.status = impl.config.status;
    if (impl.config.raw) {
      res.set_content(*impl.config.raw, "application/json");
      return;
    }
    const std::string key = FormValue(req.body, "app_key");
    auto it = impl.config.answers.find(key);
    if (it == impl.config.answers.end()) it = impl.config.answers.find("*");
    res.set_content(it != impl.config.answers.end() ? it->second : std::string("{\"name\":\"\"}"), "application/json");
  });
  impl.server.Get(R"(/files/([^/]+))", [&impl](const httplib::Request& req, httplib::Response& res) {
    if (impl.config.delay.count() > 0) impl.stop.Wait(impl.config.delay);
    const std::string name = req.matches[1];
    if (const auto it = impl.config.files.find(name); it != impl.config.files.end()) {
      res.set_content(it->second, "application/octet-stream");
      return;
    }
    const std::filesystem::path path = std::filesystem::path(impl.config.files_dir) / name;
    std::error_code ec;
    if (!PlainName(name) || impl.config.files_dir.empty() || !std::filesystem::is_regular_file(path, ec)) {
      res.status = 404;
      return;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    res.set_content(bytes.str(), "application/octet-stream");
  });
  const int bound = port == 0 ? impl.server.bind_to_any_port("127.0.0.1")
                              : (impl.server.bind_to_port("127.0.0.1", port) ? port : -1);
  if (bound <= 0) {
    if (error != nullptr) *error = "cannot listen on 127.0.0.1:" + std::to_string(port);
    return false;
  }
  port_ = bound;
  impl.thread = std::thread([&impl] { impl.server.listen_after_bind(); });
  // A stop before the loop runs would be lost: the start waits the few moments until it does.
  while (!impl.server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}

void UpdateService::Stop() {
  if (!impl_->thread.joinable()) return;
  impl_->stop.Set();
  impl_->server.stop();
  impl_->thread.join();
}

std::string UpdateService::BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_) + "/api/"; }

int UpdateService::Posts() const { return impl_->posts.load(); }

}  // namespace brimvex::platform
