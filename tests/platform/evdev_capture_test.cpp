// The desktop capture's records fed input_event sequences as libevdev hands them: auto-repeats,
// the deltas after SYN_DROPPED, the buttons with the stop-button probe, events that are no
// record; and a folder without input devices, where capture refuses to start and says why.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/evdev/desktop_input_capture.h"
#include "platform/evdev_records.h"
#include "platform/headless_event_loop.h"
#include "test_support/temp_dir.h"

namespace brimvex::platform {
namespace {

input_event Ev(int type, int code, int value) {
  input_event e{};
  e.type = static_cast<std::uint16_t>(type);
  e.code = static_cast<std::uint16_t>(code);
  e.value = value;
  return e;
}
input_event Key(int code, int value) { return Ev(EV_KEY, code, value); }
input_event Report() { return Ev(EV_SYN, SYN_REPORT, 0); }

// A record as text: "k SCAN[E] down|up @T" or "m MESSAGE EXTRA [stop] @T".
std::string Text(const LiveRecord& r) {
  char buf[64];
  if (const auto* k = std::get_if<KeyRecord>(&r)) {
    std::snprintf(buf, sizeof buf, "k %02X%s %s @%lld", k->scan, k->extended ? "E" : "", k->press ? "down" : "up",
                  static_cast<long long>(k->time.count()));
  } else {
    const auto& m = std::get<MouseRecord>(r);
    std::snprintf(buf, sizeof buf, "m %04X %d%s @%lld", m.message, m.extra_button, m.over_stop_button ? " stop" : "",
                  static_cast<long long>(m.time.count()));
  }
  return buf;
}

TEST(EvdevRecords, SequencesGiveTheRecordsOfTheirChanges) {
  struct Case {
    const char* what;
    std::vector<input_event> events;
    std::vector<std::string> records;
  };
  const Case cases[] = {
      {"a held key repeats as presses",
       {Key(KEY_A, 1), Report(), Key(KEY_A, 2), Report(), Key(KEY_A, 2), Report(), Key(KEY_A, 0), Report()},
       {"k 1E down @0", "k 1E down @2", "k 1E down @4", "k 1E up @6"}},
      {"after SYN_DROPPED only the changes count",
       {Key(KEY_A, 1), Key(KEY_RIGHTSHIFT, 1), Report(), Ev(EV_SYN, SYN_DROPPED, 0), Key(KEY_A, 0),
        Key(KEY_RIGHTSHIFT, 1), Key(KEY_KPENTER, 1), Report(), Key(KEY_RIGHTSHIFT, 2), Key(KEY_RIGHTSHIFT, 0)},
       {"k 1E down @0", "k 36E down @1", "k 1E up @4", "k 1CE down @6", "k 36E down @8", "k 36E up @9"}},
      {"buttons ask the probe; moves, repeats of buttons and media keys are no record",
       {Key(BTN_LEFT, 1), Key(BTN_LEFT, 2), Ev(EV_REL, REL_X, 5), Key(BTN_LEFT, 0), Key(BTN_SIDE, 1),
        Key(BTN_EXTRA, 1), Key(BTN_RIGHT, 1), Key(KEY_MUTE, 1), Key(KEY_PAUSE, 1)},
       {"m 0201 0 stop @0", "m 0202 0 stop @3", "m 020B 1 @4", "m 020B 2 @5", "m 0204 0 @6", "k 45 down @8"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int asked = 0;
    // The pointer is over the stop button for the first two button events only.
    EvdevRecordMaker maker([&asked] { return ++asked <= 2; });
    std::vector<std::string> got;
    for (std::size_t t = 0; t < c.events.size(); ++t)
      if (const auto r = maker.Take(c.events[t], Millis(static_cast<std::int64_t>(t)))) got.push_back(Text(*r));
    EXPECT_EQ(got, c.records);
  }
}

TEST(EvdevRecords, AFolderWithoutInputDevicesRefusesToStart) {
  brimvex::test::TempDir empty;
  brimvex::test::TempDir not_devices;
  std::ofstream(not_devices.folder() + "event0") << "not a device";
  HeadlessEventLoop loop;
  for (const brimvex::test::TempDir* folder : {&empty, &not_devices}) {
    DesktopInputCapture capture(loop, {}, folder->folder());
    EXPECT_EQ(capture.Available(), folder == &not_devices) << "a readable node offers the option";
    EXPECT_FALSE(capture.Start({}, true, true));
    EXPECT_FALSE(capture.Active());
    EXPECT_NE(capture.Problem().find("no input device"), std::string::npos) << capture.Problem();
  }
}

}  // namespace
}  // namespace brimvex::platform
