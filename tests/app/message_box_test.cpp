// The modal message box: buttons by mode, the answer of each button, and the DPI check.
#include "app/message_box.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "platform/trace.h"
#include "platform/ui/headless_frontend.h"

namespace brimvex::app {
namespace {

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string res = platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/";
    ASSERT_TRUE(resources_.LoadResource(res + "skin/"));
    resources_.SetLanguageFolder(res + "lang/");
    ASSERT_TRUE(resources_.LoadLanguage("lan_en.xml"));
  }
  ui::HeadlessFrontend frontend_;
  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
};

TEST_F(MessageBoxTest, ButtonsAndAnswers) {
  struct Case {
    int mode;
    const char* press;
    int answer;
    bool cancel_shown;
  };
  const Case cases[] = {
      {0, "confirm_btn", 1, false}, {1, "confirm_btn", 1, true}, {1, "cancel_btn", 0, true},
      {1, "closebtn", 0, true},     {1, nullptr, 0, true},  // closed some other way
  };
  for (const auto& c : cases) {
    bool seen = false;
    frontend_.SetModalHandler([&](ui::Window& w) {
      seen = true;
      EXPECT_EQ(w.ClassName(), "MsgWnd");
      EXPECT_EQ(w.Title(), "msgwnd");
      EXPECT_EQ(w.FindControl("MessageText")->Text(), "Restore the default settings?");
      EXPECT_EQ(w.FindControl("cancel_btn")->IsVisible(), c.cancel_shown);
      EXPECT_TRUE(w.FindControl("confirm_btn")->IsVisible());
      if (c.press != nullptr) w.FindControl(c.press)->Activate();
    });
    MessageBoxArgs args;
    args.text = "message_text_22";
    args.button_mode = c.mode;
    EXPECT_EQ(ShowMessageBox(frontend_, resources_, factory_, args), c.answer)
        << c.mode << " " << (c.press ? c.press : "-");
    EXPECT_TRUE(seen);
  }
}

TEST_F(MessageBoxTest, DpiOutsideTheListFallsBackTo96) {
  for (const int dpi : {96, 144, 100, 0}) {
    platform::TraceCapture traces;
    int applied = 0;
    frontend_.SetModalHandler([&](ui::Window& w) { applied = w.Dpi(); });
    MessageBoxArgs args;
    args.text = "plain words";
    args.text_is_key = false;
    args.dpi = dpi;
    ShowMessageBox(frontend_, resources_, factory_, args);
    const bool valid = dpi == 96 || dpi == 144;
    EXPECT_EQ(applied, valid ? dpi : 96) << dpi;
    EXPECT_EQ(traces.Contains("MSG_WND DPI SET ERROR"), !valid) << dpi;
  }
}

}  // namespace
}  // namespace brimvex::app
