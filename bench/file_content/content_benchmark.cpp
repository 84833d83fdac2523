// The file search's content test (ContentCriteria::Matches) over 200 MB of files that do not
// hold the phrase, so every byte is read and looked at, next to a floor that reads the same
// files in blocks of the same size and looks for the phrase with memchr and memcmp alone (case
// kept, no byte map, no whole-word test). Needs no display.
//
// Usage: content_benchmark [--megabytes N] [--runs N]
//   --megabytes N  total size of the files (default 200), in files of 4 MB
//   --runs N       timed rounds, alternating; the best of each is compared (default 3)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/unique_handles.h"
#include "tools/search_criteria_content.h"

namespace kestrova::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kFileBytes = 4 * 1024 * 1024;
constexpr char kPhrase[] = "kestrova needle phrase";

// Text-like bytes: lower-case words, capitals, digits and blanks, never the phrase.
std::string FileBytes(uint32_t seed) {
    std::string bytes(kFileBytes, ' ');
    for (char& c : bytes) {
        seed = seed * 1103515245 + 12345;
        const uint32_t r = (seed >> 16) % 40;
        c = r < 26   ? static_cast<char>('a' + r)
            : r < 30 ? static_cast<char>('A' + r - 26)
            : r < 34 ? static_cast<char>('0' + r - 30)
                     : ' ';
    }
    return bytes;
}

std::vector<std::wstring> MakeFiles(const std::wstring& folder, size_t count) {
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<std::wstring> paths;
    for (size_t i = 0; i < count; ++i) {
        const std::wstring path = folder + L"file" + std::to_wstring(i) + L".txt";
        const std::string bytes = FileBytes(static_cast<uint32_t>(i + 1));
        UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                &written, nullptr)) {
            throw std::runtime_error("cannot write the benchmark's files");
        }
        paths.push_back(path);
    }
    return paths;
}

// The floor: blocks of the same size, memchr for the first byte, memcmp for the rest, the
// phrase's length less one kept from one block to the next.
bool FloorContains(const std::wstring& path, const std::string& phrase) {
    UniqueKernelHandle file(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        return false;
    }
    std::vector<char> buffer(kContentBufferSize);
    size_t filled = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), buffer.data() + filled,
                      static_cast<DWORD>(buffer.size() - filled), &read, nullptr) ||
            read == 0) {
            return false;
        }
        filled += read;
        const char* data = buffer.data();
        const char* end = data + filled;
        for (const char* at = data; at + phrase.size() <= end; ++at) {
            at = static_cast<const char*>(
                std::memchr(at, phrase[0], static_cast<size_t>(end - at) - phrase.size() + 1));
            if (!at) {
                break;
            }
            if (std::memcmp(at, phrase.data(), phrase.size()) == 0) {
                return true;
            }
        }
        const size_t keep = std::min(filled, phrase.size() - 1);
        std::memmove(buffer.data(), end - keep, keep);
        filled = keep;
    }
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int Run(size_t megabytes, int runs) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kestrova-content-bench-" +
                                std::to_wstring(GetCurrentProcessId()) + L"\\";
    const size_t count = std::max<size_t>(1, megabytes * 1024 * 1024 / kFileBytes);
    const std::vector<std::wstring> paths = MakeFiles(folder, count);
    const double totalMb = static_cast<double>(count * kFileBytes) / (1024.0 * 1024.0);

    ContentCriteria ignoringCase;
    ignoringCase.SetPhrase(std::wstring(std::begin(kPhrase), std::end(kPhrase) - 1));
    ContentCriteria caseKept = ignoringCase;
    caseKept.SetIgnoreCase(false);
    ContentCriteria wholeWord = ignoringCase;
    wholeWord.wholeWord = true;

    const auto engine = [&](const ContentCriteria& content) {
        size_t found = 0;
        for (const std::wstring& path : paths) {
            found += content.Matches(path) ? 1 : 0;
        }
        return found;
    };
    const auto floor = [&] {
        size_t found = 0;
        for (const std::wstring& path : paths) {
            found += FloorContains(path, kPhrase) ? 1 : 0;
        }
        return found;
    };
    // An untimed pass brings the files into the system's cache; nothing may be found.
    if (engine(ignoringCase) + floor() != 0) {
        throw std::runtime_error("the phrase was found in the generated files");
    }

    std::printf("%zu files, %.0f MB, phrase \"%s\" (%zu bytes), blocks of %zu bytes\n", count,
                totalMb, kPhrase, sizeof(kPhrase) - 1, kContentBufferSize);
    std::printf("%6s %16s %16s %16s %12s\n", "round", "ignore case MB/s", "case kept MB/s",
                "whole word MB/s", "floor MB/s");
    double best[4] = {1e30, 1e30, 1e30, 1e30};
    for (int round = 0; round < runs; ++round) {
        double seconds[4] = {};
        for (int part = 0; part < 4; ++part) {
            // The floor first in odd rounds, last in even ones.
            const int which = round % 2 == 0 ? part : 3 - part;
            const auto start = Clock::now();
            switch (which) {
                case 0:
                    engine(ignoringCase);
                    break;
                case 1:
                    engine(caseKept);
                    break;
                case 2:
                    engine(wholeWord);
                    break;
                default:
                    floor();
            }
            seconds[which] = Seconds(start);
            best[which] = std::min(best[which], seconds[which]);
        }
        std::printf("%6d %16.0f %16.0f %16.0f %12.0f\n", round + 1, totalMb / seconds[0],
                    totalMb / seconds[1], totalMb / seconds[2], totalMb / seconds[3]);
    }
    std::printf(
        "best: ignore case %.0f MB/s, case kept %.0f MB/s, whole word %.0f MB/s, "
        "floor %.0f MB/s\n",
        totalMb / best[0], totalMb / best[1], totalMb / best[2], totalMb / best[3]);
    for (const std::wstring& path : paths) {
        DeleteFileW(path.c_str());
    }
    RemoveDirectoryW(folder.c_str());
    std::printf("ratio %.2f\n", best[0] / best[3]);
    return 0;
}

}  // namespace

}  // namespace kestrova::bench

int wmain(int argc, wchar_t** argv) {
    size_t megabytes = 200;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--megabytes" && i + 1 < argc) {
            megabytes = static_cast<size_t>(std::stoul(argv[++i]));
        } else if (argument == L"--runs" && i + 1 < argc) {
            runs = std::stoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: content_benchmark [--megabytes N] [--runs N]\n");
            return 2;
        }
    }
    if (megabytes < 1 || runs < 1) {
        std::fprintf(stderr, "--megabytes and --runs must be at least 1\n");
        return 2;
    }
    try {
        return kestrova::bench::Run(megabytes, runs);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
