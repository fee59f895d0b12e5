// The audio record's edits: the target-choice rule in all eight cases, typed components (300,
// empty, not a number) into the target colour with the 7-colour flag, palette and preset colours,
// the background cleared, and mode 3's own colours.
#include "lighting/audio_light_edit.h"

#include <gtest/gtest.h>

namespace brimvex::lighting {
namespace {

using profiles::AudioLightInfo;

TEST(AudioLightEdit, TheTargetChoiceRule) {
  struct Case {
    std::uint8_t previous;
    bool bk, fg;
    std::uint8_t target;
  };
  const Case cases[] = {{0, false, false, 1}, {0, false, true, 1}, {0, true, false, 0}, {0, true, true, 1},
                        {1, false, false, 1}, {1, false, true, 1}, {1, true, false, 0}, {1, true, true, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(AudioColorTarget(c.previous, c.bk, c.fg), c.target) << int{c.previous} << c.bk << c.fg;
}

TEST(AudioLightEdit, TypedComponentsGoToTheTargetColour) {
  struct Case {
    std::uint8_t target;
    int component;
    const char* text;
    AudioLightInfo after;  // from {mode 1, back 1 2 3, fore 4 5 6, 7-colour 1, target}
  };
  const Case cases[] = {
      {1, 2, "300", {1, 1, 2, 3, 4, 5, 255, 0, 1}},
      {1, 0, "", {1, 1, 2, 3, 0, 5, 6, 0, 1}},
      {0, 1, "77", {1, 1, 77, 3, 4, 5, 6, 1, 0}},
      {0, 0, "-5", {1, 0, 2, 3, 4, 5, 6, 1, 0}},
      {0, 2, "99999999999999999999999", {1, 1, 2, 255, 4, 5, 6, 1, 0}},
  };
  for (const Case& c : cases) {
    AudioLightInfo info{1, 1, 2, 3, 4, 5, 6, 1, c.target};
    EXPECT_TRUE(SetTypedComponent(info, c.component, c.text));
    EXPECT_EQ(info, c.after) << c.text;
  }
  AudioLightInfo info{1, 1, 2, 3, 4, 5, 6, 1, 1};
  EXPECT_FALSE(SetTypedComponent(info, 3, "9"));
  EXPECT_EQ(info, (AudioLightInfo{1, 1, 2, 3, 4, 5, 6, 1, 1}));
}

TEST(AudioLightEdit, PaletteAndPresetColoursAndTheBackgroundCleared) {
  AudioLightInfo fore{0, 1, 2, 3, 4, 5, 6, 1, 1};
  SetTargetColor(fore, 0xFF102030u, false);
  EXPECT_EQ(fore, (AudioLightInfo{0, 1, 2, 3, 0x10, 0x20, 0x30, 1, 1}));
  SetTargetColor(fore, 0xFF405060u, true);
  EXPECT_EQ(fore, (AudioLightInfo{0, 1, 2, 3, 0x40, 0x50, 0x60, 0, 1}));
  AudioLightInfo back{0, 1, 2, 3, 4, 5, 6, 1, 0};
  SetTargetColor(back, 0xFF405060u, true);
  EXPECT_EQ(back, (AudioLightInfo{0, 0x40, 0x50, 0x60, 4, 5, 6, 1, 0}));
  ClearBackground(back);
  EXPECT_EQ(back, (AudioLightInfo{0, 0, 0, 0, 4, 5, 6, 1, 0}));
  EXPECT_FALSE(AudioColorsEditable(3));
  EXPECT_TRUE(AudioColorsEditable(2));
}

}  // namespace
}  // namespace brimvex::lighting
