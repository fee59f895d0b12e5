#pragma once
// "updatetime.config" in the application folder: {"updatelasttime": {"value": "2023-3-5"}}.
#include <optional>
#include <string>

#include "update/update_check.h"

namespace brimvex::update {

class UpdateTimeFile final : public CheckDateStore {
 public:
  // `folder` ends with "/" (the application folder).
  explicit UpdateTimeFile(std::string folder) : path_(std::move(folder) + "updatetime.config") {}
  std::optional<std::string> Read() override;
  // An unparsable file is kept aside first.
  bool Write(const std::string& date) override;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// What the window keeps when it opens: the stored date, or today (then also stored).
std::string LastCheckDateAtOpening(CheckDateStore& store);

}  // namespace brimvex::update
