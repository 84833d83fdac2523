#pragma once
// Fixture of the scan tests: a sandboxed registry to fill, files that exist or not, a file
// probe and search places a test can change, an ignore list, and a sink that records every
// call of a run in order.

#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"
#include "platform/xml_document.h"
#include "scan/error_row.h"
#include "scan/file_probe.h"
#include "scan/scan_context.h"
#include "scan/scan_groups.h"
#include "scan/scan_sink.h"
#include "support/sandbox_test.h"

namespace kestrova {

// Readable failures for rows.
inline void PrintTo(const ErrorRow& row, std::ostream* out) {
    *out << "{" << ToUtf8(row.type) << " | " << ToUtf8(row.keyName) << " | " << ToUtf8(row.keyValue)
         << " | " << ToUtf8(row.guessPath) << " | " << (row.checked ? "checked" : "unchecked")
         << " | image " << row.image << "}";
}

}  // namespace kestrova

namespace kestrova::test {

class RecordingSink : public ScanSink {
public:
    void AddRow(ErrorRow row) override { rows.push_back(std::move(row)); }
    void SetStatus(const std::wstring& text) override {
        statuses.push_back(text);
        if (onStatus) {
            onStatus(text);
        }
    }
    void SetGroupCount(int group, int count) override {
        countWrites.emplace_back(group, count);
        counts[group] = count;
    }
    // Once true, stays true, as a stop request does.
    bool StopRequested() const override {
        if (!stopped && stopWhen) {
            stopped = stopWhen(*this);
        }
        return stopped;
    }
    bool GroupChecked(int group) const override { return checked[group]; }

    std::vector<ErrorRow> rows;          // in the order found
    std::vector<std::wstring> statuses;  // every status text, in order
    std::vector<std::pair<int, int>> countWrites;
    std::array<std::optional<int>, kScanGroupCount> counts;  // the last count written
    std::array<bool, kScanGroupCount> checked{};             // no group checked at first
    std::function<bool(const RecordingSink&)> stopWhen;      // asked at each stop test
    std::function<void(const std::wstring&)> onStatus;       // runs as a status is set
    mutable bool stopped = false;
};

// A probe of the real file system whose answers a test can change where the machine cannot
// make the condition: a path that fails with a chosen error, a drive letter of a chosen type
// or without its medium, and (as Windows without long-path support does) a failure for a
// path of MAX_PATH characters or more that is not in its "\\?\" form. Records every path
// it hands to the system.
class TestProbe : public FileProbe {
public:
    std::map<std::wstring, DWORD> failures;  // exact path -> the error its probe fails with
    std::map<wchar_t, UINT> driveTypes;      // upper-case letter -> the drive's type
    std::map<wchar_t, bool> media;           // upper-case letter -> whether it holds a medium
    bool pathLimit = true;
    std::vector<std::wstring> probed;       // every path given to the attribute query
    std::vector<std::wstring> drivesAsked;  // every root whose type was asked

protected:
    DWORD Attributes(const std::wstring& path, DWORD& error) override {
        probed.push_back(path);
        const auto failure = failures.find(path);
        if (failure != failures.end()) {
            error = failure->second;
            return INVALID_FILE_ATTRIBUTES;
        }
        if (pathLimit && path.size() >= MAX_PATH && !path.starts_with(L"\\\\?\\")) {
            error = ERROR_PATH_NOT_FOUND;
            return INVALID_FILE_ATTRIBUTES;
        }
        return FileProbe::Attributes(path, error);
    }
    UINT DriveType(const std::wstring& root) override {
        drivesAsked.push_back(root);
        const auto type = driveTypes.find(root[0]);
        return type != driveTypes.end() ? type->second : FileProbe::DriveType(root);
    }
    bool HasMedium(const std::wstring& root) override {
        const auto medium = media.find(root[0]);
        return medium != media.end() ? medium->second : FileProbe::HasMedium(root);
    }
};

class ScanTest : public SandboxTest {
protected:
    ScanTest() { ignore_.Create(L"IgnoreList"); }

    static void SetText(HKEY root, const std::wstring& key, const std::wstring& name,
                        const std::wstring& value) {
        Registry registry(root);
        ASSERT_TRUE(registry.OpenKey(L"\\" + key, true));
        registry.WriteString(name, value);
    }
    static void SetRaw(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                       std::vector<BYTE> bytes) {
        Registry registry(root);
        ASSERT_TRUE(registry.OpenKey(L"\\" + key, true));
        registry.WriteRaw(name, RawValue{type, std::move(bytes)});
    }
    static void SetDword(HKEY root, const std::wstring& key, const std::wstring& name) {
        SetRaw(root, key, name, REG_DWORD, {1, 0, 0, 0});
    }
    static void CreateKey(HKEY root, const std::wstring& key) {
        Registry registry(root);
        ASSERT_TRUE(registry.OpenKey(L"\\" + key, true));
    }
    static void DeleteKey(HKEY root, const std::wstring& key) {
        Registry registry(root);
        registry.DeleteKey(L"\\" + key);
    }

    // A file that exists in the test's folder.
    std::wstring MakeFile(const std::wstring& name) {
        const std::wstring path = temp_ / name;
        WriteFileBytes(path, "x");
        return path;
    }
    // A path in the test's folder where nothing is.
    std::wstring Gone(const std::wstring& name) const { return temp_ / name; }

    void AddIgnore(const std::wstring& root, const std::wstring& key, const std::wstring& value) {
        XmlElement entry = ignore_.Root().AppendChild(L"ERROR");
        entry.SetAttribute(L"ROOT", root);
        entry.SetAttribute(L"KEY", key);
        entry.SetAttribute(L"VALUE", value);
    }

    // Runs one check the way the scan driver would, with probe_ and places_, in the 32-bit
    // registry view too when walk32BitView_ is set.
    void Run(void (*check)(ScanContext&)) {
        ScanContext scan(sink_, ignore_, probe_, places_, walk32BitView_);
        check(scan);
    }

    static ErrorRow Reported(const std::wstring& type, const std::wstring& keyName,
                             const std::wstring& value, const std::wstring& guess) {
        return ErrorRow{type, keyName, value, guess, true, kReportedRowImage};
    }

    XmlDocument ignore_;
    RecordingSink sink_;
    TestProbe probe_;
    SearchPlaces places_ = SystemSearchPlaces();
    bool walk32BitView_ = false;
};

// Sets the current directory for the life of the object.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::wstring& folder) {
        wchar_t old[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, old);
        old_ = old;
        SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentDirectory() { SetCurrentDirectoryW(old_.c_str()); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::wstring old_;
};

// A file at a path of more than MAX_PATH characters in folder (which ends in "\"), made
// through the "\\?\" form; returns its path in the ordinary form.
inline std::wstring MakeLongPathFile(const std::wstring& folder) {
    std::wstring path = folder.substr(0, folder.size() - 1);
    for (wchar_t level = L'a'; path.size() < MAX_PATH + 20; ++level) {
        path += L"\\" + std::wstring(40, level);
        CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
    }
    path += L"\\Program.exe";
    WriteFileBytes(L"\\\\?\\" + path, "MZ");
    return path;
}

// text with its ASCII letters lowered, as Guess Paths come out.
inline std::wstring Lowered(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return text;
}

}  // namespace kestrova::test
