#pragma once
// The four font files the program adds for itself, read from "Font/" in the program folder.
// Files are read first (before the toolkit exists); they are added once the frontend is up
// and removed in reverse order at the end. A missing or unreadable file is skipped.
#include <array>
#include <string>
#include <string_view>

#include "platform/ui/frontend.h"

namespace brimvex::app {

inline constexpr std::array<std::string_view, 4> kFontFiles = {"Font/Simplified_Chinese.ttf", "Font/Gravon-Regular.otf",
                                                               "Font/NotoSansThai-Regular.ttf",
                                                               "Font/NotoSansCJKtc-Regular.otf"};

class FontLoader {
 public:
  // Reads the file `relative` below `program_folder`; false (and skipped) when it cannot.
  bool Read(const std::string& program_folder, std::string_view relative);
  // Adds the read bytes as a private font; false when there is nothing or the frontend refuses.
  bool Add(ui::Frontend& frontend);
  void Remove();
  bool Loaded() const { return handle_ >= 0; }

 private:
  std::string folder_;
  std::string bytes_;
  ui::Frontend* frontend_ = nullptr;
  int handle_ = -1;
};

class FontSet {
 public:
  ~FontSet() { RemoveAll(); }
  void ReadAll(const std::string& program_folder);
  // How many were added.
  int AddAll(ui::Frontend& frontend);
  void RemoveAll();

 private:
  std::array<FontLoader, kFontFiles.size()> loaders_;
};

}  // namespace brimvex::app
