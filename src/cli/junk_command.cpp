#include "cli/junk_command.h"

#include <windows.h>

#include <algorithm>
#include <set>

#include "cli/command_support.h"
#include "cli/console_output.h"
#include "cli/csv_output.h"
#include "cli/exit_codes.h"
#include "cli/json_writer.h"
#include "cli/value_options.h"
#include "platform/file_paths.h"
#include "tools/drive_cleaner.h"
#include "tools/find_file_masks.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kCommand[] = L"junk";

std::wstring TypeCaptions() {
    std::wstring captions;
    for (const FileType& type : DefaultFileTypes()) {
        captions += (captions.empty() ? L"\"" : L", \"") + type.caption + L"\"";
    }
    return captions;
}

std::vector<std::wstring> ChosenExtensions(const OptionValues& line) {
    std::vector<std::wstring> extensions;
    if (!line.Has(L"--types")) {
        for (const FileType& type : DefaultFileTypes()) {
            extensions.push_back(type.extensions);
        }
        return extensions;
    }
    // In the list's order, as checked rows are read.
    const std::vector<std::wstring> wanted = SplitList(line.Value(L"--types"));
    for (const FileType& type : DefaultFileTypes()) {
        for (const std::wstring& caption : wanted) {
            if (EqualIgnoringCase(caption, type.caption)) {
                extensions.push_back(type.extensions);
                break;
            }
        }
    }
    for (const std::wstring& caption : wanted) {
        bool known = false;
        for (const FileType& type : DefaultFileTypes()) {
            known = known || EqualIgnoringCase(caption, type.caption);
        }
        if (!known) {
            throw UsageError(L"unknown file type '" + caption + L"' (one of " + TypeCaptions() +
                             L")");
        }
    }
    if (extensions.empty()) {
        throw UsageError(L"--types names no file type");
    }
    return extensions;
}

// "C:", "c:\" and the like as the drive list shows them ("C:\"); empty when not a drive.
std::wstring DriveRoot(const std::wstring& text) {
    if ((text.size() == 2 || (text.size() == 3 && text[2] == L'\\')) && text[1] == L':') {
        const wchar_t letter = static_cast<wchar_t>(text[0] & ~0x20);
        if (letter >= L'C' && letter <= L'Z') {
            return std::wstring(1, letter) + L":\\";
        }
    }
    return std::wstring();
}

struct JunkRequest {
    bool clean = false;
    OutputForm form = OutputForm::Text;
    CleanerSelection selection;
};

// Throws UsageError for a bad command line; returns false (having said why) when a drive
// cannot be searched.
bool ReadRequest(const std::vector<std::wstring>& arguments, JunkRequest& request) {
    const OptionValues line = ReadOptionValues(
        arguments, {{L"--drives"}, {L"--location"}, {L"--types"}, {L"--exclude", true}},
        {L"--json", kCsvFlag});
    if (line.operands.size() != 1 ||
        (line.operands[0] != L"scan" && line.operands[0] != L"clean")) {
        throw UsageError(L"name what to do: scan or clean");
    }
    request.clean = line.operands[0] == L"clean";
    request.form = OutputFormOf(line.flags);
    if (line.Has(L"--drives") == line.Has(L"--location")) {
        throw UsageError(L"give either --drives or --location");
    }
    if (line.Has(L"--drives")) {
        const std::vector<DriveInfo> drives = ListDrives();
        for (const std::wstring& piece : SplitList(line.Value(L"--drives"))) {
            const std::wstring root = DriveRoot(piece);
            if (root.empty()) {
                throw UsageError(L"'" + piece + L"' is not a drive C: to Z:");
            }
            bool listed = false;
            for (const DriveInfo& drive : drives) {
                listed = listed || drive.root == root;
            }
            if (!listed) {
                Fail(kCommand, L"the drive " + root + L" has no disk or no free space");
                return false;
            }
            request.selection.locations.push_back(root);
        }
    } else {
        request.selection.locations = SplitList(line.Value(L"--location"));
    }
    if (request.selection.locations.empty()) {
        throw UsageError(L"no drive or folder to search");
    }
    request.selection.extensions = ChosenExtensions(line);
    for (const std::wstring& path : line.All(L"--exclude")) {
        request.selection.excludes.push_back(
            {path, IsExistingFolder(path) ? ExcludeKind::Folder : ExcludeKind::File});
    }
    return true;
}

