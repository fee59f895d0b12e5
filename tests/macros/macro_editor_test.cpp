// The macro editor on its layout: how stored events show, what saving writes, mouse insertion,
// row moves, rename and delete against the store.
#include "macros/editor_rig.h"

namespace brimvex::macros::test {
namespace {

using Lines = std::vector<std::string>;

TEST(MacroEditor, StoredEventsShowTheirNamesActionsAndDelays) {
  EditorRig r;
  r.Select(R"([{"Type":4,"Button":30,"Action":"down","Delay":"10"},
               {"Type":5,"Button":7,"Action":"up","Delay":70000},
               {"Type":10,"Button":4,"Action":"down","Delay":"5"},
               {"Type":9,"Button":2,"Action":"up","Delay":"0"},
               {"Type":1,"Button":16,"Action":"down","Delay":"1"},
               {"Type":1,"Button":8,"Action":"up","Delay":"1"},
               {"Type":2,"Button":3,"Action":"down","Delay":"2"},
               {"Type":10,"Button":250,"Action":"down","Delay":"3"}])");
  EXPECT_EQ(r.Rows(), (Lines{"mouse_move_to_left_text 30 10", "mouse_move_to_down_text 7 65535",
                             "keyboard_key_A macro_action_down_text 5", "keyboard_key_LShift macro_action_up_text 0",
                             "mouse_key_forward macro_action_down_text 1", "mouse_key_back macro_action_up_text 1",
                             "  2", " macro_action_down_text 3"}));
  EXPECT_EQ(r.editor->Row(0)->ChildAt(0)->Attribute("style"), "macro_label_mouse_style");
  EXPECT_EQ(r.editor->Row(2)->ChildAt(0)->Attribute("style"), "macro_label_keyboard_style");
  EXPECT_EQ(r.editor->Row(3)->ChildAt(1)->Attribute("style"), "macro_label_up_style");
  EXPECT_EQ(r.editor->Row(0)->ChildAt(1)->Attribute("style"), "macro_label_text_style");
  EXPECT_EQ(r.editor->Row(0)->ChildAt(2)->Name(), "macro_delay");
}

TEST(MacroEditor, SavingWritesEveryRowWithItsBoxDelay) {
  EditorRig r;
  r.Select(R"([{"Type":10,"Button":4,"Action":"down","Delay":"5"},{"Type":10,"Button":4,"Action":"up","Delay":"9"},
               {"Type":10,"Button":5,"Action":"down","Delay":"9"}])");
  r.editor->Row(1)->ChildAt(2)->SetText("");
  r.editor->Row(2)->ChildAt(2)->SetText("999999");
  ASSERT_EQ(r.editor->SaveMacro(), 0);
  EXPECT_EQ(r.editor->RowDelay(1), "0");
  EXPECT_EQ(r.editor->RowDelay(2), "65535");
  const Json::Value doc = r.store.Document(0);
  EXPECT_EQ(doc["Events"][1]["Delay"], "0");
  EXPECT_EQ(doc["Events"][2]["Delay"], "65535");
  EXPECT_EQ(doc["Version"], 64);
  EXPECT_EQ(doc["MacroName"], "m0");
}

TEST(MacroEditor, MoreThan250RowsAreNotSaved) {
  EditorRig r;
  r.Select("[]");
  for (int k = 0; k < 251; ++k) r.editor->InsertMouseEvent(kLeftDown, 0);
  const auto files = r.Files();
  EXPECT_EQ(r.editor->SaveMacro(), 251);
  EXPECT_EQ(r.Files(), files);
}

