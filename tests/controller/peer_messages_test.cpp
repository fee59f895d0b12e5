// What other programs reach through the hub: the admitted names, copy data, the device-list
// reply and brimvexctl's requests and their answers.
#include <gtest/gtest.h>

#include "app/device_list_block.h"
#include "discovery/controller_fixture.h"
#include "platform/process.h"

namespace brimvex::app::test {
namespace {

class PeerMessagesTest : public ControllerFixture {
 protected:
  void Deliver(const PeerMessage& m) {
    wnd_->HandlePeerMessage(m);
    loop().RunPending();
  }
};

class RecordingAudioLight final : public AudioLightInput {
 public:
  void OnSpectrumBuffer(std::span<const std::uint8_t, kAudioBuffer1Bytes> b) override {
    spectrum.emplace_back(b.begin(), b.end());
  }
  void OnColorBuffer(std::span<const std::uint8_t, kAudioBuffer2Bytes> b) override { color.emplace_back(b.begin(), b.end()); }
  std::vector<std::vector<std::uint8_t>> spectrum, color;
};

TEST_F(PeerMessagesTest, OnlyAdmittedNamesGetInAndAnUnknownOneRegistersNothing) {
  Start();
  const std::uint32_t before = platform::RegisterWindowMessage("peer-test-probe-1");
  Deliver({"SomeOutsideName", 0, 0, {}});
  EXPECT_EQ(platform::RegisterWindowMessage("peer-test-probe-2"), before + 1);
  EXPECT_TRUE(traces_.Contains("ipc: dropped unknown message SomeOutsideName"));
  // A private number cannot be named from outside.
  Deliver({"0x0C13", 0, 0, {}});
  EXPECT_TRUE(traces_.Contains("ipc: dropped unknown message 0x0C13"));
  // An admitted one is handled: UWM_LIGHT_CONTROL_SET sets the flag without a broadcast.
  peers_.broadcasts.clear();
  Deliver({std::string(kLightControlSetName), 1, 0, {}});
  EXPECT_EQ(wnd_->LightControl(), 0);
  Deliver({std::string(kLightControlSetName), 0, 1, {}});  // only with wParam 1
  EXPECT_EQ(wnd_->LightControl(), 0);
  Deliver({std::string(kLightControlSetName), 1, 1, {}});
  EXPECT_EQ(wnd_->LightControl(), 1);
  EXPECT_TRUE(peers_.broadcasts.empty());
}

TEST_F(PeerMessagesTest, CopyDataTakesOnlyFramesOfTheirExactLength) {
  Start();
  RecordingAudioLight light;
  wnd_->CopyData().SetAudioLight(&light);
  struct Case {
    std::int64_t kind;
    std::size_t bytes;
    bool kept;
  };
  const Case cases[] = {{1, 2000, true}, {2, 24, true},   {1, 0, false},  {1, 1996, false}, {1, 2004, false},
                        {2, 23, false},  {2, 25, false},  {2, 0, false},  {3, 8, false}};
  char fill = 'a';
  for (const Case& c : cases) {
    const auto spectrum = light.spectrum.size();
    const auto color = light.color.size();
    Deliver({std::string(kCopyDataName), 4242, c.kind, std::string(c.bytes, fill)});
    const bool kept = light.spectrum.size() > spectrum || light.color.size() > color;
    EXPECT_EQ(kept, c.kept) << c.kind << "/" << c.bytes;
    const std::size_t need = c.kind == 1 ? 2000u : 24u;
    const bool dropped = traces_.Contains("copydata: dropped kind " + std::to_string(c.kind) + ", " +
                                          std::to_string(c.bytes) + " bytes (need " + std::to_string(need) + ")");
    EXPECT_EQ(dropped, c.bytes != 0 && c.bytes != need && c.kind <= 2) << c.kind << "/" << c.bytes;
    ++fill;
  }
  // The buffers still hold the kept frames, 'a' x 2000 and 'b' x 24: nothing shorter got mixed in.
  EXPECT_EQ(wnd_->CopyData().First()[0], 'a');
  EXPECT_EQ(wnd_->CopyData().First()[1999], 'a');
  EXPECT_EQ(wnd_->CopyData().Second()[0], 'b');
  EXPECT_EQ(wnd_->CopyData().Second()[23], 'b');
  wnd_->CopyData().SetAudioLight(nullptr);
}

TEST_F(PeerMessagesTest, TheDeviceListGoesToVudiRuvuByteForByte) {
  Start();
  Deliver({std::string(kDeviceListQueryName), 0, 0, {}});
  ASSERT_EQ(peers_.posted.size(), 1u);
  const auto& [to, m] = peers_.posted[0];
  EXPECT_EQ(to, "VudiRuvu");
  EXPECT_EQ(m.name, "WM_COPYDATA");
  EXPECT_EQ(m.wparam, static_cast<std::uint64_t>(platform::CurrentProcessId()));
  EXPECT_EQ(m.lparam, 5);
  const std::uint32_t words[] = {2, 3, 0, 2, 4, 0x5E1D, 0x4A10, 2, 0x05AC, 0x024E, 1, 0x5E1D, 0x4B04, 3, 0x0C76, 0x1630, 7};
  std::string expected(1024, '\0');
  for (std::size_t i = 0; i < std::size(words); ++i)
    for (std::size_t b = 0; b < 4; ++b) expected[4 * i + b] = static_cast<char>(words[i] >> (8 * b));
  EXPECT_EQ(m.payload, expected);
  const auto rows = ParseDeviceListBlock(m.payload);
  ASSERT_TRUE(rows.has_value());
  EXPECT_EQ(rows->size(), 4u);
}

TEST_F(PeerMessagesTest, RequestsAreAnsweredToTheirBrimvexctlOnly) {
  Start();
  ASSERT_TRUE(wnd_->Requests().Add("echo", [](const std::vector<std::string>& args) {
    return ControlAnswer{args.empty() ? kExitMalformed : kExitDone, args.empty() ? "echo what?" : args[0]};
  }));
  EXPECT_FALSE(wnd_->Requests().Add("echo", [](const std::vector<std::string>&) { return ControlAnswer{}; }));
  struct Case {
    ControlRequest request;
    bool answered;
    int exit_code;
    const char* text;
  };
  const Case cases[] = {
      {{7, "brimvexctl-7", {"echo", "hello"}}, true, kExitDone, "hello"},
      {{8, "brimvexctl-8", {"echo"}}, true, kExitMalformed, "echo what?"},
      {{9, "brimvexctl-9", {"toaster"}}, true, kExitMalformed, "unknown request \"toaster\""},
      {{10, "VudiRuvu", {"echo", "x"}}, false, 0, ""},      // not a brimvexctl: no answer
      {{11, "brimvexctl-", {"echo", "x"}}, false, 0, ""},   // no name after the prefix
  };
  for (const Case& c : cases) {
    peers_.posted.clear();
    Deliver(EncodeRequest(c.request));
    ASSERT_EQ(peers_.posted.size(), c.answered ? 1u : 0u) << c.request.reply_to;
    if (!c.answered) continue;
    EXPECT_EQ(peers_.posted[0].first, c.request.reply_to);
    const auto answer = DecodeAnswer(peers_.posted[0].second, c.request.id);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->exit_code, c.exit_code);
    EXPECT_EQ(answer->text, c.text);
    EXPECT_FALSE(DecodeAnswer(peers_.posted[0].second, c.request.id + 1).has_value());
  }
  // Truncated payloads and requests without a verb are dropped.
  peers_.posted.clear();
  Deliver({std::string(kRequestName), 1, 0, "brimvexctl-1"});
  Deliver({std::string(kRequestName), 1, 0, std::string("brimvexctl-1\0", 13)});
  EXPECT_TRUE(peers_.posted.empty());
}

}  // namespace
}  // namespace brimvex::app::test
