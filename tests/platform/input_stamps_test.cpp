// Input event stamps placed on the loop's clock: the stamps' differences, never after the moment
// the event is taken, never back, across the 32-bit wrap, and the first event on the expected
// clock placed at its own time.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/input_stamps.h"

namespace brimvex::platform {
namespace {

struct Step {
  std::uint64_t stamp;
  long long now;
  long long placed;
};

TEST(StampClock, EventsArePlacedByTheirStamps) {
  constexpr std::uint64_t kWrap = std::uint64_t{1} << 32;
  struct Case {
    const char* what;
    std::optional<long long> expect;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"the first at the moment it is taken, then the stamps' differences",
       std::nullopt, {{1000, 50, 50}, {1010, 90, 60}, {1047, 99, 97}, {1047, 120, 97}}},
      {"never after the moment taken; the events after follow the new place",
       std::nullopt, {{1000, 50, 50}, {1009, 52, 52}, {1012, 100, 55}}},
      {"32-bit stamps wrap", std::nullopt, {{kWrap - 16, 10, 10}, {5, 40, 31}, {40, 80, 66}}},
      {"a stamp before the last one starts over at the moment taken",
       std::nullopt, {{5000, 10, 10}, {4000, 30, 30}, {4010, 60, 40}}},
      {"no stamp: the moment taken, and the times never go back",
       std::nullopt, {{1000, 100, 100}, {0, 120, 120}, {1010, 125, 120}, {1030, 140, 130}}},
      {"on the expected clock the first lies at its own time", -1'000'000,
       {{1'000'080, 100, 80}, {1'000'095, 101, 95}}},
      {"the expected clock past 32 bits against 32-bit stamps", -static_cast<long long>(kWrap) * 3,
       {{90, 100, 90}, {97, 100, 97}}},
      {"a lag past the trusted one is not the expected clock", 0, {{1000, 7000, 7000}, {1004, 7001, 7001}}},
      {"an event after the moment taken is not the expected clock", 0, {{1000, 990, 990}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StampClock clock;
    if (c.expect) clock.Expect(Millis(*c.expect));
    for (const Step& s : c.steps) EXPECT_EQ(clock.Map(s.stamp, Millis(s.now)).count(), s.placed) << s.stamp;
  }
}

TEST(StampClock, ResetPlacesTheNextEventAfresh) {
  StampClock clock;
  EXPECT_EQ(clock.Map(1000, Millis(10)).count(), 10);
  clock.Reset();
  EXPECT_EQ(clock.Map(900, Millis(20)).count(), 20);
  EXPECT_EQ(clock.Map(905, Millis(30)).count(), 25);
}

}  // namespace
}  // namespace brimvex::platform
