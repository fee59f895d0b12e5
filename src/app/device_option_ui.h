#pragma once
// CDeviceOptionUI: one entry of the device selector strip ("device_select_layout"), skin class
// "DeviceOption". It shows the product's icon and name, selects the product's page and power
// display, and is the device's owner entry: its timers run the device's initial read after a
// connection, stream the light frame, read the power status and watch the 2.4 GHz link.
//
// Timers (entry-local, on the UI loop; one-shot, re-armed by their own handler):
//   1001 connection   500 ms after the command interface opened; 3000 ms while a wireless
//                     device does not answer
//   1000 light frame  5 ms after the connection, then whenever the device's frame changed and
//                     is of use (streamed, or the page in front shows it), or a repaint or
//                     stream it held back falls due; at most every 5 ms wired or 50 ms over
//                     2.4 GHz (a frame only the page shows: once per repaint), while the
//                     command channel is open
//   1002 resync       when the device's event worker asks
//   1003, 1004        the device's two spare operations
//   1005 power        50 ms after the initial read, then every 5000 ms, with a power display
//   1007 link watch   2000 ms after the initial read over 2.4 GHz, then every 3000 ms
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "devices/usb_device.h"
#include "platform/event_loop.h"
#include "platform/ui/container.h"
#include "platform/ui/controls.h"

namespace brimvex::app {

inline constexpr std::uint32_t kTimerLightFrame = 1000;
inline constexpr std::uint32_t kTimerConnection = 1001;
inline constexpr std::uint32_t kTimerResync = 1002;
inline constexpr std::uint32_t kTimerSpare1 = 1003;
inline constexpr std::uint32_t kTimerSpare2 = 1004;
inline constexpr std::uint32_t kTimerPower = 1005;
inline constexpr std::uint32_t kTimerLinkWatch = 1007;

inline constexpr platform::Millis kConnectionDelay{500};
inline constexpr platform::Millis kLinkRetryPeriod{3000};
inline constexpr platform::Millis kFrameWired{5};
inline constexpr platform::Millis kFrameWireless{50};
inline constexpr platform::Millis kPowerFirst{50};
inline constexpr platform::Millis kPowerPeriod{5000};
inline constexpr platform::Millis kLinkWatchFirst{2000};
inline constexpr platform::Millis kLinkWatchPeriod{3000};
inline constexpr int kLinkRetryCycle = 20;

class CDeviceOptionUI : public ui::Container, public devices::DeviceOwner {
 public:
  // Sends a main-window message (0x0D03) and returns when it has been handled.
  using MessageSender = std::function<void(std::uint32_t message, std::uint64_t wparam, std::int64_t lparam)>;

  CDeviceOptionUI();
  ~CDeviceOptionUI() override;

  // The loop of the entry's timers and the way to the main window; set before any timer.
  void SetLoop(platform::EventLoop* loop) { loop_ = loop; }
  void SetMessageSender(MessageSender sender) { send_ = std::move(sender); }

  // Stores both and applies the icon set and the name text key.
  void SetType(std::int32_t type, std::int32_t sub_kind);
  std::int32_t Type() const { return type_; }
  std::int32_t SubKind() const { return sub_kind_; }
  // Selecting "device_select" shows page `index` of the tab layout `tab_name`.
  void BindPage(const std::string& tab_name, int index);
  // The power container and this entry's page in it (index < 0 keeps the old index).
  void BindPower(const std::string& container_name, int index);
  const std::string& PowerContainerName() const { return power_container_; }
  int PowerTabIndex() const { return power_tab_index_; }
  int PageIndex() const;
  void SetGroup(const std::string& group);
  void SetName(const std::string& text);
  // Stores the device and makes this entry its owner entry.
  void BindDevice(devices::COmbrixUSBDevice* device);
  devices::COmbrixUSBDevice* Device() const { return device_; }

