#include "app/english_texts.h"

#include <memory>

#include "platform/trace.h"
#include "platform/ui/resource_manager.h"

namespace brimvex::app {

devices::TextLookup EnglishTexts(const std::string& language_folder) {
  auto texts = std::make_shared<ui::ResourceManager>();
  texts->SetLanguageFolder(language_folder);
  if (!texts->LoadLanguage("lan_en.xml")) platform::Trace("no English texts: " + texts->LastError());
  // Read only from here on.
  return [texts = std::shared_ptr<const ui::ResourceManager>(texts)](std::string_view key) { return texts->Text(key); };
}

}  // namespace brimvex::app
