#pragma once
// The skin's resources: the folder, the resource list "res.xml" (key -> layout file), the
// language texts with the program's text-query interface, and the shared font table.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brimvex::ui {

class Window;

class TextQuery {
 public:
  virtual ~TextQuery() = default;
  // The text for a language key, or nullopt to fall back to the language file.
  virtual std::optional<std::string> QueryText(std::string_view key) = 0;
};

struct FontSpec {
  int id = 0;
  std::string face;
  int size = 14;  // pixels at 96 DPI
  bool bold = false;
  bool underline = false;
  bool italic = false;
  bool shared = true;
};

class ResourceManager {
 public:
  // Sets the skin folder (ending in "/") and reads its "res.xml". False (see LastError) when
  // the list is missing or broken; the folder is kept either way.
  bool LoadResource(const std::string& skin_folder);
  const std::string& ResourcePath() const { return skin_folder_; }
  // A resource key ("XML_MAIN") or a relative path ("XML/x.xml", "\\" allowed) -> full path.
  std::string ResolveFile(std::string_view key_or_path) const;
  const std::map<std::string, std::string, std::less<>>& Resources() const { return resources_; }

  void SetTextQueryInterface(TextQuery* query) { query_ = query; }
  void SetLanguage(std::string name) { language_ = std::move(name); }
  const std::string& Language() const { return language_; }
  // Reads a language file (a path, or a name looked up in the language folder). On failure the
  // current texts stay and LastError names the file.
  bool LoadLanguage(const std::string& file);
  void SetLanguageFolder(std::string folder) { language_folder_ = std::move(folder); }
  const std::string& LanguageFolder() const { return language_folder_; }
  // Text for a key: the language file first, then the text-query interface, else the key.
  std::string Text(std::string_view key) const;
  // Re-resolves the texts of every window's controls.
  void ReloadText();
  void AddWindow(Window* window);
  void RemoveWindow(Window* window);

  // The font table is changed in three steps (remove all, add, set the default) and the
  // windows are told once it is complete: RelayoutWindows lays every window out again.
  void RemoveAllFonts();
  void AddFont(const FontSpec& font);
  void SetDefaultFont(const FontSpec& font);
  const FontSpec& DefaultFont() const { return default_font_; }
  // The font with that id, or the default font.
  const FontSpec& Font(int id) const;
  const std::vector<FontSpec>& Fonts() const { return fonts_; }
  void RelayoutWindows();

  const std::string& LastError() const { return error_; }

 private:
  std::string skin_folder_;
  std::string language_folder_;
  std::string language_;
  std::map<std::string, std::string, std::less<>> resources_;
  std::map<std::string, std::string, std::less<>> texts_;
  TextQuery* query_ = nullptr;
  std::vector<Window*> windows_;
  std::vector<FontSpec> fonts_;
  FontSpec default_font_{-1, "", 14};
  std::string error_;
};

}  // namespace brimvex::ui
