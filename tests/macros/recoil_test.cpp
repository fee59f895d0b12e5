// The recoil editor on its layout over working files in a folder of the test's own and the
// shipped defaults: the six events of a bullet, selection limits, repair, reset and import.
#include <gtest/gtest.h>

#include "devices/macro_block.h"
#include "macros/macro_fixture.h"
#include "macros/shoot_control_ui.h"
#include "platform/paths.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/window.h"
#include "profiles/file_helpers.h"

namespace brimvex::macros::test {
namespace {

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

struct RecoilRig {
  RecoilRig() {
    EXPECT_TRUE(resources.LoadResource(Resources() + "skin/"));
    resources.SetLanguageFolder(Resources() + "lang/");
    EXPECT_TRUE(resources.LoadLanguage("lan_en.xml"));
    factory.Register("CShootControlUI", [] { return std::make_unique<CShootControlUI>(); });
    ui::DialogBuilder builder(resources, factory);
    auto built = builder.CreateFromText(
        R"(<ShootControl name="ShootControlItem"><Include source="XML/CustomControlXML/ShootControl.xml"/></ShootControl>)",
        "test");
    EXPECT_TRUE(built) << built.error;
    editor = dynamic_cast<CShootControlUI*>(built.root.get());
    window.AttachRoot(std::move(built.root));
    EXPECT_TRUE(editor != nullptr && editor->Bound());
    // Page set-up.
    editor->SetWorkingFolder(dir.folder());
    editor->SetDefaultFolder(Resources() + "DefaultData/");
    editor->InitRecoil();
    editor->SelectGun(0);
    editor->SelectBullet(0);
  }
  ui::Control* Find(const std::string& name) { return window.FindControl(name); }
  ui::Option* Check(const std::string& name) { return window.Find<ui::Option>(name); }
  std::string Working(int gun) const { return Slurp(dir.path() / RecoilFileName(gun)); }
  std::string Default(int gun) const { return Slurp(Resources() + "DefaultData/" + RecoilFileName(gun)); }
  void Edit(const std::string& x, bool left, const std::string& y, bool up, const std::string& delay) {
    Find("bullet_x_eidt")->SetText(x);
    Find("bullet_y_eidt")->SetText(y);
    Find("bullet_delay_eidt")->SetText(delay);
    Check("bullet_x_check")->Selected(left, false);
    Check("bullet_y_check")->Selected(up, false);
    EXPECT_TRUE(editor->SaveBullet());
  }

