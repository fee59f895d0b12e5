#pragma once
// The skin-change message and the one observer of the process that hands it to every receiver
// (the main window), in the order they registered. UI thread only.
#include <cstdint>
#include <string>
#include <vector>

namespace brimvex::appearance {

struct SkinChangedParam {
  bool is_color = false;    // true: a plain colour; false: a picture
  std::uint32_t color = 0;  // 0xAARRGGBB, when is_color
  std::string image;        // a skin resource path or an absolute file path, when !is_color
  bool operator==(const SkinChangedParam&) const = default;
};

class SkinReceiver {
 public:
  virtual ~SkinReceiver() = default;
  virtual void ReceiveSkin(const SkinChangedParam& param) = 0;
};

class SkinObserver {
 public:
  // Created on first use; lives for the whole process.
  static SkinObserver& Instance();
  void AddReceiver(SkinReceiver* receiver);
  void RemoveReceiver(SkinReceiver* receiver);
  // Each receiver still registered when its turn comes gets the message.
  void Broadcast(const SkinChangedParam& param);

 private:
  std::vector<SkinReceiver*> receivers_;
};

}  // namespace brimvex::appearance
