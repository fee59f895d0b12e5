#include "app/control_request.h"

namespace brimvex::app {

platform::IpcMessage EncodeRequest(const ControlRequest& request) {
  platform::IpcMessage m;
  m.name = std::string(kRequestName);
  m.wparam = request.id;
  m.payload = request.reply_to;
  m.payload.push_back('\0');
  for (const std::string& w : request.words) {
    m.payload += w;
    m.payload.push_back('\0');
  }
  return m;
}

std::optional<ControlRequest> DecodeRequest(const platform::IpcMessage& message, std::string* why) {
  const auto fail = [why](const char* reason) -> std::optional<ControlRequest> {
    if (why != nullptr) *why = reason;
    return std::nullopt;
  };
  if (message.name != kRequestName) return fail("not a request");
  if (message.payload.empty() || message.payload.back() != '\0') return fail("unterminated request");
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < message.payload.size(); ++i) {
    if (message.payload[i] != '\0') continue;
    parts.emplace_back(message.payload, start, i - start);
    start = i + 1;
  }
  ControlRequest r;
  r.id = message.wparam;
  r.reply_to = parts.front();
  if (r.reply_to.size() <= kReplyPeerPrefix.size() || r.reply_to.size() > kMaxReplyPeerBytes ||
      r.reply_to.compare(0, kReplyPeerPrefix.size(), kReplyPeerPrefix) != 0)
    return fail("the reply peer is not a brimvexctl");
  if (parts.size() < 2 || parts[1].empty()) return fail("no verb");
  r.words.assign(parts.begin() + 1, parts.end());
  return r;
}

platform::IpcMessage EncodeAnswer(std::uint64_t id, const ControlAnswer& answer) {
  return platform::IpcMessage{std::string(kAnswerName), id, answer.exit_code, answer.text};
}

std::optional<ControlAnswer> DecodeAnswer(const platform::IpcMessage& message, std::uint64_t id) {
  if (message.name != kAnswerName || message.wparam != id) return std::nullopt;
  if (message.lparam < 0 || message.lparam > 255) return ControlAnswer{kExitFailed, "malformed answer"};
  return ControlAnswer{static_cast<int>(message.lparam), message.payload};
}

bool RequestTable::Add(std::string_view verb, Handler handler) {
  if (verb.empty() || !handler) return false;
  return handlers_.try_emplace(std::string(verb), std::move(handler)).second;
}

ControlAnswer RequestTable::Run(const ControlRequest& request) const {
  const auto it = handlers_.find(request.words.front());
  if (it == handlers_.end()) return {kExitMalformed, "unknown request \"" + request.words.front() + "\""};
  return it->second(std::vector<std::string>(request.words.begin() + 1, request.words.end()));
}

}  // namespace brimvex::app
