// The emulated firmware over its memory: what each command reads and writes, and what it rejects.
#include <gtest/gtest.h>

#include <filesystem>

#include "emulator/emulator.h"
#include "firmware_client.h"
#include "platform/file_system.h"
#include "test_support/temp_dir.h"

namespace brimvex::emulator {
namespace {

using test::Client;
using test::Report;
using test::Request;

std::vector<std::uint8_t> Bytes(std::initializer_list<int> v) {
  std::vector<std::uint8_t> b;
  for (int x : v) b.push_back(static_cast<std::uint8_t>(x));
  return b;
}

// A macro block: header, n offsets, entries of (count, 0, 0, events).
std::vector<std::uint8_t> Block(const std::vector<std::vector<std::array<std::uint8_t, 4>>>& entries) {
  std::vector<std::uint8_t> b(16 + 2 * entries.size(), 0);
  b[0] = 0xAA;
  b[1] = 0x55;
  b[4] = static_cast<std::uint8_t>(entries.size());
  for (std::size_t k = 0; k < entries.size(); ++k) {
    b[16 + 2 * k] = static_cast<std::uint8_t>(b.size() & 0xFF);
    b[17 + 2 * k] = static_cast<std::uint8_t>(b.size() >> 8);
    b.push_back(static_cast<std::uint8_t>(entries[k].size()));
    b.insert(b.end(), {0, 0, 0});
    for (const auto& e : entries[k]) b.insert(b.end(), e.begin(), e.end());
  }
  b[2] = static_cast<std::uint8_t>(b.size() & 0xFF);
  b[3] = static_cast<std::uint8_t>(b.size() >> 8);
  return b;
}

EmulatedDevice& PluggedDevice(Emulator& emulator, Product product) {
  EmulatedDevice& d = emulator.AddDevice(product);
  d.SetLatency(platform::Millis(0));
  d.Plug(Link::kCable);
  return d;
}

class Firmware : public ::testing::Test {
 protected:
  Emulator emulator;
  EmulatedDevice& keyboard = PluggedDevice(emulator, Product::kKeyboard);
  Client client{keyboard, Link::kCable};
};

TEST_F(Firmware, AnswersEchoTheRequestWithStatusAndTheirOwnChecksum) {
  auto a = client.Exchange(Request(0x03, 0, {}, 34));
  ASSERT_TRUE(a);
  EXPECT_EQ((*a)[0], 0x04);
  EXPECT_EQ((*a)[3], 0x03);
  EXPECT_EQ((*a)[4], 34);
  EXPECT_EQ((*a)[7], kStatusOk);
  EXPECT_EQ((*a)[8 + 5], 126);  // key count
  EXPECT_EQ((*a)[8 + 6], 16);   // macro capacity in 128-byte units
  std::uint32_t sum = 0;
  for (std::size_t i = 3; i < 64; ++i) sum += (*a)[i];
  EXPECT_EQ((*a)[1] | ((*a)[2] << 8), static_cast<int>(sum & 0xFFFF));
}

TEST_F(Firmware, RejectsABadChecksumAndUnknownCommandsWithoutActing) {
  const auto before = keyboard.Memory(Area::kParameters);
  Report bad = Request(0x06, 100, Bytes({1, 2, 3}));
  bad[1] ^= 0x01;
  auto a = client.Exchange(bad);
  ASSERT_TRUE(a);
  EXPECT_EQ((*a)[7], kStatusRejected);
  EXPECT_EQ(keyboard.Memory(Area::kParameters), before);
  EXPECT_EQ(keyboard.ExchangeLog().back().note, "checksum");

  a = client.Exchange(Request(0x42));
  ASSERT_TRUE(a);
  EXPECT_EQ((*a)[7], kStatusRejected);
}

TEST_F(Firmware, ReadsAndWritesEachAreaAtTheRequestedOffset) {
  struct Case {
    std::uint8_t write_cmd;
    Area area;
    std::size_t offset;
  };
  const Case cases[] = {
      {0x06, Area::kParameters, 29},  // settings record 1
      {0x09, Area::kKeyMap, 3 * 125},
      {0x0B, Area::kColorSlots, 2 * 512 + 54},
      {0x12, Area::kLiveFrame, 56},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.write_cmd));
    const auto data = Bytes({0x11, 0x22, 0x33});
    auto a = client.Exchange(Request(c.write_cmd, c.offset, data));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[7], kStatusOk);
    const auto mem = keyboard.Memory(c.area);
    EXPECT_EQ(std::vector<std::uint8_t>(mem.begin() + static_cast<std::ptrdiff_t>(c.offset),
                                        mem.begin() + static_cast<std::ptrdiff_t>(c.offset + 3)),
              data);
  }
  // Reads see the same bytes back.
  auto a = client.Exchange(Request(0x05, 29, {}, 3));
  ASSERT_TRUE(a);
  EXPECT_EQ((*a)[8], 0x11);
  EXPECT_EQ((*a)[10], 0x33);
  EXPECT_EQ(keyboard.StreamedPackets(), 1u);
}

