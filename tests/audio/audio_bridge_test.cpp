// The bridge over the emulated audio chip library: parsing of answers, endpoint choice,
// libraries that cannot be used, answers that do not fit their buffer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "audio/audio_bridge.h"
#include "audio/audio_rig.h"
#include "test_support/temp_dir.h"

namespace brimvex::audio {
namespace {

using test::LoadEmulatedChip;

TEST(AnswerParsing, NumbersFillTheWholeTextAndAreFinite) {
  struct Case {
    const wchar_t* text;
    std::optional<double> value;
  };
  const Case cases[] = {{L"0.8", 0.8},         {L"-46.5", -46.5}, {L"12", 12.0},       {L"1e-3", 0.001},
                        {L"", std::nullopt},    {L"abc", std::nullopt}, {L"nan", std::nullopt},
                        {L"inf", std::nullopt}, {L"1.0x", std::nullopt}, {L" 1", std::nullopt},
                        {L"0\u00b75", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(ParseAnswerNumber(c.text), c.value) << std::wstring(c.text).size();
}

TEST(AnswerParsing, LevelsOfScalarsSurviveTheRoundTrip) {
  struct Case {
    double scalar;
    int level;
  };
  const Case cases[] = {{0.29, 29}, {0.57, 57}, {0.58, 58}, {0.555, 55}, {static_cast<double>(0.37f), 37},
                        {0.0, 0},   {1.0, 100}, {1.5, 100}, {-0.2, 0}};
  for (const auto& c : cases) EXPECT_EQ(LevelOfScalar(c.scalar), c.level) << c.scalar;
  // Every level written as L / 100 in a float reads back as L.
  for (int level = 0; level <= 100; ++level)
    EXPECT_EQ(LevelOfScalar(static_cast<double>(static_cast<float>(level) / 100.0f)), level);
}

TEST(AnswerParsing, FeatureAnswersNeedSevenFields) {
  const auto seven = ParseFeatureAnswer(L"131072,9,9,9,2,9,3");
  ASSERT_TRUE(seven);
  EXPECT_EQ(seven->first, 131072);
  EXPECT_EQ(seven->second, 2);
  EXPECT_EQ(seven->third, 3);
  EXPECT_TRUE(ParseFeatureAnswer(L"1,2,3,4,5,6,7,8"));
  for (const wchar_t* bad : {L"1,2,3,4,5,6", L"", L"x,0,0,0,0,0,0", L"1,0,0,0,,0,0", L"1.5,0,0,0,0,0,0"})
    EXPECT_FALSE(ParseFeatureAnswer(bad)) << std::wstring(bad).size();
}

TEST(AudioBridge, OutputEndpointFallsBackByType) {
  struct Case {
    std::vector<BvxAudioEndpoint> outputs;
    int chosen_id;  // -1: none
  };
  const Case cases[] = {
      {{{5, 4, 0, 1}, {6, 12, 0, 1}, {7, 1, 0, 1}}, 7},
      {{{5, 4, 0, 1}, {6, 7, 0, 1}, {8, 12, 0, 1}}, 8},
      {{{5, 4, 0, 1}, {6, 7, 0, 1}, {8, 1, 0, 0}}, 6},
      {{{5, 4, 0, 1}, {6, 12, 0, 0}}, 5},
      {{{5, 4, 0, 0}, {6, 2, 0, 1}}, -1},
  };
  auto chip = LoadEmulatedChip();
  for (const auto& c : cases) {
    chip.SetEndpoints(platform::kAudioDirectionOutput, c.outputs);
    chip.SetEndpoints(platform::kAudioDirectionInput, {{20, 3, 0, 1}, {21, 2, 0, 0}, {22, 2, 0, 1}});
    AudioBridge bridge(platform::SystemAudioChipLoader());
    ASSERT_TRUE(bridge.Load(test::EmulatedLibraryFile()));
    EXPECT_EQ(bridge.ChooseEndpoints(), c.chosen_id >= 0);
    EXPECT_EQ(bridge.HasEndpoint(Side::kOutput) ? bridge.Endpoint(Side::kOutput).id : -1, c.chosen_id);
    ASSERT_TRUE(bridge.HasEndpoint(Side::kInput));
    EXPECT_EQ(bridge.Endpoint(Side::kInput).id, 21);
  }
}

TEST(AudioBridge, CountsOutsideTheRangeMeanNone) {
  auto chip = LoadEmulatedChip();
  AudioBridge bridge(platform::SystemAudioChipLoader());
  ASSERT_TRUE(bridge.Load(test::EmulatedLibraryFile()));
  for (int count : {65, -2, 1000}) {
    chip.SetReportedCount(platform::kAudioDirectionOutput, count);
    EXPECT_FALSE(bridge.Count(Side::kOutput)) << count;
  }
  chip.SetReportedCount(platform::kAudioDirectionOutput, 64);
  EXPECT_EQ(bridge.Count(Side::kOutput), 64);
  // 64 claimed, one there: only the one that answers is a candidate.
  EXPECT_TRUE(bridge.ChooseEndpoints());
  EXPECT_EQ(bridge.Endpoint(Side::kOutput).id, 1);
}

TEST(AudioBridge, LibrariesThatCannotBeUsedSayWhy) {
  brimvex::test::TempDir dir;
  const std::string missing = dir.folder() + "none/osConfLib.so";
  const std::string garbage = dir.folder() + "osConfLib.so";
  std::ofstream(garbage) << "not a library";
  AudioBridge bridge(platform::SystemAudioChipLoader());

  EXPECT_FALSE(bridge.Load(missing));
  EXPECT_THAT(bridge.Reason(), testing::StartsWith("cannot load " + missing + ": "));
  EXPECT_THAT(bridge.Reason(), testing::HasSubstr("No such file"));
  EXPECT_FALSE(bridge.Load(garbage));
  EXPECT_THAT(bridge.Reason(), testing::StartsWith("cannot load " + garbage + ": "));
  EXPECT_GT(bridge.Reason().size(), ("cannot load " + garbage + ": ").size());
  EXPECT_FALSE(bridge.Load(BRIMVEX_TEST_PARTIAL_LIB));
  EXPECT_EQ(bridge.Reason(), std::string(BRIMVEX_TEST_PARTIAL_LIB) + " lacks RegisterCallbackFunction");
  EXPECT_FALSE(bridge.Loaded());
  EXPECT_EQ(bridge.Init(), -1);
  EXPECT_FALSE(bridge.ReadText(Side::kInput, "MuteControl", PropertyParam::None()));
}

TEST(AudioBridge, AnswersAreReadOnlyInsideTheirBuffer) {
  auto chip = LoadEmulatedChip();
  AudioBridge bridge(platform::SystemAudioChipLoader());
  ASSERT_TRUE(bridge.Load(test::EmulatedLibraryFile()));
  ASSERT_TRUE(bridge.ChooseEndpoints());
  const auto channel = PropertyParam::Channel(-1);
  struct Case {
    std::wstring raw;
    std::optional<double> value;
  };
  const std::size_t buffer_chars = platform::kAudioValueBufferBytes / sizeof(wchar_t);
  const Case cases[] = {
      {std::wstring(L"0.25\0garbage", 12), 0.25},
      {std::wstring(buffer_chars, L'1'), std::nullopt},  // fills the buffer, no terminator
      {std::wstring(2000, L'7'), std::nullopt},          // longer than the buffer
      {std::wstring(L"0.2\0", 4) + std::wstring(1996, L'9'), 0.2},
      {std::wstring(L"nan\0", 4), std::nullopt},
  };
  for (const auto& c : cases) {
    chip.SetRawAnswer("VolumeScalarControl", c.raw);
    EXPECT_EQ(bridge.ReadNumber(Side::kInput, "VolumeScalarControl", channel), c.value) << c.raw.size();
  }
}

TEST(AudioBridge, WritesReachTheStoreInTheirBinaryForm) {
  auto chip = LoadEmulatedChip();
  AudioBridge bridge(platform::SystemAudioChipLoader());
  ASSERT_TRUE(bridge.Load(test::EmulatedLibraryFile()));
  ASSERT_TRUE(bridge.ChooseEndpoints());
  EXPECT_TRUE(bridge.WriteFloat(Side::kInput, "VolumeScalarControl", 0.37f, PropertyParam::Channel(-1)));
  EXPECT_TRUE(bridge.WriteInt(Side::kOutput, "EQ_Slider3", -13, PropertyParam::None()));
  EXPECT_TRUE(bridge.WriteInt(Side::kOutput, "VirtualSurroundEffectControl", 0, PropertyParam::SurroundRecord()));
  // A property of the other endpoint, or one the library does not know, is refused.
  EXPECT_FALSE(bridge.WriteInt(Side::kInput, "EQ_Slider3", 1, PropertyParam::None()));
  EXPECT_FALSE(bridge.WriteInt(Side::kOutput, "NoSuchProperty", 1, PropertyParam::None()));
  EXPECT_THAT(chip.WriteLog(), testing::ElementsAre("in VolumeScalarControl 0.37 -1", "out EQ_Slider3 -13",
                                                    "out VirtualSurroundEffectControl 0 4,-1,0"));
  EXPECT_THAT(chip.Dump(), testing::HasSubstr("VolumeScalarControl: 0.37\n"));
  EXPECT_EQ(bridge.ReadNumber(Side::kOutput, "EQ_Slider3", PropertyParam::None()), -13.0);
}

}  // namespace
}  // namespace brimvex::audio
