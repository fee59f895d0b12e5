#pragma once
// A profile list built from the shipped layout in a temporary device folder, with identifiers
// from a clock that stands still (each call issues the next millisecond), a small default
// profile, and helpers that read what reached the disk.
#include <gtest/gtest.h>
#include <json/value.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/ui/control_factory.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/window.h"
#include "profiles/device_profile_ui.h"
#include "profiles/file_helpers.h"
#include "profiles/profile_test_util.h"
#include "test_support/temp_dir.h"

namespace brimvex::profiles::testing {

inline constexpr const char* kDefaultProfile =
    R"({"profilename": "keyboard", "profileUUID": "keyboard",
        "Device": [{"LightInfo": {"SelectItem": 3}, "CustomEQNameInfo": [{"Name": "factory"}]}]})";

// Identifiers the fixture's clock issues: 2026_01_02_03_04_05_000 and on, 1 ms apart.
inline std::string FixtureId(int n) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "2026_01_02_03_04_05_%03d", n);
  return buffer;
}

class ProfileListFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string resources = platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/";
    ASSERT_TRUE(resources_.LoadResource(resources + "skin/")) << resources_.LastError();
    factory_.Register("CDeviceProfileUI", [] { return std::make_unique<CDeviceProfileUI>(); });
    folder_ = dir_.folder() + "data/deep/";
    std::filesystem::create_directories(folder_);
    default_path_ = dir_.folder() + "default.Json";
    WriteBytes(default_path_, kDefaultProfile);
  }

  // A list control on the fixture's folder, loaded unless told otherwise.
  std::unique_ptr<CDeviceProfileUI> Make(int type = 1, bool load = true) {
    ui::DialogBuilder builder(resources_, factory_);
    auto built = builder.Create("XML/CustomControlXML/DeviceProfile.xml");
    EXPECT_TRUE(built) << built.error;
    std::unique_ptr<CDeviceProfileUI> list(dynamic_cast<CDeviceProfileUI*>(built.root.release()));
    EXPECT_NE(list, nullptr);
    list->SetDeviceType(type);
    list->SetFolders(folder_, default_path_);
    list->SetIdentifierSource([this] { return issuer_.Next(platform::LocalTime{2026, 1, 2, 3, 4, 5, 0}); });
    list->SetCurrentIdListener([this](const std::string& id) { reported_.push_back(id); });
    if (load) list->Load();
    return list;
  }

  std::string ListPath() const { return folder_ + "ProfileList.ini"; }
  std::string FileOf(const std::string& id) const { return folder_ + id + ".Json"; }
  Json::Value List() const { return ReadJson(ListPath()); }
  std::vector<std::string> ListNames() const {
    std::vector<std::string> names;
    const Json::Value list = List();
    for (const auto& e : list["profilelist"]) names.push_back(e["profilename"].asString());
    return names;
  }
  std::string ListId(int index) const {
    return List()["profilelist"][static_cast<Json::ArrayIndex>(index)]["profileUUID"].asString();
  }
  // A list file with the given names; identifiers FixtureId(100 + i), each with a small file.
  void WriteList(const std::vector<std::string>& names, int select = 0) {
    Json::Value list(Json::objectValue);
    list["profilelist"] = Json::Value(Json::arrayValue);
    for (std::size_t i = 0; i < names.size(); ++i) {
      Json::Value e(Json::objectValue);
      e["profilename"] = names[i];
      e["profileUUID"] = FixtureId(100 + static_cast<int>(i));
      e["profileislink"] = 0;
      e["profilelinkmame"] = "";
      list["profilelist"].append(e);
      Json::Value file = Parse(kDefaultProfile);
      file["profilename"] = names[i];
      file["profileUUID"] = FixtureId(100 + static_cast<int>(i));
      file["Device"][0]["LightInfo"]["SelectItem"] = static_cast<int>(i);
      WriteBytes(FileOf(FixtureId(100 + static_cast<int>(i))), StyledJsonText(file));
    }
    list["profileselect"] = select;
    WriteBytes(ListPath(), StyledJsonText(list));
  }
  // Every file below the temporary folder with its bytes.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir_.path())) {
      files[e.path().string()] = e.is_regular_file() ? Slurp(e.path()) : std::string("<not a file>");
    }
    return files;
  }
  std::vector<std::string> ComboTexts(CDeviceProfileUI& list) const {
    std::vector<std::string> texts;
    auto* combo = dynamic_cast<ui::Combo*>(list.FindControl("device_profile_combo"));
    for (std::size_t i = 0; combo != nullptr && i < combo->Count(); ++i) texts.push_back(combo->ChildAt(i)->Text());
    return texts;
  }

  test::TempDir dir_;
  std::string folder_;
  std::string default_path_;
  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
  IdentifierIssuer issuer_;
  std::vector<std::string> reported_;
};

}  // namespace brimvex::profiles::testing
