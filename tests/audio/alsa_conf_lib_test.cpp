// The ALSA audio chip library on a fake card (an external control plugin with its controls in
// memory, reached through a private ALSA configuration): what each property reaches, fallbacks
// of the control names, the properties it refuses, and no card.
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "audio/audio_bridge.h"
#include "test_support/temp_dir.h"

namespace brimvex::audio {
namespace {

class AlsaConfLib : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    config_dir_ = new test::TempDir;
    const std::string file = config_dir_->folder() + "asound.conf";
    std::ofstream(file) << "ctl_type.bvxfake { lib \"" BRIMVEX_TEST_FAKE_CTL "\" }\n"
                        << "ctl.bvx_full { type bvxfake capture \"Mic\" sidetone \"Mic\" playback \"PCM\" }\n"
                        << "ctl.bvx_other { type bvxfake capture \"Capture\" sidetone \"Sidetone\" playback \"Headset\" }\n"
                        << "ctl.bvx_bare { type bvxfake }\n";
    ::setenv("ALSA_CONFIG_PATH", file.c_str(), 1);
  }
  static void TearDownTestSuite() {
    delete config_dir_;
    config_dir_ = nullptr;
  }

  // The library on `card` (BRIMVEX_ALSA_CARD) with its device list built.
  bool Open(const char* card) {
    ::setenv("BRIMVEX_ALSA_CARD", card, 1);
    if (!bridge.Load(BRIMVEX_TEST_ALSA_LIB)) return false;
    return bridge.Init() == 0 && bridge.CreateDeviceList() == 0;
  }

  // Both channels of a fake control as the card holds them.
  static std::vector<long> Card(const char* card, const char* control) {
    snd_ctl_t* ctl = nullptr;
    if (snd_ctl_open(&ctl, card, 0) < 0) return {};
    snd_ctl_elem_value_t* value = nullptr;
    snd_ctl_elem_value_malloc(&value);
    snd_ctl_elem_value_set_interface(value, SND_CTL_ELEM_IFACE_MIXER);
    snd_ctl_elem_value_set_name(value, control);
    std::vector<long> out;
    if (snd_ctl_elem_read(ctl, value) >= 0)
      out = {snd_ctl_elem_value_get_integer(value, 0), snd_ctl_elem_value_get_integer(value, 1)};
    snd_ctl_elem_value_free(value);
    snd_ctl_close(ctl);
    return out;
  }

  static test::TempDir* config_dir_;
  AudioBridge bridge{platform::SystemAudioChipLoader()};
};
test::TempDir* AlsaConfLib::config_dir_ = nullptr;

using Values = std::vector<long>;

TEST_F(AlsaConfLib, MicrophoneIsTheCaptureControl) {
  ASSERT_TRUE(Open("bvx_full"));
  ASSERT_TRUE(bridge.ChooseEndpoints());
  const auto ch = PropertyParam::Channel(-1);
  EXPECT_EQ(bridge.ReadNumber(Side::kInput, "VolumeScalarControl", ch), 0.8);
  ASSERT_TRUE(bridge.WriteFloat(Side::kInput, "VolumeScalarControl", 0.37f, ch));
  EXPECT_EQ(Card("bvx_full", "Mic Capture Volume"), (Values{37, 37}));
  EXPECT_EQ(LevelOfScalar(*bridge.ReadNumber(Side::kInput, "VolumeScalarControl", ch)), 37);
  // 0..100 over -40..+10 dB.
  EXPECT_EQ(bridge.ReadNumber(Side::kInput, "VolumeControl", ch), -21.5);
  EXPECT_EQ(bridge.ReadNumber(Side::kInput, "GetMaxVol", {}), 10.0);
  EXPECT_EQ(bridge.ReadNumber(Side::kInput, "GetMinVol", {}), -40.0);
  EXPECT_EQ(bridge.ReadNumber(Side::kInput, "GetVolStep", {}), 0.5);
  ASSERT_TRUE(bridge.WriteInt(Side::kInput, "VolumeControl", 0, ch));
  EXPECT_EQ(Card("bvx_full", "Mic Capture Volume"), (Values{80, 80}));

  EXPECT_EQ(bridge.ReadNumber(Side::kInput, "MuteControl", {}), 0.0);
  ASSERT_TRUE(bridge.WriteInt(Side::kInput, "MuteControl", 1, {}));
  EXPECT_EQ(Card("bvx_full", "Mic Capture Switch"), (Values{0, 0}));
  EXPECT_EQ(bridge.ReadNumber(Side::kInput, "MuteControl", {}), 1.0);
}

