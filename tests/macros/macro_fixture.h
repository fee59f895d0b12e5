#pragma once
// A macro store in a folder of the test's own, and the files tests write into it.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "macros/macro_store.h"
#include "test_support/temp_dir.h"

namespace brimvex::macros::test {

inline std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}
inline void Put(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

// "Events" of n key events: A down/up alternating, delays 0, 1, 2, ...
inline std::string EventsJson(std::size_t n, const std::string& delay_of_first = "") {
  std::string s = "[";
  for (std::size_t k = 0; k < n; ++k) {
    if (k) s += ",";
    const std::string d = k == 0 && !delay_of_first.empty() ? delay_of_first : "\"" + std::to_string(k) + "\"";
    s += R"({"Type":10,"Button":4,"Action":")" + std::string(k % 2 ? "up" : "down") + R"(","Delay":)" + d + "}";
  }
  return s + "]";
}
inline std::string MacroJson(std::size_t n) { return R"({"Events":)" + EventsJson(n) + R"(,"Version":64})"; }

struct StoreFixture {
  brimvex::test::TempDir dir;
  MacroStore store{dir.folder()};
  std::filesystem::path Path(const std::string& name) const { return dir.path() / name; }
  // Writes macro.config with these (name, guid) entries.
  void WriteStore(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string s = R"({"MacroInfo":[)";
    for (std::size_t k = 0; k < entries.size(); ++k)
      s += (k ? "," : "") + std::string(R"({"MacroName":")") + entries[k].first + R"(","Guid":")" + entries[k].second + "\"}";
    Put(Path("macro.config"), s + "]}");
  }
  // Every file in the folder with its bytes.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) out[e.path().filename().string()] = Slurp(e.path());
    return out;
  }
};

}  // namespace brimvex::macros::test
