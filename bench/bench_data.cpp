#include "bench_data.h"

#include <windows.h>

#include <stdexcept>

#include "registry_redirect.h"

namespace kestrova::bench {

namespace {

constexpr size_t kPresentPrograms = 8;
constexpr size_t kPresentLibraries = 8;
constexpr size_t kPresentSounds = 4;
constexpr size_t kSharedPerFolder = 100;

bool IsStale(size_t index) {
    return index % 3 == 2;
}

void MakeFolder(const std::wstring& path) {
    if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        throw std::runtime_error("cannot create a benchmark folder");
    }
}

void MakeFile(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot create a benchmark file");
    }
    CloseHandle(file);
}

std::wstring Number(size_t value) {
    return std::to_wstring(value);
}

std::wstring Hex(unsigned long long value, int digits) {
    std::wstring text(static_cast<size_t>(digits), L'0');
    for (int i = digits - 1; i >= 0 && value != 0; --i, value >>= 4) {
        text[static_cast<size_t>(i)] = L"0123456789ABCDEF"[value & 0xF];
    }
    return text;
}

// A class identifier of its own for each index.
std::wstring ClassId(size_t index) {
    return L"{" + Hex((index * 2654435761ull) & 0xFFFFFFFFull, 8) + L"-B0B0-4B0B-8B0B-" +
           Hex(index, 12) + L"}";
}

class Filler {
public:
    explicit Filler(const std::wstring& folder)
        : present_(folder + L"present\\"),
          gone_(folder + L"gone\\"),
          shared_(folder + L"shared\\") {
        MakeFolder(present_);
        MakeFolder(shared_);
        for (size_t i = 0; i < kPresentPrograms; ++i) {
            MakeFile(Program(i));
        }
        for (size_t i = 0; i < kPresentLibraries; ++i) {
            MakeFile(Library(i));
        }
        for (size_t i = 0; i < kPresentSounds; ++i) {
            MakeFile(Sound(i));
        }
        data_.files = kPresentPrograms + kPresentLibraries + kPresentSounds;
    }

    std::wstring Program(size_t i) const {
        return present_ + L"app" + Number(i % kPresentPrograms) + L".exe";
    }
    std::wstring Library(size_t i) const {
        return present_ + L"lib" + Number(i % kPresentLibraries) + L".dll";
    }
    std::wstring Sound(size_t i) const {
        return present_ + L"sound" + Number(i % kPresentSounds) + L".wav";
    }

    void Entry(bool stale) {
        ++data_.entries;
        data_.stale += stale ? 1 : 0;
    }

    // COM classes: an in-process server, a handler and a local server with arguments; one of
    // the three is stale in each class.
    void Classes(size_t count) {
        const UniqueHKey classes = CreateVolatileKey(HKEY_CLASSES_ROOT, L"CLSID");
        for (size_t c = 0; c < count; ++c) {
            const UniqueHKey cls = CreateVolatileKey(classes.Get(), ClassId(c));
            SetText(cls.Get(), L"", L"Benchmark class " + Number(c));
            const std::wstring servers[3] = {
                IsStale(c) ? gone_ + L"srv" + Number(c) + L".dll" : Library(c),
                IsStale(c + 1) ? gone_ + L"hnd" + Number(c) + L".dll" : Library(c + 1),
                L"\"" + (IsStale(c + 2) ? gone_ + L"app" + Number(c) + L".exe" : Program(c)) +
                    L"\" /automation",
            };
            const wchar_t* const names[3] = {L"InprocServer32", L"InprocHandler32",
                                             L"LocalServer32"};
            for (size_t k = 0; k < 3; ++k) {
                const UniqueHKey server = CreateVolatileKey(cls.Get(), names[k]);
                SetText(server.Get(), L"", servers[k]);
                Entry(IsStale(c + k));
            }
        }
    }

