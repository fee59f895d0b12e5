// The store as the keyboard reads it: the macro block in the emulated keyboard's macro memory,
// byte for byte, with the store's limits and mended values.
#include <gtest/gtest.h>

#include "devices/keyboard_rig.h"
#include "hid/command_codes.h"
#include "macros/macro_fixture.h"
#include "profiles/file_helpers.h"

namespace brimvex::macros::test {
namespace {

using devices::test::KeyboardRig;
using emulator::Area;

struct StoredKeyboard : KeyboardRig {
  StoredKeyboard() {
    EXPECT_TRUE(Open());
    EXPECT_EQ(Sync(), hid::RESULT_OK);
    device().SetMacroSource(store);
    kb().ClearExchangeLog();
  }
  // Imports n key events as a new macro.
  int Import(std::size_t n) {
    Put(in.path() / "m.mac", MacroJson(n));
    return store->Import((in.path() / "m.mac").string()).index;
  }
  brimvex::test::TempDir folder, in;
  std::shared_ptr<MacroStore> store = std::make_shared<MacroStore>(folder.folder());
};

TEST(MacroDevice, StoredEventsReachTheKeyboardByteForByte) {
  StoredKeyboard k;
  // Written into the store as an older program might have left it: imports refuse such a delay.
  ASSERT_TRUE(k.store->Append("stored").ok);
  Put(k.store->MacroPath(k.store->Entries()[0]), R"({"Events":[{"Type":4,"Button":30,"Action":"down","Delay":"10"},)"
                             R"({"Type":10,"Button":4,"Action":"up","Delay":"70000"},)"
                             R"({"Type":9,"Button":2,"Action":"down","Delay":300}]})");
  ASSERT_TRUE(k.store->Append("never saved").ok);
  ASSERT_EQ(k.device().WriteMacros({0, 1}), 0);
  // 16 header bytes, two offsets, then (count, 2 reserved) and the events of each macro.
  const std::vector<std::uint8_t> block = {
      0xAA, 0x55, 40, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
      20, 0, 36, 0,                                           // offsets
      3, 0, 0, 0,                                             //
      10, 0, 0x84, 30,                                        // left 30, 10 ms
      0xFF, 0xFF, 0x0A, 4,                                    // "70000" sent as 65535
      0x2C, 0x01, 0x89, 2,                                    // integer delay 300
      0, 0, 0, 0,                                             // the never-saved macro: no events
  };
  EXPECT_EQ(k.Memory(Area::kMacros, 0, block.size()), block);
}

TEST(MacroDevice, FourMacrosFillTheKeyboardsTwoKilobytesAndOneEventMoreIsRefused) {
  StoredKeyboard k;
  for (std::size_t n : {250u, 250u, 1u, 1u}) ASSERT_GE(k.Import(n), 0);
  ASSERT_EQ(k.device().WriteMacros({0, 1, 2, 3}), 0);
  const emulator::DecodedBlock block = k.kb().Macros();
  ASSERT_TRUE(block.valid) << block.error;
  EXPECT_EQ(block.total_length, 2048);
  ASSERT_EQ(block.entries.size(), 4u);
  EXPECT_EQ(block.entries[1].size(), 250u);
  EXPECT_EQ(block.entries[1][249].delay, 249);
  EXPECT_FALSE(block.entries[1][249].down);

  ASSERT_GE(k.Import(2), 0);
  k.kb().ClearExchangeLog();
  EXPECT_NE(k.device().WriteMacros({0, 1, 2, 4}), 0);
  EXPECT_EQ(k.CountOf(hid::CMD_WRITE_MACROS), 0u);
}

}  // namespace
}  // namespace brimvex::macros::test
