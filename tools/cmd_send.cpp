// brimvexctl send NAME [WPARAM] [LPARAM] [--payload-file FILE]: post a message by name, with
// optional bytes, to the running Brimvex.
#include <charconv>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "app/control_request.h"
#include "commands.h"
#include "post_to_brimvex.h"

namespace brimvex::tools {
namespace {

// Decimal or 0x hex, an optional leading '-'; nullopt on anything else or overflow of 64 bits.
std::optional<std::pair<bool, std::uint64_t>> ParseMagnitude(std::string_view text) {
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return std::make_pair(negative, value);
}

std::optional<std::uint64_t> ParseWParam(const std::string& text) {
  const auto parsed = ParseMagnitude(text);
  if (!parsed || parsed->first) return std::nullopt;
  return parsed->second;
}

std::optional<std::int64_t> ParseLParam(const std::string& text) {
  const auto parsed = ParseMagnitude(text);
  if (!parsed) return std::nullopt;
  const auto [negative, magnitude] = *parsed;
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (!negative) {
    // Hex may spell all 64 bits (0xFFFFFFFFFFFFFFFF is -1), as a window message's LPARAM does.
    if (magnitude > kMax && text.find_first_of("xX") == std::string::npos) return std::nullopt;
    return static_cast<std::int64_t>(magnitude);
  }
  if (magnitude > kMax + 1) return std::nullopt;
  return magnitude == kMax + 1 ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
}

struct SendArgs {
  std::string name;
  std::string wparam = "0";
  std::string lparam = "0";
  std::string payload_file;
};

// The whole file, or standard input for "-"; nullopt when it cannot be read.
std::optional<std::string> ReadPayload(const std::string& file) {
  std::ifstream in;
  std::istream* from = &std::cin;
  if (file != "-") {
    in.open(file, std::ios::binary);
    if (!in) return std::nullopt;
    from = &in;
  }
  std::string bytes{std::istreambuf_iterator<char>(*from), {}};
  if (from->bad()) return std::nullopt;
  return bytes;
}

}  // namespace

void AddSendCommand(CLI::App& app) {
  auto args = std::make_shared<SendArgs>();
  auto* cmd = app.add_subcommand("send", "post a registered message by name to the running Brimvex");
  cmd->add_option("NAME", args->name, "registered message name, e.g. Brimvex or a {GUID} name")->required();
  cmd->add_option("WPARAM", args->wparam, "wParam, decimal or 0x hex (default 0)");
  cmd->add_option("LPARAM", args->lparam, "lParam, decimal or 0x hex, may be negative (default 0)");
  cmd->add_option("--payload-file", args->payload_file, "bytes to send with the message (\"-\" for standard input)");
  cmd->callback([args] {
    const auto wparam = ParseWParam(args->wparam);
    const auto lparam = ParseLParam(args->lparam);
    if (!wparam || !lparam) {
      std::cerr << "brimvexctl: " << (!wparam ? "WPARAM \"" + args->wparam : "LPARAM \"" + args->lparam)
                << "\" is not a number (decimal or 0x hex)\n";
      ExitCode() = app::kExitMalformed;
      return;
    }
    platform::IpcMessage message;
    message.name = args->name;
    message.wparam = *wparam;
    message.lparam = *lparam;
    if (!args->payload_file.empty()) {
      auto payload = ReadPayload(args->payload_file);
      if (!payload) {
        std::cerr << "brimvexctl: cannot read " << args->payload_file << "\n";
        ExitCode() = app::kExitFailed;
        return;
      }
      message.payload = std::move(*payload);
    }
    ExitCode() = PostToBrimvex(message);
  });
}

}  // namespace brimvex::tools
