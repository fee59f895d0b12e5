#pragma once
// A minimal host for the emulator's own tests: builds requests and reads their answers straight
// through a HidConnection.
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "emulator/emulated_device.h"

namespace brimvex::emulator::test {

using Report = std::array<std::uint8_t, kReportSize>;

inline Report Request(std::uint8_t cmd, std::size_t offset = 0, std::span<const std::uint8_t> data = {},
                      std::optional<std::uint8_t> length = std::nullopt) {
  Report r{};
  r[0] = 0x04;
  r[3] = cmd;
  r[4] = length ? *length : static_cast<std::uint8_t>(data.size());
  r[5] = static_cast<std::uint8_t>(offset & 0xFF);
  r[6] = static_cast<std::uint8_t>(offset >> 8);
  for (std::size_t i = 0; i < data.size() && 8 + i < r.size(); ++i) r[8 + i] = data[i];
  std::uint32_t sum = 0;
  for (std::size_t i = 3; i < r.size(); ++i) sum += r[i];
  r[1] = static_cast<std::uint8_t>(sum & 0xFF);
  r[2] = static_cast<std::uint8_t>((sum >> 8) & 0xFF);
  return r;
}

struct Client {
  std::shared_ptr<HidConnection> connection;

  Client(EmulatedDevice& device, Link link) : connection(device.Connect(link, true, true)) {}

  // Writes the request and returns the next answer (nullopt on write failure or time-out).
  std::optional<Report> Exchange(const Report& request, platform::Millis timeout = platform::Millis(1000)) {
    if (connection->Write(request, timeout) != platform::HidIoResult::kOk) return std::nullopt;
    return ReadAnswer(timeout);
  }
  // The time-out bounds the whole wait, so a stream of notifications cannot hold it open.
  std::optional<Report> ReadAnswer(platform::Millis timeout = platform::Millis(1000)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      const auto left = std::chrono::duration_cast<platform::Millis>(deadline - std::chrono::steady_clock::now());
      if (left.count() < 0) return std::nullopt;
      Report a{};
      std::size_t n = 0;
      if (connection->Read(a, n, left) != platform::HidIoResult::kOk) return std::nullopt;
      if (a[0] == 0x04) return a;  // skip notifications of the consumer collection
    }
  }
  // Writes `bytes` with command `cmd` in packets of `chunk` bytes from `start`; the status of the
  // first failing packet, or 0.
  std::uint8_t WriteChunked(std::uint8_t cmd, std::span<const std::uint8_t> bytes, std::size_t start = 0,
                            std::size_t chunk = 56) {
    for (std::size_t pos = 0; pos < bytes.size(); pos += chunk) {
      const std::size_t n = std::min(chunk, bytes.size() - pos);
      auto a = Exchange(Request(cmd, start + pos, bytes.subspan(pos, n)));
      if (!a) return 0xEE;
      if ((*a)[7] == 0xFE || (*a)[7] == 0xFF) return (*a)[7];
    }
    return 0;
  }
};

}  // namespace brimvex::emulator::test
