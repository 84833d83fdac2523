// Hostile stored files: a real Backup.xml (a fix of stale entries in a registry sandbox) and
// ignore.xml are mutated (attributes missing, unknown or wrong, TYPE texts that do not exist,
// hex of odd length or bad digits, numbers that are not numbers, SUBKEY naming a bare root or
// no root, 10 MB attributes, 100,000 entries, broken bytes) and kestrova-cli runs "history",
// "ignore list" and "restore --all" on each under a time limit. A bounded fuzz program, not a
// test.
//
// Usage: store_fuzz [--iterations N] [--seed N]
//   --iterations N  mutated files (default 300)
//   --seed N        seed of the mutations (default: the clock)
// Counted: crashes (an exit status other than 0, 1 or 2), hangs (past the time limit),
// changes where the command must not write (the registry or the file after "history" and
// "ignore list"; a key or value gone after "restore"; an entry that was not restored but left
// the history), all with the goal 0. Last line: "crashes N, hangs N, unwanted changes N".
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/key_path.h"
#include "platform/text.h"
#include "platform/xml_document.h"
#include "repair_test_support.h"
#include "child_program.h"
#include "support/child_process.h"
#include "support/registry_sandbox.h"
#include "support/scoped_environment.h"
#include "support/stale_entries.h"
#include "support/temp_folder.h"

namespace kestrova::bench {

namespace {

constexpr DWORD kTimeLimitMs = 120000;

struct Options {
    int iterations = 300;
    unsigned seed = static_cast<unsigned>(GetTickCount());
};

bool ReadOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) {
            return false;
        }
        const std::wstring name = argv[i];
        const unsigned long value = std::wcstoul(argv[i + 1], nullptr, 10);
        if (name == L"--iterations") {
            options.iterations = static_cast<int>(value);
        } else if (name == L"--seed") {
            options.seed = static_cast<unsigned>(value);
        } else {
            return false;
        }
    }
    return options.iterations > 0;
}

// Writes a dump back: every key, value name, type and data (keys in sorted order, so a
// parent comes before its children).
void LoadDump(const test::RegistryDump& dump) {
    for (const auto& [key, values] : dump) {
        const size_t slash = key.find(L'\\');
        const std::wstring rootName = key.substr(0, slash);
        HKEY root = HKEY_CLASSES_ROOT;
        for (HKEY candidate : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                               HKEY_CURRENT_CONFIG}) {
            if (RootKeyName(candidate) == rootName) {
                root = candidate;
            }
        }
        Registry registry(root);
        if (!registry.OpenKey(slash == std::wstring::npos ? L"\\" : key.substr(slash), true)) {
            continue;
        }
        for (const auto& [name, value] : values) {
            registry.WriteRawExact(name, RawValue{value.type, value.data});
        }
    }
}

class Mutator {
public:
    explicit Mutator(unsigned seed) : random_(seed) {}

    size_t Below(size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(random_);
    }
    bool OneIn(size_t n) { return Below(n) == 0; }

    std::wstring HexJunk() {
        static const wchar_t kChars[] = L"0123456789ABCDEFabcdefGZ,\\ -";
        std::wstring text;
        const size_t length = Below(24);
        for (size_t i = 0; i < length; ++i) {
            text += kChars[Below(std::size(kChars) - 1)];
        }
        return text;
    }

