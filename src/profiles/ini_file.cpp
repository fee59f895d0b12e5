#include "profiles/ini_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/file_system.h"

namespace brimvex::profiles {
namespace {

constexpr std::string_view kBlank = " \t\r\n\f\v";

std::string_view Trim(std::string_view s) {
  const auto b = s.find_first_not_of(kBlank);
  if (b == std::string_view::npos) return {};
  const auto e = s.find_last_not_of(kBlank);
  return s.substr(b, e - b + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The section name of a "[name]" line, or nullopt.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line (not a comment, not a section), or nullopt.
std::optional<std::string_view> KeyName(std::string_view line) {
  const std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  const std::string_view key = Trim(line.substr(0, eq));
  if (key.empty()) return std::nullopt;
  return key;
}

}  // namespace

IniFile::IniFile(std::string_view text) {
  if (text.find("\r\n") != std::string_view::npos) line_end_ = "\r\n";
  ends_with_line_end_ = text.empty() || text.back() == '\n';
  std::size_t start = 0;
  while (start < text.size()) {
    auto nl = text.find('\n', start);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = text.substr(start, nl - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.emplace_back(line);
    start = nl + 1;
  }
}

std::optional<IniFile> IniFile::Load(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) return IniFile();
  if (status.type() != std::filesystem::file_type::regular) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  if (in.peek() != std::ifstream::traits_type::eof()) text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return IniFile(text.str());
}

int IniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i]);
    if (name && SameName(*name, Trim(section))) return static_cast<int>(i);
  }
  return -1;
}

int IniFile::SectionEnd(int header) const {
  auto i = static_cast<std::size_t>(header) + 1;
  while (i < lines_.size() && !SectionName(lines_[i])) ++i;
  return static_cast<int>(i);
}

int IniFile::FindKey(int header, std::string_view key) const {
  const int end = SectionEnd(header);
  for (int i = header + 1; i < end; ++i) {
    const auto name = KeyName(lines_[static_cast<std::size_t>(i)]);
    if (name && SameName(*name, Trim(key))) return i;
  }
  return -1;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  const int header = FindSection(section);
  if (header < 0) return std::nullopt;
  const int line = FindKey(header, key);
  if (line < 0) return std::nullopt;
  const std::string& text = lines_[static_cast<std::size_t>(line)];
  std::string_view value = Trim(std::string_view(text).substr(text.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  ends_with_line_end_ = true;
  const int header = FindSection(section);
  if (header < 0) {
    lines_.push_back("[" + std::string(Trim(section)) + "]");
    lines_.push_back(std::string(Trim(key)) + "=" + std::string(value));
    return;
  }
  if (const int line = FindKey(header, key); line >= 0) {
    std::string& text = lines_[static_cast<std::size_t>(line)];
    text = std::string(Trim(std::string_view(text).substr(0, text.find('=')))) + "=" + std::string(value);
    return;
  }
  // After the section's last non-blank line, so the blank lines before the next section stay.
  int at = SectionEnd(header);
  while (at > header + 1 && Trim(lines_[static_cast<std::size_t>(at - 1)]).empty()) --at;
  lines_.insert(lines_.begin() + at, std::string(Trim(key)) + "=" + std::string(value));
}

std::string IniFile::Text() const {
  std::string out;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i];
    if (i + 1 < lines_.size() || ends_with_line_end_) out += line_end_;
  }
  return out;
}

bool IniFile::Save(const std::string& path, std::string* error) const {
  return platform::WriteFileAtomically(path, Text(), error);
}

}  // namespace brimvex::profiles
