#include "appearance/skin_observer.h"

#include <algorithm>

namespace brimvex::appearance {

SkinObserver& SkinObserver::Instance() {
  static auto* observer = new SkinObserver();  // never destroyed: receivers may outlive statics
  return *observer;
}

void SkinObserver::AddReceiver(SkinReceiver* receiver) {
  if (receiver != nullptr && std::find(receivers_.begin(), receivers_.end(), receiver) == receivers_.end())
    receivers_.push_back(receiver);
}

void SkinObserver::RemoveReceiver(SkinReceiver* receiver) { std::erase(receivers_, receiver); }

void SkinObserver::Broadcast(const SkinChangedParam& param) {
  const auto receivers = receivers_;
  for (SkinReceiver* r : receivers) {
    if (std::find(receivers_.begin(), receivers_.end(), r) != receivers_.end()) r->ReceiveSkin(param);
  }
}

}  // namespace brimvex::appearance
