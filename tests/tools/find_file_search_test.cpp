// The search engine on real folders: its order, its rules, its events and stopping.
#include <windows.h>

#include <algorithm>
#include <atomic>

#include <gtest/gtest.h>

#include "file_tree_support.h"
#include "platform/text.h"
#include "platform/ui_channel.h"
#include "support/message_pump.h"
#include "support/temp_folder.h"
#include "tools/find_file.h"

namespace kestrova {
namespace {

using test::MakeFile;
using test::SearchFiles;
using test::SearchLog;

class FindFileSearchTest : public ::testing::Test {
protected:
    std::wstring Root() const { return temp_.Path(); }
    std::wstring At(const std::wstring& relative) const { return temp_ / relative; }

    SearchCriteria Criteria(const std::wstring& location, const std::wstring& masks) const {
        SearchCriteria criteria;
        criteria.files.location = location;
        criteria.files.fileName = masks;
        return criteria;
    }

    test::TempFolder temp_;
};

std::vector<std::wstring> Sorted(std::vector<std::wstring> items) {
    std::sort(items.begin(), items.end());
    return items;
}

TEST_F(FindFileSearchTest, LocationsInOrderMasksLastToFirstFilesBeforeSubfolders) {
    MakeFile(At(L"one\\a.tmp"));
    MakeFile(At(L"one\\b.bak"));
    MakeFile(At(L"one\\sub\\c.tmp"));
    MakeFile(At(L"one\\sub\\d.bak"));
    MakeFile(At(L"two\\e.tmp"));
    MakeFile(At(L"two\\f.txt"));

    FindFile search;
    search.Criteria() = Criteria(At(L"one") + L"; " + At(L"two") + L";", L"*.tmp; *.bak");
    SearchLog log;
    log.Attach(search);
    search.Execute();

    EXPECT_EQ(log.events, (std::vector<std::wstring>{
                              L"begin",
                              L"folder " + At(L"one\\"),
                              L"file " + At(L"one\\b.bak"),
                              L"file " + At(L"one\\a.tmp"),
                              L"folder " + At(L"one\\sub\\"),
                              L"file " + At(L"one\\sub\\d.bak"),
                              L"file " + At(L"one\\sub\\c.tmp"),
                              L"folder " + At(L"two\\"),
                              L"file " + At(L"two\\e.tmp"),
                              L"finish",
                          }));
    EXPECT_FALSE(search.Busy());
}

TEST_F(FindFileSearchTest, RepeatedMasksKeepOneButTwoMasksReportAFileTwice) {
    MakeFile(At(L"x.~mp"));
    MakeFile(At(L"y.tmp"));
    EXPECT_EQ(Sorted(SearchFiles(Criteria(Root(), L"*.tmp; *.TMP;; *.tmp"))),
              std::vector<std::wstring>{At(L"y.tmp")});
    // "Temporary files" and "Common backup files" both select x.~mp.
    EXPECT_EQ(SearchFiles(Criteria(Root(), L"*.~mp; *.~*")),
              (std::vector<std::wstring>{At(L"x.~mp"), At(L"x.~mp")}));
    // The same folder named twice, in another case, is one target.
    std::wstring upper = Root();
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    EXPECT_EQ(SearchFiles(Criteria(Root() + L";" + upper, L"*.tmp")),
              std::vector<std::wstring>{At(L"y.tmp")});
}

TEST_F(FindFileSearchTest, TheSystemDecidesWhichNamesAMaskSelects) {
    // Long names also match by their short 8.3 form: longname.tmpx is longna~1.tmp.
    MakeFile(At(L"longname.tmpx"));
    MakeFile(At(L"plain.tmp"));
    MakeFile(At(L"other.txt"));
    EXPECT_EQ(Sorted(SearchFiles(Criteria(Root(), L"*.tmp"))),
              Sorted({At(L"longname.tmpx"), At(L"plain.tmp")}));
}

TEST_F(FindFileSearchTest, SubfolderMarksOfLocationsAndIncludedEntries) {
    MakeFile(At(L"Data\\top.tmp"));
    MakeFile(At(L"Data\\sub\\deep.tmp"));
    const std::vector<std::wstring> both = {At(L"Data\\top.tmp"), At(L"Data\\sub\\deep.tmp")};
    const std::vector<std::wstring> top = {At(L"Data\\top.tmp")};

    struct Case {
        std::wstring location;
        bool subfolders;
        std::vector<std::wstring> found;
    };
    for (const Case& c :
         {Case{At(L"Data"), true, both}, Case{At(L"Data"), false, top},
          Case{L">" + At(L"Data"), false, both}, Case{L"<" + At(L"Data"), true, top}}) {
        SearchCriteria criteria = Criteria(c.location, L"*.tmp");
        criteria.files.subfolders = c.subfolders;
        EXPECT_EQ(SearchFiles(criteria), c.found) << ToUtf8(c.location);
    }

    // Included entries add one mask to one folder; the newest target is searched last.
    SearchCriteria criteria;
    criteria.files.included = {L"<" + At(L"Data\\sub\\*.tmp"), L">" + At(L"Data\\top.*")};
    EXPECT_EQ(SearchFiles(criteria),
              (std::vector<std::wstring>{At(L"Data\\sub\\deep.tmp"), At(L"Data\\top.tmp")}));
}

TEST_F(FindFileSearchTest, LevelsLimitWhereFilesComeFromAndWhichFoldersAreEntered) {
    MakeFile(At(L"l1.tmp"));
    MakeFile(At(L"a\\l2.tmp"));
    MakeFile(At(L"a\\b\\l3.tmp"));
    struct Case {
        uint16_t minLevel;
        uint16_t maxLevel;
        std::vector<std::wstring> found;
        size_t folders;
    };
    for (const Case& c : {
             Case{0, 0, {At(L"l1.tmp"), At(L"a\\l2.tmp"), At(L"a\\b\\l3.tmp")}, 3},
             Case{0, 1, {At(L"l1.tmp")}, 1},
             Case{1, 2, {At(L"l1.tmp"), At(L"a\\l2.tmp")}, 2},
             Case{2, 0, {At(L"a\\l2.tmp"), At(L"a\\b\\l3.tmp")}, 3},
             Case{3, 2, {}, 2},
         }) {
        FindFile search;
        search.Criteria() = Criteria(Root(), L"*.tmp");
        search.Criteria().files.minLevel = c.minLevel;
        search.Criteria().files.maxLevel = c.maxLevel;
        SearchLog log;
        log.Attach(search);
        search.Execute();
        EXPECT_EQ(log.Files(), c.found) << c.minLevel << "-" << c.maxLevel;
        EXPECT_EQ(std::count_if(log.events.begin(), log.events.end(),
                                [](const std::wstring& e) { return e.starts_with(L"folder "); }),
                  static_cast<ptrdiff_t>(c.folders))
            << c.minLevel << "-" << c.maxLevel;
        EXPECT_EQ(search.Level(), 0);
    }
}

TEST_F(FindFileSearchTest, ExclusionMasksApplyToFilesNotToFolders) {
    MakeFile(At(L"Data\\keep.tmp"));
    MakeFile(At(L"Data\\drop.tmp"));
    MakeFile(At(L"Old\\Data\\keep.tmp"));
    MakeFile(At(L"Data\\Sub\\keep.tmp"));
    MakeFile(At(L"~lock.tmp"));
    MakeFile(At(L"a.bak"));
    const std::wstring drive = Root().substr(0, 2);
    const std::wstring otherDrive = drive == L"Q:" ? L"R:" : L"Q:";

    struct Case {
        std::vector<std::wstring> excluded;
        std::vector<std::wstring> found;
    };
    const std::vector<std::wstring> all = {
        At(L"a.bak"),          At(L"~lock.tmp"),           At(L"Data\\drop.tmp"),
        At(L"Data\\keep.tmp"), At(L"Data\\Sub\\keep.tmp"), At(L"Old\\Data\\keep.tmp")};
    for (const Case& c : {
             Case{{}, all},
             Case{{drive + L"\\Data\\keep.tmp"},
                  {At(L"a.bak"), At(L"~lock.tmp"), At(L"Data\\drop.tmp"),
                   At(L"Data\\Sub\\keep.tmp")}},
             Case{{otherDrive + L"\\Data\\keep.tmp"}, all},
             Case{{L"~*"},
                  {At(L"a.bak"), At(L"Data\\drop.tmp"), At(L"Data\\keep.tmp"),
                   At(L"Data\\Sub\\keep.tmp"), At(L"Old\\Data\\keep.tmp")}},
             Case{{L"*.bak", L"\\Data\\"}, {At(L"~lock.tmp"), At(L"Data\\Sub\\keep.tmp")}},
             Case{{drive + L"\\"}, {}},
         }) {
        EXPECT_EQ(Sorted(SearchFiles([&] {
                      SearchCriteria criteria = Criteria(Root(), L"*.tmp; *.bak");
                      criteria.files.excluded = c.excluded;
                      return criteria;
                  }())),
                  Sorted(c.found))
            << (c.excluded.empty() ? "" : ToUtf8(c.excluded.front()));
    }
}

TEST_F(FindFileSearchTest, ExcludedFoldersLeaveOutTheirWholeSubtree) {
    MakeFile(At(L"keepdir\\a.tmp"));
    MakeFile(At(L"keepdir\\sub\\b.tmp"));
    MakeFile(At(L"keepdir.tmp"));
    MakeFile(At(L"keepdirx\\c.tmp"));
    FindFile search;
    search.Criteria() = Criteria(Root(), L"*.tmp");
    search.Criteria().files.excludedFolders = {At(L"KEEPDIR")};
    SearchLog log;
    log.Attach(search);
    search.Execute();
    EXPECT_EQ(Sorted(log.Files()), Sorted({At(L"keepdir.tmp"), At(L"keepdirx\\c.tmp")}));
    for (const std::wstring& event : log.events) {
        EXPECT_EQ(event.find(L"keepdir\\"), std::wstring::npos) << ToUtf8(event);
    }
}

TEST_F(FindFileSearchTest, HiddenAndSystemFilesAreReportedFoldersAreNot) {
    MakeFile(At(L"hidden.tmp"), "x", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(At(L"system.tmp"), "x", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    MakeFile(At(L"readonly.tmp"), "x", FILE_ATTRIBUTE_READONLY);
    MakeFile(At(L"folder.tmp\\inner.txt"));
    EXPECT_EQ(Sorted(SearchFiles(Criteria(Root(), L"*.tmp"))),
              Sorted({At(L"hidden.tmp"), At(L"system.tmp"), At(L"readonly.tmp")}));

    // Folders are reported only when the set takes the directory attribute.
    SearchCriteria criteria = Criteria(Root(), L"*.tmp");
    criteria.attribute.SetAttributes({FileAttribute::Directory});
    EXPECT_EQ(SearchFiles(criteria), std::vector<std::wstring>{At(L"folder.tmp")});
    SetFileAttributesW(At(L"readonly.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FindFileSearchTest, FolderChangeAnswersDecideFilesAndSubfolders) {
    MakeFile(At(L"top.tmp"));
    MakeFile(At(L"sub\\inner.tmp"));
    struct Case {
        FolderIgnore answer;
        std::vector<std::wstring> found;
    };
    for (const Case& c : {Case{FolderIgnore::None, {At(L"top.tmp"), At(L"sub\\inner.tmp")}},
                          Case{FolderIgnore::JustThis, {At(L"sub\\inner.tmp")}},
                          Case{FolderIgnore::JustSubfolders, {At(L"top.tmp")}},
                          Case{FolderIgnore::ThisAndSubfolders, {}}}) {
        FindFile search;
        search.Criteria() = Criteria(Root(), L"*.tmp");
        std::vector<std::wstring> found;
        // Only the start folder gets the answer; its subfolders get fiNone.
        search.onFolderChange = [&](FindFile&, const std::wstring& folder, FolderIgnore& ignore) {
            EXPECT_EQ(ignore, FolderIgnore::None);
            if (folder == Root()) {
                ignore = c.answer;
            }
        };
        search.onFileMatch = [&](FindFile&, const std::wstring& folder, const FoundFile& entry) {
            found.push_back(folder + entry.name);
        };
        search.Execute();
        EXPECT_EQ(found, c.found) << static_cast<int>(c.answer);
    }
}

TEST_F(FindFileSearchTest, EmptyMasksWalkEveryFolderAndReportNothing) {
    MakeFile(At(L"a.tmp"));
    MakeFile(At(L"sub\\b.tmp"));
    FindFile search;
    search.Criteria() = Criteria(Root(), L"");
    SearchLog log;
    log.Attach(search);
    search.Execute();
    EXPECT_EQ(log.events, (std::vector<std::wstring>{L"begin", L"folder " + Root(),
                                                     L"folder " + At(L"sub\\"), L"finish"}));
    // A missing folder is passed over in silence.
    search.Criteria() = Criteria(At(L"missing") + L";" + Root(), L"*.tmp");
    log.events.clear();
    search.Execute();
    EXPECT_EQ(log.Files(), (std::vector<std::wstring>{At(L"a.tmp"), At(L"sub\\b.tmp")}));
}

TEST_F(FindFileSearchTest, LinksToFoldersAreNeverEntered) {
    test::TempFolder outside;
    MakeFile(outside / L"escape.tmp");
    MakeFile(At(L"inside\\own.tmp"));
    const std::wstring link = At(L"inside\\link");
    test::MakeHostLink(outside.Path().substr(0, outside.Path().size() - 1), link);
    struct RemoveLink {
        std::wstring link;
        ~RemoveLink() { test::RemoveHostLink(link); }
    } removeLink{link};
    ASSERT_EQ(GetFileAttributesW(link.c_str()),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    ASSERT_TRUE(test::FileExists(link + L"\\escape.tmp"));  // the link does lead out

    FindFile search;
    search.Criteria() = Criteria(Root(), L"*.tmp");
    SearchLog log;
    log.Attach(search);
    search.Execute();
    EXPECT_EQ(log.Files(), std::vector<std::wstring>{At(L"inside\\own.tmp")});
    EXPECT_EQ(std::find(log.events.begin(), log.events.end(), L"folder " + link + L"\\"),
              log.events.end());
}

TEST_F(FindFileSearchTest, FilesOfFourGigabytesAndMoreKeepTheirFullSize) {
    constexpr uint64_t kBig = 0x100000064ull;  // 4 GB + 100 bytes; its low 32 bits say 100
    MakeFile(At(L"a.tmp"), std::string(150, 'a'));
    test::MakeSparseFile(At(L"big.tmp"), kBig);
    MakeFile(At(L"sub\\z.tmp"), std::string(50, 'z'));

    FindFile search;
    search.Criteria() = Criteria(Root(), L"*.tmp");
    std::vector<std::pair<std::wstring, uint64_t>> found;
    search.onFileMatch = [&](FindFile&, const std::wstring& folder, const FoundFile& entry) {
        found.emplace_back(folder + entry.name, entry.size);
    };
    search.Execute();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::pair<std::wstring, uint64_t>>{
                         {At(L"a.tmp"), 150}, {At(L"big.tmp"), kBig}, {At(L"sub\\z.tmp"), 50}}));

    struct Case {
        uint64_t min;
        uint64_t max;
        std::vector<std::wstring> found;
    };
    for (const Case& c :
         {Case{0, 200, {At(L"a.tmp"), At(L"sub\\z.tmp")}}, Case{kBig, 0, {At(L"big.tmp")}},
          Case{0x100000000ull, kBig, {At(L"big.tmp")}},
          Case{101, 0x100000063ull, {At(L"a.tmp")}}}) {
        SearchCriteria criteria = Criteria(Root(), L"*.tmp");
        criteria.size.min = c.min;
        criteria.size.max = c.max;
        EXPECT_EQ(Sorted(SearchFiles(criteria)), Sorted(c.found)) << c.min << "-" << c.max;
    }
}

TEST_F(FindFileSearchTest, CriteriaChangedDuringASearchDoNotReachIt) {
    MakeFile(At(L"a.tmp"));
    MakeFile(At(L"b\\c.tmp"));
    FindFile search;
    search.Criteria() = Criteria(Root(), L"*.tmp");
    std::vector<std::wstring> found;
    search.onFolderChange = [&](FindFile& sender, const std::wstring&, FolderIgnore&) {
        sender.Criteria().files.fileName = L"*.none";
        sender.Criteria().files.excluded = {L"*.tmp"};
    };
    search.onFileMatch = [&](FindFile&, const std::wstring& folder, const FoundFile& entry) {
        found.push_back(folder + entry.name);
    };
    search.Execute();
    EXPECT_EQ(found, (std::vector<std::wstring>{At(L"a.tmp"), At(L"b\\c.tmp")}));
}

TEST_F(FindFileSearchTest, AnErrorEndsTheSearchFinishStillRunsAndTheErrorGoesOn) {
    MakeFile(At(L"a.tmp"));
    MakeFile(At(L"b.tmp"));
    FindFile search;
    search.Criteria() = Criteria(Root(), L"*.tmp");
    SearchLog log;
    log.Attach(search);
    search.onFileMatch = [&](FindFile&, const std::wstring&, const FoundFile&) {
        log.events.push_back(L"match");
        throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(search.Execute(), std::runtime_error);
    EXPECT_EQ(log.events,
              (std::vector<std::wstring>{L"begin", L"folder " + Root(), L"match", L"finish"}));
    EXPECT_FALSE(search.Busy());
}

// A threaded search whose finish step comes back through a channel, as a window's would.
class ThreadedSearchTest : public FindFileSearchTest {
protected:
    void SetUp() override {
        for (int i = 0; i < 20; ++i) {
            MakeFile(At(L"d" + std::to_wstring(i) + L"\\f.tmp"));
        }
        search_.threaded = true;
        search_.Criteria() = Criteria(Root(), L"*.tmp");
        search_.deliverFinish = [poster = channel_.Poster()](std::function<void()> step) {
            poster.Post(std::move(step));
        };
        search_.onSearchBegin = [this](FindFile&) { Log(L"begin"); };
        search_.onSearchAbort = [this](FindFile&) { Log(L"abort"); };
        search_.onSearchFinish = [this](FindFile&) {
            Log(GetCurrentThreadId() == mainThread_ ? L"finish on main" : L"finish elsewhere");
        };
    }
    void Log(const std::wstring& event) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
    }
    std::vector<std::wstring> Events() {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }

    const DWORD mainThread_ = GetCurrentThreadId();
    UiChannel channel_;
    FindFile search_;
    std::mutex mutex_;
    std::vector<std::wstring> events_;
};

TEST_F(ThreadedSearchTest, EventsComeOnTheThreadsNamedAndFinishThroughTheDelivery) {
    std::atomic<int> matches{0};
    std::atomic<bool> onSearchThread{true};
    search_.onFileMatch = [&](FindFile&, const std::wstring&, const FoundFile&) {
        onSearchThread = onSearchThread && GetCurrentThreadId() != mainThread_;
        ++matches;
    };
    search_.Execute();
    EXPECT_TRUE(search_.Busy());
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return !search_.Busy(); }));
    EXPECT_EQ(matches.load(), 20);
    EXPECT_TRUE(onSearchThread.load());
    EXPECT_EQ(Events(), (std::vector<std::wstring>{L"begin", L"finish on main"}));
    EXPECT_EQ(search_.ThreadHandle(), nullptr);
}

TEST_F(ThreadedSearchTest, AbortRaisesAbortThenFinishAndWaitsForTheThread) {
    std::atomic<bool> started{false};
    std::atomic<int> matchesAfterAbort{0};
    search_.onFolderChange = [&](FindFile& sender, const std::wstring&, FolderIgnore&) {
        started = true;
        while (!sender.Aborted()) {
            Sleep(1);
        }
    };
    search_.onFileMatch = [&](FindFile& sender, const std::wstring&, const FoundFile&) {
        matchesAfterAbort += sender.Aborted() ? 1 : 0;
    };
    search_.Execute();
    HANDLE thread = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), search_.ThreadHandle(), GetCurrentProcess(),
                                &thread, SYNCHRONIZE, FALSE, 0));
    UniqueKernelHandle threadHandle(thread);
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return started.load(); }));

    search_.Abort();
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // ended before Abort returned
    EXPECT_TRUE(search_.Aborted());
    search_.Abort();  // a second one is ignored
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return !search_.Busy(); }));
    EXPECT_EQ(Events(), (std::vector<std::wstring>{L"begin", L"abort", L"finish on main"}));
    EXPECT_EQ(matchesAfterAbort.load(), 0);

    // The next search starts afresh.
    search_.onFolderChange = nullptr;
    search_.Execute();
    EXPECT_FALSE(search_.Aborted());
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return !search_.Busy(); }));
}

