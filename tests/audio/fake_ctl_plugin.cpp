// A fake headset card for the ALSA audio chip library's tests: an external control plugin
// (alsa-lib's snd_ctl_ext) whose controls live in memory. The configuration names which
// volumes exist: `capture NAME` ("NAME Capture Volume" and "... Switch"), `sidetone NAME` and
// `playback NAME` (their "Playback" pairs). Values are kept per card name for the whole process,
// so a test reads what the library wrote by opening the card again.
#include <alsa/asoundlib.h>
#include <alsa/control_external.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr unsigned int kChannels = 2;

struct Control {
  std::string name;
  bool is_switch = false;
  long min = 0;
  long max = 1;
  int db_min = 0;  // 0.01 dB
  int db_max = 0;
  long value[kChannels] = {};
};

struct Card {
  std::vector<Control> controls;
};

std::mutex& Lock() {
  static std::mutex m;
  return m;
}

std::map<std::string, Card>& Cards() {
  static std::map<std::string, Card> cards;
  return cards;
}

// Volume ranges: capture 0..100 over -40..+10 dB, sidetone 0..31 over -31..0 dB, playback
// 0..255 over -63.75..0 dB. Switches start on except the sidetone's.
void AddPair(Card& card, const std::string& base, const char* side, long max, int db_min, int db_max, long start,
             bool on) {
  const std::string stem = base == side ? base : base + " " + side;
  Control volume{stem + " Volume", false, 0, max, db_min, db_max, {start, start}};
  Control sw{stem + " Switch", true, 0, 1, 0, 0, {on ? 1 : 0, on ? 1 : 0}};
  card.controls.push_back(volume);
  card.controls.push_back(sw);
}

struct Plugin {
  snd_ctl_ext_t ext{};
  Card* card = nullptr;
};

Card* CardOf(snd_ctl_ext_t* ext) { return static_cast<Plugin*>(ext->private_data)->card; }

int ElemCount(snd_ctl_ext_t* ext) {
  std::lock_guard lock(Lock());
  return static_cast<int>(CardOf(ext)->controls.size());
}

int ElemList(snd_ctl_ext_t* ext, unsigned int offset, snd_ctl_elem_id_t* id) {
  std::lock_guard lock(Lock());
  const Card* card = CardOf(ext);
  if (offset >= card->controls.size()) return -EINVAL;
  snd_ctl_elem_id_set_interface(id, SND_CTL_ELEM_IFACE_MIXER);
  snd_ctl_elem_id_set_name(id, card->controls[offset].name.c_str());
  return 0;
}

snd_ctl_ext_key_t FindElem(snd_ctl_ext_t* ext, const snd_ctl_elem_id_t* id) {
  std::lock_guard lock(Lock());
  const Card* card = CardOf(ext);
  const char* name = snd_ctl_elem_id_get_name(id);
  for (std::size_t i = 0; i < card->controls.size(); ++i)
    if (name != nullptr && card->controls[i].name == name) return i;
  const unsigned int numid = snd_ctl_elem_id_get_numid(id);
  if (numid > 0 && numid <= card->controls.size()) return numid - 1;
  return SND_CTL_EXT_KEY_NOT_FOUND;
}

int GetAttribute(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, int* type, unsigned int* acc, unsigned int* count) {
  std::lock_guard lock(Lock());
  const Control& c = CardOf(ext)->controls.at(key);
  *type = c.is_switch ? SND_CTL_ELEM_TYPE_BOOLEAN : SND_CTL_ELEM_TYPE_INTEGER;
  *acc = SND_CTL_EXT_ACCESS_READWRITE;
  if (!c.is_switch) *acc |= SND_CTL_EXT_ACCESS_TLV_READ | SND_CTL_EXT_ACCESS_TLV_CALLBACK;
  *count = kChannels;
  return 0;
}

int GetIntegerInfo(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* imin, long* imax, long* istep) {
  std::lock_guard lock(Lock());
  const Control& c = CardOf(ext)->controls.at(key);
  *imin = c.min;
  *imax = c.max;
  *istep = 1;
  return 0;
}