TEST_F(Firmware, RefusesTransfersOutsideTheArea) {
  struct Case {
    Report request;
    const char* what;
  };
  const Case cases[] = {
      {Request(0x05, 1020, {}, 8), "parameter read past the end"},
      {Request(0x09, 512, Bytes({1})), "key map page 1"},
      {Request(0x03, 0, {}, 57), "more than 56 bytes"},
      {Request(0x1A, 50, {}, 8), "status read past the end"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto a = client.Exchange(c.request);
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[7], kStatusBadRange);
  }
}

TEST_F(Firmware, FactoryKeyMapPositionsAndStatusBlock) {
  const auto map = keyboard.Memory(Area::kKeyMap);
  EXPECT_EQ(Bytes({map[0], map[1], map[2]}), Bytes({0x20, 0x00, 0x29}));                         // Esc
  EXPECT_EQ(Bytes({map[3 * 110], map[3 * 110 + 1], map[3 * 110 + 2]}), Bytes({0xA0, 0x01, 0}));  // FN
  EXPECT_EQ(Bytes({map[3 * 124], map[3 * 124 + 1], map[3 * 124 + 2]}), Bytes({0xD0, 0xA2, 5}));  // M5

  auto a = client.Exchange(Request(0x1B, 95, {}, 2));
  ASSERT_TRUE(a);
  EXPECT_EQ((*a)[8], 0x5F);  // row 5, column 15
  EXPECT_GE((*a)[9], 0x60);  // no light

  keyboard.SetBattery(42);
  keyboard.SetChargeState(2);
  a = client.Exchange(Request(0x1A, 0, {}, 6));
  ASSERT_TRUE(a);
  EXPECT_EQ((*a)[8], 42);
  EXPECT_EQ((*a)[9], 2);
}

TEST_F(Firmware, BracketLightControlAndLinkQuery) {
  ASSERT_TRUE(client.Exchange(Request(0x01)));
  EXPECT_TRUE(keyboard.InTransaction());
  ASSERT_TRUE(client.Exchange(Request(0x02)));
  EXPECT_FALSE(keyboard.InTransaction());
  EXPECT_FALSE(keyboard.LightControl());
  ASSERT_TRUE(client.Exchange(Request(0x1C)));
  EXPECT_TRUE(keyboard.LightControl());
  auto a = client.Exchange(Request(0xAA));
  ASSERT_TRUE(a);
  EXPECT_EQ((*a)[3], 0xAA);
  EXPECT_EQ((*a)[8], 0xFF);
}

TEST_F(Firmware, MacroBlocksAreCheckedAndDecoded) {
  const auto good = Block({{{10, 0, 0x84, 0x04}, {20, 0, 0x04, 0x04}}, {{5, 1, 0x90, 0x01}}});
  ASSERT_EQ(good.size(), 16u + 6 * 2 + 4 * 3);
  EXPECT_EQ(client.WriteChunked(0x15, good, 0, 24), 0);
  DecodedBlock d = keyboard.Macros();
  ASSERT_TRUE(d.valid) << d.error;
  ASSERT_EQ(d.entries.size(), 2u);
  EXPECT_EQ(d.entries[0][0].delay, 10);
  EXPECT_TRUE(d.entries[0][0].down);
  EXPECT_EQ(d.entries[0][0].type, 0x04);
  EXPECT_FALSE(d.entries[0][1].down);
  EXPECT_EQ(d.entries[1][0].delay, 0x105);

  struct Case {
    const char* what;
    std::vector<std::uint8_t> block;
  };
  std::vector<Case> cases;
  auto bad_header = good;
  bad_header[0] = 0x55;
  bad_header[1] = 0xAA;
  cases.push_back({"header 0x55 0xAA", bad_header});
  auto bad_offset = good;
  bad_offset[18] = static_cast<std::uint8_t>(bad_offset[18] + 4);
  cases.push_back({"second entry offset", bad_offset});
  auto too_long = good;
  too_long[2] = 0x00;
  too_long[3] = 0x09;  // 2304 bytes, above the 2048-byte capacity
  cases.push_back({"beyond capacity", too_long});
  auto short_total = good;
  short_total[2] = static_cast<std::uint8_t>(short_total[2] - 4);
  cases.push_back({"total length short of the events", short_total});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(client.WriteChunked(0x15, c.block), kStatusBadRange);
    EXPECT_FALSE(keyboard.Macros().valid);
  }
}

