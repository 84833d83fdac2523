#include "tools/association_backup_file.h"

#include <windows.h>

#include <limits>

#include "platform/error.h"
#include "platform/unique_handles.h"

namespace kestrova {

namespace {

constexpr size_t kBlockSize = 8192;
constexpr long long kTrailerSize = 8;

// A file opened for whole reads or writes; every failure throws Error naming the file.
class BinaryFile {
public:
    static BinaryFile Open(const std::wstring& path) {
        return BinaryFile(path,
                          CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
                          L"open");
    }
    static BinaryFile Create(const std::wstring& path) {
        return BinaryFile(path,
                          CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr),
                          L"create");
    }

    long long Size() const {
        LARGE_INTEGER size = {};
        if (!GetFileSizeEx(handle_.Get(), &size)) {
            Fail(L"read");
        }
        return size.QuadPart;
    }
    void Seek(long long offset) const {
        LARGE_INTEGER to = {};
        to.QuadPart = offset;
        if (!SetFilePointerEx(handle_.Get(), to, nullptr, FILE_BEGIN)) {
            Fail(L"read");
        }
    }
    // Reads up to size bytes; fewer only at the end of the file.
    size_t Read(void* buffer, size_t size) const {
        DWORD read = 0;
        if (!ReadFile(handle_.Get(), buffer, static_cast<DWORD>(size), &read, nullptr)) {
            Fail(L"read");
        }
        return read;
    }
    void Write(const void* data, size_t size) const {
        DWORD written = 0;
        if (!WriteFile(handle_.Get(), data, static_cast<DWORD>(size), &written, nullptr) ||
            written != size) {
            Fail(L"write");
        }
    }
    // Copies count bytes from this file's position into `to`; throws when this file ends first.
    void CopyTo(const BinaryFile& to, long long count) const {
        char block[kBlockSize];
        while (count > 0) {
            const size_t wanted = count < static_cast<long long>(kBlockSize)
                                      ? static_cast<size_t>(count)
                                      : kBlockSize;
            const size_t read = Read(block, wanted);
            if (read == 0) {
                throw Error(L"Cannot read \"" + path_ + L"\": it ended early");
            }
            to.Write(block, read);
            count -= static_cast<long long>(read);
        }
    }

private:
    BinaryFile(const std::wstring& path, HANDLE handle, const wchar_t* verb)
        : path_(path), handle_(handle) {
        if (!handle_) {
            Fail(verb);
        }
    }
    [[noreturn]] void Fail(const wchar_t* verb) const {
        const DWORD error = GetLastError();
        throw Error(L"Cannot " + std::wstring(verb) + L" \"" + path_ + L"\": " +
                    SystemErrorText(error));
    }

    std::wstring path_;
    UniqueKernelHandle handle_;
};

int32_t PartSize(const BinaryFile& file) {
    const long long size = file.Size();
    if (size > std::numeric_limits<int32_t>::max()) {
        throw Error(L"An export of more than 2 GB cannot go into an association backup file");
    }
    return static_cast<int32_t>(size);
}

void PutInt32(unsigned char* at, int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<unsigned char>(bits >> (8 * i));
    }
}

int32_t GetInt32(const unsigned char* at) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits |= static_cast<uint32_t>(at[i]) << (8 * i);
    }
    return static_cast<int32_t>(bits);
}

AssociationBackupSizes WriteParts(const BinaryFile& target, const std::wstring& first,
                                  const std::wstring& second) {
    AssociationBackupSizes sizes;
    {
        const BinaryFile part = BinaryFile::Open(first);
        sizes.first = PartSize(part);
        part.CopyTo(target, sizes.first);
    }
    if (!second.empty()) {
        const BinaryFile part = BinaryFile::Open(second);
        sizes.second = PartSize(part);
        part.CopyTo(target, sizes.second);
    }
    unsigned char trailer[kTrailerSize];
    PutInt32(trailer, sizes.first);
    PutInt32(trailer + 4, sizes.second);
    target.Write(trailer, sizeof(trailer));
    return sizes;
}

}  // namespace

AssociationBackupSizes WriteAssociationBackupFile(const std::wstring& target,
                                                  const std::wstring& first,
                                                  const std::wstring& second) {
    try {
        const BinaryFile file = BinaryFile::Create(target);
        return WriteParts(file, first, second);
    } catch (...) {
        DeleteFileW(target.c_str());
        throw;
    }
}

AssociationBackupSizes ReadAssociationBackupSizes(const std::wstring& file) {
    const BinaryFile backup = BinaryFile::Open(file);
    const long long size = backup.Size();
    const auto refuse = [&](const std::wstring& why) {
        return Error(L"\"" + file + L"\" is not an association backup file: " + why);
    };
    if (size < kTrailerSize) {
        throw refuse(L"it is shorter than 8 bytes");
    }
    backup.Seek(size - kTrailerSize);
    unsigned char trailer[kTrailerSize];
    if (backup.Read(trailer, sizeof(trailer)) != sizeof(trailer)) {
        throw refuse(L"its last 8 bytes cannot be read");
    }
    AssociationBackupSizes sizes{GetInt32(trailer), GetInt32(trailer + 4)};
    if (sizes.first < 0 || sizes.second < 0) {
        throw refuse(L"it gives a negative size");
    }
    if (sizes.first == 0) {
        throw refuse(L"its first part is empty");
    }
    if (static_cast<long long>(sizes.first) + sizes.second + kTrailerSize != size) {
        throw refuse(L"the sizes it gives do not add up to its size");
    }
    return sizes;
}

void SplitAssociationBackupFile(const std::wstring& file, const AssociationBackupSizes& sizes,
                                const std::wstring& first, const std::wstring& second) {
    const BinaryFile backup = BinaryFile::Open(file);
    backup.CopyTo(BinaryFile::Create(first), sizes.first);
    backup.CopyTo(BinaryFile::Create(second), sizes.second);
}

}  // namespace kestrova
