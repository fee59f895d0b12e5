#include "app/device_manager.h"

#include <algorithm>
#include <mutex>

#include "app/app_messages.h"
#include "app/macro_routes.h"
#include "app/device_creator.h"
#include "devices/device_classes.h"
#include "devices/device_kind.h"
#include "lighting/light_rules.h"
#include "macros/macro_store.h"
#include "profiles/file_helpers.h"
#include "platform/trace.h"
#include "platform/ui/container.h"

namespace brimvex::app {
namespace {

constexpr std::string_view kPowerLayout = "XML\\CustomControlXML\\MpDevicePower.xml";
constexpr std::string_view kPageTabs = "device_switch";
constexpr std::string_view kStrip = "device_select_layout";
constexpr std::uint32_t kLinkQueryTimer = 1;

bool IsReceiver(std::uint16_t type) { return type == kTypeMouseReceiver || type == kTypeKeyboardReceiver; }
bool IsCable(std::uint16_t type) { return type == kTypeMouse || type == kTypeKeyboard; }
bool IsWirelessProduct(std::uint16_t type) { return IsReceiver(type) || IsCable(type); }

// The product kind of a type code: 9 and 6 are the keyboard and the mouse behind a receiver.
std::uint16_t ProductType(std::uint16_t type) {
  if (type == kTypeKeyboardReceiver) return kTypeKeyboard;
  if (type == kTypeMouseReceiver) return kTypeMouse;
  return type;
}

void TraceArrival(std::uint16_t type, bool found) {
  switch (ProductType(type)) {
    case kTypeKeyboard:
      platform::Trace(found ? "添加一个键盘设备" : "删除一个键盘设备");
      break;
    case kTypeMouse:
      platform::Trace(found ? "添加一个鼠标设备" : "删除一个鼠标设备");
      break;
    case kTypeMousePad:
      platform::Trace(found ? "添加一个鼠标垫设备" : "删除一个鼠标垫设备");
      break;
    default:
      break;  // the headset has none
  }
}

// The slot's partner, when it is found and points back.
const SlotRecord* FoundPartner(const SlotTable::Slots& slots, std::size_t index) {
  const SlotRecord& s = slots[index];
  if (s.has_partner == 0 || s.partner_row >= slots.size()) return nullptr;
  const SlotRecord& p = slots[s.partner_row];
  return p.found != 0 && p.partner_row == index ? &p : nullptr;
}

bool OpenRecord(hid::HidInterface& record, const std::string& path) {
  return record.Open(path, true, true, true, false);
}

}  // namespace

DeviceManager::DeviceManager(Setup setup) : s_(std::move(setup)) {}

DeviceManager::~DeviceManager() { StopAll(); }

std::vector<devices::COmbrixUSBDevice*> DeviceManager::AllDevices() const {
  std::vector<devices::COmbrixUSBDevice*> all;
  for (const auto& p : pages_) all.push_back(p->device);
  return all;
}

void DeviceManager::StopAll() {
  for (const auto& p : pages_) {
    s_.loop->KillTimers(p.get());
    s_.loop->KillTimers(p->entry);
    p->device->StopWorkers();
  }
}

std::vector<devices::COmbrixUSBDevice*>* DeviceManager::ListOfKind(int kind) {
  switch (kind) {
    case devices::kDeviceKeyboard:
      return &keyboards_;
    case devices::kDeviceMouse:
      return &mice_;
    case devices::kDeviceMousePad:
      return &pads_;
    case devices::kDeviceHeadset:
      return &headsets_;
    default:
      return nullptr;
  }
}

DeviceManager::Page* DeviceManager::PageOf(const devices::COmbrixUSBDevice* device) {
  for (const auto& p : pages_)
    if (p->device == device) return p.get();
  return nullptr;
}

devices::COmbrixUSBDevice* DeviceManager::DeviceOfSlot(const SlotTable::Slots& slots, std::size_t index) const {
  const int identity = DeviceIdentity(slots, static_cast<int>(index));
  return identity >= 0 ? FindDevice(slots[static_cast<std::size_t>(identity)]) : nullptr;
}

devices::COmbrixUSBDevice* DeviceManager::FindDevice(const SlotRecord& identity) const {
  for (const auto& p : pages_)
    if (hid::SameIdentity(identity, p->device->Descriptor())) return p->device;
  return nullptr;
}

CDeviceOptionUI* DeviceManager::EntryOf(const devices::COmbrixUSBDevice* device) const {
  for (const auto& p : pages_)
    if (p->device == device) return p->entry;
  return nullptr;
}

void DeviceManager::CreateDefaultPages() {
  for (std::size_t k = 0; k < 2; ++k) {
    const DeviceOptionRow& o = DeviceOptions()[k];
    const int row = FindSupportedRow(static_cast<std::uint16_t>(o.vendor_id), static_cast<std::uint16_t>(o.product_id),
                                     static_cast<std::uint16_t>(o.type), kRoleCommand);
    if (row >= 0 && !CreatePage(row, o.sub_kind)) platform::Trace("创建设备页面失败");
  }
}

bool DeviceManager::CreatePage(int supported_row, int sub_kind) {
  const auto& rows = SupportedDevices();
  if (supported_row < 0 || static_cast<std::size_t>(supported_row) >= rows.size()) return false;
  // 1. A receiver row stands for its wired partner's product.
  const auto identity = static_cast<std::size_t>(DeviceIdentity(rows, supported_row));
  const SlotRecord& product = rows[identity];
  const std::uint16_t type = ProductType(rows[static_cast<std::size_t>(supported_row)].type);
  const int option_row = FindDeviceOptionRow(product.vendor_id, product.product_id, type, sub_kind);
  if (option_row < 0) return false;
  const DeviceOptionRow& option = DeviceOptions()[static_cast<std::size_t>(option_row)];
  const DevicePageRow& page_row = DevicePages()[static_cast<std::size_t>(option_row)];
  const int kind = devices::DeviceKindOfTypeCode(type);
  auto* tabs = s_.window->Find<ui::TabLayout>(kPageTabs);
  auto* strip = s_.window->Find<ui::Container>(kStrip);
  auto* power_box = s_.window->Find<ui::TabLayout>(option.power_container);
  std::vector<devices::COmbrixUSBDevice*>* list = ListOfKind(kind);
  if (tabs == nullptr || strip == nullptr || power_box == nullptr || list == nullptr) return false;

  // 2. Power display, entry and page; nothing joins the window unless all three build.
  ui::DialogBuilder builder(*s_.resources, *s_.factory, s_.callback);
  ui::BuildResult power_built = builder.Create(kPowerLayout);
  ui::BuildResult entry_built = builder.Create(option.layout_file);
  auto* power = dynamic_cast<CMpDevicePowerUI*>(power_built.root.get());
  auto* entry = dynamic_cast<CDeviceOptionUI*>(entry_built.root.get());
  const auto creator = AnyDeviceCreator(kind, s_.backend, s_.loop);
  std::unique_ptr<ui::Control> device_control = creator ? creator() : nullptr;
  auto* device = dynamic_cast<devices::COmbrixUSBDevice*>(device_control.get());
  if (power == nullptr || entry == nullptr || device == nullptr) {
    platform::Trace(!power_built ? power_built.error : !entry_built ? entry_built.error : "no device class");
    return false;
  }
  // 4. The device, before it builds its page.
  devices::DeviceDescriptor descriptor = product;
  descriptor.found = 0;
  descriptor.path.clear();
  device->SetDescriptor(descriptor);
  device->SetKeyButtonCount(page_row.key_count);
  device->SetLightButtonCount(page_row.light_count);
  device->SetDeviceOptionRow(option_row);
  device->SetMouseParameter(page_row.mouse_parameter);
  device->SetDeviceFolderName(std::string(option.kind_name));
  // The keyboard and the mouse keep their macro stores in their data folders.
  std::shared_ptr<macros::MacroStore> store;
  if (kind == devices::kDeviceKeyboard || kind == devices::kDeviceMouse) {
    store = std::make_shared<macros::MacroStore>(profiles::GetDeviceFolder(option.kind_name));
    device->SetMacroSource(store);
  }
  device->SetOrdinal(option.ordinal);
  device->SetLightFileName(std::string(page_row.light_settings_name));
  device->SetLightTableIndex(lighting::LightTableIndex(device->DeviceType()));
  device->SetPowerDisplay(power, page_row.power_display != 0);
  if (!device->BuildPage(builder)) {
    platform::Trace("设备页面创建失败");
    return false;
  }
  // 3. The power display in its container, told the type.
  power->SetDeviceType(type, sub_kind);
  power->SetHasPowerDisplay(page_row.power_display != 0);
  power_box->Add(std::move(power_built.root));
  power_controls_.push_back(power);
  // 5. The page and the entry (hidden, bound to the page and to its power page).
  tabs->Add(std::move(device_control));
  device->BindPageControls();
  SetUpMacroEditors(*device, store, s_.loop);
  list->push_back(device);
  entry->SetLoop(s_.loop);
  entry->SetMessageSender(s_.send_message);
  strip->Add(std::move(entry_built.root));
  entry->SetEntryVisible(false);
  entry->BindPage(std::string(kPageTabs), static_cast<int>(tabs->Count()) - 1);
  entry->BindPower(std::string(option.power_container), static_cast<int>(power_box->Count()) - 1);
  entry->SetGroup(std::string(option.tab_header));
  entry->SetName(std::string(option.kind_name));
  entry->SetType(type, sub_kind);
  entry->BindDevice(device);
  pages_.push_back(std::make_unique<Page>(Page{device, entry, power}));
  return true;
}

void DeviceManager::OnSlotFound(std::size_t index) {
  const SlotTable::Slots slots = s_.slot_table->Snapshot();
  if (index >= slots.size()) return;
  const SlotRecord& slot = slots[index];
  TraceArrival(slot.type, true);
  const int row = FindSupportedRow(slot.vendor_id, slot.product_id, slot.type, kRoleCommand);
  if (row >= 0 && DeviceIdentity(slots, static_cast<int>(index)) >= 0 && DeviceOfSlot(slots, index) == nullptr)
    CreatePage(row, 0);
  if (slot.role == kRoleCommand) {
    AddCommandInterface(slots, index);
  } else {
    AddEventInterface(slots, index);
  }
}

void DeviceManager::AddCommandInterface(const SlotTable::Slots& slots, std::size_t index) {
  const SlotRecord& slot = slots[index];
  if (IsWirelessProduct(slot.type) && FoundPartner(slots, index) != nullptr) {
    // Both connections are there: the cable takes the channel; a receiver next to it waits.
    if (IsCable(slot.type)) SwitchLink(index);
    return;
  }
  OpenCommandSlot(slots, index);
}

bool DeviceManager::OpenCommandSlot(const SlotTable::Slots& slots, std::size_t index) {
  const SlotRecord& slot = slots[index];
  const int identity = DeviceIdentity(slots, static_cast<int>(index));
  if (identity < 0) return false;
  devices::COmbrixUSBDevice* device = FindDevice(slots[static_cast<std::size_t>(identity)]);
  if (device == nullptr) return false;
  hid::CommandChannel& channel = device->CommandChannelRef();
  if (!channel.IsOpen()) {
    std::lock_guard lock(channel.TransactionLock());
    const bool receiver = IsReceiver(slot.type);
    if (OpenRecord(receiver ? channel.Receiver() : channel.Wired(), slot.path)) {
      channel.SetOpen(true);
      if (IsWirelessProduct(slot.type)) channel.SetLinkMode(receiver ? 2 : 1);
    }
  }
  const bool open = channel.IsOpen();
  if (open) BindIdentity(*device, slots[static_cast<std::size_t>(identity)], slot.path);
  CDeviceOptionUI* entry = EntryOf(device);
  if (entry == nullptr) return open;
  // A receiver's device shows itself once it answers (the connection timer asks it).
  if (!IsReceiver(slot.type)) ShowEntryOnConnect(entry);
  entry->StartConnection();
  return open;
}

void DeviceManager::CloseAll() {
  for (const auto& p : pages_) {
    s_.loop->KillTimer(p.get(), kLinkQueryTimer);
    // The entry's timers (connection, frames, power, link watch) start again with the channel.
    s_.loop->KillTimers(p->entry);
    hid::CommandChannel& channel = p->device->CommandChannelRef();
    channel.SetOpen(false);
    channel.Wired().Close();
    channel.Receiver().Close();
    p->device->CloseEventInterface(false);
    p->device->CloseEventInterface(true);
  }
}

std::vector<std::size_t> DeviceManager::ReopenAll() {
  const SlotTable::Slots slots = s_.slot_table->Snapshot();
  std::vector<std::size_t> gone;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const SlotRecord& slot = slots[i];
    if (slot.found == 0) continue;
    // A product first found while the system slept gets its page now.
    const int row = FindSupportedRow(slot.vendor_id, slot.product_id, slot.type, kRoleCommand);
    if (row >= 0 && DeviceIdentity(slots, static_cast<int>(i)) >= 0 && DeviceOfSlot(slots, i) == nullptr)
      CreatePage(row, 0);
    bool opened = true;
    if (slot.role == kRoleCommand) {
      // With both connections there the cable takes the channel.
      if (IsReceiver(slot.type) && FoundPartner(slots, i) != nullptr) continue;
      opened = OpenCommandSlot(slots, i);
    } else if (devices::COmbrixUSBDevice* device = EventDevice(slot)) {
      opened = device->OpenEventInterface(IsReceiver(slot.type), slot.path);
    }
    if (!opened) gone.push_back(i);
  }
  return gone;
}

