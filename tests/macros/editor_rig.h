#pragma once
// The macro editor built from the shipped layout over a store in a folder of the test's own,
// on a headless window, with key names from the key table.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "devices/key_tables.h"
#include "macros/macro_control_ui.h"
#include "macros/macro_fixture.h"
#include "macros/macro_tables.h"
#include "platform/paths.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/window.h"
#include "profiles/file_helpers.h"

namespace brimvex::macros::test {

inline std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

// The key table's name of a key event, as the pages give it to the editor.
inline std::string KeyTableName(std::uint8_t type, std::uint8_t button) {
  const int row = type == kTypeKey ? devices::FindPlainKeyRow(button) : devices::FindModifierRow(button);
  return row < 0 ? std::string() : std::string(devices::kKeyTable[static_cast<std::size_t>(row)].text_key);
}

struct EditorRig : StoreFixture {
  EditorRig() {
    EXPECT_TRUE(resources.LoadResource(Resources() + "skin/"));
    resources.SetLanguageFolder(Resources() + "lang/");
    EXPECT_TRUE(resources.LoadLanguage("lan_en.xml"));
    factory.Register("CMacroControlUI", [] { return std::make_unique<CMacroControlUI>(); });
    ui::DialogBuilder builder(resources, factory);
    auto built = builder.CreateFromText(
        R"(<MacroControl name="MacroControlItem"><Include source="XML/CustomControlXML/MacroControl.xml"/></MacroControl>)",
        "test");
    EXPECT_TRUE(built) << built.error;
    editor = dynamic_cast<CMacroControlUI*>(built.root.get());
    window.AttachRoot(std::move(built.root));
    EXPECT_TRUE(editor != nullptr && editor->Bound()) << "the layout has every control the editor looks for";
    editor->SetStore(std::shared_ptr<MacroStore>(&store, [](MacroStore*) {}));
    editor->SetKeyNamer(&KeyTableName);
    editor->SetClock([this] { return now; });
    editor->LoadList();
  }
  template <typename T = ui::Control>
  T* Find(const std::string& name) {
    return window.Find<T>(name);
  }
  // A macro with these events (file JSON of the events array), selected and shown.
  void Select(const std::string& events_json) {
    const auto c = store.Append("m" + std::to_string(store.Entries().size()));
    ASSERT_TRUE(c.ok);
    Put(store.MacroPath(store.Entries()[static_cast<std::size_t>(c.index)]), R"({"Events":)" + events_json + "}");
    editor->LoadList();
    ASSERT_TRUE(editor->SelectMacro(c.index));
  }
  // Each row as "NAME ACTION DELAY" with the name label's key and the action label's text or key.
  std::vector<std::string> Rows() const {
    std::vector<std::string> out;
    for (std::size_t k = 0; k < editor->RowCount(); ++k) {
      const ui::ListElement* r = editor->Row(k);
      const ui::Control* action = r->ChildAt(1);
      out.push_back(r->ChildAt(0)->TextKey() + " " + (action->TextKey().empty() ? action->Text() : action->TextKey()) +
                    " " + editor->RowDelay(k));
    }
    return out;
  }

  ui::ResourceManager resources;
  ui::ControlFactory factory;
  ui::Window window{"MainWnd", &resources, nullptr};
  CMacroControlUI* editor = nullptr;
  std::chrono::milliseconds now{1000};
};

}  // namespace brimvex::macros::test
