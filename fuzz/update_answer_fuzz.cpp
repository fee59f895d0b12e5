// Arbitrary bytes as the update service's answer, for a device entry and for the program entry:
// the check never crashes and a line ends up newer (1) or current (7), nothing else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "update/update_check.h"

namespace {
using namespace brimvex;

// Answers every request with the fuzz input, cut at the buffer's end as a transfer would be.
class FixedAnswer final : public platform::HttpClient {
 public:
  FixedAnswer(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  platform::HttpResult Request(std::string_view, std::string_view, std::span<const std::uint8_t>,
                               std::span<std::uint8_t> buffer, platform::Event*) override {
    platform::HttpResult r;
    r.sent = true;
    r.status = 200;
    const std::size_t n = std::min(size_, buffer.size());
    std::memcpy(buffer.data(), data_, n);
    r.count = static_cast<std::int64_t>(n);
    r.truncated = size_ > buffer.size();
    r.completed = !r.truncated;
    return r;
  }
  platform::HttpResult Fetch(std::string_view, const platform::HttpSink&, const platform::HttpProgress&,
                             platform::Event*) override {
    return {};
  }
  std::uint32_t LastError() const override { return 0; }
  platform::HttpSettings& Settings() override { return settings_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  platform::HttpSettings settings_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FixedAnswer client(data, size);
  update::UpdateCheckSetup setup;
  setup.client = &client;
  setup.base_url = "http://127.0.0.1:1/api/";
  const std::vector<update::UpdateEntry> entries = {{1, 1, 0x19, "QUELT", "Orrin", "KB", "KB", ""},
                                                    {0, 1, 1012, "QUELT", "ALL", "Halvo", "Halvo", "V1.0.1.2"}};
  const update::UpdateCheckResult r = update::RunUpdateCheck(entries, setup, nullptr);
  for (const update::UpdateLine& line : r.lines)
    if (line.status != 1 && line.status != 7) std::abort();
  return 0;
}
