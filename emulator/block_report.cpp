#include "emulator/block_report.h"

namespace brimvex::emulator {

std::optional<BlockQuery> ParseBlockQuery(std::span<const std::string> words, std::string* error) {
  if (words.size() != 2 || (words[0] != "keyboard" && words[0] != "mouse") ||
      (words[1] != "macros" && words[1] != "recoil")) {
    if (error != nullptr) *error = "block takes keyboard|mouse and macros|recoil";
    return std::nullopt;
  }
  return BlockQuery{words[0], words[1] == "recoil"};
}

std::string BlockReport(const DecodedBlock& block) {
  if (!block.complete) return "none\n";
  if (!block.valid) return "invalid: " + block.error + "\n";
  std::string out = "valid total=" + std::to_string(block.total_length) +
                    " entries=" + std::to_string(block.entries.size()) + "\n";
  for (std::size_t i = 0; i < block.entries.size(); ++i) {
    out += "entry " + std::to_string(i) + " events=" + std::to_string(block.entries[i].size()) + "\n";
    for (const BlockEvent& e : block.entries[i])
      out += std::to_string(e.delay) + "\t" + (e.down ? "down" : "up") + "\t" + std::to_string(e.type) + "\t" +
             std::to_string(e.code) + "\n";
  }
  return out;
}

std::optional<std::string> AnswerBlockQuery(const Emulator& machine, const BlockQuery& query, std::string* error) {
  const EmulatedDevice* device = machine.Find(query.device);
  if (device == nullptr) {
    if (error != nullptr) *error = "the emulated set has no " + query.device;
    return std::nullopt;
  }
  return BlockReport(query.recoil ? device->Recoil() : device->Macros());
}

}  // namespace brimvex::emulator
