#include "app/emulated_update_service.h"

#include "platform/part_file.h"

namespace brimvex::app {

platform::UpdateServiceConfig EmulatedUpdateServiceConfig() {
  platform::UpdateServiceConfig config;
  // 64 KiB that stand for a firmware image.
  std::string firmware(64 * 1024, '\0');
  for (std::size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<char>((i * 131 + 7) & 0xFF);
  platform::Sha256 digest;
  digest.Update({reinterpret_cast<const std::uint8_t*>(firmware.data()), firmware.size()});
  // The emulated keyboard reports 0x0105 on its cable.
  config.answers["QUELT_1_Orrin_KB_1"] =
      R"({"name":"KB","version":"0106","version_name":"V0106","device_id":1,"path":"/files/keyboard-0106.bin","sha256":")" +
      digest.HexDigest() + R"("})";
  config.answers["*"] = R"({"name":"current","version":"0","version_name":"V0"})";
  config.files["keyboard-0106.bin"] = std::move(firmware);
  return config;
}

}  // namespace brimvex::app
