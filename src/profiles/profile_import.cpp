#include "profiles/profile_import.h"

#include "platform/file_system.h"
#include "platform/trace.h"
#include "profiles/file_helpers.h"
#include "profiles/profile_document.h"

namespace brimvex::profiles {

ImportFile ReadImportFile(const std::string& path) {
  ImportFile result;
  const platform::BoundedRead read = platform::ReadRegularFile(path, kMaxImportBytes);
  switch (read.status) {
    case platform::BoundedRead::Status::kOk:
      break;
    case platform::BoundedRead::Status::kTooLarge:
      result.refusal_key = kImportTooLarge;
      break;
    case platform::BoundedRead::Status::kNotRegular:
    case platform::BoundedRead::Status::kUnreadable:
      result.refusal_key = kImportNotAFile;
      break;
  }
  if (result.refusal_key.empty()) {
    Json::Value document = ParseJson(read.bytes);
    if (!document.isObject() || !document["profilename"].isString() || !document["profileUUID"].isString()) {
      result.refusal_key = kImportNotAProfile;
    } else if (!IsUsableProfile(document)) {
      result.refusal_key = kImportBadSettings;
    } else {
      result.document = std::move(document);
    }
  }
  if (!result.refusal_key.empty()) platform::Trace("profile import refused (" + result.refusal_key + "): " + path);
  return result;
}

}  // namespace brimvex::profiles