  void ShowSyncCheck(bool show);
  void SetSync(bool selected);
  bool IsSyncSelected();
  // Marks "device_select" (not) selected; a change raises "selectchanged".
  void Select(bool selected);
  bool IsSelected() const;
  void SetEntryVisible(bool visible);
  bool IsEntryVisible() const { return visible_ != 0; }
  int LinkRetryCount() const { return link_retry_; }
  // How many light frames the device was given to show and stream.
  std::uint64_t FramesTaken() const { return frames_taken_; }

  // The images in force (paths below the skin folder).
  const std::string& NormalImage() const { return normal_image_; }
  const std::string& SelectedImage() const { return selected_image_; }
  const std::string& SyncNormalImage() const { return sync_normal_image_; }
  const std::string& SyncSelectedImage() const { return sync_selected_image_; }

  // Arms an entry timer (one-shot; re-arming replaces it).
  void StartTimer(std::uint32_t id, platform::Millis delay);
  void StopTimer(std::uint32_t id);
  bool HasTimer(std::uint32_t id) const;
  // Starts the connection timer (after the command interface opened).
  void StartConnection() { StartTimer(kTimerConnection, kConnectionDelay); }
  void StartLinkWatch() { StartTimer(kTimerLinkWatch, kLinkWatchFirst); }

  void OnTimer(std::uint32_t id) override;

  // devices::DeviceOwner (any thread)
  void RequestResync(platform::Millis delay) override;
  // A refresh asked for while one is waiting to run is not posted again (a flood of notices
  // costs one refresh, not one each).
  void RequestRefreshPage() override;
  // Changes asked for until the next frame is taken cost one post.
  void RequestFrame() override;

 private:
  ui::Option* SelectOption();
  const ui::Option* SelectOption() const;
  ui::CheckBox* SyncCheck();
  void ApplyImages();
  void Send0D03(bool show);
  // Runs a task on the UI thread unless the entry is gone by then.
  void PostToUi(std::function<void(CDeviceOptionUI&)> task);

  void OnConnection();
  void OnLightFrame();
  // Arms the light frame `delay` from now, or later to keep the frame period; an armed one due
  // sooner stays.
  void ArmFrame(platform::Millis delay);
  platform::Millis FramePeriod();
  // The device's frame changed: shown and streamed now, or when the frame period allows.
  void OnFrameChanged();
  void OnPower();
  void OnLinkWatch();

  std::atomic<bool> refresh_posted_{false};
  std::atomic<bool> frame_asked_{false};
  // Fields in the entry's order.
  ui::CheckBox* sync_check_ = nullptr;
  devices::COmbrixUSBDevice* device_ = nullptr;
  ui::Control* name_label_ = nullptr;
  ui::Option* select_option_ = nullptr;
  std::int32_t type_ = 0;
  std::int32_t sub_kind_ = 0;
  std::string sync_selected_image_;
  std::string sync_normal_image_;
  std::string selected_image_;
  std::string normal_image_;
  std::string power_container_;
  std::uint8_t visible_ = 1;
  int power_tab_index_ = -1;
  int link_retry_ = 0;

  platform::EventLoop* loop_ = nullptr;
  platform::Millis last_frame_{-1000000};
  std::uint64_t frames_taken_ = 0;
  platform::Millis frame_due_{0};
  MessageSender send_;
  // Tasks posted from other threads hold a weak reference; they do nothing once the entry is gone.
  std::shared_ptr<CDeviceOptionUI*> self_;
};

// The icon set of a device type and sub-kind: file names below "common/device_ico/" and the
// name text key. Type 3 with a sub-kind other than 0 or 1 has none (the entry keeps its images).
struct DeviceIconSet {
  std::string_view normal, selected, sync_normal, sync_selected, name_key;
};
const DeviceIconSet* IconSetFor(std::int32_t type, std::int32_t sub_kind);
inline constexpr std::string_view kDeviceIconFolder = "common/device_ico/";

}  // namespace brimvex::app
