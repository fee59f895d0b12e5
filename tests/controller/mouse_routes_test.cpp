// The mouse page's rows on the real main window over the emulated mouse: stage and report-rate
// edits reach the mouse's settings record and the profile, a live slider move only shows its
// value, the colour chooser, the recoil button's messages, and the brimvexctl "mouse" requests
// on the cable and through a receiver whose mouse is switched off.
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <optional>
#include <sstream>

#include <sys/stat.h>

#include "app/emulated_machine.h"
#include "controller/mouse_fixture.h"
#include "hid/command_codes.h"
#include "profiles/file_helpers.h"

namespace brimvex::app::test {
namespace {

using devices::COmbrixMouseDevice;

class MouseRoutesTest : public MouseFixture {
 protected:
  void SetUp() override {
    MouseFixture::SetUp();
    frontend_.SetModalHandler([this](ui::Window& w) {
      if (w.ClassName() == "ColorSelectWnd") return PickColor(w);
      AnswerBox(w);
    });
  }
  // The colour picker: the next answer typed into its edits and confirmed, or closed without one.
  void PickColor(ui::Window& w) {
    ASSERT_FALSE(colors_.empty()) << "the colour picker opened unasked";
    const std::optional<std::uint32_t> c = colors_.front();
    colors_.pop_front();
    EXPECT_FALSE(w.FindControl("7color_layout")->IsVisible());
    if (!c) {
      w.FindControl("closebtn")->Activate();
      return;
    }
    const char* edits[] = {"color_edit_r", "color_edit_g", "color_edit_b"};
    for (int k = 0; k < 3; ++k) {
      ui::Control* edit = w.FindControl(edits[k]);
      edit->SetText(std::to_string(*c >> (16 - 8 * k) & 0xFF));
      w.SendNotify(edit, ui::notify::kKillFocus);
    }
    w.FindControl("okbtn")->Activate();
  }
  // Stage n's X value in the record the mouse keeps for profile 0, and the report rate index.
  int RecordX(int n) const {
    const auto r = emu_.Find("mouse")->SettingsRecord(0);
    return r[static_cast<std::size_t>(16 + 9 * n)] | r[static_cast<std::size_t>(17 + 9 * n)] << 8;
  }
  int RecordRate() const { return emu_.Find("mouse")->SettingsRecord(0)[11]; }
  int ProfileX(int n) {
    return profiles::ReadJson(Mouse().GetProfilePath())["Device"][0]["DPIStages"]["StageDPIs"][n]["StageDPIX"].asInt();
  }
  ControlAnswer Ask(std::vector<std::string> words) {
    words.insert(words.begin(), "mouse");
    return wnd_->Requests().Run(ControlRequest{1, "brimvexctl-test", std::move(words)});
  }
  void WriteGuns(std::size_t events) {
    for (int g = 0; g < 4; ++g) {
      std::string s = "{\"Events\":[";
      for (std::size_t e = 0; e < events; ++e) s += std::string(e ? "," : "") + "{\"Type\":1,\"Action\":\"down\",\"Button\":1,\"Delay\":10}";
      std::ofstream(Mouse().DataFolder() + "ShootData_" + std::to_string(g) + ".Shoot") << s + "]}";
    }
  }

