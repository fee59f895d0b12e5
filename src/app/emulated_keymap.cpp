// "keymap keyboard" answered by `brimvex --emulate` from the emulated keyboard's memory.
#include <array>

#include "app/english_texts.h"
#include "app/keymap_requests.h"
#include "devices/key_map_listing.h"
#include "devices/key_slots.h"
#include "emulator/emulator.h"
#include "profiles/default_tables.h"

namespace brimvex::app {
namespace {

using emulator::Area;

std::vector<profiles::KeyCode> FactoryCodes() {
  std::vector<profiles::KeyCode> codes;
  for (const auto& key : profiles::kKeyboardPageKeys) codes.push_back(key.code);
  return codes;
}

ControlAnswer Answer(emulator::Emulator& machine, const devices::TextLookup& english,
                     const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0] != "keyboard")
    return {kExitMalformed, "usage: keymap keyboard (the emulator only reads; set goes to Brimvex)\n"};
  emulator::EmulatedDevice* keyboard = machine.Find("keyboard");
  if (keyboard == nullptr || keyboard->product() != emulator::Product::kKeyboard)
    return {kExitFailed, "no emulated keyboard\n"};
  const int count = keyboard->Memory(Area::kInfo).at(5);
  if (3 * count > static_cast<int>(emulator::kKeyMapSize))
    return {kExitFailed, "the emulated keyboard's key count " + std::to_string(count) + " passes its key map\n"};
  // The slots as the keyboard left the factory: a fresh one of the same product.
  const emulator::EmulatedDevice factory(keyboard->product(), "factory");
  const std::vector<int> slots = devices::MatchKeySlots(FactoryCodes(), factory.Memory(Area::kKeyMap), count);
  return {kExitDone, devices::KeyMapLines(slots, keyboard->Memory(Area::kKeyMap), english)};
}

}  // namespace

void RegisterEmulatedKeymapRequests(RequestTable& requests, emulator::Emulator& machine,
                                    const std::string& language_folder) {
  requests.Add("keymap", [&machine, english = EnglishTexts(language_folder)](const std::vector<std::string>& args) {
    return Answer(machine, english, args);
  });
}

}  // namespace brimvex::app
