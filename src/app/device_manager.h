#pragma once
// The device manager of the controller: what happens on the UI thread when discovery finds or
// loses a slot. It creates a product's page the first time (device object, power display,
// selector entry), opens command interfaces into the device's command channel (cable or
// receiver), hands event interfaces to the device, moves a wireless product's channel between
// its cable and its receiver, and hides the entry of a lost product. Pages live until shutdown.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/device_option_ui.h"
#include "app/device_selector.h"
#include "app/mp_device_power_ui.h"
#include "app/slot_table.h"
#include "devices/usb_device.h"
#include "platform/event_loop.h"
#include "platform/hid_backend.h"
#include "platform/ui/control_factory.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/window.h"

namespace brimvex::app {

// Link queries after a move to the receiver: up to this many, this far apart.
inline constexpr int kLinkQueryTries = 26;
inline constexpr platform::Millis kLinkQueryInterval{50};

class DeviceManager {
 public:
  struct Setup {
    ui::Window* window = nullptr;
    ui::ResourceManager* resources = nullptr;
    const ui::ControlFactory* factory = nullptr;
    ui::CreateControlCallback* callback = nullptr;
    platform::EventLoop* loop = nullptr;
    platform::HidBackend* backend = nullptr;
    SlotTable* slot_table = nullptr;
    DeviceSelector* selector = nullptr;
    // Sends a main-window message (0x0D03) and returns once it has been handled.
    CDeviceOptionUI::MessageSender send_message;
    // Closes the child windows before the selected entry goes away.
    std::function<void()> close_children;
  };

  explicit DeviceManager(Setup setup);
  ~DeviceManager();
  DeviceManager(const DeviceManager&) = delete;
  DeviceManager& operator=(const DeviceManager&) = delete;

  // The pages of the first two device-option rows (mouse, keyboard), entries hidden.
  void CreateDefaultPages();
  // 0x0C12 and 0x0C13 (slot index; an index past the list is ignored).
  void OnSlotFound(std::size_t index);
  void OnSlotLost(std::size_t index);
  // The page of the supported row's product (a receiver row names its wired partner's product).
  bool CreatePage(int supported_row, int sub_kind);
  // Moves the command channel of the slot's wireless product between cable and receiver.
  void SwitchLink(std::size_t slot);

  // The device of a slot record's identity, or nullptr.
  devices::COmbrixUSBDevice* FindDevice(const SlotRecord& identity) const;
  // The device object the slot belongs to by the pairing rule, or nullptr.
  devices::COmbrixUSBDevice* DeviceOfSlot(const SlotTable::Slots& slots, std::size_t index) const;
  CDeviceOptionUI* EntryOf(const devices::COmbrixUSBDevice* device) const;
  const std::vector<devices::COmbrixUSBDevice*>& Keyboards() const { return keyboards_; }
  const std::vector<devices::COmbrixUSBDevice*>& Mice() const { return mice_; }
  const std::vector<devices::COmbrixUSBDevice*>& MousePads() const { return pads_; }
  const std::vector<devices::COmbrixUSBDevice*>& Headsets() const { return headsets_; }
  const std::vector<CMpDevicePowerUI*>& PowerControls() const { return power_controls_; }
  std::vector<devices::COmbrixUSBDevice*> AllDevices() const;
  // Stops every device's workers and timers (shutdown, before the pages go).
  void StopAll();
  // The system is about to sleep: every command and event interface is aborted and closed and
  // the entries' timers stop; pages, entries and slots stay.
  void CloseAll();
  // After the sleep: every found slot runs its add step again (the cable before a receiver
  // beside it). Returns the slots that no longer open; the caller takes them the slot-lost way.
  std::vector<std::size_t> ReopenAll();

 private:
  struct Page {
    devices::COmbrixUSBDevice* device = nullptr;
    CDeviceOptionUI* entry = nullptr;
    CMpDevicePowerUI* power = nullptr;
    int link_queries = 0;  // link queries made since the last move to the receiver
  };

  std::vector<devices::COmbrixUSBDevice*>* ListOfKind(int kind);
  Page* PageOf(const devices::COmbrixUSBDevice* device);
  void AddCommandInterface(const SlotTable::Slots& slots, std::size_t index);
  // Opens the slot's path into the command channel (unless it is open), shows the entry of a
  // cable connection and starts the connection timer; whether the channel is open.
  bool OpenCommandSlot(const SlotTable::Slots& slots, std::size_t index);
  void AddEventInterface(const SlotTable::Slots& slots, std::size_t index);
  void LoseCommandInterface(const SlotTable::Slots& slots, std::size_t index);
  devices::COmbrixUSBDevice* EventDevice(const SlotRecord& slot) const;
  void ShowEntryOnConnect(CDeviceOptionUI* entry);
  void BindIdentity(devices::COmbrixUSBDevice& device, const SlotRecord& identity, const std::string& path);
  void QueryLink(Page& page);

  Setup s_;
  std::vector<std::unique_ptr<Page>> pages_;
  std::vector<devices::COmbrixUSBDevice*> keyboards_;
  std::vector<devices::COmbrixUSBDevice*> mice_;
  std::vector<devices::COmbrixUSBDevice*> pads_;
  std::vector<devices::COmbrixUSBDevice*> headsets_;
  std::vector<CMpDevicePowerUI*> power_controls_;
};

}  // namespace brimvex::app