TEST(FirmwareMouse, RecoilBlockAndSensorInformation) {
  Emulator emulator;
  EmulatedDevice& mouse = emulator.AddDevice(Product::kMouse);
  mouse.SetLatency(platform::Millis(0));
  mouse.Plug(Link::kCable);
  Client client(mouse, Link::kCable);
  const auto info = mouse.Memory(Area::kInfo);
  EXPECT_EQ(info[5], 11);
  EXPECT_EQ(info[9] | (info[10] << 8), 13093);
  EXPECT_EQ(mouse.SettingsRecordOffset(2), 256u);

  // Four entries of 10, 0, 3 and 7 events: 120 bytes in three 56-byte packets.
  std::vector<std::vector<std::array<std::uint8_t, 4>>> entries(4);
  for (int k : {0, 2, 3}) entries[static_cast<std::size_t>(k)].assign(k == 0 ? 10 : k == 2 ? 3 : 7, {1, 0, 0x81, 0x01});
  const auto block = Block(entries);
  ASSERT_EQ(block.size(), 120u);
  EXPECT_EQ(client.WriteChunked(0x17, block), 0);
  const DecodedBlock d = mouse.Recoil();
  ASSERT_TRUE(d.valid) << d.error;
  EXPECT_EQ(d.entries[3].size(), 7u);
}

TEST(FirmwareReceiver, AnswersForTheDeviceOnlyWhileItIsReachable) {
  Emulator emulator;
  EmulatedDevice& mouse = emulator.AddDevice(Product::kMouse);
  mouse.SetLatency(platform::Millis(0));
  mouse.Plug(Link::kReceiver);
  Client client(mouse, Link::kReceiver);
  struct Case {
    bool on, in_range;
    std::uint8_t echo, link_byte;
  };
  for (const Case& c : {Case{true, true, 0xAA, 0xFF}, Case{false, true, 0xAA, 0x00}, Case{true, false, 0xAA, 0x00}}) {
    mouse.SetPoweredOn(c.on);
    mouse.SetInRange(c.in_range);
    auto a = client.Exchange(Request(0xAA));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[3], c.echo);
    EXPECT_EQ((*a)[8], c.link_byte);
    a = client.Exchange(Request(0x05, 0, {}, 1));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[3], c.on && c.in_range ? 0x05 : 0xAA);
  }
}

