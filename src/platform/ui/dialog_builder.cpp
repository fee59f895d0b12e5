#include "platform/ui/dialog_builder.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <pugixml.hpp>
#include <sstream>

#include "platform/ui/container.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_controls.h"

namespace brimvex::ui {
namespace {

constexpr int kMaxIncludeDepth = 8;

template <typename T>
std::unique_ptr<Control> Make() {
  return std::make_unique<T>();
}

struct Builtin {
  std::string_view name;
  std::unique_ptr<Control> (*make)();
};

constexpr Builtin kBuiltins[] = {
    {"Control", Make<Control>},
    {"Container", Make<Container>},
    {"HorizontalLayout", Make<HorizontalLayout>},
    {"VerticalLayout", Make<VerticalLayout>},
    {"TabLayout", Make<TabLayout>},
    {"Label", Make<Label>},
    {"Button", Make<Button>},
    {"Option", Make<Option>},
    {"CheckBox", Make<CheckBox>},
    {"Progress", Make<Progress>},
    {"Slider", Make<Slider>},
    {"Edit", Make<Edit>},
    {"RichEdit", Make<RichEdit>},
    {"ColorPalette", Make<ColorPalette>},
    {"ChartView", Make<ChartView>},
    {"ListElement", Make<ListElement>},
    {"List", Make<List>},
    {"Combo", Make<Combo>},
    {"Menu", Make<Menu>},
    {"MenuElement", Make<MenuElement>},
};

bool ParseInt(std::string_view v, int& out) {
  const auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
  return ec == std::errc() && p == v.data() + v.size();
}

// Line number of a byte offset in the file's text, for error messages.
int LineOf(std::string_view text, std::ptrdiff_t offset) {
  if (offset < 0) return 0;
  const auto end = std::min(text.size(), static_cast<std::size_t>(offset));
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

class TreeBuilder {
 public:
  TreeBuilder(ResourceManager& resources, const ControlFactory& factory, CreateControlCallback* callback,
              std::string_view text, const std::string& file_name, int depth,
              const std::function<BuildResult(const std::string&, int)>& include)
      : resources_(resources),
        factory_(factory),
        callback_(callback),
        text_(text),
        file_(file_name),
        depth_(depth),
        include_(include) {}

  std::unique_ptr<Control> Build(const pugi::xml_node& node) {
    const std::string_view element = node.name();
    if (element == "Include") {
      const std::string source = node.attribute("source").as_string();
      if (source.empty()) return Fail(node, "<Include> without source");
      if (depth_ >= kMaxIncludeDepth) return Fail(node, "includes nested too deeply");
      BuildResult sub = include_(source, depth_ + 1);
      if (!sub) return Fail(node, "in <Include source=\"" + source + "\">: " + sub.error);
      return std::move(sub.root);
    }
    std::unique_ptr<Control> control = DialogBuilder::CreateBuiltin(element);
    if (control == nullptr) control = factory_.Create(element);
    // A skin element "DeviceOption" names the registered class "CDeviceOptionUI".
    if (control == nullptr) control = factory_.Create("C" + std::string(element) + "UI");
    if (control == nullptr && callback_ != nullptr) control = callback_->CreateControl(element);
    if (control == nullptr) return Fail(node, "unknown element <" + std::string(element) + ">");
    for (const auto& a : node.attributes()) {
      if (!control->SetAttribute(a.name(), a.value())) {
        return Fail(node, "bad value \"" + std::string(a.value()) + "\" of attribute " + a.name() + " on <" +
                              std::string(element) + ">");
      }
    }
    auto* container = dynamic_cast<Container*>(control.get());
    for (const auto& child : node.children()) {
      if (child.type() != pugi::node_element) continue;
      if (container == nullptr) {
        return Fail(child, "<" + std::string(element) + "> cannot hold <" + child.name() + ">");
      }
      auto built = Build(child);
      if (built == nullptr) return nullptr;
      container->Add(std::move(built));
    }
    return control;
  }

  bool ReadFont(const pugi::xml_node& node) {
    FontSpec f;
    f.id = node.attribute("id").as_int(-1);
    f.face = node.attribute("face").as_string();
    f.size = node.attribute("size").as_int(14);
    f.bold = node.attribute("bold").as_bool();
    f.underline = node.attribute("underline").as_bool();
    f.italic = node.attribute("italic").as_bool();
    f.shared = node.attribute("shared").as_bool(true);
    if (f.size <= 0 || f.size > 200) {
      Fail(node, "bad font size");
      return false;
    }
    if (node.attribute("default").as_bool()) {
      resources_.SetDefaultFont(f);
    } else {
      if (f.id < 0) {
        Fail(node, "<Font> needs an id or default=\"true\"");
        return false;
      }
      resources_.AddFont(f);
    }
    return true;
  }

  std::unique_ptr<Control> Fail(const pugi::xml_node& node, const std::string& what) {
    if (error_.empty()) error_ = file_ + ":" + std::to_string(LineOf(text_, node.offset_debug())) + ": " + what;
    return nullptr;
  }

  const std::string& Error() const { return error_; }

 private:
  ResourceManager& resources_;
  const ControlFactory& factory_;
  CreateControlCallback* callback_;
  std::string_view text_;
  std::string file_;
  int depth_;
  const std::function<BuildResult(const std::string&, int)>& include_;
  std::string error_;
};

bool ReadFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  out = s.str();
  return !in.bad();
}

}  // namespace

std::unique_ptr<Control> DialogBuilder::CreateBuiltin(std::string_view element_name) {
  for (const auto& b : kBuiltins) {
    if (b.name == element_name) return b.make();
  }
  return nullptr;
}

BuildResult DialogBuilder::Create(std::string_view key_or_path) {
  const std::string path = resources_.ResolveFile(key_or_path);
  return BuildFile(path, path, 0);
}

BuildResult DialogBuilder::CreateFromText(std::string_view xml, const std::string& file_name) {
  return Parse(xml, file_name, 0);
}

BuildResult DialogBuilder::Parse(std::string_view xml, const std::string& file_name, int depth) {
  BuildResult result;
  pugi::xml_document doc;
  const auto r = doc.load_buffer(xml.data(), xml.size());
  if (!r) {
    result.error = file_name + ":" + std::to_string(LineOf(xml, r.offset)) + ": " + r.description();
    return result;
  }
  const std::function<BuildResult(const std::string&, int)> include = [this](const std::string& source, int d) {
    const std::string path = resources_.ResolveFile(source);
    return BuildFile(path, path, d);
  };
  TreeBuilder builder(resources_, factory_, callback_, xml, file_name, depth, include);
  const auto fail = [&](const pugi::xml_node& node, const std::string& what) {
    builder.Fail(node, what);
    result.error = builder.Error();
    return std::move(result);
  };
  pugi::xml_node top = doc.document_element();
  if (!top) {
    result.error = file_name + ": no root element";
    return result;
  }
  pugi::xml_node control_node = top;
  if (std::string_view(top.name()) == "Window") {
    result.has_window = true;
    std::vector<int> ints;
    if (auto size = top.attribute("size")) {
      if (!ParseInts(size.value(), ints) || ints.size() != 2 || ints[0] <= 0 || ints[1] <= 0)
        return fail(top, "bad window size \"" + std::string(size.value()) + "\"");
      result.window.width = ints[0];
      result.window.height = ints[1];
    }
    if (auto caption = top.attribute("caption"); caption && !ParseInt(caption.value(), result.window.caption_height))
      return fail(top, "bad caption height");
    result.window.title = top.attribute("title").as_string();
    control_node = pugi::xml_node();
    for (const auto& child : top.children()) {
      if (child.type() != pugi::node_element) continue;
      if (std::string_view(child.name()) == "Font") {
        if (!builder.ReadFont(child)) {
          result.error = builder.Error();
          return result;
        }
        continue;
      }
      if (control_node) return fail(child, "a window holds one root control");
      control_node = child;
    }
    if (!control_node) return fail(top, "the window has no root control");
  }
  result.root = builder.Build(control_node);
  if (result.root == nullptr) result.error = builder.Error();
  return result;
}

BuildResult DialogBuilder::BuildFile(const std::string& path, const std::string& file_name, int depth) {
  std::string text;
  if (!ReadFile(path, text)) {
    BuildResult r;
    r.error = file_name + ": cannot open the layout file";
    return r;
  }
  return Parse(text, file_name, depth);
}

bool DialogBuilder::BuildWindow(Window& window, std::string_view key_or_path, std::string* error) {
  BuildResult r = Create(key_or_path);
  if (!r) {
    if (error != nullptr) *error = r.error;
    return false;
  }
  if (r.has_window) {
    window.SetAttributes(r.window);
    if (!r.window.title.empty()) window.SetTitle(r.window.title);
  }
  window.AttachRoot(std::move(r.root));
  return true;
}

}  // namespace brimvex::ui
