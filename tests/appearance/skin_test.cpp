// The background: the observer's order, the choices recorded in main.ini and read back at the
// next start, custom pictures checked and copied (the previous copy removed), fall-backs for
// what cannot be used, and the pop-up panel with its placement and clicks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "appearance/skin_choices.h"
#include "appearance/skin_frame.h"
#include "platform/paths.h"
#include "platform/trace.h"
#include "platform/ui/container.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/headless_frontend.h"
#include "profiles/ini_file.h"
#include "test_support/temp_dir.h"

namespace brimvex::appearance {
namespace {

namespace fs = std::filesystem;
using Status = platform::ImageProbeResult::Status;

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

class Recorder final : public SkinReceiver {
 public:
  Recorder(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
  void ReceiveSkin(const SkinChangedParam& p) override {
    log_.push_back(name_);
    last = p;
  }
  SkinChangedParam last;

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

TEST(SkinObserver, ReceiversHearInRegistrationOrder) {
  SkinObserver observer;
  std::vector<std::string> log;
  Recorder a(log, "a"), b(log, "b"), c(log, "c");
  observer.AddReceiver(&b);
  observer.AddReceiver(&a);
  observer.AddReceiver(&b);  // once only
  observer.AddReceiver(&c);
  observer.RemoveReceiver(&c);
  observer.Broadcast(SkinChangedParam{true, 0xFF112233, {}});
  EXPECT_EQ(log, (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(a.last, (SkinChangedParam{true, 0xFF112233, {}}));
}

class SkinChoicesTest : public ::testing::Test {
 protected:
  SkinChoicesTest() : receiver_(log_, "main") { observer_.AddReceiver(&receiver_); }
  SkinChoices NewChoices() { return SkinChoices(dir_.folder(), Resources() + "skin/", probe_, observer_); }
  std::string Ini() { return dir_.folder() + kSkinIniName; }
  std::string IniText() {
    std::ifstream in(Ini(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::optional<std::string> Recorded(const char* key) {
    const auto ini = profiles::IniFile::Load(Ini());
    return ini ? ini->Get(kSkinSection, key) : std::nullopt;
  }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = pictures_.folder() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::vector<std::string> Copies() {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir_.path()))
      if (e.path().filename().string().starts_with("skin_custom_")) out.push_back(e.path().string());
    return out;
  }

  test::TempDir dir_;
  test::TempDir pictures_;
  ui::HeadlessImageProbe probe_;
  SkinObserver observer_;
  std::vector<std::string> log_;
  Recorder receiver_;
};

TEST_F(SkinChoicesTest, EveryKindOfChoiceIsRecordedAndReadBack) {
  const std::string custom = WriteFile("mine.png", "picture bytes");
  struct Case {
    const char* what;
    std::function<void(SkinChoices&)> choose;
    const char* flags;
  };
  const Case cases[] = {
      {"image", [](SkinChoices& c) { EXPECT_TRUE(c.ChooseImage("skinimage/dusk.png")); }, "1"},
      {"colour", [](SkinChoices& c) { EXPECT_TRUE(c.ChooseColor(0xFF3366CC)); }, "2"},
      {"custom", [&](SkinChoices& c) { EXPECT_TRUE(c.ChooseCustom(custom).accepted); }, "1"},
      {"reset", [](SkinChoices& c) { EXPECT_TRUE(c.Reset()); }, "0"},
  };
  for (const Case& c : cases) {
    SkinChoices choices = NewChoices();
    c.choose(choices);
    const SkinChangedParam shown = receiver_.last;
    EXPECT_EQ(Recorded("FLAGS"), c.flags) << c.what;
    // The next start broadcasts the same.
    receiver_.last = {};
    NewChoices().RestoreStored();
    EXPECT_EQ(receiver_.last, shown) << c.what;
  }
  EXPECT_EQ(Recorded("IMAGE"), kDefaultBackground);
  EXPECT_EQ(Recorded("COLOR"), "#FF3366CC");
  EXPECT_EQ(receiver_.last, (SkinChangedParam{false, 0, kDefaultBackground}));
  // The custom picture's copy went with the reset; the user's own file stays.
  EXPECT_TRUE(Copies().empty());
  EXPECT_TRUE(fs::exists(custom));
}

TEST_F(SkinChoicesTest, OtherLinesOfMainIniStay) {
  std::ofstream(Ini(), std::ios::binary) << "; mine\r\n[WINDOW]\r\nX=3\r\n[skinimage]\r\nflags=0\r\n";
  ASSERT_TRUE(NewChoices().ChooseImage("skinimage/grid.png"));
  EXPECT_EQ(IniText(), "; mine\r\n[WINDOW]\r\nX=3\r\n[skinimage]\r\nflags=1\r\nIMAGE=skinimage/grid.png\r\n");
}

TEST_F(SkinChoicesTest, CustomPicturesAreCopiedUnderNewNamesAndThePreviousCopyGoes) {
  SkinChoices choices = NewChoices();
  const std::string first = WriteFile("a.PNG", "first");
  const std::string second = WriteFile("b.png", "second");
  const CustomPictureResult r1 = choices.ChooseCustom(first);
  ASSERT_TRUE(r1.accepted);
  EXPECT_EQ(fs::path(r1.copy).parent_path(), dir_.path());
  EXPECT_EQ(fs::path(r1.copy).extension(), ".PNG");
  EXPECT_EQ(receiver_.last.image, r1.copy);
  EXPECT_EQ(Recorded("IMAGE"), r1.copy);
  const CustomPictureResult r2 = choices.ChooseCustom(second);
  ASSERT_TRUE(r2.accepted);
  EXPECT_NE(r2.copy, r1.copy);
  EXPECT_FALSE(fs::exists(r1.copy));
  std::ifstream copy(r2.copy);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}), "second");
  EXPECT_EQ(Copies(), std::vector<std::string>{r2.copy});
}

// A decoder that refuses every picture in one way, or takes them all.
class FixedProbe final : public platform::ImageProbe {
 public:
  explicit FixedProbe(Status status) : status_(status) {}
  platform::ImageProbeResult Probe(const std::string&, const platform::ImageLimits&) override {
    ++calls;
    platform::ImageProbeResult r;
    r.status = status_;
    r.reason = "probe says so";
    return r;
  }
  int calls = 0;

 private:
  Status status_;
};

TEST_F(SkinChoicesTest, RefusedPicturesChangeNothing) {
  ASSERT_TRUE(NewChoices().ChooseColor(0xFF102030));
  const std::string ini_before = IniText();
  const std::size_t broadcasts = log_.size();
  platform::ImageLimits small;
  small.max_file_bytes = 64;
  struct Case {
    const char* name;
    std::string bytes;
    Status probe;  // what the decoder says about the copy
    int probes;
    const char* text_key;
  };
  const Case cases[] = {
      {"text.png", "just text", Status::kNotImage, 1, kCustomBadTextKey},
      {"huge.png", "small file, huge header", Status::kTooLarge, 1, kCustomLargeTextKey},
      {"big.png", std::string(65, 'x'), Status::kOk, 0, kCustomLargeTextKey},  // refused before reading
      {"", "", Status::kOk, 0, kCustomBadTextKey},                             // a folder, not a file
  };
  for (const Case& c : cases) {
    const std::string path = c.name[0] != '\0' ? WriteFile(c.name, c.bytes) : pictures_.folder();
    FixedProbe probe(c.probe);
    SkinChoices choices(dir_.folder(), Resources() + "skin/", probe, observer_);
    choices.SetLimits(small);
    const CustomPictureResult r = choices.ChooseCustom(path);
    EXPECT_FALSE(r.accepted) << c.name;
    EXPECT_EQ(r.text_key, c.text_key) << c.name;
    EXPECT_EQ(probe.calls, c.probes) << c.name;
  }
  EXPECT_EQ(log_.size(), broadcasts);
  EXPECT_EQ(IniText(), ini_before);
  EXPECT_TRUE(Copies().empty());
}

TEST_F(SkinChoicesTest, WhatCannotBeUsedAtStartGivesTheDefault) {
  const std::string gone = dir_.folder() + "skin_custom_gone.png";
  struct Case {
    const char* text;
    std::optional<SkinChangedParam> choice;
  };
  const SkinChangedParam standard{false, 0, kDefaultBackground};
  const Case cases[] = {
      {"[SKINIMAGE]\nFLAGS=1\nIMAGE=skinimage/waves.png\n", SkinChangedParam{false, 0, "skinimage/waves.png"}},
      {"[SKINIMAGE]\nFLAGS=2\nCOLOR=#803366CC\n", SkinChangedParam{true, 0x803366CC, {}}},
      {"[OTHER]\nA=1\n", std::nullopt},
      {"", std::nullopt},
      {"[SKINIMAGE]\nFLAGS=1\nIMAGE=skinimage/none.png\n", standard},
      {"[SKINIMAGE]\nFLAGS=1\nIMAGE=\n", standard},
      {"[SKINIMAGE]\nFLAGS=2\nCOLOR=blue\n", standard},
      {"[SKINIMAGE]\nFLAGS=7\n", standard},
  };
  for (const Case& c : cases) {
    std::ofstream(Ini(), std::ios::binary | std::ios::trunc) << c.text;
    platform::TraceCapture traces;
    EXPECT_EQ(NewChoices().StoredChoice(), c.choice) << c.text;
    if (c.choice == standard) {
      EXPECT_TRUE(traces.Contains("default background")) << c.text;
    }
    EXPECT_EQ(IniText(), c.text);
  }
  // A recorded copy that is gone.
  profiles::IniFile ini;
  ini.Set(kSkinSection, "FLAGS", "1");
  ini.Set(kSkinSection, "IMAGE", gone);
  ASSERT_TRUE(ini.Save(Ini()));
  EXPECT_EQ(NewChoices().StoredChoice(), standard);
  // An unreadable main.ini (a folder in its place) is left where it is.
  fs::remove(Ini());
  fs::create_directory(Ini());
  EXPECT_EQ(NewChoices().StoredChoice(), standard);
  EXPECT_FALSE(NewChoices().ChooseColor(0xFF000000));
  EXPECT_TRUE(fs::is_directory(Ini()));
}

// The panel over a main window built from the shipped skin.
class SkinFrameTest : public SkinChoicesTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources_.LoadResource(Resources() + "skin/"));
    resources_.SetLanguageFolder(Resources() + "lang/");
    ui::DialogBuilder builder(resources_, factory_);
    std::string error;
    ASSERT_TRUE(builder.BuildWindow(owner_, "XML_MAIN", &error)) << error;
    owner_.SetHost(frontend_.CreateHost(owner_, ui::WindowStyle{}));
    owner_.Host()->Move(100, 50);
  }
  std::unique_ptr<CSkinFrame> Open(int dpi = 96) {
    owner_.SetDpi(dpi);
    CSkinFrame::Context context;
    context.frontend = &frontend_;
    context.resources = &resources_;
    context.factory = &factory_;
    context.choices = &choices_;
    context.on_close = [this] { ++closed_; };
    context.on_custom = [this] { ++custom_; };
    auto frame = std::make_unique<CSkinFrame>(std::move(context));
    std::string error;
    EXPECT_TRUE(frame->Open(owner_, *owner_.FindControl("skinbtn"), &error)) << error;
    return frame;
  }
  ui::HeadlessWindowHost& HostOf(ui::Window& w) { return *static_cast<ui::HeadlessWindowHost*>(w.Host()); }
  ui::Control* Nth(ui::Window& w, const char* name, int n) {
    std::vector<ui::Control*> found;
    w.Root()->ForEach([&](ui::Control& c) {
      if (c.Name() == name) found.push_back(&c);
    });
    return n < static_cast<int>(found.size()) ? found[static_cast<std::size_t>(n)] : nullptr;
  }

