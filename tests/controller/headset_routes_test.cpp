// The headset page on the real main window over the emulated headset and its emulated audio
// chip library: brimvexctl "headset" requests drive the page's controls through the controller's
// rows and reach the page, the profile file and the library's store.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "audio/audio_rig.h"
#include "audio/ri6533_device.h"
#include "audio/voice6533_control_ui.h"
#include "discovery/controller_fixture.h"
#include "profiles/ri6533_profile_data.h"

namespace brimvex::app::test {
namespace {

using audio::COmbrixRI6533Device;

class HeadsetRoutesTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    chip_ = std::make_unique<emulator::EmulatedAudioChip>(audio::test::LoadEmulatedChip());
    COmbrixRI6533Device::SetLibraryFile(audio::test::EmulatedLibraryFile());
    frontend_.SetModalHandler([this](ui::Window& w) {
      ui::Control* text = w.FindControl("MessageText");
      boxes_.push_back(text->TextKey().empty() ? text->Text() : text->TextKey());
      w.FindControl("confirm_btn")->Activate();
    });
  }
  COmbrixRI6533Device* Headset() {
    for (int i = 0; i < selector().Count(); ++i)
      if (auto* h = dynamic_cast<COmbrixRI6533Device*>(selector().Entry(i)->Device())) return h;
    return nullptr;
  }
  ControlAnswer Ask(std::vector<std::string> words) {
    words.insert(words.begin(), "headset");
    ControlAnswer answer = wnd_->Requests().Run(ControlRequest{1, "brimvexctl-test", std::move(words)});
    loop().RunPending();
    return answer;
  }
  profiles::VoiceState SavedVoice() {
    profiles::CRi6533Profiledata p;
    p.LoadSection(Headset()->CurrentProfilePath());
    return p.GetVoiceState();
  }

  std::unique_ptr<emulator::EmulatedAudioChip> chip_;
  std::vector<std::string> boxes_;
};

TEST_F(HeadsetRoutesTest, SetReachesPageProfileAndStore) {
  StartConnected({Product::kHeadset});
  ASSERT_NE(Headset(), nullptr);
  const ControlAnswer answer = Ask({"set", "eq=3", "mic=37", "band=9:-5", "save=Night", "voice=1", "voice-type=2"});
  EXPECT_EQ(answer.exit_code, kExitDone) << answer.text;
  EXPECT_EQ(answer.text,
            "eq: 13\nbands: 10 4 0 -3 -4 -3 -2 -1 0 -5\ncustom: 0\ncustom-eq 0: Night\nmic: on 37\nmonitor: off 50\n"
            "voice: on 2\n");
  EXPECT_EQ(wnd_->SelectedDevice(), Headset());
  const auto voice = SavedVoice();
  EXPECT_EQ(voice.mic_level, 37);
  EXPECT_EQ(voice.eq_preset, 13);
  EXPECT_EQ(voice.magic_enabled, 1);
  EXPECT_EQ(voice.magic_type, 2);
  const std::string dump = chip_->Dump();
  EXPECT_THAT(dump, testing::HasSubstr("VolumeScalarControl: 0.37\n"));
  EXPECT_THAT(dump, testing::HasSubstr("EQ_Slider1: 10\n"));
  EXPECT_THAT(dump, testing::HasSubstr("EQ_Slider10: -5\n"));
  EXPECT_THAT(dump, testing::HasSubstr("MagicVoice_Selection: 1\n"));
  EXPECT_EQ(Ask({}).text, answer.text);
}

TEST_F(HeadsetRoutesTest, MalformedWordsChangeNothing) {
  StartConnected({Product::kHeadset});
  chip_->ClearLog();
  for (const std::vector<std::string>& words :
       std::vector<std::vector<std::string>>{{"set", "eq=3", "eq=14"}, {"set", "band=10:0"}, {"set", "band=1:21"},
                                             {"set", "mic=101"}, {"set", "voice-type=0"}, {"set", "bass=1"},
                                             {"set", "mic"}, {"set"}, {"show"}, {"set", "save="}}) {
    EXPECT_EQ(Ask(words).exit_code, kExitMalformed) << words.back();
  }
  EXPECT_THAT(chip_->WriteLog(), testing::IsEmpty());
}

TEST_F(HeadsetRoutesTest, RefusalsAndMissingHeadset) {
  StartConnected({Product::kKeyboard});
  EXPECT_EQ(Ask({}).exit_code, kExitFailed);
  EXPECT_EQ(Ask({"set", "mic=3"}).exit_code, kExitFailed);
}

TEST_F(HeadsetRoutesTest, ARejectedWriteIsRefused) {
  chip_->FailProperty("MuteControl", 2);
  StartConnected({Product::kHeadset});
  const ControlAnswer answer = Ask({"set", "mic=20", "mic-on=0", "mic=30"});
  EXPECT_EQ(answer.exit_code, kExitRefused);
  EXPECT_EQ(answer.text, "brimvexctl: refused: the audio driver rejected MuteControl\n");
  EXPECT_EQ(SavedVoice().mic_level, 20);
  EXPECT_EQ(SavedVoice().mic_enabled, 1);
  EXPECT_THAT(boxes_, testing::ElementsAre("audio_write_rejected"));
}

TEST_F(HeadsetRoutesTest, WithoutALibraryTheProgramRunsOnAndSaysWhy) {
  COmbrixRI6533Device::SetLibraryFile("/nonexistent/osConfLib.so");
  StartConnected({Product::kHeadset});
  EXPECT_EQ(traces_.Count("brimvex: audio settings unavailable: cannot load /nonexistent/osConfLib.so: "), 1u);
  const ControlAnswer answer = Ask({"set", "eq=2"});
  EXPECT_EQ(answer.exit_code, kExitRefused);
  EXPECT_THAT(answer.text, testing::StartsWith("brimvexctl: refused: audio settings unavailable: cannot load "));
  EXPECT_EQ(Ask({}).exit_code, kExitDone);
}

}  // namespace
}  // namespace brimvex::app::test
