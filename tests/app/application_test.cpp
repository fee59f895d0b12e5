// The entry sequence: hand-over by a second instance, the start-up failure message, and a run
// from start to a terminate request with the fonts of the program folder.
#include "app/application.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fake_peer_link.h"
#include "platform/paths.h"
#include "platform/trace.h"
#include "platform/ui/headless_frontend.h"
#include "test_support/temp_dir.h"

namespace brimvex::app {
namespace {

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

TEST(ApplicationTest, SecondInstanceHandsOverAndEndsWithoutAWindow) {
  FakePeerLink peers;
  peers.lock_taken = true;
  bool frontend_made = false;
  ApplicationSetup setup{Resources(),
                         [&] {
                           frontend_made = true;
                           return std::unique_ptr<ui::Frontend>();
                         },
                         &peers};
  EXPECT_EQ(RunApplication(setup), 0);
  EXPECT_FALSE(frontend_made);
  EXPECT_EQ(peers.lock_name, "Brimvex");
  ASSERT_EQ(peers.posted.size(), 1u);
  EXPECT_EQ(peers.posted[0].first, "Brimvex");
  EXPECT_EQ(peers.posted[0].second.name, "Brimvex");
  EXPECT_EQ(peers.posted[0].second.wparam, 0u);
  EXPECT_EQ(peers.posted[0].second.lparam, 1);
}

TEST(ApplicationTest, BrokenSkinEndsWithAMessageNamingTheFile) {
  test::TempDir program;
  std::filesystem::create_directories(program.path() / "skin");
  std::ofstream(program.path() / "skin/res.xml")
      << R"(<Resources><Resource key="XML_MAIN" file="main.xml"/></Resources>)";
  std::ofstream(program.path() / "skin/main.xml") << R"(<Window size="800,572"><Gizmo/></Window>)";
  FakePeerLink peers;
  platform::TraceCapture traces;
  ApplicationSetup setup{program.folder(), [] { return std::make_unique<ui::HeadlessFrontend>(); }, &peers};
  EXPECT_EQ(RunApplication(setup), 1);
  EXPECT_TRUE(traces.Contains("main.xml"));
  EXPECT_TRUE(traces.Contains("unknown element <Gizmo>"));
  EXPECT_TRUE(peers.released);
}

TEST(ApplicationTest, RunsUntilTerminatedWithTheFontsThatArePresent) {
  test::TempDir program;
  for (const char* d : {"skin", "lang"}) std::filesystem::create_directory_symlink(Resources() + d, program.path() / d);
  std::filesystem::create_directories(program.path() / "Font");
  // Two of the four files; one of them empty (unreadable as a font).
  std::ofstream(program.path() / "Font/Gravon-Regular.otf") << "OTTO font bytes";
  std::ofstream(program.path() / "Font/NotoSansThai-Regular.ttf");
  FakePeerLink peers;
  platform::TraceCapture traces;
  ui::HeadlessFrontend* seen = nullptr;
  std::size_t fonts_while_running = 99;
  ApplicationSetup setup{program.folder(),
                         [&] {
                           auto f = std::make_unique<ui::HeadlessFrontend>();
                           seen = f.get();
                           // The first task of the loop: a terminate request, as SIGTERM makes.
                           f->HeadlessLoop().Post([&] {
                             fonts_while_running = seen->LiveFonts().size();
                             seen->RequestTerminate();
                           });
                           return f;
                         },
                         &peers};
  EXPECT_EQ(RunApplication(setup), 0);
  EXPECT_EQ(fonts_while_running, 1u);
  EXPECT_EQ(peers.listen_name, "Brimvex");
  EXPECT_TRUE(peers.released);
  const auto lines = traces.Lines();
  const auto at = [&](std::string_view text) {
    const auto it = std::find_if(lines.begin(), lines.end(),
                                 [&](const std::string& l) { return l.find(text) != std::string::npos; });
    return it - lines.begin();
  };
  EXPECT_LT(at("软件标示："), at("InitWindow"));
  EXPECT_LT(at("InitWindow"), at("windowinit"));
  EXPECT_LT(at("windowinit"), at("退出测试"));
  EXPECT_LT(at("退出测试"), at("同步灯光线程设定退出"));
  EXPECT_LT(at("同步灯光线程设定退出"), at("所有对象处于激发状态"));
  EXPECT_LT(at("所有对象处于激发状态"), static_cast<std::ptrdiff_t>(lines.size()));
}

}  // namespace
}  // namespace brimvex::app