int ReadInteger(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* value) {
  std::lock_guard lock(Lock());
  const Control& c = CardOf(ext)->controls.at(key);
  std::memcpy(value, c.value, sizeof c.value);
  return 0;
}

int WriteInteger(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* value) {
  std::lock_guard lock(Lock());
  Control& c = CardOf(ext)->controls.at(key);
  for (unsigned int i = 0; i < kChannels; ++i)
    if (value[i] < c.min || value[i] > c.max) return -EINVAL;
  const bool changed = std::memcmp(value, c.value, sizeof c.value) != 0;
  std::memcpy(c.value, value, sizeof c.value);
  return changed ? 1 : 0;
}

int Tlv(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, int op_flag, unsigned int, unsigned int* tlv, unsigned int size) {
  std::lock_guard lock(Lock());
  const Control& c = CardOf(ext)->controls.at(key);
  if (op_flag != 0 || c.is_switch) return -ENXIO;
  if (size < 4 * sizeof(unsigned int)) return -ENOMEM;
  tlv[0] = SND_CTL_TLVT_DB_MINMAX;
  tlv[1] = 2 * sizeof(unsigned int);
  tlv[2] = static_cast<unsigned int>(c.db_min);
  tlv[3] = static_cast<unsigned int>(c.db_max);
  return 0;
}

void Close(snd_ctl_ext_t* ext) { delete static_cast<Plugin*>(ext->private_data); }

const snd_ctl_ext_callback_t kCallbacks = [] {
  snd_ctl_ext_callback_t cb{};
  cb.close = Close;
  cb.elem_count = ElemCount;
  cb.elem_list = ElemList;
  cb.find_elem = FindElem;
  cb.get_attribute = GetAttribute;
  cb.get_integer_info = GetIntegerInfo;
  cb.read_integer = ReadInteger;
  cb.write_integer = WriteInteger;
  return cb;
}();

}  // namespace

extern "C" SND_CTL_PLUGIN_DEFINE_FUNC(bvxfake) {
  (void)root;
  std::string capture, sidetone, playback;
  snd_config_iterator_t i, next;
  snd_config_for_each(i, next, conf) {
    snd_config_t* n = snd_config_iterator_entry(i);
    const char* id = nullptr;
    const char* text = nullptr;
    if (snd_config_get_id(n, &id) < 0) continue;
    if (std::strcmp(id, "comment") == 0 || std::strcmp(id, "type") == 0 || std::strcmp(id, "hint") == 0) continue;
    if (snd_config_get_string(n, &text) < 0) return -EINVAL;
    if (std::strcmp(id, "capture") == 0) capture = text;
    else if (std::strcmp(id, "sidetone") == 0) sidetone = text;
    else if (std::strcmp(id, "playback") == 0) playback = text;
    else return -EINVAL;
  }
  Card* card = nullptr;
  {
    std::lock_guard lock(Lock());
    auto [it, fresh] = Cards().try_emplace(name);
    card = &it->second;
    if (fresh) {
      if (!capture.empty()) AddPair(*card, capture, "Capture", 100, -4000, 1000, 80, true);
      if (!sidetone.empty()) AddPair(*card, sidetone, "Playback", 31, -3100, 0, 16, false);
      if (!playback.empty()) AddPair(*card, playback, "Playback", 255, -6375, 0, 200, true);
    }
  }
  auto* plugin = new Plugin;
  plugin->card = card;
  snd_ctl_ext_t& ext = plugin->ext;
  ext.version = SND_CTL_EXT_VERSION;
  ext.card_idx = 0;
  std::strcpy(ext.id, "bvxfake");
  std::strcpy(ext.driver, "bvxfake");
  std::strcpy(ext.name, "Fake headset");
  std::strcpy(ext.longname, "Fake headset card");
  std::strcpy(ext.mixername, "Fake headset");
  ext.poll_fd = -1;
  ext.callback = &kCallbacks;
  ext.private_data = plugin;
  ext.tlv.c = Tlv;
  const int err = snd_ctl_ext_create(&ext, name, mode);
  if (err < 0) {
    delete plugin;
    return err;
  }
  *handlep = ext.handle;
  return 0;
}

extern "C" {
SND_CTL_PLUGIN_SYMBOL(bvxfake)
}
