// Importing macro and recoil files: what is refused (and why), that a refused file changes
// nothing, and that an accepted one is copied byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "macros/macro_fixture.h"
#include "profiles/file_helpers.h"

namespace brimvex::macros::test {
namespace {

std::string One(const std::string& fields) { return R"({"Events":[)" + fields + "]}"; }
std::string Ev(const std::string& type, const std::string& button, const std::string& action, const std::string& delay) {
  return R"({"Type":)" + type + R"(,"Button":)" + button + R"(,"Action":)" + action + R"(,"Delay":)" + delay + "}";
}

TEST(MacroImport, HostileFilesAreRefusedWithTheirReason) {
  struct Case {
    const char* what;
    std::string bytes;
    ImportFault fault;
  };
  const Case cases[] = {
      {"not JSON", "{\"Events\": [", ImportFault::kNotJson},
      {"an array", "[]", ImportFault::kNotJson},
      {"nested past the reader's depth", One(std::string(2000, '[') + std::string(2000, ']')), ImportFault::kNotJson},
      {"no Events", R"({"Guid":"2024_01_01_00_00_00_000"})", ImportFault::kNoEvents},
      {"Events not an array", R"({"Events":{}})", ImportFault::kNoEvents},
      {"251 events", MacroJson(251), ImportFault::kTooManyEvents},
      {"a null event", One("null"), ImportFault::kBadEvent},
      {"Type 6", One(Ev("6", "1", "\"down\"", "\"1\"")), ImportFault::kBadType},
      {"Type 0", One(Ev("0", "1", "\"down\"", "\"1\"")), ImportFault::kBadType},
      {"Type text", One(Ev("\"10\"", "1", "\"down\"", "\"1\"")), ImportFault::kBadType},
      {"Type 138 (10 + bit 7)", One(Ev("138", "1", "\"down\"", "\"1\"")), ImportFault::kBadType},
      {"Button 256", One(Ev("10", "256", "\"down\"", "\"1\"")), ImportFault::kBadButton},
      {"Button -1", One(Ev("10", "-1", "\"down\"", "\"1\"")), ImportFault::kBadButton},
      {"Action Down", One(Ev("10", "4", "\"Down\"", "\"1\"")), ImportFault::kBadAction},
      {"Action missing", One(R"({"Type":10,"Button":4,"Delay":"1"})"), ImportFault::kBadAction},
      {"Delay 65536", One(Ev("10", "4", "\"up\"", "\"65536\"")), ImportFault::kBadDelay},
      {"Delay -1", One(Ev("10", "4", "\"up\"", "-1")), ImportFault::kBadDelay},
      {"Delay 1.5", One(Ev("10", "4", "\"up\"", "1.5")), ImportFault::kBadDelay},
      {"Delay 12ab", One(Ev("10", "4", "\"up\"", "\"12ab\"")), ImportFault::kBadDelay},
      {"Delay empty", One(Ev("10", "4", "\"up\"", "\"\"")), ImportFault::kBadDelay},
      {"Guid a path", R"({"Events":[],"Guid":"../../x"})", ImportFault::kBadGuid},
      {"Guid a number", R"({"Events":[],"Guid":5})", ImportFault::kBadGuid},
      {"over 256 KiB", std::string(256 * 1024 + 1, ' '), ImportFault::kTooLarge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreFixture f;
    ASSERT_TRUE(f.store.Append("kept").ok);
    Put(f.Path("in.mac"), c.bytes);
    const auto files = f.Files();
    const MacroStore::Change r = f.store.Import(f.Path("in.mac").string());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.check.fault, c.fault) << ImportFaultReason(r.check.fault);
    EXPECT_EQ(f.Files(), files) << "nothing changed";
  }
}

TEST(MacroImport, AcceptedFilesAreCopiedByteForByteAndNamedAfterTheirTitle) {
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t events;
  };
  const Case cases[] = {
      {"250 events", MacroJson(250), 250},
      {"an empty file: a never-saved macro's export", "", 0},
      {"integer delays at the limits", One(Ev("1", "255", "\"down\"", "65535") + "," + Ev("10", "0", "\"up\"", "0")), 2},
      {"types 2 and 3 as stored", One(Ev("2", "7", "\"down\"", "\"00012\"") + "," + Ev("3", "7", "\"up\"", "\"1\"")), 2},
      {"an identifier and other members", R"({"Events":[],"Guid":"2024_01_01_00_00_00_000","Note":1}  )", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreFixture f;
    brimvex::test::TempDir in;
    Put(in.path() / "Combo.mac", c.bytes);
    const MacroStore::Change first = f.store.Import((in.path() / "Combo.mac").string());
    const MacroStore::Change second = f.store.Import((in.path() / "Combo.mac").string());
    ASSERT_TRUE(first.ok && second.ok);
    EXPECT_EQ(first.name, "Combo");
    EXPECT_EQ(second.name, "Combo_2");
    const auto entries = f.store.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_NE(entries[0].guid, entries[1].guid);
    for (const auto& e : entries) EXPECT_EQ(Slurp(f.store.MacroPath(e)), c.bytes);
    EXPECT_EQ(f.store.Events(1).size(), c.events);
  }
}

TEST(MacroImport, WhatIsNotARegularFileIsRefusedUnopened) {
  StoreFixture f;
  brimvex::test::TempDir in;
  const auto fifo = in.path() / "pipe.mac";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directories(in.path() / "folder.mac");
  const auto files = f.Files();
  EXPECT_EQ(f.store.Import(fifo.string()).check.fault, ImportFault::kNotRegular) << "returns: never waits for a writer";
  EXPECT_EQ(f.store.Import((in.path() / "folder.mac").string()).check.fault, ImportFault::kNotRegular);
  EXPECT_EQ(f.store.Import((in.path() / "missing.mac").string()).check.fault, ImportFault::kUnreadable);
  EXPECT_EQ(f.Files(), files);
}

TEST(MacroImport, RecoilFilesAllowNullEventsAndAtMost180) {
  struct Case {
    std::string bytes;
    ImportFault fault;
  };
  const Case cases[] = {
      {MacroJson(180), ImportFault::kNone},
      {MacroJson(181), ImportFault::kTooManyEvents},
      {One("null," + Ev("1", "1", "\"down\"", "10")), ImportFault::kNone},
      {"", ImportFault::kNotJson},
      {One(Ev("1", "1", "\"down\"", "\"70000\"")), ImportFault::kBadDelay},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckImportBytes(c.bytes, FileKind::kShoot).fault, c.fault) << c.bytes.substr(0, 60);
}

}  // namespace
}  // namespace brimvex::macros::test
