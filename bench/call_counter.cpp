#include "call_counter.h"

#include <windows.h>

#include <atomic>

namespace kestrova::bench {

namespace {

std::atomic<size_t> fileProbes{0};
std::atomic<uint64_t> probedPaths{0};
std::atomic<size_t> registryCalls{0};
std::atomic<int64_t> probeTicks{0};
std::atomic<int64_t> registryTicks{0};

int64_t Ticks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double TicksToMs(int64_t ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Counts one registry call and the time it took.
template <typename Call>
LSTATUS CountRegistryCall(Call call) {
    ++registryCalls;
    const int64_t start = Ticks();
    const LSTATUS status = call();
    registryTicks += Ticks() - start;
    return status;
}

// The original functions, taken from the import table before it is changed.
decltype(&GetFileAttributesW) realGetFileAttributes = nullptr;
decltype(&RegOpenKeyExW) realOpenKey = nullptr;
decltype(&RegCloseKey) realCloseKey = nullptr;
decltype(&RegQueryValueExW) realQueryValue = nullptr;
decltype(&RegEnumKeyExW) realEnumKey = nullptr;
decltype(&RegEnumValueW) realEnumValue = nullptr;
decltype(&RegQueryInfoKeyW) realQueryInfoKey = nullptr;

uint64_t PathHash(const wchar_t* path) {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (; path && *path; ++path) {
        hash = (hash ^ static_cast<uint16_t>(*path)) * 1099511628211ull;
    }
    return hash;
}

DWORD WINAPI CountedGetFileAttributes(LPCWSTR path) {
    ++fileProbes;
    probedPaths += PathHash(path);
    const int64_t start = Ticks();
    const DWORD attributes = realGetFileAttributes(path);
    probeTicks += Ticks() - start;
    return attributes;
}

LSTATUS WINAPI CountedOpenKey(HKEY key, LPCWSTR path, DWORD options, REGSAM access, PHKEY result) {
    return CountRegistryCall([&] { return realOpenKey(key, path, options, access, result); });
}

LSTATUS WINAPI CountedCloseKey(HKEY key) {
    return CountRegistryCall([&] { return realCloseKey(key); });
}

LSTATUS WINAPI CountedQueryValue(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                 LPBYTE data, LPDWORD size) {
    return CountRegistryCall([&] { return realQueryValue(key, name, reserved, type, data, size); });
}

LSTATUS WINAPI CountedEnumKey(HKEY key, DWORD index, LPWSTR name, LPDWORD length, LPDWORD reserved,
                              LPWSTR className, LPDWORD classLength, PFILETIME written) {
    return CountRegistryCall([&] {
        return realEnumKey(key, index, name, length, reserved, className, classLength, written);
    });
}

LSTATUS WINAPI CountedEnumValue(HKEY key, DWORD index, LPWSTR name, LPDWORD length,
                                LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
    return CountRegistryCall(
        [&] { return realEnumValue(key, index, name, length, reserved, type, data, size); });
}

LSTATUS WINAPI CountedQueryInfoKey(HKEY key, LPWSTR className, LPDWORD classLength,
                                   LPDWORD reserved, LPDWORD subKeys, LPDWORD maxSubKeyLength,
                                   LPDWORD maxClassLength, LPDWORD values,
                                   LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                                   LPDWORD securityDescriptor, PFILETIME written) {
    return CountRegistryCall([&] {
        return realQueryInfoKey(key, className, classLength, reserved, subKeys, maxSubKeyLength,
                                maxClassLength, values, maxValueNameLength, maxValueLength,
                                securityDescriptor, written);
    });
}

// The import table slot of this program for function of dll, or nullptr.
ULONG_PTR* ImportSlot(const char* dll, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return nullptr;
    }
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name != 0; ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0 ||
            entry->OriginalFirstThunk == 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
            }
        }
    }
    return nullptr;
}

void WriteSlot(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof(*slot), protection, &protection);
}

// Points the slot at counted and keeps the original in real; false when not imported.
template <typename Function>
bool Hook(const char* dll, const char* name, Function counted, Function& real) {
    ULONG_PTR* slot = ImportSlot(dll, name);
    if (slot == nullptr) {
        return false;
    }
    real = reinterpret_cast<Function>(*slot);
    WriteSlot(slot, reinterpret_cast<ULONG_PTR>(counted));
    return true;
}

template <typename Function>
void Unhook(const char* dll, const char* name, Function real) {
    ULONG_PTR* slot = ImportSlot(dll, name);
    if (slot != nullptr && real != nullptr) {
        WriteSlot(slot, reinterpret_cast<ULONG_PTR>(real));
    }
}

}  // namespace

CallCounter::CallCounter() {
    complete_ &= Hook("kernel32.dll", "GetFileAttributesW", &CountedGetFileAttributes,
                      realGetFileAttributes);
    complete_ &= Hook("advapi32.dll", "RegOpenKeyExW", &CountedOpenKey, realOpenKey);
    complete_ &= Hook("advapi32.dll", "RegCloseKey", &CountedCloseKey, realCloseKey);
    complete_ &= Hook("advapi32.dll", "RegQueryValueExW", &CountedQueryValue, realQueryValue);
    complete_ &= Hook("advapi32.dll", "RegEnumKeyExW", &CountedEnumKey, realEnumKey);
    complete_ &= Hook("advapi32.dll", "RegEnumValueW", &CountedEnumValue, realEnumValue);
    complete_ &= Hook("advapi32.dll", "RegQueryInfoKeyW", &CountedQueryInfoKey, realQueryInfoKey);
    Take();
}

CallCounter::~CallCounter() {
    Unhook("kernel32.dll", "GetFileAttributesW", realGetFileAttributes);
    Unhook("advapi32.dll", "RegOpenKeyExW", realOpenKey);
    Unhook("advapi32.dll", "RegCloseKey", realCloseKey);
    Unhook("advapi32.dll", "RegQueryValueExW", realQueryValue);
    Unhook("advapi32.dll", "RegEnumKeyExW", realEnumKey);
    Unhook("advapi32.dll", "RegEnumValueW", realEnumValue);
    Unhook("advapi32.dll", "RegQueryInfoKeyW", realQueryInfoKey);
}

CallCounts CallCounter::Take() {
    CallCounts counts;
    counts.fileProbes = fileProbes.exchange(0);
    counts.probedPaths = probedPaths.exchange(0);
    counts.registryCalls = registryCalls.exchange(0);
    counts.probeMs = TicksToMs(probeTicks.exchange(0));
    counts.registryMs = TicksToMs(registryTicks.exchange(0));
    return counts;
}

}  // namespace kestrova::bench
