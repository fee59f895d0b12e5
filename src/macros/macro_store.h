#pragma once
// A device's macro store: "macro.config" (names and identifiers in macro number order) and one
// "<identifier>.mac" per saved macro, in the device data folder. The files are the state: every
// call reads them, every change writes them atomically, and a store that cannot be parsed is
// kept aside before it is replaced.
#include <json/value.h>

#include <string>
#include <vector>

#include "macros/macro_files.h"
#include "macros/macro_source.h"

namespace brimvex::macros {

class MacroStore : public MacroSource {
 public:
  explicit MacroStore(std::string folder);

  const std::string& folder() const { return folder_; }
  std::string StorePath() const { return folder_ + kStoreFileName; }
  // The macro file of an entry; "" for an entry whose identifier names no file.
  std::string MacroPath(const StoreEntry& entry) const;

  StoreContent Read() const { return ReadStore(StorePath()); }
  std::vector<StoreEntry> Entries() const { return Read().entries; }

  std::optional<std::vector<std::string>> Names() const override;
  std::vector<MacroEvent> Events(int index) const override;
  // The parsed macro file of entry `index`; null when it has none, is missing or does not parse.
  Json::Value Document(int index) const;

  struct Change {
    bool ok = false;
    int index = -1;
    std::string name;
    ImportCheck check;  // what Import found
  };
  // A new entry at the end with a new identifier; refused at kMaxMacros entries.
  Change Append(const std::string& name);
  // Checks the file, names the entry after its title ("Combo", "Combo_2", ...), copies it byte
  // for byte into a new macro file and appends the entry. Nothing changes when it is refused.
  Change Import(const std::string& path);
  // The smallest "macro_N" no entry is named (case ignored).
  std::string FreeDefaultName() const;
  // Whether an entry other than `except` has this name (case ignored).
  bool NameTaken(const std::string& name, int except = -1) const;
  bool Rename(int index, const std::string& name);
  // Removes entry `index` (later ones move up) and deletes its macro file.
  bool Remove(int index);
  // Writes the macro file of entry `index`: "Events", "Guid", "MacroName", "Version" 64.
  bool Save(int index, const Json::Value& events);
  // Copies the macro file to `path` unchanged; a never-saved macro exports an empty file.
  bool Export(int index, const std::string& path) const;

 private:
  bool WriteStore(const StoreContent& content, const std::vector<StoreEntry>& entries) const;

  std::string folder_;
};

// Case-insensitive equality of names (ASCII letters; other bytes compare as they are).
bool SameName(const std::string& a, const std::string& b);

}  // namespace brimvex::macros