    std::wstring TextFor(const std::wstring& attribute) {
        if (OneIn(60)) {
            return std::wstring(10 * 1024 * 1024, L'A');  // a 10 MB attribute
        }
        if (attribute == L"TYPE") {
            const wchar_t* types[] = {L"rdString", L"rdInteger", L"rdBinary", L"rdText",
                                      L"",         L"RDSTRING",  L"rdBinary "};
            return types[Below(std::size(types))];
        }
        if (attribute == L"REGTYPE") {
            const wchar_t* types[] = {L"0",          L"1",           L"7", L"11", L"-1",
                                      L"4294967295", L"99999999999", L"x", L"",   L"0x10"};
            return types[Below(std::size(types))];
        }
        if (attribute == L"SUBKEY") {
            const wchar_t* keys[] = {L"HKEY_CURRENT_USER",
                                     L"HKEY_CURRENT_USER\\",
                                     L"",
                                     L"\\",
                                     L"\\Software\\Fuzz",
                                     L"Software\\Fuzz",
                                     L"HKEY_ELSEWHERE\\Software\\Fuzz",
                                     L"HKEY_CURRENT_USER\\Software\\\\Fuzz",
                                     L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Fuzz\\"};
            return keys[Below(std::size(keys))];
        }
        return HexJunk();
    }

    // One change to the document: an attribute removed, added, or given a hostile text; an
    // element removed, added, or moved; or many copies of the entries.
    void Mutate(XmlDocument& document, const std::vector<std::wstring>& attributes) {
        XmlElement root = document.Root();
        const size_t entries = root.ChildCount();
        if (entries == 0) {
            root.AppendChild(L"ELEMENT");
            return;
        }
        XmlElement element = root.Child(Below(entries));
        if (element.ChildCount() > 0 && !OneIn(3)) {
            element = element.Child(Below(element.ChildCount()));
        }
        const std::wstring attribute = attributes[Below(attributes.size())];
        switch (Below(6)) {
            case 0: {
                // Without the attribute: made again without it.
                XmlElement copy = root.AppendChild(element.Tag());
                for (const auto& [name, value] : element.Attributes()) {
                    if (name != attribute) {
                        copy.SetAttribute(name, value);
                    }
                }
                break;
            }
            case 1:
                element.SetAttribute(L"UNKNOWN" + std::to_wstring(Below(3)), HexJunk());
                break;
            case 2:
                root.DeleteChild(Below(entries));
                break;
            case 3:
                element.AppendChild(OneIn(2) ? L"ITEM" : L"OTHER")
                    .SetAttribute(attribute, TextFor(attribute));
                break;
            default:
                element.SetAttribute(attribute, TextFor(attribute));
                break;
        }
    }

    // Broken bytes: cut short or with a byte changed.
    std::string BreakBytes(std::string bytes) {
        if (bytes.empty()) {
            return bytes;
        }
        if (OneIn(2)) {
            bytes.resize(Below(bytes.size()));
        } else {
            bytes[Below(bytes.size())] = static_cast<char>(Below(256));
        }
        return bytes;
    }

private:
    std::mt19937 random_;
};

struct Counts {
    int crashes = 0;
    int hangs = 0;
    int changes = 0;
};

class Fuzzer {
public:
    Fuzzer(const test::RegistrySandbox& sandbox, const test::TempFolder& folder)
        : sandbox_(sandbox), folder_(folder), cli_(CliBesideThisProgram()) {}

    // Runs the command; counts a crash or a hang. Returns the exit status, or none.
    std::optional<test::ChildResult> Run(const std::wstring& command, Counts& counts) {
        const test::ScopedEnvironment variable(test::kRegistrySandboxVariable,
                                               sandbox_.ScratchPath());
        const std::wstring arguments = command + L" --data-folder \"" +
                                       folder_.Path().substr(0, folder_.Path().size() - 1) + L"\"";
        // Output thrown away: it can be large (10 MB attributes).
        test::RunningChild child(cli_, arguments);
        if (!child.WaitFor(kTimeLimitMs)) {
            child.Kill();
            ++counts.hangs;
            std::printf("HANG: %s\n", ToUtf8(command).c_str());
            return std::nullopt;
        }
        test::ChildResult result;
        result.exitCode = child.ExitCode();
        if (result.exitCode > 2) {
            ++counts.crashes;
            std::printf("CRASH: %s exit %lu\n", ToUtf8(command).c_str(),
                        static_cast<unsigned long>(result.exitCode));
        }
        return result;
    }

    // A command that only reads: the file and the registry must stay as they were.
    void ReadOnly(const std::wstring& command, const std::wstring& file, Counts& counts) {
        const std::string bytes = test::ReadFileBytes(file);
        const test::RegistryDump before = test::DumpRegistry();
        Run(command, counts);
        const test::RegistryDump after = test::DumpRegistry();
        if (!(after == before) || test::ReadFileBytes(file) != bytes) {
            ++counts.changes;
            std::printf("CHANGED by %s:\n%s", ToUtf8(command).c_str(),
                        test::DescribeDifferences(before, after).c_str());
        }
    }

