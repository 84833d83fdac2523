#pragma once
// The data a benchmark scan walks: tens of thousands of registry entries across the groups,
// written into the redirected registry, and the files that two thirds of them name. Every
// third entry of each kind is stale: it names a file under a folder that does not exist, or
// (for file extensions) an extension that HKEY_CLASSES_ROOT does not register.

#include <cstddef>
#include <string>

namespace kestrova::bench {

struct BenchSizes {
    size_t classes = 20000;  // three server keys each
    size_t appPaths = 5000;
    size_t sharedDlls = 10000;
    size_t uninstall = 2000;
    size_t fileExtensions = 3000;
    size_t soundApps = 100;  // with soundEvents events each, both ".Current" and ".Default"
    size_t soundEvents = 10;

    BenchSizes Scaled(double factor) const;
};

struct BenchData {
    size_t entries = 0;  // registry entries the checks judge
    size_t stale = 0;    // of which stale: the rows a scan should find
    size_t files = 0;    // files created
};

// Fills the registry (its roots already redirected) and folder (with a trailing "\", empty).
BenchData FillBenchData(const BenchSizes& sizes, const std::wstring& folder);

}  // namespace kestrova::bench
