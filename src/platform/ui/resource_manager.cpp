#include "platform/ui/resource_manager.h"

#include <algorithm>
#include <pugixml.hpp>

#include "platform/ui/window.h"

namespace brimvex::ui {
namespace {

std::string Normalised(std::string_view path) {
  std::string p(path);
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

std::string LoadError(const std::string& file, const pugi::xml_parse_result& r) {
  if (r.status == pugi::status_file_not_found) return file + ": file not found";
  if (r.status == pugi::status_io_error) return file + ": cannot be read";
  return file + ": " + r.description() + " at offset " + std::to_string(r.offset);
}

}  // namespace

bool ResourceManager::LoadResource(const std::string& skin_folder) {
  skin_folder_ = skin_folder;
  if (!skin_folder_.empty() && skin_folder_.back() != '/') skin_folder_ += '/';
  resources_.clear();
  const std::string file = skin_folder_ + "res.xml";
  pugi::xml_document doc;
  const auto r = doc.load_file(file.c_str());
  if (!r) {
    error_ = LoadError(file, r);
    return false;
  }
  const auto root = doc.child("Resources");
  if (!root) {
    error_ = file + ": the root element must be <Resources>";
    return false;
  }
  for (const auto& item : root.children()) {
    if (item.type() != pugi::node_element) continue;
    const std::string key = item.attribute("key").as_string();
    const std::string path = item.attribute("file").as_string();
    if (std::string_view(item.name()) != "Resource" || key.empty() || path.empty()) {
      error_ = file + ": expected <Resource key=\"...\" file=\"...\"/>, found <" + item.name() + ">";
      resources_.clear();
      return false;
    }
    resources_[key] = Normalised(path);
  }
  return true;
}

std::string ResourceManager::ResolveFile(std::string_view key_or_path) const {
  std::string relative;
  if (auto it = resources_.find(key_or_path); it != resources_.end()) {
    relative = it->second;
  } else {
    relative = Normalised(key_or_path);
  }
  if (!relative.empty() && relative.front() == '/') return relative;
  return skin_folder_ + relative;
}

bool ResourceManager::LoadLanguage(const std::string& file) {
  std::string path = Normalised(file);
  if (path.find('/') == std::string::npos) path = language_folder_ + path;
  pugi::xml_document doc;
  const auto r = doc.load_file(path.c_str());
  if (!r) {
    error_ = LoadError(path, r);
    return false;
  }
  const auto root = doc.child("Language");
  if (!root) {
    error_ = path + ": the root element must be <Language>";
    return false;
  }
  std::map<std::string, std::string, std::less<>> texts;
  for (const auto& t : root.children("Text")) {
    const std::string key = t.attribute("key").as_string();
    if (key.empty()) {
      error_ = path + ": a <Text> without key at offset " + std::to_string(t.offset_debug());
      return false;
    }
    texts[key] = t.text().as_string();
  }
  texts_ = std::move(texts);
  if (auto name = root.attribute("name")) language_ = name.as_string();
  return true;
}

std::string ResourceManager::Text(std::string_view key) const {
  if (key.empty()) return {};
  if (auto it = texts_.find(key); it != texts_.end()) return it->second;
  if (query_ != nullptr) {
    if (auto t = query_->QueryText(key)) return *t;
  }
  return std::string(key);
}

void ResourceManager::ReloadText() {
  for (Window* w : windows_) w->ReloadText();
}

void ResourceManager::RelayoutWindows() {
  for (Window* w : windows_) w->Relayout();
}

void ResourceManager::AddWindow(Window* window) {
  if (std::find(windows_.begin(), windows_.end(), window) == windows_.end()) windows_.push_back(window);
}

void ResourceManager::RemoveWindow(Window* window) { std::erase(windows_, window); }

void ResourceManager::RemoveAllFonts() { fonts_.clear(); }

void ResourceManager::AddFont(const FontSpec& font) {
  auto it = std::find_if(fonts_.begin(), fonts_.end(), [&](const FontSpec& f) { return f.id == font.id; });
  if (it != fonts_.end()) {
    *it = font;
  } else {
    fonts_.push_back(font);
  }
}

void ResourceManager::SetDefaultFont(const FontSpec& font) {
  default_font_ = font;
  default_font_.id = -1;
}

const FontSpec& ResourceManager::Font(int id) const {
  auto it = std::find_if(fonts_.begin(), fonts_.end(), [&](const FontSpec& f) { return f.id == id; });
  return it != fonts_.end() ? *it : default_font_;
}

}  // namespace brimvex::ui
