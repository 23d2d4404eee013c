// The records of a compiled article or index as text, in logical order:
// articles as explicit record lines that the parser reads back.
#pragma once

#include <string>

#include "tools/book/book_resources.h"

namespace book {

// Expands the item's container and lists its records, one a line. False
// when the container does not expand.
bool DumpItem(const CompiledItem& item, std::string* out);

}  // namespace book
