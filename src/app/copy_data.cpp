#include "app/copy_data.h"

#include <algorithm>

#include "platform/trace.h"

namespace brimvex::app {
namespace {

template <std::size_t N>
bool CopyInto(std::array<std::uint8_t, N>& buffer, std::int64_t kind, std::string_view payload) {
  if (payload.size() != N) {
    platform::TraceF("copydata: dropped kind %lld, %zu bytes (need %zu)", static_cast<long long>(kind),
                     payload.size(), N);
    return false;
  }
  std::transform(payload.begin(), payload.end(), buffer.begin(), [](char c) { return static_cast<std::uint8_t>(c); });
  return true;
}

}  // namespace

bool CopyDataBuffers::Take(std::int64_t kind, std::string_view payload) {
  if (payload.empty()) return false;
  if (kind == 1) {
    if (!CopyInto(first_, kind, payload)) return false;
    if (audio_light_ != nullptr) audio_light_->OnSpectrumBuffer(first_);
    return true;
  }
  if (kind == 2) {
    if (!CopyInto(second_, kind, payload)) return false;
    if (audio_light_ != nullptr) audio_light_->OnColorBuffer(second_);
    return true;
  }
  return false;
}

}  // namespace brimvex::app