  brimvex::test::TempDir dir;
  ui::ResourceManager resources;
  ui::ControlFactory factory;
  ui::Window window{"MainWnd", &resources, nullptr};
  CShootControlUI* editor = nullptr;
};

std::string EventText(const Json::Value& e) {
  return std::to_string(e["Type"].asInt()) + " " + e["Action"].asString() + " " + std::to_string(e["Button"].asInt()) +
         " " + std::to_string(e["Delay"].asInt());
}

TEST(Recoil, ABulletIsSixEventsOfWhichFiveValuesAreEdited) {
  struct Case {
    std::string x, y, delay;
    bool left, up;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {"3", "7", "95", false, false, {"1 down 1 10", "1 up 1 0", "4 up 3 5", "5 up 7 95", "4 up 0 0", "5 up 0 0"}},
      {"12", "0", "0", true, true, {"1 down 1 10", "1 up 1 0", "4 down 12 5", "5 down 0 0", "4 down 0 0", "5 down 0 0"}},
      {"300", "256", "70000", false, true, {"1 down 1 10", "1 up 1 0", "4 up 255 5", "5 down 255 65535", "4 up 0 0", "5 down 0 0"}},
      {"", "x", "12ab", false, false, {"1 down 1 10", "1 up 1 0", "4 up 0 5", "5 up 0 12", "4 up 0 0", "5 up 0 0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x + "/" + c.y + "/" + c.delay);
    RecoilRig r;
    r.editor->SelectGun(1);
    r.editor->SelectBullet(0);
    const std::string other_gun = r.Working(0);
    r.Edit(c.x, c.left, c.y, c.up, c.delay);
    const Json::Value doc = profiles::ParseJson(r.Working(1));
    ASSERT_EQ(doc["Events"].size(), 180u) << "the rest of the gun stays";
    for (int k = 0; k < 6; ++k) EXPECT_EQ(EventText(doc["Events"][k]), c.events[static_cast<std::size_t>(k)]) << k;
    EXPECT_TRUE(doc["Events"][3]["Delay"].isIntegral()) << "integers in recoil files";
    EXPECT_EQ(r.Working(0), other_gun);
    EXPECT_EQ(r.Find("bullet_x_eidt")->Text(), std::to_string(ReadBullet(doc, 0).x)) << "shows what was stored";
  }
}

TEST(Recoil, SelectionIsClampedAndNumberedFromOne) {
  const std::pair<int, std::string> cases[] = {{30, "30"}, {-1, "1"}, {12, "13"}};
  RecoilRig r;
  for (const auto& [bullet, shown] : cases) {
    r.editor->SelectBullet(bullet);
    EXPECT_EQ(r.Find("bullet_select_index")->Text(), shown);
    EXPECT_TRUE(r.Check("bullet_op_" + std::to_string(std::stoi(shown) - 1))->IsSelected());
  }
  r.editor->SelectGun(9);
  EXPECT_EQ(r.editor->SelectedGun(), 3);
}

TEST(Recoil, MissingWorkingFilesComeFromTheDefaultsAndBrokenOnesAreKeptAside) {
  RecoilRig r;
  for (int g = 0; g < kGuns; ++g) EXPECT_EQ(r.Working(g), r.Default(g));
  std::filesystem::remove(r.dir.path() / RecoilFileName(1));
  Put(r.dir.path() / RecoilFileName(2), "{ broken");
  r.editor->InitRecoil();
  EXPECT_EQ(r.Working(1), r.Default(1));
  EXPECT_EQ(r.Working(2), r.Default(2));
  int kept = 0;
  for (const auto& e : std::filesystem::directory_iterator(r.dir.path()))
    kept += e.path().filename().string().starts_with(RecoilFileName(2) + ".broken-") && Slurp(e.path()) == "{ broken";
  EXPECT_EQ(kept, 1);
}

TEST(Recoil, ADirectionAloneDoesNotTouchTheFileUntilAValueIsStored) {
  RecoilRig r;
  const std::string before = r.Working(0);
  r.Check("bullet_x_check")->Selected(!r.Check("bullet_x_check")->IsSelected(), false);
  r.editor->ShowXDirection();
  EXPECT_EQ(r.Check("bullet_x_check")->TextKey(),
            r.Check("bullet_x_check")->IsSelected() ? "mouse_move_to_left_text" : "mouse_move_to_right_text");
  EXPECT_EQ(r.Working(0), before);
  ASSERT_TRUE(r.editor->SaveBullet());
  EXPECT_NE(r.Working(0), before);
}

TEST(Recoil, ResetAndImportShowTheBulletAtOnceAndHostileImportsChangeNothing) {
  RecoilRig r;
  r.Edit("99", false, "99", false, "999");
  ASSERT_TRUE(r.editor->ResetGun(0));
  EXPECT_EQ(r.Working(0), r.Default(0));
  EXPECT_EQ(r.Find("bullet_x_eidt")->Text(), std::to_string(ReadBullet(profiles::ParseJson(r.Default(0)), 0).x));

  brimvex::test::TempDir in;
  Put(in.path() / "gun.shoot", R"({"Events":[null,null,{"Type":4,"Button":21,"Action":"down","Delay":5},)"
                               R"({"Type":5,"Button":8,"Action":"up","Delay":44}]})");
  EXPECT_TRUE(r.editor->ImportGun((in.path() / "gun.shoot").string()).ok());
  EXPECT_EQ(r.Working(0), Slurp(in.path() / "gun.shoot"));
  EXPECT_EQ(r.Find("bullet_x_eidt")->Text(), "21");
  EXPECT_EQ(r.Find("bullet_delay_eidt")->Text(), "44");
  EXPECT_TRUE(r.Check("bullet_x_check")->IsSelected());

  const std::string kept = r.Working(0);
  const std::pair<std::string, ImportFault> hostile[] = {
      {MacroJson(181), ImportFault::kTooManyEvents},
      {R"({"Events":[{"Type":7,"Button":1,"Action":"down","Delay":1}]})", ImportFault::kBadType},
      {"not json", ImportFault::kNotJson},
  };
  for (const auto& [bytes, fault] : hostile) {
    Put(in.path() / "bad.Shoot", bytes);
    EXPECT_EQ(r.editor->ImportGun((in.path() / "bad.Shoot").string()).fault, fault);
    EXPECT_EQ(r.Working(0), kept);
  }
}

TEST(Recoil, FourFullGunsMakeA2920ByteBlock) {
  RecoilRig r;
  const auto guns = r.editor->Files().DeviceEvents();
  ASSERT_EQ(guns.size(), 4u);
  for (const auto& g : guns) EXPECT_EQ(g.size(), 180u);
  const devices::MacroBlock block = devices::BuildMacroBlock(guns, 4096);
  ASSERT_EQ(block.result, 0);
  EXPECT_EQ(block.bytes.size(), 2920u);
  for (int g = 0; g < kGuns; ++g)
    EXPECT_TRUE(CheckImportBytes(r.Default(g), FileKind::kShoot).ok()) << "the defaults are recoil files";
}

}  // namespace
}  // namespace brimvex::macros::test
