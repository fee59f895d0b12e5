#pragma once
// The English texts of the language keys, whatever language the window shows: brimvexctl's
// answers name keys and functions in English.
#include <string>

#include "devices/key_tables.h"

namespace brimvex::app {

// Reads "lan_en.xml" from the language folder once; a key the file lacks (or a file that cannot
// be read, traced) reads as the key itself. The lookup may be called from any thread.
devices::TextLookup EnglishTexts(const std::string& language_folder);

}  // namespace brimvex::app