TEST_F(AlsaConfLib, MonitoringIsTheSidetoneAndTheOutputThePlaybackVolume) {
  ASSERT_TRUE(Open("bvx_full"));
  ASSERT_TRUE(bridge.ChooseEndpoints());
  // Sidetone "Mic Playback": 0..31 over -31..0 dB, muted at first.
  EXPECT_EQ(bridge.ReadNumber(Side::kInput, "AAMuteControl", {}), 1.0);
  EXPECT_EQ(bridge.ReadNumber(Side::kInput, "GetAAMaxVol", {}), 0.0);
  EXPECT_EQ(bridge.ReadNumber(Side::kInput, "GetAAMinVol", {}), -31.0);
  EXPECT_EQ(bridge.ReadNumber(Side::kInput, "GetAAVolStep", {}), 1.0);
  ASSERT_TRUE(bridge.WriteFloat(Side::kInput, "AAVolumeScalarControl", 1.0f, PropertyParam::Channel(0)));
  ASSERT_TRUE(bridge.WriteInt(Side::kInput, "AAMuteControl", 0, {}));
  EXPECT_EQ(Card("bvx_full", "Mic Playback Volume"), (Values{31, 31}));
  EXPECT_EQ(Card("bvx_full", "Mic Playback Switch"), (Values{1, 1}));
  EXPECT_EQ(bridge.ReadNumber(Side::kInput, "AAVolumeControl", PropertyParam::Channel(1)), 0.0);
  EXPECT_EQ(Card("bvx_full", "Mic Capture Volume"), (Values{80, 80})) << "the capture is left alone";

  ASSERT_TRUE(bridge.WriteFloat(Side::kOutput, "VolumeScalarControl", 0.0f, PropertyParam::Channel(-1)));
  ASSERT_TRUE(bridge.WriteInt(Side::kOutput, "MuteControl", 1, {}));
  EXPECT_EQ(Card("bvx_full", "PCM Playback Volume"), (Values{0, 0}));
  EXPECT_EQ(Card("bvx_full", "PCM Playback Switch"), (Values{0, 0}));
  EXPECT_EQ(bridge.ReadNumber(Side::kOutput, "GetMinVol", {}), -63.75);
}

TEST_F(AlsaConfLib, OtherControlNamesAreFoundInTheirOrder) {
  ASSERT_TRUE(Open("bvx_other"));
  ASSERT_TRUE(bridge.ChooseEndpoints());
  ASSERT_TRUE(bridge.WriteFloat(Side::kInput, "VolumeScalarControl", 0.5f, PropertyParam::Channel(-1)));
  ASSERT_TRUE(bridge.WriteFloat(Side::kInput, "AAVolumeScalarControl", 0.0f, PropertyParam::Channel(0)));
  ASSERT_TRUE(bridge.WriteFloat(Side::kOutput, "VolumeScalarControl", 1.0f, PropertyParam::Channel(-1)));
  EXPECT_EQ(Card("bvx_other", "Capture Volume"), (Values{50, 50}));
  EXPECT_EQ(Card("bvx_other", "Sidetone Playback Volume"), (Values{0, 0}));
  EXPECT_EQ(Card("bvx_other", "Headset Playback Volume"), (Values{255, 255}));
}

TEST_F(AlsaConfLib, EverythingElseIsRefusedAndReachesNothing) {
  ASSERT_TRUE(Open("bvx_full"));
  ASSERT_TRUE(bridge.ChooseEndpoints());
  const Values volume = Card("bvx_full", "Mic Capture Volume");
  const Values mute = Card("bvx_full", "Mic Capture Switch");
  EXPECT_EQ(bridge.ReadText(Side::kInput, "GetSupportFeature", {}), L"0,0,0,0,0,0,0");
  EXPECT_EQ(bridge.ReadText(Side::kOutput, "GetSupportFeature", {}), L"0,0,0,0,0,0,0");
  struct Case {
    Side side;
    const char* name;
  };
  const Case cases[] = {{Side::kOutput, "Enable_EQ_GFX"},     {Side::kOutput, "EQ_Slider1"},
                        {Side::kOutput, "Enable_RFX_GFX"},    {Side::kOutput, "VirtualSurroundEffectControl"},
                        {Side::kOutput, "AAMuteControl"},     {Side::kInput, "Enable_MAGICVOICE"},
                        {Side::kInput, "MagicVoice_Selection"}, {Side::kInput, "Enable_MICECHO"},
                        {Side::kInput, "Enable_ENC_LFX"},     {Side::kInput, "GetSupportFeature"},
                        {Side::kInput, "GetMaxVol"}};
  for (const auto& c : cases) {
    EXPECT_FALSE(bridge.WriteInt(c.side, c.name, 0, {})) << c.name;
    if (std::string(c.name) != "GetSupportFeature" && std::string(c.name) != "GetMaxVol") {
      EXPECT_FALSE(bridge.ReadText(c.side, c.name, {})) << c.name;
    }
  }
  // Values outside what the controls hold.
  EXPECT_FALSE(bridge.WriteFloat(Side::kInput, "VolumeScalarControl", 1.5f, PropertyParam::Channel(-1)));
  EXPECT_FALSE(bridge.WriteInt(Side::kInput, "MuteControl", 2, {}));
  EXPECT_FALSE(bridge.WriteInt(Side::kInput, "VolumeControl", 20, PropertyParam::Channel(-1)));
  EXPECT_EQ(Card("bvx_full", "Mic Capture Volume"), volume);
  EXPECT_EQ(Card("bvx_full", "Mic Capture Switch"), mute);
}

TEST_F(AlsaConfLib, NoCardListsNoEndpointAndACardWithoutControlsAnswersNothing) {
  ASSERT_TRUE(Open("bvx_missing"));
  EXPECT_EQ(bridge.Count(Side::kOutput), 0);
  EXPECT_EQ(bridge.Count(Side::kInput), 0);
  EXPECT_FALSE(bridge.ChooseEndpoints());

  ASSERT_TRUE(Open("bvx_bare"));
  ASSERT_TRUE(bridge.ChooseEndpoints());
  EXPECT_FALSE(bridge.ReadNumber(Side::kInput, "VolumeScalarControl", PropertyParam::Channel(-1)));
  EXPECT_FALSE(bridge.WriteInt(Side::kInput, "MuteControl", 1, {}));
  EXPECT_FALSE(bridge.ReadNumber(Side::kInput, "GetAAMaxVol", {}));
  EXPECT_FALSE(bridge.ReadNumber(Side::kOutput, "VolumeScalarControl", PropertyParam::Channel(-1)));
}

}  // namespace
}  // namespace brimvex::audio
