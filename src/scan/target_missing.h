#pragma once
// The test behind most scan groups: does registry data point at nothing?

#include <string>

namespace kestrova {

// True when data is not empty and names neither an existing file, nor a folder, nor a file
// found by GuessPath, either as written or with its environment variables expanded.
bool TargetMissing(const std::wstring& data);

// The same test; when it answers yes, guessPath receives GuessPath(data), which the test has
// already worked out, so a check need not derive it a second time for its row.
bool TargetMissing(const std::wstring& data, std::wstring& guessPath);

}  // namespace kestrova
