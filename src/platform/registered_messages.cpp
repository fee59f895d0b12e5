#include "platform/registered_messages.h"

#include <map>
#include <mutex>
#include <vector>

namespace brimvex::platform {
namespace {

struct Table {
  std::mutex mutex;
  std::map<std::string, std::uint32_t, std::less<>> by_name;
  std::vector<std::string> by_number;
};

Table& TheTable() {
  static Table table;
  return table;
}

}  // namespace

std::uint32_t RegisterWindowMessage(std::string_view name) {
  Table& t = TheTable();
  std::lock_guard lock(t.mutex);
  if (auto it = t.by_name.find(name); it != t.by_name.end()) return it->second;
  const auto number = kFirstRegisteredMessage + static_cast<std::uint32_t>(t.by_number.size());
  t.by_name.emplace(std::string(name), number);
  t.by_number.emplace_back(name);
  return number;
}

std::optional<std::string> RegisteredMessageName(std::uint32_t message) {
  Table& t = TheTable();
  std::lock_guard lock(t.mutex);
  if (message < kFirstRegisteredMessage) return std::nullopt;
  const std::size_t index = message - kFirstRegisteredMessage;
  if (index >= t.by_number.size()) return std::nullopt;
  return t.by_number[index];
}

}  // namespace brimvex::platform
