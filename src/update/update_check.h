#pragma once
// The update check, headless: one line per entry, one request per line, the overall state.
// The settings window and `brimvexctl update check` both run it; the window shows what it
// reports through the view (on its own thread), brimvexctl prints the result.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/event.h"
#include "platform/http_client.h"
#include "update/update_entry.h"

namespace brimvex::update {

struct UpdateLine {
  int status = 7;
  std::int32_t device_id = 0;
  std::string name;          // the check box's text
  std::string current_text;  // "OldRev"
  std::string version_name;
  std::string new_text;  // "updateRev" (hidden while empty)
  std::string path;      // download path of the answer
  std::string sha256;    // expected digest of the download, when the answer gives one
  std::string local_file;
  int position = 0;
  bool program = false;  // the program's own entry
};

// How one row's request went, for `brimvexctl update check`.
enum class RowOutcome { kNewer, kCurrent, kNoAnswer, kBadAnswer, kUnreachable };
const char* RowOutcomeWord(RowOutcome outcome);

// Where the date of the last check is kept ("updatetime.config").
class CheckDateStore {
 public:
  virtual ~CheckDateStore() = default;
  virtual std::optional<std::string> Read() = 0;
  virtual bool Write(const std::string& date) = 0;
};

class UpdateCheckView {
 public:
  virtual ~UpdateCheckView() = default;
  virtual void ShowState(int state) = 0;
  virtual void AddLine(const UpdateLine& line) = 0;
  virtual void ReplaceLine(std::size_t k, const UpdateLine& line) = 0;
  // After the answers: a line with a newer version is offered (enabled, selected), the others
  // are not.
  virtual void OfferLine(std::size_t k, bool offered) = 0;
};

struct UpdateCheckSetup {
  platform::HttpClient* client = nullptr;
  std::string base_url;  // "…/api/"; empty: there is no service
  platform::Event* abort = nullptr;
  CheckDateStore* dates = nullptr;  // none: the date is not recorded
  std::string download_folder;      // "…/UpdateData/", for the lines' local files
};

struct UpdateCheckResult {
  std::vector<UpdateLine> lines;
  std::vector<RowOutcome> outcomes;
  int state = 2;
  bool aborted = false;
};

inline constexpr std::size_t kAnswerCapacity = 102400;

// The lines as they stand before any answer.
UpdateLine FirstLine(const UpdateEntry& entry, std::size_t position, const std::string& download_folder);
UpdateCheckResult RunUpdateCheck(const std::vector<UpdateEntry>& entries, const UpdateCheckSetup& setup,
                                 UpdateCheckView* view);

// "<folder><name>.<extension of the path>" with both made safe as a file name.
std::string LocalFileFor(const std::string& folder, const std::string& name, const std::string& path);
// The service's base URL: BRIMVEX_UPDATE_URL, else the one the program was built with.
std::string ServiceBaseUrl();
// Today as "%d-%d-%d" (2023-3-5).
std::string TodayText();

}  // namespace brimvex::update
