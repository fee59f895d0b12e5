#pragma once
// The mouse's profile: the common members plus resolution stages, the active stage, pointer
// options and the correction list.
#include <cstdint>
#include <vector>

#include "profiles/basic_profile_data.h"

namespace brimvex::profiles {

class CMouseProfiledata : public CBasicProfiledata {
 public:
  // The stages of the section merged over the stages in memory: stage i of the file replaces
  // stage i, stages past the file's are kept. Also takes the active stage.
  std::vector<StageRecord> GetStages();
  void SetStages(const std::vector<StageRecord>& stages);
  // The active stage as last read or stored (the section is not read).
  std::int32_t GetActiveStageIndex() const { return active_stage_; }
  void SetActiveStageIndex(std::int32_t index);
  PointerOptions GetPointerOptions();
  void SetPointerOptions(const PointerOptions& values);
  std::vector<Correction> GetCorrections();

 private:
  std::vector<StageRecord> stages_;
  std::int32_t active_stage_ = 0;
  PointerOptions pointer_options_;
  std::vector<Correction> corrections_;
};

}  // namespace brimvex::profiles
