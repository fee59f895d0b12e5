#pragma once
// The controller's notification table. Every notification of the main window is routed by its
// type and its sender to at most one row:
//   1. identity rows: the sender is one given control (the title-bar buttons), whatever its name;
//   2. name rows: the sender's whole name, case-insensitive unless the row says otherwise;
//   3. prefix rows: the name split at its last '_' ("key_12" -> "key_" and 12, "key_" -> 0; no
//      route when the part after it is not a decimal number or passes int32);
//   4. type rows: any sender of that notification type.
// The first kind that has a row for the notification decides; a row that needs the selected
// device does nothing when none is selected or when it is of another kind.
//
// Features add their rows from their own files with a registration function called from
// RegisterFeatureRoutes (app/feature_routes.cpp). One row per (type, key): a second Add for the
// same key is refused, so two features cannot silently fight over one control.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ui/notification.h"

namespace brimvex::devices {
class COmbrixUSBDevice;
}

namespace brimvex::app {

// Which selected device a row needs before it runs.
class DeviceNeed {
 public:
  // Runs with or without a selected device.
  static constexpr DeviceNeed None() { return DeviceNeed(false, 0); }
  // Needs a selected device of any kind.
  static constexpr DeviceNeed Any() { return DeviceNeed(true, 0); }
  // Needs a selected device of one of these kinds (devices::kDeviceKeyboard, ...).
  static constexpr DeviceNeed Kinds(std::initializer_list<int> kinds) {
    std::uint32_t mask = 0;
    for (int k : kinds)
      if (k >= 0 && k < 32) mask |= 1u << static_cast<unsigned>(k);
    return DeviceNeed(true, mask);
  }
  bool Met(const devices::COmbrixUSBDevice* device) const;

 private:
  constexpr DeviceNeed(bool required, std::uint32_t kinds) : required_(required), kinds_(kinds) {}
  bool required_;
  std::uint32_t kinds_;  // bit k for kind k; 0 = any kind
};

struct RowOptions {
  DeviceNeed need = DeviceNeed::None();
  // Compare the name (or prefix) exactly, not ignoring case.
  bool case_sensitive = false;
};

// What a row's handler is given.
struct Route {
  ui::Notification& notification;
  // The selected device; never null when the row needs one.
  devices::COmbrixUSBDevice* device = nullptr;
  // The number of a prefix row's name split (0 for the other rows).
  std::int32_t number = 0;
};
using RouteHandler = std::function<void(const Route&)>;

class NotifyRouter {
 public:
  using SelectedDevice = std::function<devices::COmbrixUSBDevice*()>;
  explicit NotifyRouter(SelectedDevice selected = {}) : selected_(std::move(selected)) {}

  // Each returns false (and adds nothing) when the key already has a row, or for an empty key.
  bool AddName(std::string_view type, std::string_view name, RouteHandler handler, RowOptions options = {});
  // `prefix` ends with '_' ("key_", "windowdeviceset_").
  bool AddPrefix(std::string_view type, std::string_view prefix, RouteHandler handler, RowOptions options = {});
  bool AddIdentity(std::string_view type, const ui::Control* control, RouteHandler handler,
                   RowOptions options = {});
  bool AddType(std::string_view type, RouteHandler handler, RowOptions options = {});
  // The same handler for several names of one type.
  bool AddNames(std::string_view type, std::initializer_list<std::string_view> names, const RouteHandler& handler,
                RowOptions options = {});

  // Routes the notification; true when a row matched (its need met or not).
  bool Dispatch(ui::Notification& n) const;

 private:
  struct Row {
    std::string key;  // the name or prefix as registered
    RouteHandler handler;
    RowOptions options;
  };
  struct IdentityRow {
    std::string type;
    const ui::Control* control;
    Row row;
  };
  using Table = std::unordered_map<std::string, Row>;
  static bool Add(Table& table, std::string_view type, std::string_view key, RouteHandler handler,
                  RowOptions options);
  static const Row* Find(const Table& table, std::string_view type, std::string_view key);
  void Run(const Row& row, ui::Notification& n, std::int32_t number) const;

  SelectedDevice selected_;
  std::vector<IdentityRow> identities_;
  Table names_;
  Table prefixes_;
  Table types_;
};

}  // namespace brimvex::app
