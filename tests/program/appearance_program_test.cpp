// `brimvex --emulate` under Xvfb: a language and a background chosen with brimvexctl hold after a
// restart of the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "program/program_under_xvfb.h"

namespace brimvex::test {
namespace {

TEST(ProgramAppearance, LanguageAndBackgroundHoldAfterARestart) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start());
  for (const std::string_view choice : {"Chinese", "English"}) {
    SCOPED_TRACE(choice);
    CtlRun run = program.Ctl({"language", std::string(choice)});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    run = program.Ctl({"skin", "color=3366CC"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, "color=3366CC\n");
    EXPECT_EQ(program.Stop(), 0);

    ASSERT_TRUE(program.Start());
    run = program.Ctl({"language"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("* " + std::string(choice == "Chinese" ? "0 " : "1 ") + std::string(choice)), std::string::npos)
        << run.out;
    run = program.Ctl({"skin"});
    EXPECT_EQ(run.out, "color=3366CC\n");
    ASSERT_EQ(program.Ctl({"skin", "reset"}).exit_code, 0);
  }
}

}  // namespace
}  // namespace brimvex::test
