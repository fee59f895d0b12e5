// The update check against the loopback update service: what each answer makes of a line, and
// the overall state.
#include <gtest/gtest.h>

#include "platform/curl/curl_http_client.h"
#include "platform/httplib/update_service.h"
#include "update/line_status.h"
#include "update/update_check.h"
#include "update/update_request.h"

namespace brimvex::update {
namespace {

UpdateEntry Keyboard(std::int32_t version) { return {1, 1, version, "QUELT", "Orrin", "KB", "KB", ""}; }
UpdateEntry Program(std::int32_t version) { return {0, 1, version, "QUELT", "ALL", "Halvo", "Halvo", "V1.0.0.0"}; }

struct Recorder final : UpdateCheckView {
  void ShowState(int s) override { states.push_back(s); }
  void AddLine(const UpdateLine& l) override { added.push_back(l); }
  void ReplaceLine(std::size_t, const UpdateLine&) override {}
  void OfferLine(std::size_t, bool o) override { offered.push_back(o); }
  std::vector<int> states;
  std::vector<UpdateLine> added;
  std::vector<bool> offered;
};

struct Case {
  const char* what;
  UpdateEntry entry;
  std::optional<std::string> raw;  // the service's answer; nullopt: no service at all
  int status;
  const char* old_rev;
  const char* update_rev;
  RowOutcome outcome;
  int state;
  int http_status = 200;
};

TEST(UpdateCheck, EachAnswerGivesItsLine) {
  const std::string cut = "{\"name\":\"KB\",\"version\":\"ff\",\"pad\":\"" + std::string(102400, 'x') + "\"}";
  const Case cases[] = {
      {"newer firmware", Keyboard(0x19), R"({"name":"KB","version":"1a","path":"/files/kb.bin"})", 1, "V0019",
       "V1a", RowOutcome::kNewer, kStateNewer},
      {"newer program", Program(1012), R"({"name":"x","version":"1013","version_name":"V1.0.1.3"})", 1, "V1012",
       "V1.0.1.3", RowOutcome::kNewer, kStateNewer},
      {"same program", Program(1012), R"({"name":"x","version":"1012","version_name":"V1.0.1.2"})", 7, "V1012", "",
       RowOutcome::kCurrent, kStateCurrent},
      {"ffffffff is not newer", Keyboard(0x19), R"({"name":"KB","version":"ffffffff"})", 7, "V0019", "",
       RowOutcome::kCurrent, kStateCurrent},
      {"program version abc", Program(1012), R"({"name":"x","version":"abc"})", 7, "V1012", "",
       RowOutcome::kCurrent, kStateCurrent},
      {"empty name", Keyboard(0x19), R"({"name":"","version":"ff"})", 7, "V0019", "", RowOutcome::kNoAnswer,
       kStateCurrent},
      {"name not a string", Keyboard(0x19), R"({"name":5,"version":"ff"})", 7, "V0019", "", RowOutcome::kNoAnswer,
       kStateCurrent},
      {"not JSON", Keyboard(0x19), "<html>", 7, "V0019", "", RowOutcome::kBadAnswer, kStateCurrent},
      {"an array", Keyboard(0x19), R"([{"name":"KB","version":"ff"}])", 7, "V0019", "", RowOutcome::kBadAnswer,
       kStateCurrent},
      {"a number", Program(1012), "42", 7, "V1.0.0.0", "", RowOutcome::kBadAnswer, kStateCurrent},
      {"cut at the buffer's end", Keyboard(0x19), cut, 7, "V0019", "", RowOutcome::kBadAnswer, kStateCurrent},
      {"error status", Keyboard(0x19), R"({"name":"KB","version":"ff"})", 7, "V0019", "", RowOutcome::kUnreachable,
       kStateUnreachable, 500},
      {"no service", Keyboard(0x19), std::nullopt, 7, "V0019", "", RowOutcome::kUnreachable, kStateUnreachable},
  };
  for (const Case& k : cases) {
    platform::UpdateServiceConfig config;
    config.raw = k.raw;
    config.status = k.http_status;
    platform::UpdateService service(config);
    ASSERT_TRUE(service.Start(0, nullptr));
    auto client = platform::curl::CreateCurlHttpClient();
    UpdateCheckSetup setup;
    setup.client = client.get();
    setup.base_url = k.raw ? service.BaseUrl() : "";
    setup.download_folder = "/nowhere/UpdateData/";
    Recorder view;
    const UpdateCheckResult r = RunUpdateCheck({k.entry}, setup, &view);
    ASSERT_EQ(r.lines.size(), 1u) << k.what;
    const UpdateLine& line = r.lines[0];
    EXPECT_EQ(line.status, k.status) << k.what;
    EXPECT_EQ(line.current_text, k.old_rev) << k.what;
    EXPECT_EQ(line.new_text, k.update_rev) << k.what;
    EXPECT_EQ(line.name, k.entry.name) << k.what;
    EXPECT_EQ(r.outcomes.at(0), k.outcome) << k.what;
    EXPECT_EQ(r.state, k.state) << k.what;
    EXPECT_EQ(view.states, (std::vector<int>{kStateChecking, k.state})) << k.what;
    EXPECT_EQ(view.offered, std::vector<bool>{k.status == 1}) << k.what;
  }
}

TEST(UpdateCheck, RequestBodiesAndKeys) {
  const std::string kb = BuildRequestBody(Keyboard(0x19));
  EXPECT_EQ(kb, std::string("app_key=QUELT_1_Orrin_KB_1&version=19\0", 38));
  EXPECT_EQ(BuildRequestBody(Program(1012)), std::string("app_key=QUELT_0_ALL_Halvo_1&version=1012\0", 41));
  EXPECT_EQ(BuildAppKey(Keyboard(0)), "NULL");
  struct Digits {
    const char* text;
    int base;
    std::int32_t value;
  };
  for (const Digits& d : {Digits{"1a", 16, 0x1a}, Digits{"ffffffff", 16, -1}, Digits{"1ffffffff", 16, -1},
                          Digits{"99999999999", 10, static_cast<std::int32_t>(99999999999ull & 0xffffffffu)},
                          Digits{"12x3", 10, 12}, Digits{"", 10, 0}, Digits{"1a", 10, 1}})
    EXPECT_EQ(ParseVersionDigits(d.text, d.base), d.value) << d.text;
  for (const auto& [display, version] : std::vector<std::pair<const char*, int>>{
           {"1.0.2.5", 1025}, {"", kBuiltProgramVersion}, {"...", kBuiltProgramVersion}, {"1.0.1.2", 1012}})
    EXPECT_EQ(ProgramVersionFromDisplay(display), version) << display;
}

TEST(UpdateCheck, TheProgramLineIsApUntilItsAnswer) {
  platform::UpdateServiceConfig config;
  config.answers["QUELT_0_ALL_Halvo_1"] = R"({"name":"x","version":"1012"})";
  platform::UpdateService service(config);
  ASSERT_TRUE(service.Start(0, nullptr));
  auto client = platform::curl::CreateCurlHttpClient();
  UpdateCheckSetup setup{client.get(), service.BaseUrl(), nullptr, nullptr, "/x/"};
  Recorder view;
  const auto r = RunUpdateCheck({Keyboard(0x19), Program(1012)}, setup, &view);
  ASSERT_EQ(view.added.size(), 2u);
  EXPECT_EQ(view.added[1].name, "AP");
  EXPECT_EQ(r.lines[1].name, "Halvo");
  // The keyboard got the default "no name" answer: no failure, so everything is current.
  EXPECT_EQ(r.outcomes[0], RowOutcome::kNoAnswer);
  EXPECT_EQ(r.state, kStateCurrent);
  EXPECT_EQ(RunUpdateCheck({}, setup, nullptr).state, kStateUnreachable);
}

}  // namespace
}  // namespace brimvex::update
