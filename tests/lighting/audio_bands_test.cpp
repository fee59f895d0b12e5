#include "lighting/audio_bands.h"

#include <gtest/gtest.h>

#include <limits>

namespace brimvex::lighting {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

SpectrumFrame Filled(std::int32_t v) {
  SpectrumFrame f;
  f.fill(v);
  return f;
}

TEST(AudioBands, EachBandMixesItsFourChangesIntoItsRunningValue) {
  struct Case {
    const char* what;
    SpectrumFrame previous;
    SpectrumFrame frame;
    std::int32_t band_before;
    std::int32_t band_after;  // every band
  };
  SpectrumFrame ignored_only = Filled(0);
  for (std::size_t i = 4; i < kSpectrumFrameValues; i += 5) ignored_only[i] = 1000;  // the fifth of each group
  for (std::size_t i = 125; i < kSpectrumFrameValues; ++i) ignored_only[i] = 1000;   // past the bands
  const Case cases[] = {
      {"four changes of 100", Filled(0), Filled(100), 0, 100},
      {"changes count down as well as up", Filled(300), Filled(100), 40, (40 + 800) / 4},
      {"an identical frame quarters the band", Filled(7), Filled(7), 4000, 1000},
      {"the fifth value and values from 125 on are not used", Filled(0), ignored_only, 4000, 1000},
      {"-2^31 against 2^31 - 1 stays at 2^31 - 1", Filled(kMin), Filled(kMax), 0, kMax},
      {"a band at 2^31 - 1 with more change stays there", Filled(kMax), Filled(kMin), kMax, kMax},
  };
  for (const auto& c : cases) {
    SpectrumFrame previous = c.previous;
    AudioBands bands;
    bands.fill(c.band_before);
    ComputeAudioBands(c.frame, previous, bands);
    for (std::int32_t b : bands) ASSERT_EQ(b, c.band_after) << c.what;
    EXPECT_EQ(previous, c.frame) << c.what;
  }
}

TEST(AudioBands, RepeatedFramesDecayToZero) {
  SpectrumFrame previous = Filled(0);
  AudioBands bands{};
  ComputeAudioBands(Filled(kMax), previous, bands);
  for (int n = 0; n < 16; ++n) ComputeAudioBands(Filled(kMax), previous, bands);
  for (std::int32_t b : bands) EXPECT_EQ(b, 0);
}

TEST(AudioBands, DecodesLittleEndianValues) {
  std::array<char, kSpectrumFrameValues * 4> bytes{};
  const unsigned char first[] = {0x01, 0x02, 0x03, 0x04};
  const unsigned char last[] = {0xFF, 0xFF, 0xFF, 0x80};
  std::copy(std::begin(first), std::end(first), bytes.begin());
  std::copy(std::begin(last), std::end(last), bytes.end() - 4);
  const SpectrumFrame f = DecodeSpectrumFrame(bytes);
  EXPECT_EQ(f[0], 0x04030201);
  EXPECT_EQ(f[499], static_cast<std::int32_t>(0x80FFFFFFu));
  EXPECT_EQ(f[1], 0);
}

}  // namespace
}  // namespace brimvex::lighting
