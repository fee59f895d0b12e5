#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "platform/registered_messages.h"
#include "platform/trace.h"

namespace brimvex::platform {
namespace {

TEST(Trace, CaptureSeesLinesAsWrittenChineseIncluded) {
  TraceCapture capture;
  Trace("所有对象处于激发状态\n");
  TraceF("软件标示 %d，%xd%xd", 0xC000, 0, 1);
  EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"所有对象处于激发状态\n", "软件标示 49152，0d1d"}));
  EXPECT_EQ(RecentTraces().back(), "软件标示 49152，0d1d");
}

TEST(RegisteredMessages, SameNameSameNumberFromAnyThread) {
  const auto a = RegisterWindowMessage("test-message-a");
  EXPECT_GE(a, kFirstRegisteredMessage);
  EXPECT_EQ(RegisterWindowMessage("test-message-a"), a);
  EXPECT_EQ(RegisteredMessageName(a), "test-message-a");
  EXPECT_EQ(RegisteredMessageName(0x0C12), std::nullopt);

  std::vector<std::thread> threads;
  std::vector<std::uint32_t> numbers(8);
  for (std::size_t i = 0; i < numbers.size(); ++i)
    threads.emplace_back([&, i] { numbers[i] = RegisterWindowMessage("shared-name"); });
  for (auto& t : threads) t.join();
  EXPECT_EQ(std::set<std::uint32_t>(numbers.begin(), numbers.end()).size(), 1u);
  EXPECT_NE(numbers[0], a);
}

}  // namespace
}  // namespace brimvex::platform
