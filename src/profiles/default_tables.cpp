#include "profiles/default_tables.h"

namespace brimvex::profiles {
namespace {

// A plain key by its keyboard usage; a modifier by its bit; "none" is a key without function.
constexpr KeyCode Key(std::uint8_t usage) { return {0x20, 0x00, usage}; }
constexpr KeyCode Mod(std::uint8_t bit) { return {0x20, bit, 0x00}; }
constexpr KeyCode kNone{0x20, 0x00, 0x00};

}  // namespace

const std::array<PageKey, kKeyboardPageKeyCount> kKeyboardPageKeys = {{
    {"Esc", Key(0x29)},
    {"F1", Key(0x3A)},
    {"F2", Key(0x3B)},
    {"F3", Key(0x3C)},
    {"F4", Key(0x3D)},
    {"F5", Key(0x3E)},
    {"F6", Key(0x3F)},
    {"F7", Key(0x40)},
    {"F8", Key(0x41)},
    {"F9", Key(0x42)},
    {"F10", Key(0x43)},
    {"F11", Key(0x44)},
    {"F12", Key(0x45)},
    {"Print Scr", Key(0x46)},
    {"Scroll Lock", Key(0x47)},
    {"Pause", Key(0x48)},
    {"GM", {0xA0, 0x1B, 0x00}},
    {"Key17", {0xA0, 0x24, 0x00}},
    {"none", kNone},
    {"none", kNone},
    {"none", kNone},
    {"`", Key(0x35)},  // 21
    {"1", Key(0x1E)},
    {"2", Key(0x1F)},
    {"3", Key(0x20)},
    {"4", Key(0x21)},
    {"5", Key(0x22)},
    {"6", Key(0x23)},
    {"7", Key(0x24)},
    {"8", Key(0x25)},
    {"9", Key(0x26)},
    {"0", Key(0x27)},
    {"-", Key(0x2D)},
    {"=", Key(0x2E)},
    {"BackSpace", Key(0x2A)},
    {"Insert", Key(0x49)},
    {"Home", Key(0x4A)},
    {"Page Up", Key(0x4B)},
    {"Num Lock", Key(0x53)},
    {"Num /", Key(0x54)},
    {"Num *", Key(0x55)},
    {"Num -", Key(0x56)},
    {"Tab", Key(0x2B)},  // 42
    {"Q", Key(0x14)},
    {"W", Key(0x1A)},
    {"E", Key(0x08)},
    {"R", Key(0x15)},
    {"T", Key(0x17)},
    {"Y", Key(0x1C)},
    {"U", Key(0x18)},
    {"I", Key(0x0C)},
    {"O", Key(0x12)},
    {"P", Key(0x13)},
    {"[", Key(0x2F)},
    {"]", Key(0x30)},
    {"backslash", Key(0x31)},
    {"Delete", Key(0x4C)},
    {"End", Key(0x4D)},
    {"Page Down", Key(0x4E)},
    {"Num 7", Key(0x5F)},
    {"Num 8", Key(0x60)},
    {"Num 9", Key(0x61)},
    {"K42", Key(0x32)},
    {"Caps Lock", Key(0x39)},  // 63
    {"A", Key(0x04)},
    {"S", Key(0x16)},
    {"D", Key(0x07)},
    {"F", Key(0x09)},
    {"G", Key(0x0A)},
    {"H", Key(0x0B)},
    {"J", Key(0x0D)},
    {"K", Key(0x0E)},
    {"L", Key(0x0F)},
    {";", Key(0x33)},
    {"'", Key(0x34)},
    {"Enter", Key(0x28)},
    {"Num 4", Key(0x5C)},
    {"Num 5", Key(0x5D)},
    {"Num 6", Key(0x5E)},
    {"K132", Key(0x8A)},
    {"K131", Key(0x8B)},
    {"K151", Key(0x90)},
    {"K150", Key(0x91)},
    {"K133", Key(0x88)},
    {"LShift", Mod(0x02)},  // 84
    {"Z", Key(0x1D)},
    {"X", Key(0x1B)},
    {"C", Key(0x06)},
    {"V", Key(0x19)},
    {"B", Key(0x05)},
    {"N", Key(0x11)},
    {"M", Key(0x10)},
    {"comma", Key(0x36)},
    {".", Key(0x37)},
    {"/", Key(0x38)},
    {"RShift", Mod(0x20)},
    {"Up", Key(0x52)},
    {"Num 1", Key(0x59)},
    {"Num 2", Key(0x5A)},
    {"Num 3", Key(0x5B)},
    {"K56", Key(0x87)},
    {"K14", Key(0x89)},
    {"K45", Key(0x64)},
    {"K107", Key(0x85)},
    {"none", kNone},
    {"LCtrl", Mod(0x01)},  // 105
    {"LWin", Mod(0x08)},
    {"LAlt", Mod(0x04)},
    {"Space", Key(0x2C)},
    {"RAlt", Mod(0x40)},
    {"FN", {0xA0, 0x01, 0x00}},
    {"App", Key(0x65)},
    {"RCtrl", Mod(0x10)},
    {"Left", Key(0x50)},
    {"Down", Key(0x51)},
    {"Right", Key(0x4F)},
    {"Num 0", Key(0x62)},
    {"Decimal", Key(0x63)},
    {"Num Enter", Key(0x58)},
    {"Num +", Key(0x57)},
    {"M1", {0xD0, 0xA2, 0x01}},  // 120
    {"M2", {0xD0, 0xA2, 0x02}},
    {"M3", {0xD0, 0xA2, 0x03}},
    {"M4", {0xD0, 0xA2, 0x04}},
    {"M5", {0xD0, 0xA2, 0x05}},
    {"RWin", Mod(0x80)},
}};

const std::array<PageKey, kMousePageKeyCount> kMousePageKeys = {{
    {"left button", {0x10, 0x01, 0x00}},
    {"right button", {0x10, 0x02, 0x00}},
    {"middle button", {0x10, 0x04, 0x00}},
    {"forward", {0x10, 0x10, 0x00}},
    {"back", {0x10, 0x08, 0x00}},
    {"resolution up", {0x13, 0x01, 0x00}},
    {"resolution down", {0x13, 0x02, 0x00}},
    {"resolution cycle", {0x13, 0x03, 0x00}},
    {"GM", {0xA0, 0x1B, 0x00}},
    {"resolution shift", {0x16, 0x90, 0x01}},
    {"fire", {0x14, 0x78, 0x02}},
}};

const std::array<std::array<std::int8_t, kEqBandCount>, kEqPresetCount> kEqPresets = {{
    {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},
    {7, 11, 6, -3, -11, -1, 6, 13, 6, 13},
    {10, 4, 0, -3, -4, -3, -2, -1, 0, 0},
    {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},
    {14, 10, 4, 0, -4, -3, -1, 1, 2, 3},
    {2, 1, -2, -3, -5, -1, 7, 11, 15, 13},
    {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},
    {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0},
    {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},
    {2, 1, -2, -4, -8, 4, 12, 16, 18, 15},
}};

// Slider units (counts per inch = value x step + base on the usual sensors): five rising stages,
// each with its own colour.
const std::array<StageRecord, kStageCount> kDefaultMouseStages = {{
    {1, 0, 7, 7, 255, 0, 0},
    {1, 0, 15, 15, 0, 255, 0},
    {1, 0, 31, 31, 0, 0, 255},
    {1, 0, 47, 47, 255, 255, 0},
    {1, 0, 63, 63, 255, 0, 255},
}};

// Slider positions of the pointer page: double-click, speed, precision on, scroll by lines, 3 lines;
// report rate option 0.
const PointerOptions kDefaultPointerOptions{5, 4, 1, 0, 2, 0};

// Repeat slider, delay index 1 (500 ms), no 6-key mode, no W/Windows lock, polling option 0.
const KeyboardSystemSettings kDefaultKeyboardSystemSettings{20, 1, 0, 0, 0, 0, 0};

const AudioLightInfo kDefaultKeyboardAudioLight{0, 0, 0, 255, 255, 0, 0, 1, 1};

// Voice changer off (type 1), flat preset 5, microphone on at 80, monitoring off at 50.
const VoiceState kDefaultVoiceState{0, 1, 5, 0, 1, 80, 0, 50};

// Mode 1 (column wave) on the keyboard, mode 0 (wave) on the others; full brightness, middle
// speed, seven colours.
const LightInfo kDefaultKeyboardLight{1, 4, 2, 1, 1, 255, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0};
const LightInfo kDefaultMouseLight{0, 4, 2, 1, 1, 255, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0};
const LightInfo kDefaultMousePadLight{0, 4, 2, 1, 1, 255, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0};
const LightInfo kDefaultHeadsetLight{0, 4, 2, 1, 1, 255, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0};

}  // namespace brimvex::profiles
