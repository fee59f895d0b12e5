#include "platform/ipc_frame.h"

#include <gtest/gtest.h>

namespace brimvex::platform {
namespace {

TEST(IpcFrame, RoundTripKeepsEveryField) {
  const IpcMessage messages[] = {
      {"Brimvex", 0, 1, ""},
      {"{4695579F-999A-41d4-9FAF-EFFCE93EBF18}", 0xFFFFFFFFFFFFFFFFULL, -2, std::string("\0\x01\xff", 3)},
      {std::string(kMaxIpcNameBytes, 'n'), 7, INT64_MIN, std::string(kMaxIpcPayloadBytes, 'p')},
  };
  for (const auto& m : messages) {
    const auto frame = EncodeIpcFrame(m);
    ASSERT_TRUE(frame) << m.name;
    const auto back = DecodeIpcFrame(*frame);
    ASSERT_TRUE(back) << m.name;
    EXPECT_EQ(*back, m);
  }
  const auto biggest = EncodeIpcFrame(messages[2]);
  EXPECT_EQ(biggest->size(), kMaxIpcFrameBytes);
}

TEST(IpcFrame, EncoderRefusesWhatBreaksTheLimits) {
  const IpcMessage bad[] = {
      {"", 0, 0, ""},
      {std::string(kMaxIpcNameBytes + 1, 'n'), 0, 0, ""},
      {std::string("a\0b", 3), 0, 0, ""},
      {"Brimvex", 0, 0, std::string(kMaxIpcFrameBytes, 'p')},
  };
  for (const auto& m : bad) {
    std::string error;
    EXPECT_FALSE(EncodeIpcFrame(m, &error)) << m.name.size();
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace brimvex::platform