  ui::HeadlessFrontend frontend_;
  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
  ui::Window owner_{"MainWnd", &resources_, &frontend_.Loop()};
  SkinChoices choices_ = NewChoices();
  int closed_ = 0;
  int custom_ = 0;
};

TEST_F(SkinFrameTest, OpensAsAPopUpUnderTheButtonAtEitherDpi) {
  for (const int dpi : {96, 144}) {
    auto frame = Open(dpi);
    ui::Window& w = frame->Window();
    EXPECT_EQ(w.ClassName(), kSkinFrameClass);
    EXPECT_EQ(w.Title(), kSkinFrameTitle);
    EXPECT_TRUE(HostOf(w).Style().popup);
    EXPECT_EQ(HostOf(w).Style().owner, &owner_);
    EXPECT_TRUE(w.IsVisible());
    const ui::Rect anchor = owner_.Host()->ScreenRectOf(*owner_.FindControl("skinbtn"));
    ASSERT_GT(anchor.width, 0);
    EXPECT_EQ(HostOf(w).X() + w.Scale(w.Attributes().width), anchor.x + anchor.width) << dpi;
    EXPECT_EQ(HostOf(w).Y(), anchor.y + anchor.height) << dpi;
    EXPECT_EQ(anchor.y, 50);  // the title bar's top
  }
}

TEST_F(SkinFrameTest, ClicksChooseAndAClickOutsideClosesWithoutAChange) {
  auto frame = Open();
  ui::Window& w = frame->Window();
  auto* tab = w.Find<ui::TabLayout>("skin_tab");
  ASSERT_NE(tab, nullptr);
  ASSERT_TRUE(w.FindControl("skin_color")->Activate());
  EXPECT_EQ(tab->CurrentSel(), 1);
  ASSERT_TRUE(Nth(w, "skin_color_btn", 2)->Activate());
  EXPECT_EQ(receiver_.last, (SkinChangedParam{true, Nth(w, "skin_color_btn", 2)->BkColor(), {}}));
  ASSERT_TRUE(w.FindControl("skin_image")->Activate());
  EXPECT_EQ(tab->CurrentSel(), 0);
  ui::Control* picture = Nth(w, "skin_image_btn", 1);
  ASSERT_TRUE(picture->Activate());
  EXPECT_EQ(receiver_.last, (SkinChangedParam{false, 0, picture->UserData()}));
  EXPECT_EQ(Recorded("IMAGE"), picture->UserData());
  ASSERT_TRUE(w.FindControl("skin_reset")->Activate());
  EXPECT_EQ(Recorded("FLAGS"), "0");
  EXPECT_EQ(closed_, 0);

  const std::size_t heard = log_.size();
  const std::string ini = IniText();
  HostOf(w).LoseFocus();
  EXPECT_EQ(closed_, 1);
  EXPECT_FALSE(w.IsVisible());
  EXPECT_EQ(log_.size(), heard);
  EXPECT_EQ(IniText(), ini);
  // Finished: no second close, and clicks reach nothing.
  HostOf(w).LoseFocus();
  Nth(w, "skin_image_btn", 0)->Activate();
  EXPECT_EQ(closed_, 1);
  EXPECT_EQ(log_.size(), heard);
}

TEST_F(SkinFrameTest, CustomClosesThePanelBeforeTheChooser) {
  auto frame = Open();
  ASSERT_TRUE(frame->Window().FindControl("skin_Custom")->Activate());
  EXPECT_EQ(closed_, 1);
  EXPECT_EQ(custom_, 1);
  EXPECT_TRUE(log_.empty());
  for (const char* name : {"skin_image", "skin_color", "skin_reset", "skin_Custom", "skin_tab"})
    EXPECT_NE(frame->Window().FindControl(name), nullptr) << name;
}

}  // namespace
}  // namespace brimvex::appearance
