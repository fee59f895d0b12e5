#pragma once
// The audio record's edits in the light editor, without the controls: which colour the colour
// controls edit, and what each audio control does to the record.
#include <cstdint>
#include <optional>
#include <string_view>

#include "profiles/profile_records.h"

namespace brimvex::lighting {

// Byte 8 after reading the editor: 0 (background) when the background option is selected and
// either the previous byte 8 was 1 or the foreground option is not selected; otherwise 1.
std::uint8_t AudioColorTarget(std::uint8_t previous, bool background_selected, bool foreground_selected);

// Component 0 (red), 1 (green) or 2 (blue) of the target colour set from typed text: a decimal
// number, above 255 taken as 255, empty (or not a number) as 0. A foreground edit also clears
// the 7-colour flag. False for another component.
bool SetTypedComponent(profiles::AudioLightInfo& info, int component, std::string_view text);
// The target colour set to 0xAARRGGBB (a palette or preset colour); a preset clears the
// foreground's 7-colour flag.
void SetTargetColor(profiles::AudioLightInfo& info, std::uint32_t argb, bool preset);
// "Close_bkColor_btn": the background goes black.
void ClearBackground(profiles::AudioLightInfo& info);
// Audio mode 3 draws in its own colours: the colour group and palette are disabled.
inline bool AudioColorsEditable(std::uint8_t audio_mode) { return audio_mode != 3; }

}  // namespace brimvex::lighting