TEST(MacroEditor, MouseEventsGoAfterTheSelectedRow) {
  struct Case {
    const char* what;
    std::size_t rows;
    int selected;
    std::uint32_t message;
    int variant;
    std::string distance;  // in the move's box
    std::size_t at;
    int selected_after;
    std::string row;
  };
  const Case cases[] = {
      {"empty list: at 0, none selected", 0, -1, kLeftDown, 0, "", 0, -1, "mouse_key_left macro_action_down_text 50"},
      {"no selection: at 1", 2, -1, kRightUp, 0, "", 1, 1, "mouse_key_right macro_action_up_text 50"},
      {"after row 0", 2, 0, kExtraDown, 1, "", 1, 1, "mouse_key_back macro_action_down_text 50"},
      {"after the last row", 2, 1, kExtraUp, 0, "", 2, 2, "mouse_key_forward macro_action_up_text 50"},
      {"a move left", 1, 0, kMouseMove, 0, "30", 1, 1, "mouse_move_to_left_text 30 50"},
      {"a move up past one byte is the largest", 1, 0, kMouseMove, 2, "300", 1, 1, "mouse_move_to_up_text 255 50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EditorRig r;
    std::string events = "[";
    for (std::size_t k = 0; k < c.rows; ++k) events += std::string(k ? "," : "") + R"({"Type":10,"Button":4,"Action":"down","Delay":"1"})";
    r.Select(events + "]");
    r.editor->SelectRow(c.selected);
    if (!c.distance.empty()) {
      const char* boxes[] = {"mouse_x_left_edit", "mouse_x_right_edit", "mouse_y_up_edit", "mouse_y_down_edit"};
      r.Find(boxes[c.variant])->SetText(c.distance);
    }
    r.editor->InsertMouseEvent(c.message, c.variant);
    ASSERT_EQ(r.editor->RowCount(), c.rows + 1);
    EXPECT_EQ(r.Rows()[c.at], c.row);
    EXPECT_EQ(r.editor->SelectedRow(), c.selected_after);
    EXPECT_EQ(r.editor->RowEvent(c.at)["Delay"], "50");
  }
}

TEST(MacroEditor, RowMovesStopAtTheEnds) {
  struct Case {
    const char* what;
    int selected;
    void (CMacroControlUI::*move)();
    std::string order;
    int selected_after;
  };
  const Case cases[] = {
      {"first up", 0, &CMacroControlUI::MoveActionUp, "ABC", 0},
      {"last down", 2, &CMacroControlUI::MoveActionDown, "ABC", 2},
      {"last to the bottom", 2, &CMacroControlUI::MoveActionBottom, "ABC", 2},
      {"middle up", 1, &CMacroControlUI::MoveActionUp, "BAC", 0},
      {"middle down", 1, &CMacroControlUI::MoveActionDown, "ACB", 2},
      {"last to the top", 2, &CMacroControlUI::MoveActionTop, "CAB", 0},
      {"first to the bottom", 0, &CMacroControlUI::MoveActionBottom, "BCA", 2},
      {"no selection", -1, &CMacroControlUI::MoveActionTop, "ABC", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EditorRig r;
    r.Select(R"([{"Type":10,"Button":4,"Action":"down","Delay":"1"},{"Type":10,"Button":5,"Action":"down","Delay":"2"},
                 {"Type":10,"Button":6,"Action":"down","Delay":"3"}])");
    r.editor->SelectRow(c.selected);
    (r.editor->*c.move)();
    std::string order;
    for (std::size_t k = 0; k < r.editor->RowCount(); ++k)
      order += static_cast<char>('A' + r.editor->RowEvent(k)["Button"].asInt() - 4);
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(r.editor->SelectedRow(), c.selected_after);
  }
}

TEST(MacroEditor, RenameRefusesBlankAndTakenNames) {
  struct Case {
    std::string text;
    int index;
    std::string result;
  };
  const Case cases[] = {{"  ", -1, "IsEmpty"}, {"M1", 0, ""}, {"m0", 0, ""}, {"fresh", 0, "fresh"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EditorRig r;
    r.Select("[]");
    r.Select("[]");
    ASSERT_TRUE(r.editor->SelectMacro(0));
    r.Find("macro_edit_macroname")->SetText(c.text);
    EXPECT_EQ(r.editor->RenameMacro(), std::make_pair(c.index, c.result));
    EXPECT_EQ(r.store.Names()->at(0), c.result.empty() || c.result == "IsEmpty" ? "m0" : c.result);
  }
}

TEST(MacroEditor, AddImportAndDeleteFollowTheStore) {
  EditorRig r;
  EXPECT_EQ(r.editor->AddMacro(), "macro_1");
  EXPECT_EQ(r.editor->GetSelectedMacro(), 0);
  EXPECT_TRUE(r.Find("macro_btn_export")->IsEnabled());
  brimvex::test::TempDir in;
  Put(in.path() / "Combo.mac", MacroJson(3));
  const auto imported = r.editor->ImportMacro((in.path() / "Combo.mac").string());
  EXPECT_EQ(imported.name, "Combo");
  EXPECT_EQ(r.editor->RowCount(), 3u) << "the imported macro is shown";
  Put(in.path() / "Bad.mac", "{");
  EXPECT_EQ(r.editor->ImportMacro((in.path() / "Bad.mac").string()).fault, ImportFault::kNotJson);
  EXPECT_EQ(r.editor->GetNames(), (Lines{"macro_1", "Combo"}));
  EXPECT_EQ(r.editor->DeleteMacro(), 1);
  EXPECT_EQ(r.editor->GetSelectedMacro(), 0);
  EXPECT_EQ(r.editor->DeleteMacro(), 0);
  EXPECT_EQ(r.editor->GetSelectedMacro(), -1);
  EXPECT_FALSE(r.Find("macro_btn_export")->IsEnabled());
  EXPECT_EQ(r.store.Names(), Lines{});
}

}  // namespace
}  // namespace brimvex::macros::test
