#pragma once
// The open and save file choosers as Qt's file dialogs.
#include "platform/file_dialog.h"

namespace brimvex::qt {

class QtFileChooser final : public platform::FileChooser {
 public:
  std::optional<std::string> Choose(Mode mode, const platform::FileFilter& filter) override;
};

}  // namespace brimvex::qt