std::wstring RowsText(const std::vector<JunkFileRow>& rows) {
    std::wstring text = L"File Name\tFile Size\tFile DateTime\tBytes\n";
    for (const JunkFileRow& row : rows) {
        text += row.path + L"\t" + row.sizeText + L"\t" + row.dateTimeText + L"\t" +
                std::to_wstring(row.size) + L"\n";
    }
    return text;
}

std::string RowsJson(const std::vector<JunkFileRow>& rows) {
    JsonWriter json;
    json.BeginObject();
    json.Key(L"files");
    json.BeginArray();
    unsigned long long total = 0;
    for (const JunkFileRow& row : rows) {
        json.BeginObject();
        json.Key(L"fileName");
        json.String(row.path);
        json.Key(L"fileSize");
        json.String(row.sizeText);
        json.Key(L"fileDateTime");
        json.String(row.dateTimeText);
        json.Key(L"bytes");
        json.Int(static_cast<long long>(row.size));
        json.EndObject();
        total += row.size;
    }
    json.EndArray();
    json.Key(L"count");
    json.Int(static_cast<long long>(rows.size()));
    json.Key(L"bytes");
    json.Int(static_cast<long long>(total));
    json.EndObject();
    return json.Text() + "\n";
}

// The rows only: the JSON's count and total are sums a spreadsheet makes itself.
std::string RowsCsv(const std::vector<JunkFileRow>& rows) {
    CsvTable table({L"fileName", L"fileSize", L"fileDateTime", L"bytes"});
    for (const JunkFileRow& row : rows) {
        table.Add({row.path, row.sizeText, row.dateTimeText, row.size});
    }
    return table.Text();
}

// The files not deleted, as the JSON's "failed".
std::string CleanCsv(const std::vector<FileDeletion>& failures) {
    CsvTable table({L"fileName", L"error"});
    for (const FileDeletion& failure : failures) {
        table.Add({failure.path, failure.error});
    }
    return table.Text();
}

std::string CleanJson(size_t deleted, const std::vector<FileDeletion>& failures) {
    JsonWriter json;
    json.BeginObject();
    json.Key(L"deleted");
    json.Int(static_cast<long long>(deleted));
    json.Key(L"failed");
    json.BeginArray();
    for (const FileDeletion& failure : failures) {
        json.BeginObject();
        json.Key(L"fileName");
        json.String(failure.path);
        json.Key(L"error");
        json.String(failure.error);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

}  // namespace

int RunJunkCommand(const std::vector<std::wstring>& arguments) {
    JunkRequest request;
    if (!ReadRequest(arguments, request)) {
        return kExitFailed;
    }
    std::vector<JunkFileRow> rows = SearchJunkFiles(request.selection);
    if (!request.clean) {
        if (request.form == OutputForm::Json) {
            WriteOut(RowsJson(rows));
        } else if (request.form == OutputForm::Csv) {
            WriteOut(RowsCsv(rows));
        } else {
            WriteOut(RowsText(rows));
        }
        return kExitDone;
    }
    std::vector<size_t> all(rows.size());
    for (size_t i = 0; i < all.size(); ++i) {
        all[i] = i;
    }
    // A file that two masks found is one file.
    std::set<std::wstring> deletedFiles;
    std::vector<FileDeletion> failures;
    for (FileDeletion& result : DeleteJunkRows(rows, all)) {
        if (result.deleted) {
            deletedFiles.insert(result.path);
        } else {
            failures.push_back(std::move(result));
        }
    }
    // The order found, not the order deleted.
    std::reverse(failures.begin(), failures.end());
    const size_t deleted = deletedFiles.size();
    if (request.form == OutputForm::Json) {
        WriteOut(CleanJson(deleted, failures));
    } else if (request.form == OutputForm::Csv) {
        WriteOut(CleanCsv(failures));
    } else {
        for (const FileDeletion& failure : failures) {
            WriteOut(L"Not deleted: " + failure.path + L" (" + failure.error + L")\n");
        }
        WriteOut(L"Deleted " + std::to_wstring(deleted) + L" files; " +
                 std::to_wstring(failures.size()) + L" could not be deleted\n");
    }
    if (!failures.empty()) {
        Fail(kCommand, std::to_wstring(failures.size()) + L" files could not be deleted");
        return kExitFailed;
    }
    return kExitDone;
}

}  // namespace kestrova::cli
