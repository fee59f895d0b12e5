// Hot-plug of the wireless products: the command channel between cable and receiver, and the
// entry of a product reached through its receiver as it answers or falls silent.
#include "controller_fixture.h"
#include "hid/command_codes.h"

namespace brimvex::app::test {
namespace {

class HotplugTest : public ControllerFixture {
 protected:
  // Requests with this command code the device received over the link.
  static std::vector<std::vector<std::uint8_t>> Requests(const emulator::EmulatedDevice& d, Link link,
                                                         std::uint8_t code) {
    std::vector<std::vector<std::uint8_t>> out;
    for (const auto& ex : d.ExchangeLog())
      if (ex.link == link && ex.request.size() > 4 && ex.request[3] == code) out.push_back(ex.request);
    return out;
  }
  CMpDevicePowerUI* PowerOfRow(int row) { return dynamic_cast<CMpDevicePowerUI*>(DeviceOfRow(row)->PowerDisplay()); }
};

TEST_F(HotplugTest, ReceiverBesideTheCableWaitsAndTakesOverWhenTheCableGoes) {
  auto& mouse = Add(Product::kMouse);
  mouse.Plug(Link::kCable);
  Start();
  ASSERT_TRUE(WaitForTrace("添加一个鼠标设备", 2));
  Advance(Millis(600));  // connection timer: initial read, frames, power
  hid::CommandChannel& channel = ChannelOfRow(kMouseRow);
  mouse.Plug(Link::kReceiver);
  ASSERT_TRUE(WaitForTrace("添加一个鼠标设备", 4));
  // Nothing is opened for the receiver; the cable keeps the channel.
  EXPECT_TRUE(channel.IsOpen());
  EXPECT_FALSE(channel.IsWireless());
  EXPECT_EQ(channel.ChunkSize(), 56);
  EXPECT_FALSE(channel.Receiver().IsOpen());
  Advance(Millis(100));
  EXPECT_TRUE(Requests(mouse, Link::kReceiver, hid::CMD_LINK_QUERY).empty());

  mouse.Unplug(Link::kCable);
  ASSERT_TRUE(WaitForTrace("删除一个鼠标设备", 2));
  EXPECT_EQ(traces_.Count("鼠标设备丢失"), 1u);
  EXPECT_TRUE(channel.IsOpen());
  EXPECT_TRUE(channel.IsWireless());
  EXPECT_EQ(channel.ChunkSize(), 24);
  EXPECT_NE(channel.Receiver().path().find("emu:mouse-receiver#"), std::string::npos);
  // The device answered the first link query; its power was read through the receiver.
  EXPECT_TRUE(traces_.Contains("获取2"));
  EXPECT_FALSE(traces_.Contains("获取2.4G模式失败"));
  EXPECT_EQ(Requests(mouse, Link::kReceiver, hid::CMD_LINK_QUERY).size(), 2u);  // the series, the power read
  EXPECT_EQ(Requests(mouse, Link::kReceiver, hid::CMD_READ_STATUS).size(), 1u);
  EXPECT_TRUE(PowerOfRow(kMouseRow)->Wireless());
  EXPECT_TRUE(EntryOfRow(kMouseRow)->IsEntryVisible());
  // No frames go to the device over 2.4 GHz; the link watch runs.
  const std::size_t streamed = mouse.StreamedPackets();
  Advance(Millis(2000));
  EXPECT_EQ(mouse.StreamedPackets(), streamed);
  EXPECT_TRUE(EntryOfRow(kMouseRow)->HasTimer(kTimerLinkWatch));
}

TEST_F(HotplugTest, CableGoneWhileTheMouseIsOffQueriesTheLinkOnTheLoopThenHidesTheEntry) {
  auto& mouse = Add(Product::kMouse);
  mouse.Plug(Link::kCable);
  mouse.Plug(Link::kReceiver);
  Start();
  ASSERT_TRUE(WaitForTrace("添加一个鼠标设备", 4));
  Advance(Millis(600));
  CDeviceOptionUI* entry = EntryOfRow(kMouseRow);
  ASSERT_TRUE(entry->IsEntryVisible());
  mouse.SetPoweredOn(false);
  mouse.ClearExchangeLog();
  mouse.Unplug(Link::kCable);
  ASSERT_TRUE(WaitForTrace("删除一个鼠标设备", 2));
  // One query at once; the others follow 50 ms apart on the loop, not inside the handler.
  EXPECT_EQ(Requests(mouse, Link::kReceiver, hid::CMD_LINK_QUERY).size(), 1u);
  EXPECT_EQ(traces_.Count("获取2.4G模式失败"), 1u);
  Advance(Millis(50 * 25));
  EXPECT_EQ(Requests(mouse, Link::kReceiver, hid::CMD_LINK_QUERY).size(), 26u + 1u);  // + the power read's
  EXPECT_EQ(traces_.Count("获取2.4G模式失败"), 25u);
  EXPECT_EQ(traces_.Count("获取2"), 26u);  // the 25 failures contain it too, and the end line
  EXPECT_TRUE(entry->IsEntryVisible());
  Advance(Millis(2000));  // the link watch
  EXPECT_FALSE(entry->IsEntryVisible());
  EXPECT_TRUE(traces_.Contains("2.4gcesvdfherhue"));
}

// A product reached through its receiver, silent, gets its cable.
class CableArrivalTest : public HotplugTest, public ::testing::WithParamInterface<Product> {};

TEST_P(CableArrivalTest, TakesTheChannelAndShowsTheEntry) {
  const bool mouse = GetParam() == Product::kMouse;
  const int row = mouse ? kMouseRow : kKeyboardRow;
  const char* arrival = mouse ? "添加一个鼠标设备" : "添加一个键盘设备";
  emulator::EmulatedDevice& d = Add(GetParam());
  // The keyboard streams only in its audio and host-colour modes: its record starts in mode 30.
  if (!mouse) d.SetMemory(emulator::Area::kParameters, 1, std::vector<std::uint8_t>{30});
  d.SetPoweredOn(false);  // its entry stays hidden
  d.Plug(Link::kReceiver);
  Start();
  ASSERT_TRUE(WaitForTrace(arrival, 2));
  Advance(Millis(600));
  hid::CommandChannel& channel = ChannelOfRow(row);
  EXPECT_TRUE(channel.IsWireless());
  EXPECT_FALSE(EntryOfRow(row)->IsEntryVisible());

  d.SetPoweredOn(true);
  d.Plug(Link::kCable);
  ASSERT_TRUE(WaitForTrace(arrival, 4));
  EXPECT_FALSE(channel.IsWireless());
  EXPECT_EQ(channel.ChunkSize(), 56);
  EXPECT_NE(channel.Wired().path().find("emu:" + d.name() + "#"), std::string::npos);
  // 0x0D03 for the row showed the hidden entry and, none being visible, selected it.
  EXPECT_TRUE(EntryOfRow(row)->IsEntryVisible());
  EXPECT_TRUE(EntryOfRow(row)->IsSelected());
  // The connection timer starts the frames on the cable, in packets of up to 56 bytes.
  d.ClearExchangeLog();
  Advance(Millis(600));
  const auto frames = Requests(d, Link::kCable, hid::CMD_STREAM_KEY_COLORS);
  ASSERT_FALSE(frames.empty());
  // A frame: the mouse's 15 lights in one packet, the keyboard's 126 in 378 bytes (7 packets).
  const std::size_t frame_bytes = mouse ? 45 : 378;
  std::size_t streamed = 0;
  for (const auto& f : frames) {
    EXPECT_LE(f[4], 56);
    streamed += f[4];
  }
  EXPECT_EQ(frames[0][4], std::min<std::size_t>(56, frame_bytes));
  EXPECT_EQ(streamed % frame_bytes, 0u);
  EXPECT_TRUE(Requests(d, Link::kReceiver, hid::CMD_STREAM_KEY_COLORS).empty());
}

INSTANTIATE_TEST_SUITE_P(Wireless, CableArrivalTest, ::testing::Values(Product::kMouse, Product::kKeyboard),
                         [](const auto& p) { return p.param == Product::kMouse ? "Mouse" : "Keyboard"; });

TEST_F(HotplugTest, ReceiverAloneShowsTheEntryOnlyOnceTheDeviceAnswers) {
  auto& mouse = Add(Product::kMouse);
  mouse.SetPoweredOn(false);
  mouse.SetBattery(77);
  mouse.Plug(Link::kReceiver);
  Start();
  ASSERT_TRUE(WaitForTrace("添加一个鼠标设备", 2));
  hid::CommandChannel& channel = ChannelOfRow(kMouseRow);
  EXPECT_TRUE(channel.IsOpen());
  EXPECT_TRUE(channel.IsWireless());
  CDeviceOptionUI* entry = EntryOfRow(kMouseRow);
  EXPECT_FALSE(entry->IsEntryVisible());
  Advance(Millis(500));
  EXPECT_FALSE(entry->IsEntryVisible());
  EXPECT_EQ(entry->LinkRetryCount(), 1);
  Advance(Millis(3000));
  EXPECT_FALSE(entry->IsEntryVisible());
  EXPECT_EQ(entry->LinkRetryCount(), 2);
  EXPECT_TRUE(HintShown());

  mouse.SetPoweredOn(true);
  Advance(Millis(3000));
  EXPECT_TRUE(entry->IsEntryVisible());
  EXPECT_TRUE(entry->IsSelected());
  EXPECT_EQ(entry->LinkRetryCount(), 0);
  EXPECT_FALSE(HintShown());
  Advance(Millis(50));  // the first power read after the initial read
  EXPECT_EQ(PowerOfRow(kMouseRow)->Battery(), 77);
  EXPECT_TRUE(PowerOfRow(kMouseRow)->Wireless());
}

TEST_F(HotplugTest, MouseSwitchedOffBehindItsReceiverHidesAndComesBackWithItsPower) {
  auto& mouse = Add(Product::kMouse);
  mouse.Plug(Link::kReceiver);
  Start();
  ASSERT_TRUE(WaitForTrace("添加一个鼠标设备", 2));
  Advance(Millis(500));
  CDeviceOptionUI* entry = EntryOfRow(kMouseRow);
  ASSERT_TRUE(entry->IsEntryVisible());
  Advance(Millis(2000));  // the first link watch: still there

  mouse.SetPoweredOn(false);
  Advance(Millis(3000));
  EXPECT_FALSE(entry->IsEntryVisible());
  EXPECT_TRUE(traces_.Contains("2.4gcesvdfherhue 1"));
  EXPECT_TRUE(HintShown());

  mouse.SetBattery(41);
  mouse.SetChargeState(1);
  mouse.SetPoweredOn(true);
  Advance(Millis(3000));
  EXPECT_TRUE(entry->IsEntryVisible());
  EXPECT_TRUE(traces_.Contains("2.4gcesvdfherhue  12312423 123342341"));
  EXPECT_EQ(PowerOfRow(kMouseRow)->Battery(), 41);
  EXPECT_EQ(PowerOfRow(kMouseRow)->ChargeState(), 1);
}

TEST_F(HotplugTest, TheDefaultSetShowsFourEntries) {
  emu_.AddDefaultSet();
  for (const auto& d : emu_.Devices()) d->SetLatency(Millis(0));
  Start();
  ASSERT_TRUE(WaitForTrace("添加一个鼠标垫设备", 2));
  ASSERT_TRUE(WaitFor([&] { return selector().Count() == 4; }));
  Advance(Millis(500));  // the mouse answers through its receiver
  EXPECT_EQ(selector().CountVisible(), 4);
  EXPECT_EQ(wnd_->Devices()->Headsets().size(), 1u);
  EXPECT_TRUE(ChannelOfRow(kMouseRow).IsWireless());
  EXPECT_FALSE(ChannelOfRow(kKeyboardRow).IsWireless());
  // Unplugging the receiver hides the mouse; plugging it back shows it again.
  emu_.Find("mouse")->Unplug(Link::kReceiver);
  ASSERT_TRUE(WaitForTrace("删除一个鼠标设备", 2));
  EXPECT_FALSE(EntryOfRow(kMouseRow)->IsEntryVisible());
  EXPECT_FALSE(ChannelOfRow(kMouseRow).IsOpen());
  emu_.Find("mouse")->Plug(Link::kReceiver);
  ASSERT_TRUE(WaitForTrace("添加一个鼠标设备", 4));
  Advance(Millis(500));
  EXPECT_TRUE(EntryOfRow(kMouseRow)->IsEntryVisible());
}

}  // namespace
}  // namespace brimvex::app::test