void DeviceManager::BindIdentity(devices::COmbrixUSBDevice& device, const SlotRecord& identity,
                                 const std::string& path) {
  // The identity keeps the path of the interface in use; with it the page binds its buttons,
  // sized by the device-page row.
  devices::DeviceDescriptor descriptor = identity;
  descriptor.found = 1;
  descriptor.path = path;
  const bool rebind = device.Descriptor().path.empty();
  device.SetDescriptor(descriptor);
  const int row = device.DeviceOptionRow();
  if (!rebind || row < 0 || static_cast<std::size_t>(row) >= DevicePages().size()) return;
  const DevicePageRow& page_row = DevicePages()[static_cast<std::size_t>(row)];
  device.SetKeyButtonCount(page_row.key_count);
  device.SetLightButtonCount(page_row.light_count);
  device.BindPageControls();
}

void DeviceManager::ShowEntryOnConnect(CDeviceOptionUI* entry) {
  DeviceSelector& sel = *s_.selector;
  const int index = sel.IndexOf(entry);
  const int others = sel.CountVisible() - (entry->IsEntryVisible() ? 1 : 0);
  sel.ShowEntry(index, true, others == 0 || (entry->IsEntryVisible() && entry->IsSelected()));
}

devices::COmbrixUSBDevice* DeviceManager::EventDevice(const SlotRecord& slot) const {
  const auto& rows = SupportedDevices();
  for (const auto& p : pages_) {
    const devices::DeviceDescriptor d = p->device->Descriptor();
    if (d.vendor_id == slot.vendor_id && d.product_id == slot.product_id && d.type == slot.type) return p->device;
    if (d.has_partner != 0 && d.partner_row < rows.size()) {
      const SlotRecord& partner = rows[d.partner_row];
      if (partner.vendor_id == slot.vendor_id && partner.product_id == slot.product_id && partner.type == slot.type)
        return p->device;
    }
  }
  return nullptr;
}

