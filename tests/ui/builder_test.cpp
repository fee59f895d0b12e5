// The layout builder: element resolution order (model, factory, CreateControl), attributes,
// includes, and errors that name the file.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/list_controls.h"
#include "test_support/temp_dir.h"

namespace brimvex::ui {
namespace {

class Recorder final : public CreateControlCallback {
 public:
  std::unique_ptr<Control> CreateControl(std::string_view name) override {
    asked.emplace_back(name);
    if (name == "DeviceOption") return std::make_unique<HorizontalLayout>();
    return nullptr;
  }
  std::vector<std::string> asked;
};

class BuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Write("res.xml", R"(<Resources><Resource key="XML_T" file="XML/t.xml"/></Resources>)");
    ASSERT_TRUE(resources_.LoadResource(dir_.folder()));
  }
  void Write(const std::string& name, const std::string& text) {
    std::filesystem::create_directories((dir_.path() / name).parent_path());
    std::ofstream(dir_.path() / name) << text;
  }
  test::TempDir dir_;
  ResourceManager resources_;
  ControlFactory factory_;
  Recorder callback_;
};

TEST_F(BuilderTest, ResolvesModelThenFactoryThenCreateControl) {
  ASSERT_TRUE(factory_.Register("CSelectPanelUI", [] { return std::make_unique<VerticalLayout>(); }));
  EXPECT_FALSE(factory_.Register("CSelectPanelUI", [] { return std::make_unique<Control>(); }));
  Write("XML/t.xml", R"(<Window size="630,500" title="t">
      <VerticalLayout name="root">
        <CSelectPanelUI name="panel"><Button name="b" text="go" userdata="7" visible="false"/></CSelectPanelUI>
        <DeviceOption name="entry"/>
        <Combo name="c" cursel="1"><ListElement text="a"/><ListElement text="b" userdata="x"/></Combo>
      </VerticalLayout></Window>)");
  DialogBuilder builder(resources_, factory_, &callback_);
  Window w("SetWnd", &resources_, nullptr);
  std::string error;
  ASSERT_TRUE(builder.BuildWindow(w, "XML_T", &error)) << error;
  EXPECT_EQ(w.Attributes().width, 630);
  EXPECT_EQ(w.Title(), "t");
  EXPECT_EQ(callback_.asked, std::vector<std::string>{"DeviceOption"});
  auto* b = w.Find<Button>("b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Text(), "go");
  EXPECT_EQ(b->UserData(), "7");
  EXPECT_FALSE(b->IsVisible());
  EXPECT_EQ(b->Parent(), w.FindControl("panel"));
  auto* c = w.Find<Combo>("c");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->CurSel(), 1);
  EXPECT_EQ(c->ChildAt(1)->UserData(), "x");
}

TEST_F(BuilderTest, IncludeBuildsAnotherFileInPlace) {
  Write("XML/CustomControlXML/Part.xml", R"(<HorizontalLayout name="part"><Label name="inner"/></HorizontalLayout>)");
  Write("XML/t.xml",
        R"(<VerticalLayout name="root"><Include source="XML\CustomControlXML\Part.xml"/></VerticalLayout>)");
  DialogBuilder builder(resources_, factory_);
  auto r = builder.Create("XML_T");
  ASSERT_TRUE(r) << r.error;
  EXPECT_NE(r.root->FindControl("inner"), nullptr);
}

struct BadCase {
  const char* what;
  const char* text;     // nullptr: the file is missing
  const char* message;  // part of the error
};

TEST_F(BuilderTest, BadLayoutsGiveAnErrorNamingTheFile) {
  const BadCase cases[] = {
      {"unknown element", R"(<VerticalLayout><Gizmo name="g"/></VerticalLayout>)", "unknown element <Gizmo>"},
      {"missing file", nullptr, "cannot open"},
      {"broken xml", R"(<VerticalLayout><Button></VerticalLayout>)", ":1:"},
      {"bad attribute", R"(<VerticalLayout><Button width="wide"/></VerticalLayout>)", "attribute width"},
      {"bad colour", R"(<VerticalLayout bkcolor="red"/>)", "bkcolor"},
      {"child of a leaf", R"(<Button><Label/></Button>)", "cannot hold"},
      {"two roots", R"(<Window><Label/><Label/></Window>)", "one root"},
      {"bad size", R"(<Window size="0,10"><Label/></Window>)", "window size"},
      {"missing include", R"(<VerticalLayout><Include source="nope.xml"/></VerticalLayout>)", "nope.xml"},
      {"self include", R"(<VerticalLayout><Include source="XML/t.xml"/></VerticalLayout>)", "too deeply"},
  };
  DialogBuilder builder(resources_, factory_, &callback_);
  for (const auto& c : cases) {
    std::filesystem::remove(dir_.path() / "XML/t.xml");
    if (c.text != nullptr) Write("XML/t.xml", c.text);
    Window w("MainWnd", &resources_, nullptr);
    std::string error;
    EXPECT_FALSE(builder.BuildWindow(w, "XML_T", &error)) << c.what;
    EXPECT_NE(error.find("t.xml"), std::string::npos) << c.what << ": " << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
    EXPECT_EQ(w.Root(), nullptr) << c.what;
  }
}

TEST_F(BuilderTest, BrokenResourceListIsReported) {
  Write("res.xml", R"(<Resources><Thing/></Resources>)");
  EXPECT_FALSE(resources_.LoadResource(dir_.folder()));
  EXPECT_NE(resources_.LastError().find("res.xml"), std::string::npos);
  std::filesystem::remove(dir_.path() / "res.xml");
  EXPECT_FALSE(resources_.LoadResource(dir_.folder()));
  EXPECT_NE(resources_.LastError().find("not found"), std::string::npos);
}

TEST_F(BuilderTest, FontsOfTheWindowGoToTheSharedTable) {
  Write("XML/t.xml", R"(<Window size="10,10"><Font default="true" face="A" size="14"/>
      <Font id="50" face="A" size="18" bold="true"/><Label/></Window>)");
  DialogBuilder builder(resources_, factory_);
  ASSERT_TRUE(builder.Create("XML_T"));
  EXPECT_EQ(resources_.Font(50).size, 18);
  EXPECT_TRUE(resources_.Font(50).bold);
  EXPECT_EQ(resources_.Font(7).face, "A");  // unknown ids take the default font
  resources_.RemoveAllFonts();
  EXPECT_FALSE(resources_.Font(50).bold);
}

}  // namespace
}  // namespace brimvex::ui
