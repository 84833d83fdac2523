#pragma once
// How a failed check shows an association: its five texts, and its place when it has one.

#include <ostream>

#include "platform/text.h"
#include "tools/file_association_store.h"

namespace kestrova {

inline void PrintTo(const TExtInfo& info, std::ostream* out) {
    *out << "{" << ToUtf8(info.extension) << "|" << ToUtf8(info.fileType) << "|"
         << ToUtf8(info.description) << "|" << ToUtf8(info.filePath) << "|" << ToUtf8(info.fileIcon)
         << "|" << info.position << "}";
}

}  // namespace kestrova
