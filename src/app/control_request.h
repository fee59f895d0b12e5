#pragma once
// How brimvexctl asks the running program (or the emulator inside `brimvex --emulate`) and gets
// its one answer. The client listens as "brimvexctl-<pid>", sends a request frame naming itself
// and waits for the answer frame:
//   request  name "brimvexctl-request", wParam the request id, payload: the reply peer's name,
//            then each word (verb first), every one followed by a zero byte;
//   answer   name "brimvexctl-answer", wParam the request id, lParam the exit code, payload the
//            text (shown on stdout for 0, on stderr otherwise).
// A table maps verbs to handlers; features add their verbs from their own files.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ipc_frame.h"

namespace brimvex::app {

inline constexpr std::string_view kRequestName = "brimvexctl-request";
inline constexpr std::string_view kAnswerName = "brimvexctl-answer";
// Answers go only to peers whose name starts with this.
inline constexpr std::string_view kReplyPeerPrefix = "brimvexctl-";
inline constexpr std::size_t kMaxReplyPeerBytes = 64;

// Exit codes of brimvexctl, everywhere.
inline constexpr int kExitDone = 0;
// No instance, no answer, or a device read or write failed (the text names the result).
inline constexpr int kExitFailed = 1;
// Malformed words; nothing changed.
inline constexpr int kExitMalformed = 2;
// Refused by a rule, or the device is unreachable (the text says why).
inline constexpr int kExitRefused = 3;

struct ControlRequest {
  std::uint64_t id = 0;
  std::string reply_to;
  std::vector<std::string> words;  // verb first
};

struct ControlAnswer {
  int exit_code = kExitDone;
  std::string text;
};

platform::IpcMessage EncodeRequest(const ControlRequest& request);
// nullopt (with the reason) for another frame name, a payload without its zero bytes, no verb,
// or a reply peer outside "brimvexctl-" (so nobody can make the program post to other peers).
std::optional<ControlRequest> DecodeRequest(const platform::IpcMessage& message, std::string* why = nullptr);
platform::IpcMessage EncodeAnswer(std::uint64_t id, const ControlAnswer& answer);
// The answer to request `id`, or nullopt for any other frame.
std::optional<ControlAnswer> DecodeAnswer(const platform::IpcMessage& message, std::uint64_t id);

// Verb -> handler. The handler gets the words after the verb.
class RequestTable {
 public:
  using Handler = std::function<ControlAnswer(const std::vector<std::string>& args)>;
  // False when the verb has a handler already (or is empty).
  bool Add(std::string_view verb, Handler handler);
  // The handler's answer; an unknown verb is malformed (exit 2).
  ControlAnswer Run(const ControlRequest& request) const;

 private:
  std::unordered_map<std::string, Handler> handlers_;
};

}  // namespace brimvex::app
