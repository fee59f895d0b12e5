// The desktop capture against a kernel input node: a virtual keyboard and mouse made through
// uinput, its node the only one in the folder the capture reads. Key and button events written
// to it come back as records on the UI thread, in order, stamped on the loop's clock. Skipped
// where the kernel offers no uinput device.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/evdev/desktop_input_capture.h"
#include "platform/headless_event_loop.h"
#include "test_support/temp_dir.h"

namespace brimvex::platform {
namespace {

// A uinput device with A, Right Shift and the left and side buttons; null when uinput is not there.
struct VirtualDevice {
  libevdev* dev = nullptr;
  libevdev_uinput* input = nullptr;
  std::string why;
  VirtualDevice() {
    const int fd = ::open("/dev/uinput", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
      why = std::string("no /dev/uinput here (") + std::strerror(errno) + ")";
      return;
    }
    ::close(fd);
    dev = libevdev_new();
    libevdev_set_name(dev, "brimvex test keys");
    libevdev_enable_event_type(dev, EV_KEY);
    for (int code : {KEY_A, KEY_RIGHTSHIFT, BTN_LEFT, BTN_SIDE})
      libevdev_enable_event_code(dev, EV_KEY, static_cast<unsigned>(code), nullptr);
    if (const int rc = libevdev_uinput_create_from_device(dev, LIBEVDEV_UINPUT_OPEN_MANAGED, &input); rc != 0) {
      why = std::string("uinput refused the device (") + std::strerror(-rc) + ")";
      input = nullptr;
    }
  }
  ~VirtualDevice() {
    if (input != nullptr) libevdev_uinput_destroy(input);
    if (dev != nullptr) libevdev_free(dev);
  }
  void Send(int code, int value) {
    libevdev_uinput_write_event(input, EV_KEY, static_cast<unsigned>(code), value);
    libevdev_uinput_write_event(input, EV_SYN, SYN_REPORT, 0);
  }
};

TEST(EvdevNode, EventsOfAKernelNodeComeBackAsRecords) {
  VirtualDevice device;
  if (device.input == nullptr) GTEST_SKIP() << device.why << ": the desktop capture is not read from a kernel node";
  const char* node = libevdev_uinput_get_devnode(device.input);
  ASSERT_NE(node, nullptr);
  brimvex::test::TempDir folder;
  std::filesystem::create_symlink(node, folder.folder() + "event0");

  HeadlessEventLoop loop(HeadlessEventLoop::ClockKind::kReal);
  DesktopInputCapture capture(loop, [] { return false; }, folder.folder());
  ASSERT_TRUE(capture.Available());
  std::vector<KeyRecord> keys;
  std::vector<MouseRecord> mice;
  CaptureSink sink;
  sink.key = [&](const KeyRecord& r) { keys.push_back(r); };
  sink.mouse = [&](const MouseRecord& r) { mice.push_back(r); };
  ASSERT_TRUE(capture.Start(sink, true, true)) << capture.Problem();
  const Millis before = loop.Now();
  device.Send(KEY_RIGHTSHIFT, 1);
  device.Send(KEY_A, 1);
  device.Send(KEY_A, 2);
  device.Send(KEY_A, 0);
  device.Send(BTN_SIDE, 1);
  device.Send(KEY_RIGHTSHIFT, 0);
  ASSERT_TRUE(loop.RunUntil([&] { return keys.size() == 5 && mice.size() == 1; }, Millis(10000)));
  capture.Stop();
  const Millis after = loop.Now();

  std::vector<std::pair<int, bool>> got;
  for (const KeyRecord& k : keys) got.emplace_back(k.scan | (k.extended ? 0x100 : 0), k.press);
  EXPECT_EQ(got, (std::vector<std::pair<int, bool>>{{0x136, true}, {0x1E, true}, {0x1E, true}, {0x1E, false}, {0x136, false}}));
  EXPECT_EQ(mice[0].message, 0x020Bu);
  EXPECT_EQ(mice[0].extra_button, 1);
  // The kernel's CLOCK_MONOTONIC stamps on the loop's clock, in order.
  for (std::size_t k = 0; k < keys.size(); ++k) {
    EXPECT_GE(keys[k].time, before - Millis(1));
    EXPECT_LE(keys[k].time, after + Millis(1));
    if (k > 0) {
      EXPECT_GE(keys[k].time, keys[k - 1].time);
    }
  }
}

}  // namespace
}  // namespace brimvex::platform