void DeviceManager::AddEventInterface(const SlotTable::Slots& slots, std::size_t index) {
  const SlotRecord& slot = slots[index];
  if (devices::COmbrixUSBDevice* device = EventDevice(slot)) {
    if (!device->OpenEventInterface(IsReceiver(slot.type), slot.path)) platform::Trace("打开设备事件接口失败");
  }
}

void DeviceManager::SwitchLink(std::size_t index) {
  const SlotTable::Slots slots = s_.slot_table->Snapshot();
  if (index >= slots.size()) return;
  const SlotRecord& slot = slots[index];
  // 1. The device of the slot or of its partner.
  devices::COmbrixUSBDevice* device = FindDevice(slot);
  if (device == nullptr && slot.has_partner != 0 && slot.partner_row < slots.size())
    device = FindDevice(slots[slot.partner_row]);
  if (device == nullptr) return;
  Page* page = PageOf(device);
  hid::CommandChannel& channel = device->CommandChannelRef();
  // 2. The cable has come (2.4 GHz now): its own path; the cable has gone: the receiver's.
  const bool to_wired = channel.IsWireless();
  const std::string target =
      to_wired ? slot.path : (slot.partner_row < slots.size() ? slots[slot.partner_row].path : std::string());
  // 3. Only the record of the mode being entered is re-opened.
  bool opened = false;
  {
    std::lock_guard lock(channel.TransactionLock());
    channel.SetOpen(false);
    hid::HidInterface& record = to_wired ? channel.Wired() : channel.Receiver();
    record.Close();
    opened = !target.empty() && OpenRecord(record, target);
  }
  if (!opened) return;
  // 4. Open in the other mode.
  channel.SetOpen(true);
  CDeviceOptionUI* entry = EntryOf(device);
  if (!to_wired) {
    channel.SetLinkMode(2);
    if (device->HasPowerDisplay() && page != nullptr) {
      page->link_queries = 0;
      QueryLink(*page);
    } else if (entry != nullptr) {
      entry->StartLinkWatch();
    }
    return;
  }
  channel.SetLinkMode(1);
  if (page != nullptr) s_.loop->KillTimer(page, kLinkQueryTimer);
  if (entry != nullptr) entry->StartConnection();
  if (s_.send_message) s_.send_message(kMsgShowEntry, static_cast<std::uint64_t>(device->DeviceOptionRow()), 1);
  if (device->HasPowerDisplay()) device->ReadPowerStatus();
}

