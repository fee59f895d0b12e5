#include "update/update_check.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/local_time.h"
#include "platform/paths.h"
#include "platform/trace.h"
#include "update/line_status.h"
#include "update/update_answer.h"
#include "update/update_request.h"

#ifndef BRIMVEX_UPDATE_BASE_URL
#define BRIMVEX_UPDATE_BASE_URL ""
#endif

namespace brimvex::update {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string SafeName(std::string_view s, std::size_t max) {
  std::string out;
  for (const char c : s) {
    if (out.size() >= max) break;
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') out.push_back(c);
  }
  return out;
}

}  // namespace

const char* RowOutcomeWord(RowOutcome o) {
  switch (o) {
    case RowOutcome::kNewer:
      return "newer";
    case RowOutcome::kCurrent:
      return "current";
    case RowOutcome::kNoAnswer:
      return "no-answer";
    case RowOutcome::kBadAnswer:
      return "bad-answer";
    case RowOutcome::kUnreachable:
      return "unreachable";
  }
  return "unreachable";
}

std::string LocalFileFor(const std::string& folder, const std::string& name, const std::string& path) {
  std::string last = path.substr(0, path.find_first_of("?#"));
  last = last.substr(last.find_last_of('/') == std::string::npos ? 0 : last.find_last_of('/') + 1);
  const std::size_t dot = last.find_last_of('.');
  std::string ext = dot == std::string::npos ? std::string() : SafeName(last.substr(dot + 1), 8);
  if (ext.empty()) ext = "bin";
  std::string base = SafeName(name, 64);
  if (base.empty()) base = "update";
  return folder + base + "." + ext;
}

std::string ServiceBaseUrl() {
  if (const auto env = platform::GetEnv("BRIMVEX_UPDATE_URL"); env && !env->empty()) return *env;
  return BRIMVEX_UPDATE_BASE_URL;
}

std::string TodayText() {
  const platform::LocalTime t = platform::LocalTimeNow();
  char text[32];
  std::snprintf(text, sizeof text, "%d-%d-%d", t.year, t.month, t.day);
  return text;
}

UpdateLine FirstLine(const UpdateEntry& e, std::size_t position, const std::string& download_folder) {
  UpdateLine line;
  line.name = EqualsNoCase(e.project_code, "ALL") ? "AP" : e.name;
  line.current_text = CurrentVersionText(e);
  line.status = kLineCurrent;
  line.position = static_cast<int>(position);
  line.program = e.IsProgram();
  line.local_file = LocalFileFor(download_folder, line.name, line.path);
  return line;
}

UpdateCheckResult RunUpdateCheck(const std::vector<UpdateEntry>& entries, const UpdateCheckSetup& setup,
                                 UpdateCheckView* view) {
  UpdateCheckResult result;
  if (view != nullptr) view->ShowState(kStateChecking);
  for (std::size_t k = 0; k < entries.size(); ++k) {
    result.lines.push_back(FirstLine(entries[k], k, setup.download_folder));
    if (view != nullptr) view->AddLine(result.lines.back());
  }
  int failures = 0;
  std::vector<std::uint8_t> buffer(kAnswerCapacity);
  for (std::size_t k = 0; k < entries.size(); ++k) {
    if (setup.abort != nullptr && setup.abort->IsSet()) {
      result.aborted = true;
      return result;
    }
    const UpdateEntry& e = entries[k];
    UpdateLine line = result.lines[k];
    RowOutcome outcome = RowOutcome::kNoAnswer;
    // A request that could not start, ended early or got an error status failed like one that
    // reached no server.
    bool failed = true;
    UpdateAnswer answer;
    if (!setup.base_url.empty() && setup.client != nullptr) {
      std::fill(buffer.begin(), buffer.end(), 0);
      const std::string body = BuildRequestBody(e);
      const platform::HttpResult r =
          setup.client->Request("POST", setup.base_url + "updates",
                                {reinterpret_cast<const std::uint8_t*>(body.data()), body.size()}, buffer, setup.abort);
      if (r.aborted) {
        result.aborted = true;
        return result;
      }
      if (r.truncated) platform::Trace("update answer longer than 102400 bytes");
      failed = r.count < 0 || !r.sent || r.status >= 400 || (!r.completed && !r.truncated);
      if (!failed) {
        const std::string_view bytes(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(r.count));
        answer = ParseUpdateAnswer(bytes, r.truncated);
      }
    }
    if (failed) {
      ++failures;
      outcome = RowOutcome::kUnreachable;
    } else if (answer.kind == UpdateAnswer::Kind::kNotJson) {
      outcome = RowOutcome::kBadAnswer;
    }
    if (!failed && answer.kind == UpdateAnswer::Kind::kParsed && !answer.name.empty()) {
      const int base = e.IsProgram() ? 10 : 16;
      const std::int32_t server = ParseVersionDigits(answer.version, base);
      line.path = answer.path;
      line.sha256 = answer.sha256;
      line.version_name = answer.version_name;
      line.device_id = answer.device_id;
      line.new_text = "V" + answer.version;
      if (e.IsProgram()) {
        line.current_text = "V" + std::to_string(e.current_version);
        line.new_text = answer.version_name;
      } else {
        line.current_text = CurrentVersionText(e);
      }
      line.status = server > e.current_version ? kLineNewer : kLineCurrent;
      outcome = line.status == kLineNewer ? RowOutcome::kNewer : RowOutcome::kCurrent;
    } else {
      line.status = kLineCurrent;
      line.new_text.clear();
      line.current_text = CurrentVersionText(e);
    }
    line.name = e.name;
    if (line.status == kLineCurrent) line.new_text.clear();
    line.local_file = LocalFileFor(setup.download_folder, line.name, line.path);
    result.lines[k] = line;
    result.outcomes.push_back(outcome);
    if (view != nullptr) view->ReplaceLine(k, line);
    if (setup.dates != nullptr) setup.dates->Write(TodayText());
  }
  bool any = false;
  for (std::size_t k = 0; k < result.lines.size(); ++k) {
    const int s = result.lines[k].status;
    const bool offered = s != kLineCurrent && s != kLineNone;
    any |= offered;
    if (view != nullptr) view->OfferLine(k, offered);
  }
  result.state = any ? kStateNewer
                     : (failures == static_cast<int>(entries.size()) ? kStateUnreachable : kStateCurrent);
  if (view != nullptr) view->ShowState(result.state);
  return result;
}

}  // namespace brimvex::update
