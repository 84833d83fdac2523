#pragma once
// The test behind most scan groups: does registry data point at nothing?

#include <string>

namespace kestrova {

// True when data is not empty and names neither an existing file, nor a folder, nor a file
// found by GuessPath, either as written or with its environment variables expanded.
bool TargetMissing(const std::wstring& data);

}  // namespace kestrova
