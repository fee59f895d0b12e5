#include "app/audio_lighting.h"

#include "app/main_wnd.h"
#include "devices/usb_device.h"
#include "lighting/audio_record_ui.h"
#include "platform/trace.h"

namespace brimvex::app {

AudioLighting::AudioLighting(CMainWnd& wnd, platform::Shell* shell, PeerLink* peers,
                             std::vector<std::string> capture_argv, WatchdogTime* time, AudioStyleFile style_file)
    : wnd_(wnd),
      has_capture_(!capture_argv.empty() && shell != nullptr),
      frames_([this] { return FirstKeyboard(); }),
      link_([&] {
        AudioCaptureLink::Setup s;
        s.shell = shell;
        s.peers = peers;
        s.loop = &wnd.Loop();
        s.argv = std::move(capture_argv);
        // Reported on the UI loop, where this object may be gone by then.
        s.open_failed = [this, alive = std::weak_ptr<bool>(alive_)](const std::string& error) {
          if (!alive.expired()) OpenFailed(error);
        };
        s.time = time;
        return s;
      }()),
      style_file_(std::move(style_file)) {}

AudioLighting::~AudioLighting() {
  Shutdown();
  alive_.reset();
  wnd_.CopyData().SetAudioLight(nullptr);
}

namespace {

CaptureStyle ToCaptureStyle(const lighting::AudioStyle& s) { return CaptureStyle{s.r, s.g, s.b}; }

}  // namespace

void AudioLighting::UseStyles(const Json::Value& device) {
  style_device_ = device;
  styles_ = lighting::ReadAudioStyles(device);
}

bool AudioLighting::ApplyStyles(const lighting::AudioStyleSet& set) {
  styles_ = set;
  link_.SetStyle(ToCaptureStyle(styles_.Selected()));
  return SaveAudioStyles(style_file_, styles_, style_device_);
}

void AudioLighting::ResetStyles() {
  UseStyles(ResetAudioStyleFile(style_file_));
  link_.SetStyle(ToCaptureStyle(styles_.Selected()));
}

void AudioLighting::Start() {
  UseStyles(LoadAudioStyleDevice(style_file_));
  // The capture program does not listen yet: the style goes with the first connect.
  link_.KeepStyle(ToCaptureStyle(styles_.Selected()));
  frames_.SetFrameSink([this](const lighting::SpectrumFrame& frame) { ShowBars(frame); });
  wnd_.CopyData().SetAudioLight(&frames_);
  // Without a capture program there is nothing to watch (and no thread to trace at random).
  if (has_capture_)
    wnd_.Slots().Start(kSlotAudioWatchdog, [this](const platform::ThreadParam& p) { link_.Run(p); });
}

void AudioLighting::Shutdown() { link_.Shutdown(); }

devices::COmbrixUSBDevice* AudioLighting::FirstKeyboard() const {
  DeviceManager* devices = wnd_.Devices();
  if (devices == nullptr) return nullptr;
  for (devices::COmbrixUSBDevice* k : devices->Keyboards())
    if (k != nullptr && k->CommandChannelRef().IsOpen()) return k;
  return nullptr;
}

void AudioLighting::ShowBars(const lighting::SpectrumFrame& frame) {
  const devices::COmbrixUSBDevice* keyboard = FirstKeyboard();
  if (keyboard != bars_page_) {
    bars_page_ = keyboard;
    ui::Control* editor = keyboard != nullptr ? keyboard->LightEditor() : nullptr;
    bars_ = editor != nullptr ? dynamic_cast<lighting::CAudioRecordUI*>(editor->FindControl(lighting::kAudioBarsName)) : nullptr;
  }
  if (bars_ != nullptr) bars_->ShowValues(frame);
}

void AudioLighting::OpenFailed(const std::string& error) {
  platform::Trace("Record open failed! " + error);
  if (!wnd_.Destroyed()) wnd_.AskUser("audio_record_open_failed", false);
}

std::string AudioLighting::StatusText() const {
  return CaptureStatusLine(link_.Status()) + "\n" + AudioFrameStatusText(frames_.Stats());
}

}  // namespace brimvex::app