    // "restore --all": nothing gone from the registry, and the entries left are the ones that
    // could not be written back (as many as it told).
    void Restore(const std::wstring& file, Counts& counts) {
        size_t entries = 0;
        bool readable = true;
        try {
            XmlDocument document;
            document.Load(file);
            entries = document.Root().ChildCount();
        } catch (const XmlError&) {
            readable = false;
        }
        const std::string bytes = test::ReadFileBytes(file);
        const test::RegistryDump before = test::DumpRegistry();
        Run(L"restore --all", counts);
        const test::RegistryDump after = test::DumpRegistry();
        bool gone = false;
        for (const auto& [key, values] : before) {
            const auto found = after.find(key);
            gone = gone || found == after.end();
            for (const auto& value : values) {
                gone = gone || found == after.end() || !found->second.count(value.first);
            }
        }
        size_t left = entries;
        bool leftReadable = true;
        try {
            XmlDocument document;
            document.Load(file);
            left = document.Root().ChildCount();
        } catch (const XmlError&) {
            leftReadable = false;
        }
        const bool fileKept = readable || test::ReadFileBytes(file) == bytes;
        if (gone || !fileKept || (readable && !leftReadable) || left > entries) {
            ++counts.changes;
            std::printf("RESTORE: %s%s\n", gone ? "something was deleted " : "",
                        fileKept ? "" : "an unreadable history was written over");
        }
    }

private:
    const test::RegistrySandbox& sandbox_;
    const test::TempFolder& folder_;
    std::wstring cli_;
};

int Run(const Options& options) {
    test::RegistrySandbox sandbox;
    test::TempFolder folder;
    Fuzzer fuzzer(sandbox, folder);
    Counts counts;
    std::printf("Store fuzz: %d iterations, seed %u\n", options.iterations, options.seed);

    // The seeds: the history of a real fix, and an ignore list.
    test::MakeStaleEntries(70, L"Fuzz");
    fuzzer.Run(L"fix --groups " + test::StaleEntryGroups(), counts);
    for (const wchar_t* value : {L"a.hlp", L"b.hlp", L"c.hlp"}) {
        fuzzer.Run(
            std::wstring(L"ignore add HKEY_LOCAL_MACHINE SOFTWARE\\Microsoft\\Windows\\Help ") +
                value,
            counts);
    }
    const std::wstring history = folder / L"Backup.xml";
    const std::wstring ignore = folder / L"ignore.xml";
    const std::string historySeed = test::ReadFileBytes(history);
    const std::string ignoreSeed = test::ReadFileBytes(ignore);
    const test::RegistryDump baseline = test::DumpRegistry();

    Mutator mutator(options.seed);
    int restores = 0;
    for (int i = 0; i < options.iterations; ++i) {
        const bool onHistory = i % 2 == 0;
        const std::wstring file = onHistory ? history : ignore;
        test::WriteFileBytes(file, onHistory ? historySeed : ignoreSeed);
        XmlDocument document;
        document.Load(file);
        if (i < 2) {
            // 100,000 entries, once for each file.
            XmlElement root = document.Root();
            const size_t seeds = root.ChildCount();
            while (root.ChildCount() < 100000) {
                const XmlElement source = root.Child(root.ChildCount() % seeds);
                XmlElement copy = root.AppendChild(source.Tag());
                for (const auto& [name, value] : source.Attributes()) {
                    copy.SetAttribute(name, value);
                }
            }
        } else {
            const size_t changes = 1 + mutator.Below(4);
            for (size_t c = 0; c < changes; ++c) {
                mutator.Mutate(
                    document, onHistory ? std::vector<std::wstring>{L"NAME", L"TYPE", L"PATH",
                                                                    L"SUBKEY", L"VALUE", L"REGTYPE"}
                                        : std::vector<std::wstring>{L"ROOT", L"KEY", L"VALUE"});
            }
        }
        document.Save(file);
        if (mutator.OneIn(15)) {
            test::WriteFileBytes(file, mutator.BreakBytes(test::ReadFileBytes(file)));
        }
        if (onHistory) {
            fuzzer.ReadOnly(mutator.OneIn(2) ? L"history" : L"history --json", file, counts);
            if (i >= 2 || mutator.OneIn(2)) {
                fuzzer.Restore(file, counts);
                sandbox.Clear();
                LoadDump(baseline);
                ++restores;
            }
        } else {
            fuzzer.ReadOnly(mutator.OneIn(2) ? L"ignore list" : L"ignore list --json", file,
                            counts);
        }
        if ((i + 1) % 25 == 0) {
            std::printf("%d iterations done\n", i + 1);
            std::fflush(stdout);
        }
    }
    std::printf("iterations %d (restores %d)\n", options.iterations, restores);
    std::printf("crashes %d, hangs %d, unwanted changes %d\n", counts.crashes, counts.hangs,
                counts.changes);
    return counts.crashes + counts.hangs + counts.changes == 0 ? 0 : 1;
}

}  // namespace

}  // namespace kestrova::bench

int wmain(int argc, wchar_t** argv) {
    using namespace kestrova::bench;
    return ChildProgramMain<Options>(argc, argv, "store_fuzz [--iterations N] [--seed N]",
                                     ReadOptions, Run);
}
