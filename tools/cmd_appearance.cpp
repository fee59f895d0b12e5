// brimvexctl language [NAME] and brimvexctl skin [color=RRGGBB | image=FILE | reset]: the
// interface language and the window background of the running Brimvex. Both print the state
// afterwards: the languages ("* " before the current one), or the background of the window.
#include <filesystem>
#include <iostream>
#include <memory>

#include "app/app_messages.h"
#include "app/control_request.h"
#include "ask_brimvex.h"
#include "commands.h"

namespace brimvex::tools {
namespace {

// Applying a language relays out every window; give it time on a busy machine.
constexpr platform::Millis kAppearanceWait{10000};

bool IsHexColor(const std::string& text) {
  if (text.size() != 6) return false;
  for (char c : text)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

int AskSkin(const std::string& arg) {
  std::vector<std::string> words{"skin"};
  if (!arg.empty()) {
    if (arg == "reset" || (arg.starts_with("color=") && IsHexColor(arg.substr(6)))) {
      words.push_back(arg);
    } else if (arg.starts_with("image=") && arg.size() > 6) {
      std::error_code ec;
      const auto absolute = std::filesystem::absolute(arg.substr(6), ec);
      if (ec) {
        std::cerr << "brimvexctl: " << arg.substr(6) << ": " << ec.message() << "\n";
        return app::kExitMalformed;
      }
      words.push_back("image=" + absolute.lexically_normal().string());
    } else {
      std::cerr << "brimvexctl: expected color=RRGGBB, image=FILE or reset, not \"" << arg << "\"\n";
      return app::kExitMalformed;
    }
  }
  return AskBrimvex(std::string(app::kAppIdentifier), words, kAppearanceWait);
}

}  // namespace

void AddAppearanceCommands(CLI::App& app) {
  auto language = std::make_shared<std::string>();
  auto* lang = app.add_subcommand("language", "list the interface languages of the running Brimvex, or choose one");
  lang->add_option("NAME", *language, "a language name (without regard to case) or its index");
  lang->callback([language] {
    std::vector<std::string> words{"language"};
    if (!language->empty()) words.push_back(*language);
    ExitCode() = AskBrimvex(std::string(app::kAppIdentifier), words, kAppearanceWait);
  });
  auto skin = std::make_shared<std::string>();
  auto* sk = app.add_subcommand("skin", "show the window background of the running Brimvex, or change it");
  sk->add_option("CHOICE", *skin, "color=RRGGBB, image=FILE (a picture of your own) or reset");
  sk->callback([skin] { ExitCode() = AskSkin(*skin); });
}

}  // namespace brimvex::tools
