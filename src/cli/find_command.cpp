#include "cli/find_command.h"

#include <windows.h>

#include <cstdio>

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/json_writer.h"
#include "cli/value_options.h"
#include "tools/find_file.h"

namespace kestrova::cli {

namespace {

struct FoundRow {
    std::wstring path;
    uint64_t size = 0;
    std::wstring modified;  // local "YYYY-MM-DD HH:MM:SS"
};

// "YYYY-MM-DD" (whole days) or "YYYY-MM-DD HH:MM[:SS]" ("T" may stand for the blank), local.
DateTimeValue ParseDate(const std::wstring& text, const std::wstring& option) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    wchar_t separator = 0;
    wchar_t rest = 0;
    const int fields = swscanf(text.c_str(), L"%4d-%2d-%2d%lc%2d:%2d:%2d%lc", &year, &month, &day,
                               &separator, &hour, &minute, &second, &rest);
    const bool dateOnly = fields == 3 && text.size() == 10;
    const bool withTime = (fields == 6 || fields == 7) && (separator == L' ' || separator == L'T');
    const DateTimeValue value = DateTimeValueOf(year, month, day, hour, minute, second);
    if ((!dateOnly && !withTime) || value <= 0 || month > 12 || day > 31 || hour > 23 ||
        minute > 59 || second > 59) {
        throw UsageError(option + L" takes a date YYYY-MM-DD [HH:MM[:SS]], not '" + text + L"'");
    }
    return value;
}

std::wstring LocalTimeText(const FILETIME& utc) {
    FILETIME local = {};
    SYSTEMTIME time = {};
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &time);
    wchar_t text[32] = {};
    swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay,
             time.wHour, time.wMinute, time.wSecond);
    return text;
}

std::string RowsCsv(const std::vector<FoundRow>& rows) {
    CsvTable table({L"path", L"size", L"modified"});
    for (const FoundRow& row : rows) {
        table.Add({row.path, row.size, row.modified});
    }
    return table.Text();
}

std::string RowsJson(const std::vector<FoundRow>& rows) {
    JsonWriter json;
    json.BeginObject();
    json.Key(L"files");
    json.BeginArray();
    for (const FoundRow& row : rows) {
        json.BeginObject();
        json.Key(L"path");
        json.String(row.path);
        json.Key(L"size");
        json.Int(static_cast<long long>(row.size));
        json.Key(L"modified");
        json.String(row.modified);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

}  // namespace

FindOptions ParseFindOptions(const std::vector<std::wstring>& arguments) {
    const OptionValues line =
        ReadOptionValues(arguments,
                         {{L"--location"},
                          {L"--masks"},
                          {L"--exclude", true},
                          {L"--min-size"},
                          {L"--max-size"},
                          {L"--modified-after"},
                          {L"--modified-before"},
                          {L"--contains"}},
                         {L"--case-sensitive", L"--whole-word", L"--json", kCsvFlag});
    if (!line.operands.empty()) {
        throw UsageError(L"unexpected argument '" + line.operands.front() + L"'");
    }
    if (!line.Has(L"--location")) {
        throw UsageError(L"--location is needed");
    }
    FindOptions options;
    options.form = OutputFormOf(line.flags);
    FileCriteria& files = options.criteria.files;
    files.location = line.Value(L"--location");
    files.fileName = line.Has(L"--masks") ? line.Value(L"--masks") : L"*";
    files.excluded = line.All(L"--exclude");
    if (line.Has(L"--min-size")) {
        options.criteria.size.min = ParseByteCount(line.Value(L"--min-size"), L"--min-size");
    }
    if (line.Has(L"--max-size")) {
        options.criteria.size.max = ParseByteCount(line.Value(L"--max-size"), L"--max-size");
    }
    if (line.Has(L"--modified-after")) {
        options.criteria.timeStamp.modifiedAfter =
            ParseDate(line.Value(L"--modified-after"), L"--modified-after");
    }
    if (line.Has(L"--modified-before")) {
        options.criteria.timeStamp.modifiedBefore =
            ParseDate(line.Value(L"--modified-before"), L"--modified-before");
    }
    if (line.Has(L"--contains")) {
        options.criteria.content.SetPhrase(line.Value(L"--contains"));
        options.criteria.content.SetIgnoreCase(!line.Has(L"--case-sensitive"));
        options.criteria.content.wholeWord = line.Has(L"--whole-word");
    } else if (line.Has(L"--case-sensitive") || line.Has(L"--whole-word")) {
        throw UsageError(L"--case-sensitive and --whole-word go with --contains");
    }
    return options;
}

int RunFindCommand(const std::vector<std::wstring>& arguments) {
    const FindOptions options = ParseFindOptions(arguments);
    std::vector<FoundRow> rows;
    FindFile search;
    search.SetCriteria(options.criteria);
    search.onFileMatch = [&rows](FindFile&, const std::wstring& folder, const FoundFile& entry) {
        rows.push_back({folder + entry.name, entry.size, LocalTimeText(entry.lastWriteTime)});
    };
    search.Execute();
    if (options.form == OutputForm::Json) {
        WriteOut(RowsJson(rows));
        return kExitDone;
    }
    if (options.form == OutputForm::Csv) {
        WriteOut(RowsCsv(rows));
        return kExitDone;
    }
    std::wstring text = L"Path\tSize\tModified\n";
    for (const FoundRow& row : rows) {
        text += row.path + L"\t" + std::to_wstring(row.size) + L"\t" + row.modified + L"\n";
    }
    WriteOut(text);
    return kExitDone;
}

}  // namespace kestrova::cli
