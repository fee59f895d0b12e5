#pragma once
// Audio-reactive lighting on the controller's side: the link to the capture program (slot 1), the
// spectrum frames and their bands, and what the running program answers about them.
#include <memory>
#include <string>
#include <vector>

#include "app/audio_capture_link.h"
#include "app/audio_frames.h"
#include "app/audio_style_file.h"
#include "lighting/audio_styles.h"

namespace brimvex::lighting {
class CAudioRecordUI;
}

namespace brimvex::app {

class CMainWnd;

class AudioLighting {
 public:
  // `capture_argv`: the capture program and its arguments (empty: none is started).
  AudioLighting(CMainWnd& wnd, platform::Shell* shell, PeerLink* peers, std::vector<std::string> capture_argv,
                WatchdogTime* time = nullptr, AudioStyleFile style_file = DefaultAudioStyleFile());
  ~AudioLighting();
  AudioLighting(const AudioLighting&) = delete;
  AudioLighting& operator=(const AudioLighting&) = delete;

  // Window init: reads the styles, takes the copy data and starts the watchdog in slot 1.
  void Start();
  // The layout timer's connect.
  void Connect() { link_.Connect(); }
  void OnRecorderMessage(std::uint64_t wparam, std::int64_t lparam) { link_.OnRecorderMessage(wparam, lparam); }
  // Before the worker slots stop: the capture program is told to exit and reaped.
  void Shutdown();

  AudioCaptureLink& Link() { return link_; }
  const lighting::AudioStyleSet& Styles() const { return styles_; }
  // OK in the style window: the set replaces the current one, its selected style goes to the
  // capture program and the set into the user's file. False when the file could not be written.
  bool ApplyStyles(const lighting::AudioStyleSet& set);
  // With the device reset: the default file over the user's one, its styles in use and sent.
  void ResetStyles();
  AudioFrames& Frames() { return frames_; }
  // The four lines of `brimvexctl audio-viz status`.
  std::string StatusText() const;

 private:
  devices::COmbrixUSBDevice* FirstKeyboard() const;
  // Each frame on the spectrum bars ("audio_record_bars") of the keyboard that takes the bands.
  void ShowBars(const lighting::SpectrumFrame& frame);
  void OpenFailed(const std::string& error);
  void UseStyles(const Json::Value& device);

  CMainWnd& wnd_;
  const bool has_capture_;
  // Before the link, whose failure report holds on to it.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  AudioFrames frames_;
  AudioCaptureLink link_;
  AudioStyleFile style_file_;
  Json::Value style_device_;
  lighting::AudioStyleSet styles_;
  // The bars found on that keyboard's page (pages live until shutdown).
  const devices::COmbrixUSBDevice* bars_page_ = nullptr;
  lighting::CAudioRecordUI* bars_ = nullptr;
};

}  // namespace brimvex::app
