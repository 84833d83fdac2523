#include "scan/windows_version.h"

namespace kestrova {

int ClassifyWindowsVersion(DWORD platformId, DWORD majorVersion, DWORD minorVersion) {
    if (platformId == VER_PLATFORM_WIN32_WINDOWS && majorVersion == 4) {
        switch (minorVersion) {
            case 0:
                return 1;
            case 10:
                return 2;
            case 90:
                return 3;
            default:
                return 0;
        }
    }
    if (platformId == VER_PLATFORM_WIN32_NT) {
        if (majorVersion <= 4) {
            return 4;
        }
        if (majorVersion == 5 && minorVersion <= 2) {
            return 5 + static_cast<int>(minorVersion);
        }
    }
    return 0;
}

namespace {

// The version the system presents to this program; false when the query fails.
bool QueryVersion(OSVERSIONINFOW& info) {
    info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    // GetVersionExW on purpose: it reports the version the system presents to this program
    // (compatibility modes and per-program version settings), which decides the keys in use.
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    const BOOL ok = GetVersionExW(&info);
#if defined(_MSC_VER)
#pragma warning(pop)
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return ok != FALSE;
}

}  // namespace

int WindowsVersionClass() {
    OSVERSIONINFOW info;
    if (!QueryVersion(info)) {
        return 0;
    }
    return ClassifyWindowsVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

bool IsNtVersionAtLeast(DWORD platformId, DWORD majorVersion, DWORD minorVersion,
                        DWORD atLeastMajor, DWORD atLeastMinor) {
    return platformId == VER_PLATFORM_WIN32_NT &&
           (majorVersion > atLeastMajor ||
            (majorVersion == atLeastMajor && minorVersion >= atLeastMinor));
}

bool NtVersionAtLeast(DWORD atLeastMajor, DWORD atLeastMinor) {
    OSVERSIONINFOW info;
    return QueryVersion(info) &&
           IsNtVersionAtLeast(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                              atLeastMajor, atLeastMinor);
}

}  // namespace kestrova
