#include "emulator/emulator.h"

namespace brimvex::emulator {

namespace {
constexpr std::string_view kReceiverSuffix = "-receiver";

std::string_view DefaultName(Product p) {
  switch (p) {
    case Product::kKeyboard:
      return "keyboard";
    case Product::kMouse:
      return "mouse";
    case Product::kMousePad:
      return "mousepad";
    case Product::kHeadset:
      return "headset";
  }
  return "device";
}
}  // namespace

Emulator::Emulator() = default;
Emulator::~Emulator() = default;

EmulatedDevice& Emulator::AddDevice(Product product, std::string name) {
  std::lock_guard lock(mutex_);
  auto taken = [&](const std::string& n) {
    for (const auto& d : devices_)
      if (d->name() == n) return true;
    return false;
  };
  if (name.empty()) name = DefaultName(product);
  if (taken(name)) {
    int k = 2;
    while (taken(name + std::to_string(k))) ++k;
    name += std::to_string(k);
  }
  devices_.push_back(std::make_shared<EmulatedDevice>(product, std::move(name)));
  return *devices_.back();
}

void Emulator::AddDefaultSet() {
  AddDevice(Product::kKeyboard).Plug(Link::kCable);
  EmulatedDevice& mouse = AddDevice(Product::kMouse);
  mouse.SetPoweredOn(true);
  mouse.Plug(Link::kReceiver);
  AddDevice(Product::kMousePad).Plug(Link::kCable);
  AddDevice(Product::kHeadset).Plug(Link::kCable);
}

EmulatedDevice* Emulator::Find(std::string_view name) const {
  std::lock_guard lock(mutex_);
  for (const auto& d : devices_)
    if (d->name() == name) return d.get();
  return nullptr;
}

std::vector<std::shared_ptr<EmulatedDevice>> Emulator::Devices() const {
  std::lock_guard lock(mutex_);
  return devices_;
}

std::vector<PresentInterface> Emulator::PresentInterfaces() const {
  std::vector<PresentInterface> present;
  for (const auto& d : Devices()) {
    for (Link link : {Link::kCable, Link::kReceiver}) {
      if (!d->IsPlugged(link)) continue;
      std::string node = d->name();
      if (link == Link::kReceiver) node += kReceiverSuffix;
      present.push_back(PresentInterface{std::move(node), d, link, d->Identity(link)});
    }
  }
  return present;
}

bool Emulator::NodeIdentity(std::string_view node, PresentInterface& out) const {
  Link link = Link::kCable;
  std::string_view name = node;
  if (name.size() > kReceiverSuffix.size() && name.ends_with(kReceiverSuffix)) {
    // A device may itself be named "...-receiver": the exact name wins.
    if (!Find(name)) {
      name.remove_suffix(kReceiverSuffix.size());
      link = Link::kReceiver;
    }
  }
  EmulatedDevice* d = Find(name);
  if (!d || !d->IsPlugged(link)) return false;
  for (const auto& shared : Devices()) {
    if (shared.get() == d) {
      out = PresentInterface{std::string(node), shared, link, d->Identity(link)};
      return true;
    }
  }
  return false;
}

std::shared_ptr<HidConnection> Emulator::Connect(std::string_view node, bool read, bool write) const {
  PresentInterface p;
  if (!NodeIdentity(node, p)) return nullptr;
  return p.device->Connect(p.link, read, write);
}

}  // namespace brimvex::emulator
