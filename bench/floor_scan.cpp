#include "floor_scan.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/unique_handles.h"

namespace kestrova::bench {

namespace {

constexpr REGSAM kRead = KEY_READ;

class Floor {
public:
    FloorResult Run() {
        AppPaths();
        Classes();
        OpenOnly(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\Help");
        OpenOnly(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\HTML Help");
        OpenOnly(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
        OpenOnly(HKEY_CURRENT_USER,
                 L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start "
                 L"Menu2\\Programs");
        OpenOnly(HKEY_CURRENT_USER,
                 L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start "
                 L"Menu\\Programs");
        SharedDlls();
        OpenOnly(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001\\Services\\lanmanserver\\Shares");
        OpenOnly(HKEY_LOCAL_MACHINE,
                 L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved");
        SoundEvents();
        Uninstall();
        FileExtensions();
        OpenOnly(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\VXD");
        return result_;
    }

private:
    static UniqueHKey Open(HKEY parent, const wchar_t* path) {
        UniqueHKey key;
        RegOpenKeyExW(parent, path, 0, kRead, key.Put());
        return key;
    }

    // The keys the benchmark leaves empty: each check finds them missing.
    void OpenOnly(HKEY root, const wchar_t* path) { Open(root, path); }

    // The subkey (or value) name at index, or false past the end.
    bool SubKeyName(HKEY key, DWORD index) {
        DWORD length = static_cast<DWORD>(std::size(name_));
        return RegEnumKeyExW(key, index, name_, &length, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    }

    // A text value into text_; a missing value is empty text. False for other data types.
    bool ReadText(HKEY key, const wchar_t* name) {
        for (;;) {
            DWORD type = REG_NONE;
            DWORD size = static_cast<DWORD>(buffer_.size());
            const LSTATUS status =
                RegQueryValueExW(key, name, nullptr, &type, buffer_.data(), &size);
            if (status == ERROR_MORE_DATA) {
                buffer_.resize(size + sizeof(wchar_t));
                continue;
            }
            if (status != ERROR_SUCCESS) {
                text_.clear();
                return true;
            }
            if (type != REG_SZ && type != REG_EXPAND_SZ) {
                return false;
            }
            text_.assign(reinterpret_cast<const wchar_t*>(buffer_.data()), size / sizeof(wchar_t));
            const size_t nul = text_.find(L'\0');
            if (nul != std::wstring::npos) {
                text_.resize(nul);
            }
            return true;
        }
    }

    // The file the data names, for the benchmark's data forms: lowered, switches and a
    // leading quote dropped, cut after the program or library name.
    static std::wstring Guess(const std::wstring& data) {
        std::wstring s = data;
        for (wchar_t& c : s) {
            if (c >= L'A' && c <= L'Z') {
                c = static_cast<wchar_t>(c - L'A' + L'a');
            }
        }
        s = s.substr(0, s.find(L'/'));
        if (!s.empty() && s.front() == L'"') {
            s.erase(0, 1);
        }
        for (const wchar_t* end : {L".exe", L".dll"}) {
            const size_t at = s.find(end);
            if (at != std::wstring::npos) {
                s.resize(at + 4);
            }
        }
        while (!s.empty() && (s.back() <= L' ' || s.back() == L'"')) {
            s.pop_back();
        }
        return s;
    }

    // "X:\..." or "\\...": data whose probe does not depend on the current directory.
    static bool FullPath(const std::wstring& data) {
        return (data.size() >= 3 && data[1] == L':' && data[2] == L'\\') ||
               data.starts_with(L"\\\\");
    }

    // One probe of the data as written (file or folder) where it is a full path, one of its
    // guessed file. The benchmark's files all lie on a fixed drive under folders that have no
    // 32-bit twin, and none is named bare, so no other probe follows.
    static bool Missing(const std::wstring& data) {
        if (data.empty()) {
            return false;
        }
        if (FullPath(data) && GetFileAttributesW(data.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return false;
        }
        const std::wstring guess = Guess(data);
        if (guess.empty()) {
            return true;
        }
        const DWORD guessed = GetFileAttributesW(guess.c_str());
        return guessed == INVALID_FILE_ATTRIBUTES || (guessed & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    void Judge(const std::wstring& data) {
        ++result_.entries;
        result_.stale += Missing(data) ? 1 : 0;
    }

    // Judges the text value valueName of every subkey of root\path.
    void SubKeyValues(HKEY root, const wchar_t* path, const wchar_t* valueName) {
        const UniqueHKey parent = Open(root, path);
        for (DWORD i = 0; parent && SubKeyName(parent.Get(), i); ++i) {
            const UniqueHKey entry = Open(parent.Get(), name_);
            if (entry && ReadText(entry.Get(), valueName)) {
                Judge(text_);
            }
        }
    }

    void AppPaths() {
        SubKeyValues(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
                     L"");
    }

    void Classes() {
        static const wchar_t* const kSuffixes[] = {
            L"\\InprocHandler", L"\\InprocHandler32",   L"\\LocalServer",  L"\\LocalServer32",
            L"\\DefaultIcon",   L"\\PersistentHandler", L"\\InprocServer", L"\\InprocServer32"};
        const UniqueHKey classes = Open(HKEY_CLASSES_ROOT, L"CLSID");
        for (DWORD i = 0; classes && SubKeyName(classes.Get(), i); ++i) {
            const std::wstring name = name_;
            for (const wchar_t* suffix : kSuffixes) {
                const UniqueHKey server = Open(classes.Get(), (name + suffix).c_str());
                if (server && ReadText(server.Get(), L"") && !text_.starts_with(L'{')) {
                    Judge(text_);
                }
            }
        }
    }

    void SharedDlls() {
        const UniqueHKey dlls =
            Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls");
        for (DWORD i = 0; dlls; ++i) {
            DWORD length = static_cast<DWORD>(std::size(name_));
            if (RegEnumValueW(dlls.Get(), i, name_, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            Judge(name_);
        }
    }

    void SoundEvents() {
        const UniqueHKey apps = Open(HKEY_CURRENT_USER, L"AppEvents\\Schemes\\Apps");
        for (DWORD a = 0; apps && SubKeyName(apps.Get(), a); ++a) {
            const UniqueHKey app = Open(apps.Get(), name_);
            for (DWORD e = 0; app && SubKeyName(app.Get(), e); ++e) {
                const std::wstring event = name_;
                for (const wchar_t* scheme : {L"\\.Current", L"\\.Default"}) {
                    const UniqueHKey sound = Open(app.Get(), (event + scheme).c_str());
                    if (sound && ReadText(sound.Get(), L"")) {
                        Judge(text_);
                    }
                }
            }
        }
    }

    void Uninstall() {
        SubKeyValues(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                     L"UninstallString");
    }

    void FileExtensions() {
        const UniqueHKey exts = Open(
            HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts");
        for (DWORD i = 0; exts && SubKeyName(exts.Get(), i); ++i) {
            ++result_.entries;
            result_.stale += Open(HKEY_CLASSES_ROOT, name_) ? 0 : 1;
        }
    }

    wchar_t name_[16384];  // the longest value name the registry allows
    std::vector<BYTE> buffer_ = std::vector<BYTE>(1024);
    std::wstring text_;
    FloorResult result_;
};

}  // namespace

FloorResult FloorScan() {
    Floor floor;
    return floor.Run();
}

}  // namespace kestrova::bench