  std::deque<std::optional<std::uint32_t>> colors_;
};

TEST_F(MouseRoutesTest, StageAndRateEditsReachTheMouseAndTheProfile) {
  StartMouse(Link::kCable);
  auto& slider = Control<ui::Slider>("DPI_slider_2");
  slider.SetValue(30);
  Raise(slider, ui::notify::kMoveValueChanged);
  EXPECT_EQ(Control("DPI_edit_2").Text(), "1550");
  EXPECT_EQ(Count(hid::CMD_WRITE_PARAM), 0u) << "a live move only shows its value";
  EXPECT_NE(ProfileX(2), 30);

  slider.SetValue(49);
  Raise(slider, ui::notify::kValueChanged);
  EXPECT_EQ(Control("DPI_edit_2").Text(), "2650");
  EXPECT_EQ(RecordX(2), 49);
  EXPECT_EQ(ProfileX(2), 49);

  auto& edit = Control("DPI_edit_3");
  edit.SetText("6000");
  Raise(edit, ui::notify::kKillFocus);
  EXPECT_EQ(Control<ui::Slider>("DPI_slider_3").Value(), 65);
  EXPECT_EQ(edit.Text(), "5850");
  EXPECT_EQ(RecordX(3), 65);

  auto& rate = Control<ui::Option>("polling_rate_option_4");
  rate.Selected(true, false);
  Raise(rate, ui::notify::kSelectChanged);
  EXPECT_EQ(RecordRate(), 4);
  EXPECT_EQ(Mouse().PointerOptions().report_rate_index, 4);

  colors_ = {0x123456, std::nullopt};
  Raise(Control("DPI_color_option_1"), ui::notify::kClick);
  const auto r = Device().SettingsRecord(0);
  EXPECT_EQ((std::vector<std::uint8_t>(r.begin() + 29, r.begin() + 32)), (std::vector<std::uint8_t>{0x12, 0x34, 0x56}));
  const auto writes = Count(hid::CMD_WRITE_PARAM);
  Raise(Control("DPI_color_option_1"), ui::notify::kClick);  // cancelled
  EXPECT_TRUE(colors_.empty());
  EXPECT_EQ(Count(hid::CMD_WRITE_PARAM), writes);
  EXPECT_EQ(Mouse().GetStageColor(1), 0xFF123456u);

  // The pointer controls are stored, not sent.
  auto& speed = Control<ui::Slider>("pointer_speed_slider");
  speed.SetValue(7);
  Raise(speed, ui::notify::kValueChanged);
  EXPECT_EQ(profiles::ReadJson(Mouse().GetProfilePath())["Device"][0]["SystemStages"]["MouseSpeed"].asInt(), 7);
  EXPECT_EQ(Count(hid::CMD_WRITE_PARAM), writes);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(MouseRoutesTest, RequestsOnTheCable) {
  StartMouse(Link::kCable);
  struct Case {
    std::vector<std::string> words;
    int exit_code;
    std::string text;  // checked when not empty
  };
  const Case cases[] = {
      {{"set-dpi", "2", "2650"}, kExitDone, "stage 2 2650 dpi (slider 49)\n"},
      {{"set-dpi", "0", "16850"}, kExitDone, "stage 0 16850 dpi (slider 120)\n"},
      {{"set-rate", "1000"}, kExitDone, "rate 1000 Hz\n"},
      {{"set-dpi", "5", "100"}, kExitMalformed, ""},
      {{"set-dpi", "0", "16851"}, kExitMalformed, ""},
      {{"set-dpi", "0", "-1"}, kExitMalformed, ""},
      {{"set-dpi", "0", "12x"}, kExitMalformed, ""},
      {{"set-rate", "300"}, kExitMalformed, ""},
      {{"set-rate"}, kExitMalformed, ""},
      {{}, kExitMalformed, ""},
      {{"jump"}, kExitMalformed, ""},
  };
  for (const Case& c : cases) {
    const ControlAnswer a = Ask(c.words);
    EXPECT_EQ(a.exit_code, c.exit_code) << a.text;
    if (!c.text.empty()) {
      EXPECT_EQ(a.text, c.text);
    }
  }
  EXPECT_EQ(RecordX(2), 49);
  EXPECT_EQ(RecordX(0), 120);
  EXPECT_EQ(RecordRate(), 3);
  const ControlAnswer dpi = Ask({"dpi"});
  EXPECT_EQ(dpi.exit_code, kExitDone);
  EXPECT_NE(dpi.text.find("stage 0 on 16850 dpi FF0000"), std::string::npos) << dpi.text;
  EXPECT_NE(dpi.text.find("stage 2 on 2650 dpi 0000FF\n"), std::string::npos) << dpi.text;
  EXPECT_NE(dpi.text.find(" active\n"), std::string::npos) << dpi.text;
  EXPECT_NE(dpi.text.find("\nrate 1000 Hz\n"), std::string::npos) << dpi.text;
}

TEST_F(MouseRoutesTest, RecoilWrittenOrRefusedWithItsMessage) {
  StartMouse(Link::kCable);
  WriteGuns(20);  // 40 + 4 x 20 x 4
  ControlAnswer a = Ask({"write-recoil"});
  EXPECT_EQ(a.exit_code, kExitDone);
  EXPECT_EQ(a.text, "recoil 360 bytes written\n");
  EXPECT_TRUE(Device().Recoil().valid);

  WriteGuns(275);
  Device().ClearExchangeLog();
  a = Ask({"write-recoil"});
  EXPECT_EQ(a.exit_code, kExitRefused);
  EXPECT_EQ(a.text, "recoil 4440 bytes refused, limit 4096 bytes\n");
  Place("shootdate_save_btn");
  Click("shootdate_save_btn");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("4440"), std::string::npos) << boxes_[0];
  EXPECT_NE(boxes_[0].find("4096"), std::string::npos) << boxes_[0];
  EXPECT_EQ(Count(hid::CMD_WRITE_SHOOT), 0u);
}

TEST_F(MouseRoutesTest, RecoilShowAndImportDoWhatTheEditorDoesAndTheBlockReachesTheMouse) {
  StartMouse(Link::kCable);
  auto recoil = [&](std::vector<std::string> words) {
    words.insert(words.begin(), "recoil");
    return wnd_->Requests().Run(ControlRequest{1, "brimvexctl-test", std::move(words)});
  };
  brimvex::test::TempDir in;
  // One bullet: 3 to the left, 7 downwards, 95 ms.
  const std::string one = in.folder() + "one.shoot";
  std::ofstream(one) << R"({"Events":[{"Type":1,"Action":"down","Button":1,"Delay":10},)"
                        R"({"Type":1,"Action":"up","Button":1,"Delay":0},{"Type":4,"Action":"down","Button":3,"Delay":5},)"
                        R"({"Type":5,"Action":"up","Button":7,"Delay":"95"},{"Type":4,"Action":"down","Button":0,"Delay":0},)"
                        R"({"Type":5,"Action":"up","Button":0,"Delay":0}]})";
  std::string many = "{\"Events\":[";
  for (int e = 0; e < 181; ++e) many += std::string(e ? "," : "") + "null";
  std::ofstream(in.folder() + "many.Shoot") << many + "]}";
  const std::string fifo = in.folder() + "pipe.shoot";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string gun2 = Mouse().DataFolder() + "ShootData_2.Shoot";
  const std::string before = profiles::ReadTextFile(gun2);

  struct Case {
    std::vector<std::string> words;
    int exit;
    std::string out;
  };
  const Case refused[] = {
      {{"import", in.folder() + "many.Shoot", "gun", "2"}, kExitRefused, "refused: "},
      {{"import", fifo, "gun", "2"}, kExitRefused, "refused: "},
      {{"import", one, "gun", "4"}, kExitMalformed, "no such gun: 4\n"},
      {{"show", "0"}, kExitMalformed, "usage: recoil"},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.words.back());
    const ControlAnswer a = recoil(c.words);
    EXPECT_EQ(a.exit_code, c.exit);
    EXPECT_EQ(a.text.substr(0, c.out.size()), c.out);
  }
  EXPECT_EQ(profiles::ReadTextFile(gun2), before) << "refused imports change nothing";

