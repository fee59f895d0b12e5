#pragma once
// A raw HTTP server on 127.0.0.1 for the client tests: it keeps every request byte for byte
// and answers each with what the test's handler gives (bytes, a pause first, a connection held
// open without a word). One connection at a time; stopped when it goes, which also ends every
// pause and held connection.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/event.h"

namespace brimvex::test {

struct RawReply {
  std::string bytes;                     // written as they are
  platform::Millis pause_before{0};      // before the bytes (ended early when the server stops)
  platform::Millis hold_after{0};        // connection kept open afterwards, silent
};

class LoopbackHttpServer {
 public:
  using Handler = std::function<RawReply(const std::string& request)>;

  explicit LoopbackHttpServer(Handler handler) : handler_(std::move(handler)) {
    listen_ = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(listen_, 8);
    socklen_t len = sizeof addr;
    getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    if (pipe(wake_) != 0) wake_[0] = wake_[1] = -1;
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackHttpServer() {
    stop_.Set();
    if (wake_[1] >= 0) (void)!write(wake_[1], "x", 1);
    thread_.join();
    close(listen_);
    close(wake_[0]);
    close(wake_[1]);
  }
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  int port() const { return port_; }
  std::string url(const std::string& path = "/") const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  std::vector<std::string> requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  // Set when a request has been read in full (before the handler's reply).
  platform::Event& request_seen() { return seen_; }

  static std::string Answer(int status, const std::string& body, const std::string& extra_headers = "") {
    return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + extra_headers + "\r\n" + body;
  }

 private:
  void Serve() {
    while (!stop_.IsSet()) {
      pollfd fds[2] = {{listen_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
      if (poll(fds, 2, -1) <= 0 || (fds[1].revents & POLLIN) != 0) break;
      const int conn = accept(listen_, nullptr, nullptr);
      if (conn < 0) continue;
      const std::string request = ReadRequest(conn);
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      seen_.Set();
      const RawReply reply = handler_(request);
      if (reply.pause_before.count() > 0) stop_.Wait(reply.pause_before);
      if (!stop_.IsSet()) {
        std::size_t off = 0;
        while (off < reply.bytes.size()) {
          const ssize_t n = send(conn, reply.bytes.data() + off, reply.bytes.size() - off, MSG_NOSIGNAL);
          if (n <= 0) break;
          off += static_cast<std::size_t>(n);
        }
        if (reply.hold_after.count() > 0) stop_.Wait(reply.hold_after);
      }
      close(conn);
    }
  }

  // The head up to its empty line, then as many body bytes as Content-Length announces.
  std::string ReadRequest(int conn) {
    timeval tv{5, 0};
    setsockopt(conn, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    std::string data;
    char buf[4096];
    std::size_t want = std::string::npos;
    while (want == std::string::npos || data.size() < want) {
      const ssize_t n = recv(conn, buf, sizeof buf, 0);
      if (n <= 0) break;
      data.append(buf, static_cast<std::size_t>(n));
      const auto head_end = data.find("\r\n\r\n");
      if (want == std::string::npos && head_end != std::string::npos) {
        std::size_t length = 0;
        const auto at = data.find("Content-Length: ");
        if (at != std::string::npos && at < head_end) length = std::stoul(data.substr(at + 16));
        want = head_end + 4 + length;
      }
    }
    return data;
  }

  Handler handler_;
  int listen_ = -1;
  int wake_[2] = {-1, -1};
  int port_ = 0;
  platform::Event stop_;
  platform::Event seen_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

}  // namespace brimvex::test
