#pragma once
// `emu block keyboard|mouse macros|recoil`: what an emulated device holds of the last macro or
// recoil block it was sent, as text:
//   none | invalid: REASON | valid total=T entries=K
// then, for a valid block, per entry "entry I events=M" and its events "DELAY<TAB>down|up<TAB>TYPE<TAB>BUTTON".
#include <optional>
#include <span>
#include <string>

#include "emulator/emulated_device.h"
#include "emulator/emulator.h"

namespace brimvex::emulator {

struct BlockQuery {
  std::string device;   // "keyboard" or "mouse"
  bool recoil = false;  // the recoil area, else the macro area
};

// The words after "block"; nullopt with the reason when they are not DEVICE macros|recoil.
std::optional<BlockQuery> ParseBlockQuery(std::span<const std::string> words, std::string* error);
std::string BlockReport(const DecodedBlock& block);
// The report of the query's device; nullopt with the reason when the machine lacks the device.
std::optional<std::string> AnswerBlockQuery(const Emulator& machine, const BlockQuery& query, std::string* error);

}  // namespace brimvex::emulator