  ControlAnswer a = recoil({"import", one, "gun", "2"});
  EXPECT_EQ(a.exit_code, kExitDone);
  EXPECT_EQ(a.text, "imported gun 2 (6 events)\n");
  EXPECT_EQ(profiles::ReadTextFile(gun2), profiles::ReadTextFile(one)) << "copied byte for byte";
  a = recoil({"show"});
  ASSERT_EQ(a.exit_code, kExitDone);
  std::vector<std::string> lines;
  std::istringstream text(a.text);
  for (std::string l; std::getline(text, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 120u);
  EXPECT_EQ(lines[60], "2\t0\tleft\t3\tdown\t7\t95");
  EXPECT_EQ(lines[61], "2\t1\tright\t0\tdown\t0\t0") << "missing events read as zeros";

  // Sent with the save button's request, then read back from the mouse's recoil area.
  ASSERT_EQ(Ask({"write-recoil"}).exit_code, kExitDone);
  RequestTable emulated;
  RegisterEmulatorRequests(emulated, emu_, wnd_->Resources().LanguageFolder());
  const ControlAnswer block = emulated.Run(ControlRequest{2, "brimvexctl-test", {"emu", "block", "mouse", "recoil"}});
  EXPECT_EQ(block.exit_code, kExitDone);
  EXPECT_EQ(block.text.substr(0, 6), "valid ");
  EXPECT_NE(block.text.find(" entries=4\n"), std::string::npos) << block.text;
  EXPECT_NE(block.text.find("entry 2 events=6\n10\tdown\t1\t1\n0\tup\t1\t1\n5\tdown\t4\t3\n95\tup\t5\t7\n0\tdown\t4\t0\n"
                            "0\tup\t5\t0\nentry 3"),
            std::string::npos)
      << block.text;
  EXPECT_EQ(emulated.Run(ControlRequest{3, "brimvexctl-test", {"emu", "block", "keyboard", "macros"}}).text,
            "the emulated set has no keyboard\n");
  EXPECT_EQ(emulated.Run(ControlRequest{4, "brimvexctl-test", {"emu", "block", "mouse", "keys"}}).exit_code,
            kExitMalformed);
}

TEST_F(MouseRoutesTest, ASwitchedOffMouseGetsNothingAndTheNextWriteCarriesTheChange) {
  StartMouse(Link::kReceiver);
  Device().SetPoweredOn(false);
  ControlAnswer a = Ask({"set-dpi", "1", "2450"});
  EXPECT_EQ(a.exit_code, kExitRefused);
  EXPECT_NE(a.text.find("unreachable"), std::string::npos) << a.text;
  EXPECT_EQ(ProfileX(1), 48) << "the profile keeps the change";
  EXPECT_EQ(Count(hid::CMD_WRITE_PARAM), 0u);
  EXPECT_EQ(Count(hid::CMD_LINK_QUERY), 1u);
  WriteGuns(1);
  Place("shootdate_save_btn");
  Click("shootdate_save_btn");
  EXPECT_TRUE(boxes_.empty()) << "no message for an unreachable mouse";

  Device().SetPoweredOn(true);
  a = Ask({"set-rate", "500"});
  EXPECT_EQ(a.exit_code, kExitDone) << a.text;
  EXPECT_EQ(RecordX(1), 48);
  EXPECT_EQ(RecordRate(), 2);
}

}  // namespace
}  // namespace brimvex::app::test