// A host that sends more than the link carries, sets byte 7 or streams past the product's lights
// gets 0xFE and changes nothing.
TEST(FirmwareStrictness, RefusesPacketsTheLinkOrTheProductCannotTake) {
  Emulator emulator;
  EmulatedDevice& kb = emulator.AddDevice(Product::kKeyboard);
  EmulatedDevice& mouse = emulator.AddDevice(Product::kMouse);
  for (EmulatedDevice* d : {&kb, &mouse}) {
    d->SetLatency(platform::Millis(0));
    d->Plug(Link::kCable);
    d->Plug(Link::kReceiver);
  }
  auto with_byte7 = [](Report r) {
    r[7] = 1;
    std::uint32_t sum = 0;
    for (std::size_t i = 3; i < r.size(); ++i) sum += r[i];
    r[1] = static_cast<std::uint8_t>(sum & 0xFF);
    r[2] = static_cast<std::uint8_t>(sum >> 8);
    return r;
  };
  const std::vector<std::uint8_t> b24(24, 7), b25(25, 7), b42(42, 7), b43(43, 7), b45(45, 7), b56(56, 7);
  std::vector<std::uint8_t> shoot(120, 0);
  shoot[0] = 0xAA;
  shoot[1] = 0x55;
  shoot[2] = 120;
  struct Case {
    const char* what;
    EmulatedDevice* device;
    Link link;
    Report request;
    std::uint8_t status;
    const char* note;
    Area area;
  };
  const Case cases[] = {
      {"24 bytes through the receiver", &kb, Link::kReceiver, Request(0x06, 100, b24), kStatusOk, "", Area::kParameters},
      {"25 bytes through the receiver", &kb, Link::kReceiver, Request(0x06, 100, b25), kStatusBadRange,
       "packet length", Area::kParameters},
      {"recoil data in 56 bytes through the receiver", &mouse, Link::kReceiver, Request(0x17, 0, shoot, 56),
       kStatusOk, "", Area::kRecoil},
      {"56 bytes on the cable", &kb, Link::kCable, Request(0x06, 100, b56), kStatusOk, "", Area::kParameters},
      {"byte 7 set", &kb, Link::kCable, with_byte7(Request(0x06, 200, b24)), kStatusBadRange, "byte 7",
       Area::kParameters},
      {"stream up to 126 lights x 3", &kb, Link::kCable, Request(0x12, 336, b42), kStatusOk, "", Area::kLiveFrame},
      {"stream one byte past the keyboard's lights", &kb, Link::kCable, Request(0x12, 336, b43), kStatusBadRange,
       "range", Area::kLiveFrame},
      {"stream past the mouse's 15 lights", &mouse, Link::kCable, Request(0x12, 1, b45), kStatusBadRange, "range",
       Area::kLiveFrame},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Client client(*c.device, c.link);
    const auto before = c.device->Memory(c.area);
    auto a = client.Exchange(c.request);
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[7], c.status);
    EXPECT_EQ(c.device->ExchangeLog().back().note, c.note);
    EXPECT_EQ(c.device->Memory(c.area) != before, c.status == kStatusOk);
  }
}

TEST(FirmwareNotifications, GoToTheConsumerCollectionOfTheLinkInUse) {
  Emulator emulator;
  EmulatedDevice& kb = emulator.AddDevice(Product::kKeyboard);
  kb.Plug(Link::kReceiver);
  auto receiver = kb.Connect(Link::kReceiver, true, false);
  kb.SetPoweredOn(false);
  EXPECT_FALSE(kb.NotifySettingsChanged());
  kb.SetPoweredOn(true);
  EXPECT_TRUE(kb.SwitchProfileAndStage(2, 5));
  std::array<std::uint8_t, 64> r{};
  std::size_t n = 0;
  ASSERT_EQ(receiver->Read(r, n, platform::Millis(1000)), platform::HidIoResult::kOk);
  EXPECT_EQ(n, 3u);
  EXPECT_EQ(r[0], 0x03);
  EXPECT_EQ(r[1] | (r[2] << 8), 0x1152);
  EXPECT_EQ(kb.Memory(Area::kParameters)[0], 2);
}

TEST(FirmwarePersistence, MemoryReachesAFileOnlyWhenAskedAndComesBack) {
  brimvex::test::TempDir dir;
  const std::string file = dir.folder() + "pad.json";
  {
    Emulator emulator;
    EmulatedDevice& pad = emulator.AddDevice(Product::kMousePad);
    pad.SetMemory(Area::kParameters, 1, Bytes({7, 3}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    ASSERT_TRUE(pad.SaveMemory(file));
  }
  Emulator emulator;
  EmulatedDevice& pad = emulator.AddDevice(Product::kMousePad);
  ASSERT_TRUE(pad.LoadMemory(file));
  EXPECT_EQ(pad.SettingsRecord(0)[1], 7);
  EXPECT_EQ(pad.SettingsRecord(0)[2], 3);

  for (const std::string& broken : {std::string("{\"areas\": {\"info\": \"zz\"}}"),
                                   "{\"areas\": " + std::string(3000, '[') + std::string(3000, ']') + "}"}) {
    std::string error;
    ASSERT_TRUE(platform::WriteFileAtomically(file, broken));
    EXPECT_FALSE(pad.LoadMemory(file, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(pad.SettingsRecord(0)[1], 7);  // unchanged by the broken file
  }
}

}  // namespace
}  // namespace brimvex::emulator
