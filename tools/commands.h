#pragma once
// Each brimvexctl subcommand lives in its own file and adds itself to the command line here.
#include <CLI/CLI.hpp>

namespace brimvex::tools {

// The exit code a subcommand asks for once CLI11 has run its callback (app/control_request.h
// names them: 0 done, 1 failed or no instance, 2 malformed words, 3 refused or unreachable).
int& ExitCode();

// `activate`: what a second instance does, hand over to the running Brimvex.
void AddActivateCommand(CLI::App& app);
// `send NAME [WPARAM] [LPARAM] [--payload-file FILE]`: post a message to the running Brimvex.
void AddSendCommand(CLI::App& app);
// `info KIND [--emulate] [--wireless]`: read a product's information block and status.
void AddInfoCommand(CLI::App& app);
// `list [--emulate]`: the HID interfaces of the supported products (or of the emulated set).
void AddListCommand(CLI::App& app);
// `emu ACTION DEVICE [VALUE]`: turn the emulated devices of a running `brimvex --emulate`.
void AddEmuCommand(CLI::App& app);
// `devices [--timeout MS]`: the device list of the running Brimvex.
void AddDevicesCommand(CLI::App& app);
// `light-control on|off`: let the running Brimvex drive the device lights or not.
void AddLightControlCommand(CLI::App& app);
// `game start|end|kill|death [--mode N] [--variant V]`: a game light event.
void AddGameCommand(CLI::App& app);
// `profile [--device KIND] list|select|export|import|delete ...`: the running Brimvex's profiles.
void AddProfileCommand(CLI::App& app);
// `keymap keyboard [--emulate] | keymap keyboard set INDEX FUNCTION`: the keyboard's key map.
void AddKeymapCommand(CLI::App& app);
// `macro [--device keyboard|mouse] list|show|import|export|delete|bind ...`: the page's macros.
void AddMacroCommand(CLI::App& app);
// `recoil show | import FILE [--gun G]`: the mouse page's recoil editor.
void AddRecoilCommand(CLI::App& app);

// `audio-viz status`: the running Brimvex's capture program, frames, peak and bands.
void AddAudioVizCommand(CLI::App& app);

// `headset [--emulate] [set KEY=VALUE ...]`: the running Brimvex's headset page, or the emulated
// audio chip's store.
void AddHeadsetCommand(CLI::App& app);

// `language [NAME]` and `skin [color=RRGGBB | image=FILE | reset]`: the running Brimvex's
// interface language and window background.
void AddAppearanceCommands(CLI::App& app);

// `update check [--url BASE] [--emulate]`: the update list checked against the update service.
void AddUpdateCommand(CLI::App& app);

}  // namespace brimvex::tools
