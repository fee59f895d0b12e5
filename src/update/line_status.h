#pragma once
// How a line of the update list and the window's overall state look, by number.
#include <cstdint>

namespace brimvex::update {

enum LineStatus : int {
  kLineNone = 0,
  kLineNewer = 1,
  kLineNewer2 = 2,
  kLineWaiting = 3,
  kLineDownloading = 4,
  kLineDownloaded = 5,
  kLineUpdating = 6,
  kLineCurrent = 7,
  kLineFailed = 8,
};

struct LineLook {
  const char* text_key;
  bool progress;   // "update_status_ing" and "update_progress_value"
  bool done_mark;  // "update_status_ok"
  bool enabled;    // the check box
  std::uint32_t text_colour, selected_colour, disabled_colour;
};
// Statuses outside 0..8 look like 0.
const LineLook& LookOfLine(int status);

enum OverallState : int {
  kStateChecking = 0,
  kStateNewer = 1,
  kStateUnreachable = 2,
  kStateUpdating = 3,
  kStateCurrent = 4,
};

struct StateLook {
  bool ring;     // "update_status_ring"
  bool picture;  // "update_status_image"
  const char* text_key;  // "Update_Status_text"; state 4 adds the last-check date
};
const StateLook& LookOfState(int state);

// A line that may be closed over: the desktop's close request is refused while one is
// waiting, downloading or updating.
inline bool LineBlocksClose(int status) {
  return status == kLineWaiting || status == kLineDownloading || status == kLineUpdating;
}

}  // namespace brimvex::update
