#include "profiles/mouse_profile_data.h"

#include <algorithm>

#include "profiles/json_access.h"

namespace brimvex::profiles {
using json::Byte;
using json::Find;
using json::IsArray;
using json::IsObject;
using json::Slot;
using json::Word;

std::vector<StageRecord> CMouseProfiledata::GetStages() {
  Json::Value* dpi = Find(SectionOrNull(), "DPIStages");
  if (IsObject(dpi)) {
    active_stage_ = json::Int32(Find(dpi, "StageActive"));
    Json::Value* list = Find(dpi, "StageDPIs");
    if (IsArray(list)) {
      for (Json::ArrayIndex i = 0; i < list->size(); ++i) {
        Json::Value* e = &(*list)[i];
        StageRecord r;
        if (IsObject(e)) {
          r.enable = Byte(Find(e, "StageActive"));
          r.separate_axes = Byte(Find(e, "StageXY"));
          r.x = Word(Find(e, "StageDPIX"));
          r.y = Word(Find(e, "StageDPIY"));
          r.red = Byte(Find(e, "StageColorR"));
          r.green = Byte(Find(e, "StageColorG"));
          r.blue = Byte(Find(e, "StageColorB"));
        }
        if (i < stages_.size()) {
          stages_[i] = r;
        } else {
          stages_.push_back(r);
        }
      }
    }
  }
  return stages_;
}

void CMouseProfiledata::SetStages(const std::vector<StageRecord>& stages) {
  stages_ = stages;
  Json::Value& list = Slot(Slot(section(), "DPIStages"), "StageDPIs");
  const std::size_t n = std::min<std::size_t>(stages.size(), json::kMaxIndex + 1);
  for (std::size_t i = 0; i < n; ++i) {
    const StageRecord& r = stages[i];
    Json::Value& e = Slot(list, static_cast<int>(i));
    Slot(e, "StageActive") = r.enable;
    Slot(e, "StageXY") = r.separate_axes;
    Slot(e, "StageDPIX") = r.x;
    Slot(e, "StageDPIY") = r.y;
    Slot(e, "StageColorR") = r.red;
    Slot(e, "StageColorG") = r.green;
    Slot(e, "StageColorB") = r.blue;
  }
}

void CMouseProfiledata::SetActiveStageIndex(std::int32_t index) {
  active_stage_ = index;
  Slot(Slot(section(), "DPIStages"), "StageActive") = index;
}

PointerOptions CMouseProfiledata::GetPointerOptions() {
  PointerOptions o;
  Json::Value* section = SectionOrNull();
  Json::Value* stages = Find(section, "SystemStages");
  if (IsObject(stages)) {
    o.double_click_time = Word(Find(stages, "DoubleClickTime"));
    o.pointer_speed = Word(Find(stages, "MouseSpeed"));
    o.pointer_precision = Word(Find(stages, "PointerPrecision"));
    o.scroll_by_page = Word(Find(stages, "ScorllPage"));
    o.wheel_lines = Word(Find(stages, "WheelScorlllinse"));
    o.report_rate_index = Word(Find(Find(section, "ReportStages"), "StageActive"));
  }
  pointer_options_ = o;
  return o;
}

void CMouseProfiledata::SetPointerOptions(const PointerOptions& o) {
  pointer_options_ = o;
  Json::Value& stages = Slot(section(), "SystemStages");
  Slot(stages, "DoubleClickTime") = o.double_click_time;
  Slot(stages, "MouseSpeed") = o.pointer_speed;
  Slot(stages, "PointerPrecision") = o.pointer_precision;
  Slot(stages, "ScorllPage") = o.scroll_by_page;
  Slot(stages, "WheelScorlllinse") = o.wheel_lines;
  Slot(Slot(section(), "ReportStages"), "StageActive") = o.report_rate_index;
}

std::vector<Correction> CMouseProfiledata::GetCorrections() {
  corrections_.clear();
  Json::Value* list = Find(SectionOrNull(), "CorrectInfo");
  if (IsArray(list)) {
    for (Json::ArrayIndex i = 0; i < list->size(); ++i) {
      Json::Value& element = (*list)[i];
      Correction c;
      if (element.isObject()) {
        c.pix_thresh = Byte(Find(&element, "CorrectPixThresh"));
        c.min_sq = Byte(Find(&element, "CorrectMinSq"));
        c.select = Byte(Find(&element, "CorrectSelect"));
        c.name = json::String(Find(&element, "CorrectName"));
      }
      corrections_.push_back(std::move(c));
    }
  }
  return corrections_;
}

}  // namespace brimvex::profiles
