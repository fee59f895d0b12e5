#include "app/notify_router.h"

#include "devices/usb_device.h"
#include "platform/ui/control.h"
#include "platform/ui/control_name.h"

namespace brimvex::app {
namespace {

std::string TableKey(std::string_view type, std::string_view key) {
  std::string k(type);
  k += '\n';
  k += ui::FoldName(key);
  return k;
}

}  // namespace

bool DeviceNeed::Met(const devices::COmbrixUSBDevice* device) const {
  if (!required_) return true;
  if (device == nullptr) return false;
  if (kinds_ == 0) return true;
  const int kind = device->DeviceType();
  return kind >= 0 && kind < 32 && (kinds_ & (1u << static_cast<unsigned>(kind))) != 0;
}

bool NotifyRouter::Add(Table& table, std::string_view type, std::string_view key, RouteHandler handler,
                       RowOptions options) {
  if (type.empty() || !handler) return false;
  return table.try_emplace(TableKey(type, key), Row{std::string(key), std::move(handler), options}).second;
}

bool NotifyRouter::AddName(std::string_view type, std::string_view name, RouteHandler handler, RowOptions options) {
  return !name.empty() && Add(names_, type, name, std::move(handler), options);
}

bool NotifyRouter::AddPrefix(std::string_view type, std::string_view prefix, RouteHandler handler,
                             RowOptions options) {
  return !prefix.empty() && prefix.back() == '_' && Add(prefixes_, type, prefix, std::move(handler), options);
}

bool NotifyRouter::AddType(std::string_view type, RouteHandler handler, RowOptions options) {
  return Add(types_, type, {}, std::move(handler), options);
}

bool NotifyRouter::AddIdentity(std::string_view type, const ui::Control* control, RouteHandler handler,
                               RowOptions options) {
  if (type.empty() || control == nullptr || !handler) return false;
  for (const auto& r : identities_)
    if (r.type == type && r.control == control) return false;
  identities_.push_back(IdentityRow{std::string(type), control, Row{{}, std::move(handler), options}});
  return true;
}

bool NotifyRouter::AddNames(std::string_view type, std::initializer_list<std::string_view> names,
                            const RouteHandler& handler, RowOptions options) {
  bool all = true;
  for (std::string_view name : names) all = AddName(type, name, handler, options) && all;
  return all;
}

const NotifyRouter::Row* NotifyRouter::Find(const Table& table, std::string_view type, std::string_view key) {
  const auto it = table.find(TableKey(type, key));
  if (it == table.end()) return nullptr;
  const Row& row = it->second;
  return row.options.case_sensitive && row.key != key ? nullptr : &row;
}

void NotifyRouter::Run(const Row& row, ui::Notification& n, std::int32_t number) const {
  devices::COmbrixUSBDevice* device = selected_ ? selected_() : nullptr;
  if (!row.options.need.Met(device)) return;
  row.handler(Route{n, device, number});
}

bool NotifyRouter::Dispatch(ui::Notification& n) const {
  if (n.sender != nullptr) {
    for (const auto& r : identities_) {
      if (r.control == n.sender && r.type == n.type) {
        Run(r.row, n, 0);
        return true;
      }
    }
    const std::string& name = n.sender->Name();
    if (const Row* row = Find(names_, n.type, name)) {
      Run(*row, n, 0);
      return true;
    }
    if (const auto split = ui::SplitControlName(name)) {
      if (const Row* row = Find(prefixes_, n.type, split->prefix)) {
        Run(*row, n, split->number);
        return true;
      }
    }
  }
  if (const Row* row = Find(types_, n.type, {})) {
    Run(*row, n, 0);
    return true;
  }
  return false;
}

}  // namespace brimvex::app
