// `brimvexctl emu`: the command words, what they do to the emulated set, and the request and
// answer between brimvexctl and the emulator of a running `brimvex --emulate`.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>

#include "app/emulated_machine.h"
#include "emulator/emulator_control.h"
#include "test_support/run_brimvexctl.h"
#include "test_support/temp_dir.h"

namespace brimvex::emulator {
namespace {

TEST(EmuCommand, WordsAreCheckedBeforeAnythingIsSent) {
  struct Case {
    const char *action, *device, *value;
    bool ok;
    const char* error;  // part of the reason
  };
  const Case cases[] = {
      {"plug", "mouse-receiver", "", true, ""},
      {"unplug", "pad", "", true, ""},
      {"power-off", "mouse", "", true, ""},
      {"battery", "keyboard-receiver", "35", true, ""},
      {"charge", "mouse", "2", true, ""},
      {"notify", "keyboard", "0x1103", true, ""},
      {"explode", "mouse", "", false, "unknown action"},
      {"plug", "toaster", "", false, "unknown device"},
      {"power-on", "headset", "", false, "wireless"},
      {"battery", "mouse", "101", false, "0 to 100"},
      {"battery", "mouse", "", false, "0 to 100"},
      {"charge", "mouse", "3", false, "0 to 2"},
      {"notify", "mouse", "0x10000", false, "0 to 65535"},
      {"plug", "mouse", "1", false, "takes no value"},
      {"count", "keyboard", "0x1C", true, ""},
      {"count", "keyboard", "256", false, "0 to 255"},
      {"count", "keyboard", "", false, "0 to 255"},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto command = ParseEmuCommand(c.action, c.device, c.value, &error);
    EXPECT_EQ(command.has_value(), c.ok) << c.action << " " << c.device << " " << c.value;
    if (!c.ok) {
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
  }
}

TEST(EmuCommand, FaultWordsNameTheKindThePacketAndTheCount) {
  struct Case {
    std::vector<std::string> words;
    std::optional<Fault> fault;  // nullopt: malformed
    bool clear = false;
  };
  const Case cases[] = {
      {{"fault", "keyboard", "status-fe"}, Fault{FaultKind::kStatusFE, 0, 1}},
      {{"fault", "keyboard", "status-fe", "0", "100"}, Fault{FaultKind::kStatusFE, 0, 100}},
      {{"fault", "mouse-receiver", "link-down", "3"}, Fault{FaultKind::kLinkDown, 3, 1}},
      {{"fault", "pad", "write-timeout", "0x2", "2"}, Fault{FaultKind::kWriteTimeout, 2, 2}},
      {{"fault", "keyboard", "clear"}, Fault{}, true},
      {{"fault", "keyboard"}, std::nullopt},
      {{"fault", "keyboard", "melt"}, std::nullopt},
      {{"fault", "keyboard", "no-answer", "1", "0"}, std::nullopt},
      {{"fault", "keyboard", "no-answer", "-1"}, std::nullopt},
      {{"fault", "keyboard", "clear", "1"}, std::nullopt},
      {{"fault", "keyboard", "unplug", "1", "2", "3"}, std::nullopt},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto command = ParseEmuCommand(c.words, &error);
    ASSERT_EQ(command.has_value(), c.fault.has_value()) << c.words.size() << " " << c.words.back() << " " << error;
    if (!command) continue;
    EXPECT_EQ(command->action, c.clear ? EmuAction::kClearFaults : EmuAction::kFault);
    if (c.clear) continue;
    EXPECT_EQ(command->fault.kind, c.fault->kind);
    EXPECT_EQ(command->fault.packet, c.fault->packet);
    EXPECT_EQ(command->fault.count, c.fault->count);
  }
}

TEST(EmuCommand, TurnsTheDefaultSet) {
  Emulator machine;
  machine.AddDefaultSet();
  auto apply = [&](const char* action, const char* device, const char* value = "") {
    std::string error;
    const auto c = ParseEmuCommand(action, device, value, &error);
    return c && ApplyEmuCommand(machine, *c, &error);
  };
  EmulatedDevice& mouse = *machine.Find("mouse");
  ASSERT_TRUE(apply("unplug", "mouse-receiver"));
  EXPECT_FALSE(mouse.IsPlugged(Link::kReceiver));
  ASSERT_TRUE(apply("plug", "mouse"));
  EXPECT_TRUE(mouse.IsPlugged(Link::kCable));
  ASSERT_TRUE(apply("power-off", "mouse-receiver"));
  EXPECT_FALSE(mouse.Reachable());
  ASSERT_TRUE(apply("battery", "mouse", "42"));
  ASSERT_TRUE(apply("charge", "mouse", "1"));
  EXPECT_EQ(mouse.Memory(Area::kStatus)[0], 42);
  EXPECT_EQ(mouse.Memory(Area::kStatus)[1], 1);
  ASSERT_TRUE(apply("unplug", "pad"));
  EXPECT_FALSE(machine.Find("mousepad")->IsPlugged(Link::kCable));
  EXPECT_TRUE(apply("notify", "keyboard", "1025"));
  // A notice needs a link that carries it.
  EXPECT_FALSE(apply("notify", "pad", "1025"));
  std::string error, output;
  const auto count = ParseEmuCommand("count", "keyboard", "0x1C", &error);
  ASSERT_TRUE(count && ApplyEmuCommand(machine, *count, &error, &output)) << error;
  EXPECT_EQ(output, "0\n");
}

using test::CtlRun;

CtlRun RunCtl(const test::TempDir& runtime, std::vector<std::string> args) {
  return test::RunBrimvexctl(runtime, std::move(args));
}

TEST(BrimvexctlEmu, AsksTheEmulatorOfTheRunningProgramAndWaitsForItsAnswer) {
  test::TempDir runtime;
  CtlRun run = RunCtl(runtime, {"emu", "unplug", "mouse-receiver"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("no emulated Brimvex is running"), std::string::npos) << run.err;

  app::EmulatedMachine emulated(runtime.folder() + "brimvex/");
  std::string error;
  ASSERT_TRUE(emulated.Listen(&error)) << error;
  EmulatedDevice& mouse = *emulated.Machine().Find("mouse");
  run = RunCtl(runtime, {"emu", "unplug", "mouse-receiver"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  // The answer came after the command ran.
  EXPECT_FALSE(mouse.IsPlugged(Link::kReceiver));
  run = RunCtl(runtime, {"emu", "battery", "mouse", "35"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(mouse.Memory(Area::kStatus)[0], 35);
  // Malformed words are refused before anything is sent; a command the set cannot carry out
  // is refused by the emulator.
  run = RunCtl(runtime, {"emu", "battery", "mouse", "many"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("battery needs a value"), std::string::npos) << run.err;
  run = RunCtl(runtime, {"emu", "notify", "mouse", "1025"});  // cable unplugged, receiver gone
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_NE(run.err.find("no link"), std::string::npos) << run.err;
  // A fault reaches the device: its next request is answered with 0xFE, then it is cleared.
  EmulatedDevice& keyboard = *emulated.Machine().Find("keyboard");
  run = RunCtl(runtime, {"emu", "fault", "keyboard", "status-fe", "0", "2"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  auto connection = keyboard.Connect(Link::kCable, true, true);
  std::array<std::uint8_t, 64> request{0x04, 0x01, 0x00, 0x01};  // CMD_BEGIN, checksum 1
  std::array<std::uint8_t, 64> answer{};
  std::size_t n = 0;
  ASSERT_EQ(connection->Write(request, platform::Millis(1000)), platform::HidIoResult::kOk);
  ASSERT_EQ(connection->Read(answer, n, platform::Millis(1000)), platform::HidIoResult::kOk);
  EXPECT_EQ(answer[7], kStatusBadRange);
  run = RunCtl(runtime, {"emu", "fault", "keyboard", "clear"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  ASSERT_EQ(connection->Write(request, platform::Millis(1000)), platform::HidIoResult::kOk);
  ASSERT_EQ(connection->Read(answer, n, platform::Millis(1000)), platform::HidIoResult::kOk);
  EXPECT_EQ(answer[7], kStatusOk) << "the second packet of the fault was cleared";
  run = RunCtl(runtime, {"emu", "fault", "keyboard", "status-fe", "x"});
  EXPECT_EQ(run.exit_code, 2) << run.err;
}

}  // namespace
}  // namespace brimvex::emulator
