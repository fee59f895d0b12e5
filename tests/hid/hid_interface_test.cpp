// HidInterface on both HID backends: the emulator in process and the hidraw adapter over a fake
// sysfs tree served by the same emulator.
#include "hid/hid_interface.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <thread>

#include "machine.h"

namespace brimvex::hid {
namespace {

using emulator::Link;
using emulator::Product;
using platform::Millis;
using test::BackendKind;
using test::Machine;

std::array<std::uint8_t, 64> Request(std::uint8_t cmd, std::uint8_t length = 0) {
  std::array<std::uint8_t, 64> r{};
  r[0] = 0x04;
  r[3] = cmd;
  r[4] = length;
  const std::uint32_t sum = cmd + length;
  r[1] = static_cast<std::uint8_t>(sum & 0xFF);
  r[2] = static_cast<std::uint8_t>(sum >> 8);
  return r;
}

class OnBackend : public ::testing::TestWithParam<BackendKind> {
 protected:
  Machine machine{GetParam()};
};

TEST_P(OnBackend, EnumerationHandsOutEveryPathOnceInOrderAndGrowsByDoubling) {
  struct Case {
    int interfaces;
    std::size_t capacity;
  };
  // The end shows only when an index past the last interface is asked for, so 8 interfaces
  // need the second doubling too.
  for (const Case& c : {Case{0, 8}, Case{8, 16}, Case{9, 16}, Case{17, 32}}) {
    SCOPED_TRACE(c.interfaces);
    Machine m(GetParam());
    for (int i = 0; i < c.interfaces; ++i) m.emulator.AddDevice(Product::kHeadset).Plug(Link::kCable);
    std::vector<std::string> expected;
    ASSERT_TRUE(m.Backend().Enumerate(expected));
    ASSERT_EQ(static_cast<int>(expected.size()), c.interfaces);

    HidInterface list(m.Backend());
    ASSERT_TRUE(list.Enumerate());
    EXPECT_EQ(list.PathCount(), static_cast<std::uint32_t>(c.interfaces));
    EXPECT_EQ(list.PathListCapacity(), c.capacity);
    std::vector<std::string> got;
    while (auto p = list.NextPath()) got.emplace_back(*p);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(std::set<std::string>(got.begin(), got.end()).size(), got.size());
    EXPECT_FALSE(list.NextPath());
    list.FreePathList();
    EXPECT_EQ(list.PathCount(), 0u);
    EXPECT_FALSE(list.NextPath());
  }
}

TEST_P(OnBackend, OpenReadsNumbersFromThePathAndCapabilitiesFromTheDescriptor) {
  machine.emulator.AddDefaultSet();
  const std::string command = machine.PathWith("pid_024e", "&col04");
  const std::string headset = machine.PathWith("pid_1630");
  ASSERT_FALSE(command.empty());
  ASSERT_FALSE(headset.empty());
  const std::string node = command.substr(0, command.find('#'));
  const std::string headset_node = headset.substr(0, headset.find('#'));
  struct Case {
    std::string path;
    std::uint32_t interface_number, collection_number;
    std::uint16_t usage_page, usage, input_length, output_length;
  };
  const Case cases[] = {
      {command, 1, 4, 0xFF1C, 0x92, 64, 64},
      {node + "#VID_05AC&PID_024E&MI_01&COL03", 1, 3, 0x000C, 0x0001, 3, 0},  // keys in upper case
      {headset, 3, 0, 0x000C, 0x0001, 64, 64},
      {headset_node + "#vid_0c76&pid_1630", 0, 0, 0x000C, 0x0001, 64, 64},  // no "&mi_", no "&col"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    HidInterface hid(machine.Backend());
    ASSERT_TRUE(hid.Open(c.path, true, true, true, false));
    EXPECT_EQ(hid.interface_number(), c.interface_number);
    EXPECT_EQ(hid.collection_number(), c.collection_number);
    EXPECT_EQ(hid.capabilities().usage_page, c.usage_page);
    EXPECT_EQ(hid.capabilities().usage, c.usage);
    EXPECT_EQ(hid.capabilities().input_report_byte_length, c.input_length);
    EXPECT_EQ(hid.capabilities().output_report_byte_length, c.output_length);
    EXPECT_EQ(hid.ReportBuffer(ReportType::kInput).size(), c.input_length);
    EXPECT_FALSE(hid.InputDataItems().empty());
  }
  HidInterface hid(machine.Backend());
  ASSERT_TRUE(hid.Open(command, true, false, true, false));
  EXPECT_EQ(hid.attributes().vendor_id, 0x05AC);
  EXPECT_EQ(hid.attributes().product_id, 0x024E);
  EXPECT_EQ(hid.attributes().version, 0x0105);
}

TEST_P(OnBackend, OpenFailsOnAbsentOrOverlongPathsAndLeavesTheRecordClosed) {
  machine.emulator.AddDefaultSet();
  const std::string command = machine.PathWith("pid_024e", "&col04");
  HidInterface hid(machine.Backend());
  ASSERT_TRUE(hid.Open(command, true, true, true, false));
  const std::string node = command.substr(0, command.find('#'));
  for (const std::string& path :
       {node + "#vid_05ac&pid_024e&mi_01&col09",  // no collection 9
        node + "#vid_05ac&pid_0bad&mi_01&col04",  // another product's keys
        std::string("emu:nothing#vid_1"), std::string("hidraw:/dev/hidraw99#vid_1"), command + std::string(260, 'x')}) {
    SCOPED_TRACE(path.substr(0, 80));
    EXPECT_FALSE(hid.Open(path, true, true, true, false));
    EXPECT_FALSE(hid.IsOpen());
    EXPECT_EQ(hid.ReadReport(hid.ReportBuffer(ReportType::kInput), nullptr, Millis(0)), 0);
  }
}

TEST_P(OnBackend, ACommandAnswerReachesTheCommandCollectionOnly) {
  machine.emulator.AddDefaultSet();
  machine.emulator.Find("keyboard")->SetLatency(Millis(0));
  HidInterface command(machine.Backend()), events(machine.Backend());
  ASSERT_TRUE(command.Open(machine.PathWith("pid_024e", "&col04"), true, true, true, false));
  ASSERT_TRUE(events.Open(machine.PathWith("pid_024e", "&col03"), true, true, true, false));
  std::uint32_t n = 0;
  ASSERT_EQ(command.WriteReport(Request(0x03, 34), &n, Millis(1000)), 1);
  EXPECT_EQ(n, 64u);
  std::array<std::uint8_t, 64> answer{};
  ASSERT_EQ(command.ReadReport(answer, &n, Millis(1000)), 1);
  EXPECT_EQ(n, 64u);
  EXPECT_EQ(answer[3], 0x03);
  EXPECT_EQ(answer[8 + 5], 126);
  // The consumer collection never sees the answer, only its own notification.
  machine.Settle();
  machine.emulator.Find("keyboard")->NotifySettingsChanged();
  std::array<std::uint8_t, 3> notice{};
  ASSERT_EQ(events.ReadReport(notice, &n, Millis(1000)), 1);
  EXPECT_EQ(notice[0], 0x03);
  ASSERT_TRUE(events.UnpackInputReport(notice));
  EXPECT_EQ(events.InputDataItems()[0].usage_list[0], 1025);
}

TEST_P(OnBackend, TimedOutReadReturnsZeroAndTheNextReadWorks) {
  machine.emulator.AddDefaultSet();
  HidInterface events(machine.Backend());
  ASSERT_TRUE(events.Open(machine.PathWith("pid_4b04", "&col03"), true, true, true, false));
  std::array<std::uint8_t, 3> report{};
  std::uint32_t n = 99;
  EXPECT_EQ(events.ReadReport(report, &n, Millis(1000)), 0);
  EXPECT_EQ(n, 0u);
  EXPECT_FALSE(events.read_pending());
  machine.Settle();
  machine.emulator.Find("mousepad")->Notify(0x0512);
  ASSERT_EQ(events.ReadReport(report, &n, Millis(1000)), 1);
  EXPECT_EQ(n, 3u);
  ASSERT_TRUE(events.UnpackInputReport(report));
  EXPECT_EQ(events.InputDataItems()[0].usage_list[0], 0x0512);
}

TEST_P(OnBackend, CloseFromAnotherThreadEndsAnInfiniteRead) {
  machine.emulator.AddDefaultSet();
  HidInterface events(machine.Backend());
  ASSERT_TRUE(events.Open(machine.PathWith("pid_4a11", "&col03"), true, true, true, false));
  std::atomic<int> result{-1};
  std::thread reader([&] {
    std::array<std::uint8_t, 3> report{};
    result = events.ReadReport(report, nullptr, platform::kInfinite);
  });
  while (!events.read_pending()) std::this_thread::yield();
  events.Close();
  reader.join();
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(events.IsOpen());
}

TEST_P(OnBackend, UnplugEndsABlockedReadAndLaterTransfersFail) {
  machine.emulator.AddDefaultSet();
  HidInterface command(machine.Backend());
  ASSERT_TRUE(command.Open(machine.PathWith("pid_024e", "&col04"), true, true, true, false));
  std::atomic<int> result{-1};
  std::thread reader([&] {
    std::array<std::uint8_t, 64> report{};
    result = command.ReadReport(report, nullptr, platform::kInfinite);
  });
  while (!command.read_pending()) std::this_thread::yield();
  machine.emulator.Find("keyboard")->Unplug(Link::kCable);
  reader.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(command.WriteReport(Request(0x01), nullptr, Millis(1000)), 0);
}

TEST_P(OnBackend, NoAccessOpenProvesPresenceOnly) {
  machine.emulator.AddDefaultSet();
  HidInterface probe(machine.Backend());
  const std::string path = machine.PathWith("pid_1630");
  ASSERT_TRUE(probe.Open(path, false, false, true, false));
  EXPECT_EQ(probe.WriteReport(Request(0x01), nullptr, Millis(100)), 0);
  EXPECT_EQ(machine.emulator.Find("headset")->ExchangeCount(), 0u);
  probe.Close();
  machine.emulator.Find("headset")->Unplug(Link::kCable);
  machine.Backend();  // the fake tree follows the unplug
  EXPECT_FALSE(probe.Open(path, false, false, true, false));
}

// Emulated only: through the fake tree the socket takes every report.
TEST(EmulatedBackend, AnInjectedWriteTimeOutFailsThatWriteOnly) {
  Machine machine(BackendKind::kEmulated);
  machine.emulator.AddDefaultSet();
  emulator::EmulatedDevice& pad = *machine.emulator.Find("mousepad");
  HidInterface command(machine.Backend());
  ASSERT_TRUE(command.Open(machine.PathWith("pid_4b04", "&col04"), true, true, true, false));
  pad.InjectFault(emulator::Fault{emulator::FaultKind::kWriteTimeout});
  std::uint32_t n = 99;
  EXPECT_EQ(command.WriteReport(Request(0x01), &n, Millis(50)), 0);
  EXPECT_EQ(n, 0u);
  EXPECT_FALSE(command.write_pending());
  EXPECT_EQ(command.WriteReport(Request(0x01), &n, Millis(1000)), 1);
  std::array<std::uint8_t, 64> answer{};
  ASSERT_EQ(command.ReadReport(answer, nullptr, Millis(1000)), 1);
  EXPECT_EQ(answer[3], 0x01);
}

TEST(HidrawBackend, ANodeSysfsCannotDescribeKeepsAnEmptyPlaceThatNextPathSkips) {
  Machine m(BackendKind::kHidraw);
  for (int i = 0; i < 3; ++i) m.emulator.AddDevice(Product::kHeadset).Plug(Link::kCable);
  const std::string root = m.SysfsRoot();
  {
    std::ofstream broken(root + "/class/hidraw/hidraw1/device/uevent", std::ios::trunc);
    broken << "HID_NAME=no id here\n";
  }
  HidInterface list(m.Backend());
  ASSERT_TRUE(list.Enumerate());
  EXPECT_EQ(list.PathCount(), 3u);
  std::vector<std::string> got;
  while (auto p = list.NextPath()) got.emplace_back(*p);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_NE(got[0].find("/hidraw0#"), std::string::npos);
  EXPECT_NE(got[1].find("/hidraw2#"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Backends, OnBackend, ::testing::Values(BackendKind::kEmulated, BackendKind::kHidraw),
                         [](const auto& param_info) { return test::BackendName(param_info.param); });

TEST(Backends, HidrawOverTheFakeTreeAndTheEmulatorListTheSameInterfaces) {
  Machine emulated(BackendKind::kEmulated), hidraw(BackendKind::kHidraw);
  emulated.emulator.AddDefaultSet();
  hidraw.emulator.AddDefaultSet();
  std::vector<std::string> a, b;
  ASSERT_TRUE(emulated.Backend().Enumerate(a));
  ASSERT_TRUE(hidraw.Backend().Enumerate(b));
  auto keys = [](std::vector<std::string> paths) {
    for (auto& p : paths) p = p.substr(p.find('#'));
    return paths;
  };
  EXPECT_EQ(keys(a), keys(b));
  EXPECT_EQ(a.size(), 4u + 4u + 4u + 1u);
  EXPECT_EQ(a[3], "emu:keyboard#vid_05ac&pid_024e&mi_01&col04");
  EXPECT_TRUE(b[0].starts_with("hidraw:")) << b[0];

  emulator::EmulatedHidBackend& backend = static_cast<emulator::EmulatedHidBackend&>(emulated.Backend());
  EXPECT_EQ(backend.InterfacePath("keyboard", 4), a[3]);
  EXPECT_EQ(backend.InterfacePath("headset", 0), a[12]);
  EXPECT_EQ(backend.InterfacePath("keyboard", 0), "");  // four collections: one must be named
  EXPECT_EQ(backend.InterfacePath("mouse", 4), "");     // the mouse is only on its receiver
}

}  // namespace
}  // namespace brimvex::hid
