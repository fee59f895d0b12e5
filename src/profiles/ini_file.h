#pragma once
// Profile (INI) files in the Windows form: "[SECTION]" lines, "KEY=value" lines, ";" comments.
// Section and key names are found without regard to ASCII case; values are trimmed, and a value
// in matching quotes loses them. Setting a value changes only its own line (or adds one), so
// other sections, keys, comments and unknown lines stay as they were, with the file's own line
// ends. Saving is atomic.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brimvex::profiles {

class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::string_view text);

  // The file's text; nullopt when it exists but cannot be read. A missing file reads as empty.
  static std::optional<IniFile> Load(const std::string& path);

  // The value of the first key of that name in the first section of that name.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the value of that key (keeping the key's spelling), or adds the key at the end of
  // the section, or the section at the end of the file.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Text() const;
  // Written atomically; false (the old file untouched) when it could not be.
  bool Save(const std::string& path, std::string* error = nullptr) const;

 private:
  // Index of the header line of the section, or -1.
  int FindSection(std::string_view section) const;
  // Line index of the key inside the section that starts at `header`, or -1.
  int FindKey(int header, std::string_view key) const;
  // One past the last line of the section that starts at `header`.
  int SectionEnd(int header) const;

  std::vector<std::string> lines_;
  std::string line_end_ = "\n";
  bool ends_with_line_end_ = true;
};

}  // namespace brimvex::profiles