TEST_F(ThreadedSearchTest, ExecuteWhileBusyIsIgnoredAndDestroyingAbortsQuietly) {
    std::atomic<bool> started{false};
    auto search = std::make_unique<FindFile>();
    search->threaded = true;
    search->Criteria() = Criteria(Root(), L"*.tmp");
    int begins = 0;
    std::atomic<int> finishes{0};
    search->onSearchBegin = [&](FindFile&) { ++begins; };
    search->onSearchFinish = [&](FindFile&) { ++finishes; };
    search->onSearchAbort = [&](FindFile&) { ++finishes; };
    search->onFolderChange = [&](FindFile& sender, const std::wstring&, FolderIgnore&) {
        started = true;
        while (!sender.Aborted()) {
            Sleep(1);
        }
    };
    search->deliverFinish = [poster = channel_.Poster()](std::function<void()> step) {
        poster.Post(std::move(step));
    };
    search->Execute();
    search->Execute();
    EXPECT_EQ(begins, 1);
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return started.load(); }));
    search.reset();  // waits for the thread; no abort or finish event while being destroyed
    test::PumpMessagesFor(50);
    EXPECT_EQ(finishes.load(), 0);
}

TEST(WaitWithMessagesTest, HandlesPostedMessagesDropsInputAndEndsOnTheHandle) {
    UiChannel channel;
    UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    bool ran = false;
    channel.Post([&] {
        ran = true;
        SetEvent(event.Get());
    });
    PostMessageW(channel.Window(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(WaitWithMessages(event.Get(), 10000));
    EXPECT_TRUE(ran);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, channel.Window(), WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));

    UniqueKernelHandle never(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_FALSE(WaitWithMessages(never.Get(), 20));
}

}  // namespace
}  // namespace kestrova
