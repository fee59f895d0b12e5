// Controls raise the notifications a click, a selection or a slider move raises, keep their
// state, and run their timers on the event loop.
#include "platform/ui/controls.h"

#include <gtest/gtest.h>

#include "platform/headless_event_loop.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/palette_face.h"

namespace brimvex::ui {
namespace {

struct Seen {
  std::string type;
  std::string sender;
  std::uint64_t wparam;
  std::int64_t lparam;
  bool operator==(const Seen&) const = default;
};

class Log final : public Notifier {
 public:
  void Notify(Notification& n) override { seen.push_back({n.type, n.sender->Name(), n.wparam, n.lparam}); }
  std::vector<Seen> seen;
};

class ControlsTest : public ::testing::Test {
 protected:
  void Build(const char* xml) {
    DialogBuilder builder(resources_, factory_);
    auto r = builder.CreateFromText(xml, "test.xml");
    ASSERT_TRUE(r) << r.error;
    window_.AttachRoot(std::move(r.root));
    window_.AddNotifier(&log_);
  }
  platform::HeadlessEventLoop loop_;
  ResourceManager resources_;
  ControlFactory factory_;
  Window window_{"MainWnd", &resources_, &loop_};
  Log log_;
};

TEST_F(ControlsTest, ClicksRaiseTheirNotifications) {
  Build(R"(<VerticalLayout name="root">
      <Button name="b"/><Button name="off" enabled="false"/><Button name="hidden" visible="false"/>
      <CheckBox name="chk"/>
    </VerticalLayout>)");
  EXPECT_TRUE(window_.FindControl("b")->Activate());
  EXPECT_FALSE(window_.FindControl("off")->Activate());
  EXPECT_FALSE(window_.FindControl("hidden")->Activate());
  window_.FindControl("chk")->Activate();
  EXPECT_EQ(log_.seen,
            (std::vector<Seen>{{"click", "b", 0, 0}, {"selectchanged", "chk", 0, 0}, {"checkclick", "chk", 0, 0}}));
  EXPECT_TRUE(window_.Find<CheckBox>("chk")->IsChecked());
}

TEST_F(ControlsTest, OptionsOfAGroupAreExclusiveAndShowTheirTabPage) {
  Build(R"(<VerticalLayout name="root">
      <Option name="a" group="g" selected="true" bindtablayoutname="pages" bindtabindex="0"/>
      <Option name="b" group="g" bindtablayoutname="pages" bindtabindex="1"/>
      <Option name="free"/>
      <TabLayout name="pages"><Label name="p0"/><Label name="p1"/></TabLayout>
    </VerticalLayout>)");
  auto* a = window_.Find<Option>("a");
  auto* b = window_.Find<Option>("b");
  auto* pages = window_.Find<TabLayout>("pages");
  EXPECT_TRUE(window_.FindControl("p0")->IsVisible());
  EXPECT_FALSE(window_.FindControl("p1")->IsVisible());
  b->Activate();
  EXPECT_TRUE(b->IsSelected());
  EXPECT_FALSE(a->IsSelected());
  EXPECT_EQ(pages->CurrentSel(), 1);
  EXPECT_TRUE(window_.FindControl("p1")->IsVisible());
  EXPECT_FALSE(window_.FindControl("p0")->IsVisible());
  b->Activate();  // clicking the selected option of a group keeps it selected
  EXPECT_TRUE(b->IsSelected());
  auto* free = window_.Find<Option>("free");
  free->Activate();
  free->Activate();
  EXPECT_FALSE(free->IsSelected());
  EXPECT_FALSE(pages->SelectItem(2));
  EXPECT_EQ(pages->CurrentSel(), 1);
}

TEST_F(ControlsTest, SlidersCombosListsEditsAndPalette) {
  Build(R"(<VerticalLayout name="root">
      <Slider name="s" min="0" max="10" value="3"/>
      <Combo name="c"><ListElement name="c0" text="a"/><ListElement name="c1" text="b"/></Combo>
      <Edit name="e" maxchar="4"/>
      <ColorPalette name="p"/>
    </VerticalLayout>)");
  auto* s = window_.Find<Slider>("s");
  s->UserMoveValue(7);
  s->UserSetValue(42);  // clamped to the range
  EXPECT_EQ(s->Value(), 10);
  auto* c = window_.Find<Combo>("c");
  EXPECT_TRUE(c->SelectItem(1));
  EXPECT_FALSE(c->SelectItem(5));
  c->SelectItem(1);  // no change, no notification
  window_.FindControl("c0")->Activate();
  auto* e = window_.Find<Edit>("e");
  e->UserSetText("ab中文");  // cut at a character boundary, not inside "中"
  EXPECT_EQ(e->Text(), "ab");
  e->UserFocus(false);
  window_.Find<ColorPalette>("p")->UserPickColor(0xFF102030);
  const std::vector<Seen> expected = {
      {"movevaluechanged", "s", 7, 0}, {"valuechanged", "s", 10, 0},
      {"itemselect", "c", 1, -1},      {"itemselect", "c", 0, 1},
      {"itemclick", "c0", 0, 0},       {"textchanged", "e", 0, 0},
      {"killfocus", "e", 0, 0},        {"colorchanged", "p", 0xFF102030, 0},
  };
  EXPECT_EQ(log_.seen, expected);
}

TEST_F(ControlsTest, PaletteTakesTheColourPaintedUnderThePointer) {
  Build(R"(<VerticalLayout name="root"><ColorPalette name="p"/></VerticalLayout>)");
  auto* p = window_.Find<ColorPalette>("p");
  constexpr int kW = 180, kH = 140;
  const int square = kH - PaletteStripHeight(kH);
  // Square corners at full brightness, then the strip's ends.
  EXPECT_EQ(PaletteColorAt(*p, 0, 0, kW, kH), 0xFFFF0000u);
  EXPECT_EQ(PaletteColorAt(*p, 0, square - 1, kW, kH), 0xFFFFFFFFu);
  EXPECT_EQ(PaletteColorAt(*p, kW / 3, 0, kW, kH), 0xFF00FF00u);
  EXPECT_EQ(PaletteColorAt(*p, 0, kH - 1, kW, kH), 0xFF000000u);
  EXPECT_EQ(PaletteColorAt(*p, kW - 1, kH - 1, kW, kH), 0xFFFF0000u);
  // Every point picked, square and strip alike, selects exactly the colour shown there.
  for (int y = 0; y < kH; y += 7) {
    for (int x = 0; x < kW; x += 11) {
      const std::uint32_t shown = PaletteColorAt(*p, x, y, kW, kH);
      PalettePickAt(*p, x, y, kW, kH);
      ASSERT_EQ(p->SelectedColor(), shown) << x << "," << y;
      ASSERT_EQ(log_.seen.back(), (Seen{"colorchanged", "p", shown, 0}));
    }
  }
  // A colour set from outside moves the mark onto it; its pick gives it back.
  p->SetSelectedColor(0xFF00FF00);
  const PaletteMark m = PaletteMarkOf(*p, kW, kH);
  EXPECT_EQ(m.y, 0);
  EXPECT_EQ(m.strip_x, kW - 1);
  EXPECT_EQ(PaletteColorAt(*p, m.x, m.y, kW, kH), 0xFF00FF00u);
  // A pick of black on the strip keeps the hue and saturation: only the brightness moves.
  PalettePickAt(*p, m.x, m.y, kW, kH);
  PalettePickAt(*p, 0, kH - 1, kW, kH);
  EXPECT_EQ(p->SelectedColor(), 0xFF000000u);
  EXPECT_EQ(PaletteMarkOf(*p, kW, kH).x, m.x);
  EXPECT_EQ(PaletteMarkOf(*p, kW, kH).strip_x, 0);
  EXPECT_EQ(PaletteColorAt(*p, kW - 1, kH - 1, kW, kH), 0xFF00FF00u);
}

TEST_F(ControlsTest, ControlTimersRunOnTheLoopAndDieWithTheControl) {
  Build(R"(<VerticalLayout name="root"><Label name="l"/><Label name="gone"/></VerticalLayout>)");
  Control* l = window_.FindControl("l");
  Control* gone = window_.FindControl("gone");
  window_.SetTimer(l, 1001, platform::Millis(500));
  window_.SetTimer(gone, 1002, platform::Millis(100));
  ASSERT_TRUE(static_cast<Container*>(window_.Root())->Remove(gone));
  EXPECT_FALSE(loop_.HasTimer(gone, 1002));
  loop_.AdvanceClock(platform::Millis(1000));
  EXPECT_EQ(log_.seen, (std::vector<Seen>{{"timer", "l", 1001, 0}, {"timer", "l", 1001, 0}}));
  window_.KillTimer(l, 1001);
  loop_.AdvanceClock(platform::Millis(1000));
  EXPECT_EQ(log_.seen.size(), 2u);
}

TEST_F(ControlsTest, TextKeysResolveThroughTheLanguageThenTheQueryInterface) {
  struct Query final : TextQuery {
    std::optional<std::string> QueryText(std::string_view key) override {
      if (key == "from_query") return "queried";
      return std::nullopt;
    }
  } query;
  resources_.SetTextQueryInterface(&query);
  Build(R"(<VerticalLayout name="root">
      <Label name="q" textkey="from_query"/><Label name="none" textkey="no_such_key"/>
    </VerticalLayout>)");
  EXPECT_EQ(window_.FindControl("q")->Text(), "queried");
  EXPECT_EQ(window_.FindControl("none")->Text(), "no_such_key");
  resources_.SetTextQueryInterface(nullptr);
}

TEST(ParseColorTest, Forms) {
  std::uint32_t c = 0;
  EXPECT_TRUE(ParseColor("#FF2FB8C4", c));
  EXPECT_EQ(c, 0xFF2FB8C4u);
  EXPECT_TRUE(ParseColor("0x102030", c));
  EXPECT_EQ(c, 0xFF102030u);
  for (const char* bad : {"", "#", "#12345", "FF2FB8C4", "#GG0000", "#FF2FB8C4FF"})
    EXPECT_FALSE(ParseColor(bad, c)) << bad;
}

}  // namespace
}  // namespace brimvex::ui
