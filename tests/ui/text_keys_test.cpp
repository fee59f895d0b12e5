// Both language files hold the same keys, and every key the program can show is in both: the
// layouts' textkey and tooltipkey attributes, the language list's captions, and the keys the code
// sets (SetTextKey, SetToolTipKey, message boxes, text-key constants and tables). A failure names
// the file and line that uses the key, so a key added in one place is caught wherever it is used.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "appearance/language_list.h"
#include "platform/paths.h"

namespace brimvex::ui {
namespace {

namespace fs = std::filesystem;

fs::path ResourcesDir() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources"); }
fs::path SourceDir() { return ResourcesDir().parent_path() / "src"; }

struct LanguageFile {
  std::string name;
  std::map<std::string, std::string> texts;
  std::vector<std::string> problems;  // duplicate or empty keys
};

LanguageFile ReadLanguageFile(const std::string& name) {
  LanguageFile f{name, {}, {}};
  pugi::xml_document doc;
  const auto path = (ResourcesDir() / "lang" / name).string();
  const auto r = doc.load_file(path.c_str());
  if (!r) {
    f.problems.push_back(path + ": " + r.description());
    return f;
  }
  for (const auto& t : doc.child("Language").children("Text")) {
    const std::string key = t.attribute("key").as_string();
    if (key.empty()) f.problems.push_back(name + ": a <Text> without key");
    if (!f.texts.emplace(key, t.text().as_string()).second) f.problems.push_back(name + ": \"" + key + "\" twice");
    if (std::string(t.text().as_string()).empty()) f.problems.push_back(name + ": \"" + key + "\" has no text");
  }
  return f;
}

// A key and where it is used.
struct Use {
  std::string key;
  std::string where;
};

std::vector<std::string> LayoutFiles() {
  std::vector<std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(ResourcesDir() / "skin"))
    if (e.path().extension() == ".xml" && e.path().filename() != "res.xml") files.push_back(e.path().string());
  return files;
}

void LayoutUses(std::vector<Use>& uses, std::set<std::string>& control_names) {
  for (const auto& file : LayoutFiles()) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(file.c_str())) << file;
    for (const auto& x : doc.select_nodes("//*")) {
      const pugi::xml_node n = x.node();
      if (const auto name = n.attribute("name")) control_names.insert(name.as_string());
      for (const char* attr : {"textkey", "tooltipkey"}) {
        const std::string key = n.attribute(attr).as_string();
        if (!key.empty())
          uses.push_back({key, fs::relative(file, ResourcesDir()).string() + ": <" + n.name() + "> " + attr});
      }
    }
  }
}

// The source text with comments blanked (line numbers kept), and its string literals.
struct Literal {
  std::size_t pos;
  std::string text;
};

std::string WithoutComments(const std::string& s, std::vector<Literal>& literals) {
  std::string out = s;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '"') {
      const std::size_t start = i++;
      std::string text;
      while (i < s.size() && s[i] != '"' && s[i] != '\n') {
        if (s[i] == '\\' && i + 1 < s.size()) text += s[i++];
        text += s[i++];
      }
      literals.push_back({start, text});
    } else if (s[i] == '\'') {
      for (++i; i < s.size() && s[i] != '\'' && s[i] != '\n'; ++i)
        if (s[i] == '\\') ++i;
    } else if (s.compare(i, 2, "//") == 0) {
      while (i < s.size() && s[i] != '\n') out[i++] = ' ';
    } else if (s.compare(i, 2, "/*") == 0) {
      const std::size_t end = s.find("*/", i + 2);
      const std::size_t stop = end == std::string::npos ? s.size() : end + 2;
      for (; i < stop; ++i)
        if (out[i] != '\n') out[i] = ' ';
      --i;
    }
  }
  return out;
}