// One link query of the series after a move to the receiver; the next one follows 50 ms later on
// the loop, so the UI thread is never held for the whole series.
void DeviceManager::QueryLink(Page& page) {
  hid::CommandChannel& channel = page.device->CommandChannelRef();
  if (!channel.IsOpen() || !channel.IsWireless()) return;  // moved again meanwhile
  ++page.link_queries;
  if (!channel.LinkQuery() && page.link_queries < kLinkQueryTries) {
    platform::Trace("获取2.4G模式失败");
    s_.loop->SetTimer(
        &page, kLinkQueryTimer, kLinkQueryInterval, [this, p = &page] { QueryLink(*p); },
        platform::EventLoop::TimerKind::kOneShot);
    return;
  }
  platform::Trace("获取2");
  page.device->ReadPowerStatus();
  if (page.entry != nullptr) page.entry->StartLinkWatch();
}

void DeviceManager::OnSlotLost(std::size_t index) {
  const SlotTable::Slots slots = s_.slot_table->Snapshot();
  if (index >= slots.size()) return;
  const SlotRecord& slot = slots[index];
  TraceArrival(slot.type, false);
  if (slot.role == kRoleCommand) {
    LoseCommandInterface(slots, index);
    return;
  }
  if (devices::COmbrixUSBDevice* device = EventDevice(slot)) device->CloseEventInterface(IsReceiver(slot.type));
}

void DeviceManager::LoseCommandInterface(const SlotTable::Slots& slots, std::size_t index) {
  const SlotRecord& slot = slots[index];
  const bool wireless = IsWirelessProduct(slot.type);
  if (wireless) {
    platform::Trace(ProductType(slot.type) == kTypeKeyboard ? "键盘设备丢失" : "鼠标设备丢失");
    if (FoundPartner(slots, index) != nullptr) {
      // The other connection remains: a lost cable hands the channel to the receiver.
      if (IsCable(slot.type)) SwitchLink(index);
      return;
    }
  }
  devices::COmbrixUSBDevice* device = DeviceOfSlot(slots, index);
  if (device == nullptr) return;
  hid::CommandChannel& channel = device->CommandChannelRef();
  // Without the transaction lock: an exchange in flight ends through the closed interface.
  channel.SetOpen(false);
  channel.Wired().Close();
  if (wireless) channel.Receiver().Close();
  if (Page* page = PageOf(device)) s_.loop->KillTimer(page, kLinkQueryTimer);
  if (CDeviceOptionUI* entry = EntryOf(device)) s_.selector->HideEntry(s_.selector->IndexOf(entry), s_.close_children);
}

}  // namespace brimvex::app