    void AppPaths(size_t count) {
        const UniqueHKey paths = CreateVolatileKey(
            HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths");
        for (size_t i = 0; i < count; ++i) {
            const UniqueHKey app =
                CreateVolatileKey(paths.Get(), L"benchapp" + Number(i) + L".exe");
            SetText(app.Get(), L"",
                    IsStale(i) ? gone_ + L"tool" + Number(i) + L".exe" : Program(i));
            Entry(IsStale(i));
        }
    }

    // Each value's name is a library path, so present ones need files of their own.
    void SharedDlls(size_t count) {
        const UniqueHKey dlls = CreateVolatileKey(
            HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls");
        for (size_t i = 0; i < count; ++i) {
            std::wstring path;
            if (IsStale(i)) {
                path = gone_ + L"shared" + Number(i) + L".dll";
            } else {
                const std::wstring sub = shared_ + Number(i / kSharedPerFolder) + L"\\";
                if (sub != lastShared_) {
                    MakeFolder(sub);
                    lastShared_ = sub;
                }
                path = sub + L"shared" + Number(i) + L".dll";
                MakeFile(path);
                ++data_.files;
            }
            const DWORD references = 1;
            RegSetValueExW(dlls.Get(), path.c_str(), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&references), sizeof(references));
            Entry(IsStale(i));
        }
    }

    void Uninstall(size_t count) {
        const UniqueHKey entries = CreateVolatileKey(
            HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
        for (size_t i = 0; i < count; ++i) {
            const UniqueHKey entry = CreateVolatileKey(entries.Get(), L"BenchProduct" + Number(i));
            SetText(entry.Get(), L"DisplayName", L"Benchmark product " + Number(i));
            const std::wstring program =
                IsStale(i) ? gone_ + L"uninst" + Number(i) + L".exe" : Program(i);
            SetText(entry.Get(), L"UninstallString", L"\"" + program + L"\" /uninstall");
            Entry(IsStale(i));
        }
    }

    void FileExtensions(size_t count) {
        const UniqueHKey exts = CreateVolatileKey(
            HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts");
        for (size_t i = 0; i < count; ++i) {
            const std::wstring extension = L".kb" + Number(i);
            CreateVolatileKey(exts.Get(), extension + L"\\OpenWithList");
            if (!IsStale(i)) {
                const UniqueHKey type = CreateVolatileKey(HKEY_CLASSES_ROOT, extension);
                SetText(type.Get(), L"", L"benchfile");
            }
            Entry(IsStale(i));
        }
    }

    void SoundEvents(size_t apps, size_t events) {
        const UniqueHKey root = CreateVolatileKey(HKEY_CURRENT_USER, L"AppEvents\\Schemes\\Apps");
        size_t index = 0;
        for (size_t a = 0; a < apps; ++a) {
            const UniqueHKey app = CreateVolatileKey(root.Get(), L"BenchApp" + Number(a));
            for (size_t e = 0; e < events; ++e) {
                for (const wchar_t* scheme : {L".Current", L".Default"}) {
                    const UniqueHKey key =
                        CreateVolatileKey(app.Get(), L"BenchEvent" + Number(e) + L"\\" + scheme);
                    SetText(
                        key.Get(), L"",
                        IsStale(index) ? gone_ + L"sound" + Number(index) + L".wav" : Sound(index));
                    Entry(IsStale(index));
                    ++index;
                }
            }
        }
    }

    // Where %ProgramFiles% points, as on any system.
    void ProgramFilesDir() {
        const UniqueHKey current =
            CreateVolatileKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
        SetText(current.Get(), L"ProgramFilesDir", L"C:\\Program Files");
    }

    const BenchData& Data() const { return data_; }

private:
    std::wstring present_;
    std::wstring gone_;  // never created
    std::wstring shared_;
    std::wstring lastShared_;  // the shared libraries' folder made last
    BenchData data_;
};

size_t Scale(size_t value, double factor) {
    const auto scaled = static_cast<size_t>(static_cast<double>(value) * factor + 0.5);
    return scaled == 0 ? 1 : scaled;
}

}  // namespace

BenchSizes BenchSizes::Scaled(double factor) const {
    BenchSizes sizes = *this;
    sizes.classes = Scale(classes, factor);
    sizes.appPaths = Scale(appPaths, factor);
    sizes.sharedDlls = Scale(sharedDlls, factor);
    sizes.uninstall = Scale(uninstall, factor);
    sizes.fileExtensions = Scale(fileExtensions, factor);
    sizes.soundApps = Scale(soundApps, factor);
    return sizes;
}

BenchData FillBenchData(const BenchSizes& sizes, const std::wstring& folder) {
    Filler filler(folder);
    filler.ProgramFilesDir();
    filler.Classes(sizes.classes);
    filler.AppPaths(sizes.appPaths);
    filler.SharedDlls(sizes.sharedDlls);
    filler.Uninstall(sizes.uninstall);
    filler.FileExtensions(sizes.fileExtensions);
    filler.SoundEvents(sizes.soundApps, sizes.soundEvents);
    return filler.Data();
}

}  // namespace kestrova::bench