// Literals that are text keys by their place: the arguments of the calls that take a key, the
// first argument of a text lookup, and literals given directly to key fields and key constants.
const std::regex kKeyCall(R"(\b(SetTextKey|SetToolTipKey|AskUser)\s*\()");
// Calls whose literals are control names, never keys.
const std::regex kNameCall(R"(\b(FindControl|FindSubControlByName|Find<[^>]*>)\s*\()");
const std::regex kKeyValue(
    R"((\.(title|text|text_key|name_key|tooltip_key)|\w*(TextKey|text_key)\w*)\s*(=\s*\{?|\{)\s*"|\b(Resolve|Text)\s*\(\s*")");
// Literals that are text keys by their name, wherever they are (tables), unless they are a
// control's name in a layout or a member name of a data file: "message_text_22",
// "kb_device_name_text", "UpdateOkText", "keyboard_key_A", "skinbtn_tip".
const std::regex kKeyFamily(R"(^(message_text_\d+|[A-Za-z0-9_]+_text(_\d+)?|[A-Z][A-Za-z0-9]*Text|keyboard_key_.+|[a-z0-9_]+_tip)$)");

int LineOf(const std::string& s, std::size_t pos) {
  return 1 + static_cast<int>(std::count(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
}

// Member names of the shipped data files ("Language_text"): names, not keys.
std::set<std::string> DataMemberNames() {
  std::set<std::string> names;
  const std::regex member(R"re("([^"\\]+)"\s*:)re");
  for (const auto& e : fs::recursive_directory_iterator(ResourcesDir() / "DefaultData")) {
    std::ifstream in(e.path());
    std::stringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    for (auto it = std::sregex_iterator(s.begin(), s.end(), member); it != std::sregex_iterator(); ++it)
      names.insert((*it)[1]);
  }
  return names;
}

void CodeUses(std::vector<Use>& uses, const std::set<std::string>& control_names) {
  const std::set<std::string> members = DataMemberNames();
  for (const auto& e : fs::recursive_directory_iterator(SourceDir())) {
    const auto ext = e.path().extension();
    if (ext != ".cpp" && ext != ".h") continue;
    std::ifstream in(e.path());
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::vector<Literal> literals;
    const std::string code = WithoutComments(buffer.str(), literals);
    const std::string file = fs::relative(e.path(), SourceDir().parent_path()).string();
    // Keys by place: a call's literals up to its closing bracket; a value's first literal.
    auto call_literals = [&](const std::regex& call) {
      std::set<std::size_t> found;
      for (auto it = std::sregex_iterator(code.begin(), code.end(), call); it != std::sregex_iterator(); ++it) {
        const std::size_t from = static_cast<std::size_t>(it->position() + it->length());
        int depth = 0;
        std::size_t end = from;
        for (; end < code.size(); ++end) {
          const char c = code[end];
          if (c == '"') {
            end = code.find('"', end + 1);
            if (end == std::string::npos) break;
            continue;
          }
          if (c == '(') ++depth;
          if (c == ')' && depth-- == 0) break;
          if (c == ';') break;
        }
        for (const Literal& l : literals)
          if (l.pos >= from && l.pos < end && !l.text.empty()) found.insert(l.pos);
      }
      return found;
    };
    std::set<std::size_t> taken = call_literals(kKeyCall);
    const std::set<std::size_t> names = call_literals(kNameCall);
    for (auto it = std::sregex_iterator(code.begin(), code.end(), kKeyValue); it != std::sregex_iterator(); ++it)
      taken.insert(static_cast<std::size_t>(it->position() + it->length() - 1));
    for (const Literal& l : literals) {
      const bool by_place = taken.contains(l.pos);
      const bool by_name = std::regex_match(l.text, kKeyFamily) && !control_names.contains(l.text) &&
                           !members.contains(l.text) && !names.contains(l.pos);
      if (by_place || by_name) uses.push_back({l.text, file + ":" + std::to_string(LineOf(code, l.pos))});
    }
  }
}

TEST(TextKeys, BothLanguageFilesHoldTheSameKeys) {
  const LanguageFile cn = ReadLanguageFile("lan_cn.xml");
  const LanguageFile en = ReadLanguageFile("lan_en.xml");
  for (const auto* f : {&cn, &en})
    for (const auto& p : f->problems) ADD_FAILURE() << p;
  for (const auto& [a, b] : {std::pair{&cn, &en}, std::pair{&en, &cn}})
    for (const auto& [key, text] : a->texts)
      EXPECT_TRUE(b->texts.contains(key)) << "\"" << key << "\" is in " << a->name << " but not in " << b->name;
}

TEST(TextKeys, EveryKeyThatCanBeShownIsInBothFiles) {
  std::vector<Use> uses;
  std::set<std::string> control_names;
  LayoutUses(uses, control_names);
  for (const auto& entry : appearance::ReadLanguageList((ResourcesDir() / "DefaultData/Language.config").string()))
    uses.push_back({entry.text_key, "DefaultData/Language.config: " + entry.name});
  CodeUses(uses, control_names);
  // The scan must find the known uses, or it has stopped looking.
  for (const char* known : {"No_device_Link", "message_text_22", "skin_custom_large_text", "kb_device_name_text",
                            "device_power_full", "Language_English"}) {
    EXPECT_TRUE(std::any_of(uses.begin(), uses.end(), [&](const Use& u) { return u.key == known; })) << known;
  }
  const LanguageFile cn = ReadLanguageFile("lan_cn.xml");
  const LanguageFile en = ReadLanguageFile("lan_en.xml");
  for (const Use& u : uses) {
    for (const auto* f : {&cn, &en})
      EXPECT_TRUE(f->texts.contains(u.key)) << u.where << ": \"" << u.key << "\" is missing from " << f->name;
  }
}

}  // namespace
}  // namespace brimvex::ui
