#include "cli/command_support.h"
#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/ie_subcommands.h"
#include "cli/json_writer.h"
#include "platform/text.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kCommand[] = L"ie";

const wchar_t* SearchSection(IeSearch search) {
    return IeSearchRuleOf(search).section;
}

std::wstring FilesText(const std::vector<IeFoundFile>& files) {
    std::wstring text = L"Section\tFile Name\tFull Path\n";
    for (const IeFoundFile& file : files) {
        text += file.section + L"\t" + file.fileName + L"\t" + file.folder + L"\n";
    }
    return text;
}

std::string ScanJson(const IeScanResult& scan) {
    JsonWriter json;
    json.BeginObject();
    json.Key(L"files");
    json.BeginArray();
    for (const IeFoundFile& file : scan.files) {
        json.BeginObject();
        json.Key(L"section");
        json.String(file.section);
        json.Key(L"fileName");
        json.String(file.fileName);
        json.Key(L"fullPath");
        json.String(file.folder);
        json.EndObject();
    }
    json.EndArray();
    json.Key(L"skipped");
    json.BeginArray();
    for (const IeSkippedSearch& skipped : scan.skipped) {
        json.BeginObject();
        json.Key(L"section");
        json.String(SearchSection(skipped.search));
        json.Key(L"reason");
        json.String(skipped.reason);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

std::string FilesCsv(const std::vector<IeFoundFile>& files) {
    CsvTable table({L"section", L"fileName", L"fullPath"});
    for (const IeFoundFile& file : files) {
        table.Add({file.section, file.fileName, file.folder});
    }
    return table.Text();
}

void TellSkipped(const std::vector<IeSkippedSearch>& skipped) {
    for (const IeSkippedSearch& search : skipped) {
        Fail(kCommand, std::wstring(L"no search for ") + SearchSection(search.search) + L": " +
                           search.reason);
    }
}

}  // namespace

int RunIeTracesScan(const IeActionMarks& marks, OutputForm form) {
    const IeScanResult scan = ScanIeTraces(marks, ReadIeFolders());
    if (form == OutputForm::Json) {
        WriteOut(ScanJson(scan));
        return kExitDone;
    }
    WriteOut(form == OutputForm::Csv ? FilesCsv(scan.files) : ToUtf8(FilesText(scan.files)));
    TellSkipped(scan.skipped);
    return kExitDone;
}

int RunIeTracesClean(const IeActionMarks& marks) {
    const IeScanResult scan = ScanIeTraces(marks, ReadIeFolders());
    TellSkipped(scan.skipped);
    const IeCleanupResult result = CleanIeTraces(marks, scan.files);
    std::wstring text;
    for (const IeActionResult& action : result.actions) {
        const std::wstring caption = kIeTraceActions[action.action].caption;
        if (action.error) {
            Fail(kCommand, caption + L": " + *action.error);
        } else {
            text += L"Done: " + caption + L"\n";
        }
    }
    for (const IeFileResult& file : result.files) {
        if (file.error) {
            Fail(kCommand, L"not deleted: " + file.file.FullName() + L": " + *file.error);
        }
    }
    text += L"Deleted " + std::to_wstring(result.DeletedCount()) + L" of " +
            std::to_wstring(result.files.size()) + L" files\n";
    WriteOut(text);
    return result.AllDone() && scan.skipped.empty() ? kExitDone : kExitFailed;
}

}  // namespace kestrova::cli
