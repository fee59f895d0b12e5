// The availability rules: the rows that differ from their neighbours, per device type, and what
// brimvexctl reads from them.
#include <gtest/gtest.h>

#include <string>

#include "lighting/light_rules.h"

namespace brimvex::lighting {
namespace {

// "c7bsdm": colour, 7-colour, brightness, speed (usable), direction, same mode; '-' off.
std::string Groups(const LightRule& r) {
  std::string s = "------";
  if (r.color) s[0] = 'c';
  if (r.seven_color) s[1] = '7';
  if (r.brightness) s[2] = 'b';
  if (r.Applies(LightGroup::kSpeed)) s[3] = 's';
  if (r.direction) s[4] = 'd';
  if (r.same_mode) s[5] = 'm';
  return s;
}

TEST(LightRules, RowsPerDeviceType) {
  struct Case {
    int type;
    int mode;
    const char* groups;
  };
  const Case cases[] = {
      {1, 0, "------"},  {1, 20, "------"}, {1, 99, "------"}, {1, 1, "c7bsd-"},  {1, 6, "c7b--m"},
      {1, 17, "--b---"}, {1, 18, "---sd-"}, {1, 19, "c-b---"}, {1, 28, "-----m"}, {1, 29, "c7b-d-"},
      {1, 30, "--b---"}, {2, 0, "c7bsd-"},  {2, 3, "c-b--m"},  {2, 6, "c7bs-m"},  {2, 9, "-----m"},
      {2, 10, "------"}, {3, 0, "c7bsd-"},  {3, 3, "c-b--m"},  {3, 6, "------"},  {3, 8, "-----m"},
      {7, 8, "-----m"},  {7, 5, "------"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + " mode " + std::to_string(c.mode));
    EXPECT_EQ(Groups(RuleFor(c.type, c.mode)), c.groups);
  }
}

TEST(LightRules, KeyboardExtrasAndDirectionLabels) {
  const LightRule zzcc = RuleFor(1, 17);
  EXPECT_TRUE(zzcc.zzcc_shown && zzcc.speed && zzcc.speed_hidden && zzcc.color_layout_off);
  const LightRule custom = RuleFor(1, 19);
  EXPECT_TRUE(custom.custom_shown && custom.speed_hidden);
  EXPECT_FALSE(custom.zzcc_shown);
  const LightRule audio = RuleFor(1, 29);
  EXPECT_TRUE(audio.audio_shown && audio.speed_hidden);
  EXPECT_EQ(audio.color_page, 1);
  EXPECT_STREQ(RuleFor(1, 3).direction_first, "light_set_clockwise_text");
  EXPECT_STREQ(RuleFor(1, 12).direction_second, "light_set_up_to_down_text");
  EXPECT_STREQ(RuleFor(1, 18).direction_first, "light_set_outside_to_inside_text");
  EXPECT_EQ(RuleFor(1, 5).direction_first, nullptr);
  // A device type without a table keeps only the reset: direction on, nothing else said.
  EXPECT_EQ(Groups(RuleFor(0, 3)), "----d-");
}

}  // namespace
}  // namespace brimvex::lighting
