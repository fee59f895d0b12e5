#include "app/font_loader.h"

#include <fstream>
#include <iterator>

namespace brimvex::app {

bool FontLoader::Read(const std::string& program_folder, std::string_view relative) {
  folder_ = program_folder;
  bytes_.clear();
  std::ifstream in(program_folder + std::string(relative), std::ios::binary);
  if (!in) return false;
  bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) bytes_.clear();
  return !bytes_.empty();
}

bool FontLoader::Add(ui::Frontend& frontend) {
  if (bytes_.empty() || handle_ >= 0) return false;
  handle_ = frontend.AddFont(bytes_);
  bytes_.clear();
  bytes_.shrink_to_fit();
  if (handle_ < 0) return false;
  frontend_ = &frontend;
  return true;
}

void FontLoader::Remove() {
  if (handle_ >= 0 && frontend_ != nullptr) frontend_->RemoveFont(handle_);
  handle_ = -1;
  frontend_ = nullptr;
}

void FontSet::ReadAll(const std::string& program_folder) {
  for (std::size_t i = 0; i < kFontFiles.size(); ++i) loaders_[i].Read(program_folder, kFontFiles[i]);
}

int FontSet::AddAll(ui::Frontend& frontend) {
  int n = 0;
  for (auto& l : loaders_) n += l.Add(frontend) ? 1 : 0;
  return n;
}

void FontSet::RemoveAll() {
  for (auto it = loaders_.rbegin(); it != loaders_.rend(); ++it) it->Remove();
}

}  // namespace brimvex::app
