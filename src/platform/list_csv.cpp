#include "platform/list_csv.h"

#include <windows.h>

#include "platform/csv.h"
#include "platform/error.h"
#include "platform/unique_handles.h"

namespace kestrova {

std::wstring CaptionWithoutMarks(const std::wstring& caption) {
    std::wstring shown;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != L'&') {
            shown += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == L'&') {
            shown += L'&';
            ++i;
        }
    }
    return shown;
}

std::string ListCsv(const ListModel& model, const std::vector<CsvColumn>& columns,
                    const std::vector<size_t>& rows) {
    std::vector<std::wstring> header;
    for (const CsvColumn& column : columns) {
        header.push_back(CaptionWithoutMarks(column.caption));
    }
    std::vector<std::vector<std::wstring>> records;
    records.reserve(rows.size());
    for (size_t row : rows) {
        std::vector<std::wstring>& record = records.emplace_back();
        for (const CsvColumn& column : columns) {
            record.push_back(model.CellText(row, column.index));
        }
    }
    return CsvDocument(header, records);
}

void WriteCsvFile(const std::wstring& path, const std::string& bytes) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw Error(L"Cannot write \"" + path + L"\": " + SystemErrorText(GetLastError()));
    }
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        const DWORD error = GetLastError();
        // A part of a list must not pass for the list.
        file.Reset();
        DeleteFileW(path.c_str());
        throw Error(L"Cannot write \"" + path + L"\": " + SystemErrorText(error));
    }
}

}  // namespace kestrova
