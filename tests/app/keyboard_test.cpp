// Keyboard use of the main window and of the program's own dialogs: the key messages a
// user's keys send go through the same loop step the program runs (DispatchDialogMessage),
// and the test reads where the focus went and which buttons were pressed.
#include "platform/ui_keyboard.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/add_extension_dialog.h"
#include "app/change_extension_dialog.h"
#include "app/drive_cleaner_frame.h"
#include "app/file_extensions_frame.h"
#include "main_form_fixture.h"

namespace kestrova {
namespace {

using namespace test;

// A key as the loop receives it: a key press (down, then up to whatever has the focus), a
// typed character, or a character typed with Alt held; modifier is held meanwhile.
struct Key {
    UINT message = WM_KEYDOWN;
    WPARAM code = 0;
    int modifier = 0;
    int second = 0;
};

Key Stroke(WPARAM code, int modifier = 0, int second = 0) {
    return {WM_KEYDOWN, code, modifier, second};
}
Key Alt(wchar_t letter) {
    return {WM_SYSCHAR, letter};
}
Key Typed(wchar_t letter) {
    return {WM_CHAR, letter};
}

LPARAM KeyData(const Key& key, bool up) {
    const UINT virtualKey = key.message == WM_KEYDOWN
                                ? static_cast<UINT>(key.code)
                                : VkKeyScanW(static_cast<WCHAR>(key.code)) & 0xFF;
    LPARAM data = 1 | static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    if (key.message == WM_SYSCHAR) {
        data |= LPARAM{1} << 29;  // Alt is down
    }
    if (up) {
        data |= LPARAM{3} << 30;
    }
    return data;
}

// What GetKeyState reports for Shift, Ctrl and Alt while the next messages are handled.
void HoldModifiers(std::initializer_list<int> keys) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    for (const int key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        state[key] = 0;
    }
    for (const int key : keys) {
        if (key) {
            state[key] = 0x80;
        }
    }
    SetKeyboardState(state);
}

// Runs what is waiting through the program's loop step for root.
void PumpThroughLoop(HWND root) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchDialogMessage(root, message);
    }
}

// Posts key to the focused control (root without one); the release goes to whatever has the
// focus after the press, as the keyboard's would.
void PostKey(HWND root, const Key& key, const std::function<void()>& afterPress) {
    HoldModifiers({key.modifier, key.second});
    const HWND focus = GetFocus();
    PostMessageW(focus ? focus : root, key.message, key.code, KeyData(key, false));
    afterPress();
    if (key.message == WM_KEYDOWN) {
        const HWND now = GetFocus();
        PostMessageW(now ? now : root, WM_KEYUP, key.code, KeyData(key, true));
        afterPress();
    }
    HoldModifiers({});
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// Records the buttons pressed on the pages of a page control, by caption, in order.
class ClickRecorder {
public:
    explicit ClickRecorder(PageControl& pages) {
        for (size_t i = 0; i < pages.PageCount(); ++i) {
            Watch(pages.Page(i).Handle());
        }
    }
    ~ClickRecorder() {
        for (const HWND page : pages_) {
            RemoveWindowSubclass(page, Proc, 1);
        }
    }
    ClickRecorder(const ClickRecorder&) = delete;
    ClickRecorder& operator=(const ClickRecorder&) = delete;

    // The captions pressed since the last call.
    std::vector<std::wstring> Take() { return std::exchange(clicks_, {}); }

private:
    void Watch(HWND page) {
        pages_.push_back(page);
        SetWindowSubclass(page, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                 DWORD_PTR self) {
        if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED && lparam) {
            reinterpret_cast<ClickRecorder*>(self)->clicks_.push_back(
                TextOf(reinterpret_cast<HWND>(lparam)));
        }
        return DefSubclassProc(hwnd, message, wparam, lparam);
    }

    std::vector<HWND> pages_;
    std::vector<std::wstring> clicks_;
};

class KeyboardTest : public MainFormTest {
protected:
    ~KeyboardTest() override {
        if (form_ && Form()) {
            RemoveWindowSubclass(Form(), CountDeactivations, 1);
        }
    }
    void OpenWithoutScan() {
        MarkFirstScanOffered();
        Open();
        SetWindowSubclass(Form(), CountDeactivations, 1,
                          reinterpret_cast<DWORD_PTR>(&deactivations_));
    }

    // Other programs' windows on the shared test display can take the activation, and the
    // focus with it, at any moment: a scenario runs again until nothing came in its way.
    template <class Scenario>
    auto Steady(const Scenario& scenario) {
        for (int attempt = 1;; ++attempt) {
            disturbed_ = false;
            auto seen = scenario();
            if (!disturbed_ || attempt == 12) {
                return seen;
            }
            PumpMessagesFor(100);  // let the other window settle
        }
    }
    // A key to the focused control, which is first put back if it lost the focus between keys.
    void Send(const Key& key) {
        if (focus_ && GetFocus() != focus_) {
            Focus(focus_);
        }
        const int before = deactivations_;
        PostKey(Form(), key, [this] { PumpThroughLoop(Form()); });
        focus_ = GetFocus();
        disturbed_ = disturbed_ || deactivations_ != before || !focus_;
    }
    // A click with the mouse.
    void Mouse(HWND window) {
        const int before = deactivations_;
        test::Press(window);
        focus_ = GetFocus();
        disturbed_ = disturbed_ || deactivations_ != before || !focus_;
    }
    // The focus within this thread's windows only: the test never takes the foreground from
    // the other programs' windows, whose tests may need it.
    void Focus(HWND control) {
        for (int attempt = 0; attempt < 100 && GetFocus() != control; ++attempt) {
            SetFocus(control);
            PumpThroughLoop(Form());
            if (GetFocus() != control) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            }
        }
        focus_ = control;
    }
    void FocusTool(size_t index) { Focus(form_->ToolButtonAt(index).Handle()); }
    size_t ShownIndex() const {
        for (size_t i = 0; i < form_->SectionCount(); ++i) {
            if (&form_->SectionAt(i) == &form_->ShownSection()) {
                return i;
            }
        }
        return form_->SectionCount();
    }

    // The focused control as the user sees it: a tool button by its caption or hint, a list by
    // its first column, a button or a check box by its caption.
    std::wstring Focused() {
        const HWND focus = GetFocus();
        if (!focus) {
            disturbed_ = true;
            return L"<none>";
        }
        if (!IsWindowVisible(focus)) {
            return L"<hidden> " + TextOf(focus);
        }
        const std::wstring kind = ClassOf(focus);
        for (size_t i = 0; i < form_->SectionCount(); ++i) {
            if (form_->ToolButtonAt(i).Handle() == focus) {
                const std::wstring caption = form_->ToolButtonAt(i).Caption();
                return L"tool " + (caption.empty() ? form_->ToolButtonAt(i).Hint() : caption);
            }
        }
        if (kind == WC_LISTVIEWW) {
            wchar_t caption[64] = {};
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT;
            column.pszText = caption;
            column.cchTextMax = 64;
            ListView_GetColumn(focus, 0, &column);
            return std::wstring(L"list ") + caption;
        }
        if (kind == L"Edit" || kind == L"ComboBox" || kind == L"ListBox") {
            return kind;
        }
        return TextOf(focus);
    }

    HWND focus_ = nullptr;
    bool disturbed_ = false;
    int deactivations_ = 0;

private:
    static LRESULT CALLBACK CountDeactivations(HWND hwnd, UINT message, WPARAM wparam,
                                               LPARAM lparam, UINT_PTR, DWORD_PTR count) {
        if (message == WM_ACTIVATE && LOWORD(wparam) == WA_INACTIVE) {
            ++*reinterpret_cast<int*>(count);
        }
        return DefSubclassProc(hwnd, message, wparam, lparam);
    }
};

std::wstring Joined(const std::vector<std::wstring>& texts) {
    std::wstring joined;
    for (const std::wstring& text : texts) {
        joined += (joined.empty() ? L"" : L", ") + text;
    }
    return joined;
}

// Each page's tab stops from its tool button round to it again: lists, edits, then buttons
// in reading order, the disabled ones and the hidden pages left out, the autorun box last.
TEST_F(KeyboardTest, TabGoesRoundTheShownPageInReadingOrderAndShiftTabBack) {
    OpenWithoutScan();
    const std::wstring autorun = L"Autorun when Windows starts";
    const std::wstring moreTools = L"tool More Tools";
    // Where a page is: a section's tool button, then a More Tools tab, then the drive cleaner's.
    struct Where {
        size_t tool;
        int moreToolsTab = -1;
        int cleanerTab = -1;
    };
    size_t moreToolsIndex = 0;
    while (&form_->SectionAt(moreToolsIndex) != &form_->Get<MoreToolsSection>()) {
        ++moreToolsIndex;
    }
    const auto sectionPage = [](size_t tool) { return Where{tool}; };
    const auto moreToolsPage = [&](int tab) { return Where{moreToolsIndex, tab}; };
    const auto cleanerPage = [&](int tab) { return Where{moreToolsIndex, 2, tab}; };
    struct PageTabs {
        Where where;
        std::vector<std::wstring> order;
    };
    // A result list comes after its strip: the filter and "E&xport...".
    const PageTabs pages[] = {
        {sectionPage(0),
         {L"tool Scan and Fix Errors ", L"list Scan Groups", L"Edit", L"E&xport...",
          L"list Error Type", L"Start &Scan", L"&Add to Ignore List", autorun}},
        {sectionPage(1),
         {L"tool IE Plugins                  ", L"Toolbar", L"Browser Extensions", L"Explorer Bars",
          L"Menu Extensions", L"Download Handler", L"Edit", L"E&xport...", L"list Name",
          L"Scan Now", L"&Delete", autorun}},
        {sectionPage(2),
         {L"tool Backup and Restore", L"ListBox", L"Start &Backup", L"Start &Restore",
          L"Resfresh List", L"Delete Restore Point", autorun}},
        {sectionPage(3),
         {L"tool Restore History         ", L"Edit", L"E&xport...", L"list Name", L"&Restore",
          L"&Clear", L"&Refresh", L"Ch&eck All", autorun}},
        {sectionPage(4),
         {L"tool Ignore List                 ", L"list Root", L"Edit", L"Edit", L"Edit",
          L"Add            ", L"Remove    ", L"Refresh", L"&Check all", L"&Uncheck all", autorun}},
        {sectionPage(5),
         {L"tool Uninstall Manager", L"Edit", L"E&xport...", L"list Display Name", L"&Refresh",
          L"&Check All", autorun}},
        {sectionPage(6),
         {L"tool Startup Programs", L"Edit", L"E&xport...", L"list Startup Items", L"&Refresh",
          L"&Apply", L"&Check All", L"&UnCheck All", autorun}},
        {moreToolsPage(0),
         {moreTools, L"&Refresh", L"&Delete", L"&Backup", L"&Restore", L"&Add", L"&Change",
          L"ComboBox", L"Edit", L"&Search", L"Edit", L"E&xport...", L"list File Extension",
          autorun}},
        {moreToolsPage(1),
         {moreTools, L"Edit", L"E&xport...", L"list FileName", L"&Refresh", L"&Select All",
          L"&Delete", autorun}},
        {cleanerPage(0),
         {moreTools, L"list Drive", L"list Item", L"Add &Folder", L"&Add File", L"&Delete",
          L"&Select All", L"&Refresh", L"&Next", autorun}},
        {cleanerPage(1),
         {moreTools, L"Edit", L"&Search", L"Edit", L"&Add", L"list File Type", L"&Delete",
          L"&Check All", L"&Back", L"&Go Search", autorun}},
        {cleanerPage(2),
         {moreTools, L"Edit", L"E&xport...", L"list File Name", L"&Delete", L"&Check All", L"&Back",
          L"Search &Again", autorun}},
        {sectionPage(8),
         {L"tool IE Traces Cleaning", L"list Action", L"Edit", L"E&xport...", L"list Section",
          L"&Start Scan", L"&Cleanup", L"&Check All", L"&Uncheck All", autorun}},
    };
    MoreToolsSection& more = form_->Get<MoreToolsSection>();
    for (const PageTabs& page : pages) {
        SCOPED_TRACE(page.order.front() + L" " + std::to_wstring(page.where.moreToolsTab) + L" " +
                     std::to_wstring(page.where.cleanerTab));
        const HWND tool = form_->ToolButtonAt(page.where.tool).Handle();
        // Round forward, then round backward.
        const auto [forward, backward] = Steady([&] {
            form_->ToolButtonAt(page.where.tool).Click();
            if (page.where.moreToolsTab >= 0) {
                more.pcMoreTools.ShowPage(static_cast<size_t>(page.where.moreToolsTab));
            }
            if (page.where.cleanerTab >= 0) {
                more.Get<TDriveCleanerFrame>().pcMain.ShowPage(
                    static_cast<size_t>(page.where.cleanerTab));
            }
            FocusTool(page.where.tool);
            std::pair<std::vector<std::wstring>, std::vector<std::wstring>> seen;
            for (auto* round : {&seen.first, &seen.second}) {
                round->push_back(Focused());
                for (size_t i = 0; i < page.order.size() + 2; ++i) {
                    Send(round == &seen.first ? Stroke(VK_TAB) : Stroke(VK_TAB, VK_SHIFT));
                    if (GetFocus() == tool) {
                        break;
                    }
                    round->push_back(Focused());
                    // A list reached with Tab shows which row the keys act on.
                    if (ClassOf(GetFocus()) == WC_LISTVIEWW && RowCount(GetFocus()) > 0 &&
                        ListView_GetNextItem(GetFocus(), -1, LVNI_FOCUSED) < 0) {
                        round->back() += L" without a focused row";
                    }
                }
            }
            return seen;
        });
        EXPECT_EQ(forward, page.order);
        std::vector<std::wstring> expectedBack = {page.order.front()};
        expectedBack.insert(expectedBack.end(), page.order.rbegin(), page.order.rend() - 1);
        EXPECT_EQ(backward, expectedBack);
    }
}

// The "&" letters reach the page on screen only. The Ignore List page has two controls with
// the letter C, the box "&Control Panel" and "&Check all": the first after the focus answers.
// Enter presses the focused button, or goes to an edit that takes it (the search keyword of
// More Tools); Escape leaves the window as it is.
TEST_F(KeyboardTest, TheLettersOfTheShownPageActAndThoseOfHiddenPagesDoNot) {
    OpenWithoutScan();
    IgnoreListSection& ignore = form_->Get<IgnoreListSection>();
    const auto seen = Steady([&] {
        std::vector<std::wstring> log;
        ClickRecorder clicks(form_->MainControl());
        form_->ToolButtonFor<IgnoreListSection>().Click();
        ignore.edRoot.SetText(L"");
        Focus(ignore.btnAdd.Handle());
        Send(Alt(L'u'));
        log.push_back(L"Alt+U: " + Joined(clicks.Take()));
        Send(Alt(L'r'));
        log.push_back(L"Alt+R: " + Joined(clicks.Take()));
        Focus(ignore.btnAdd.Handle());
        Send(Typed(L'c'));
        log.push_back(L"C on a button: " + Joined(clicks.Take()));
        Focus(ignore.lvIgnore.Handle());
        Send(Alt(L'c'));
        log.push_back(L"Alt+C in the list: " + Joined(clicks.Take()) + L" -> " + Focused());
        Send(Typed(L'c'));
        log.push_back(L"C in an edit: " + Joined(clicks.Take()) + L" -> " + ignore.edRoot.Text());
        Focus(ignore.btnCheckall2.Handle());
        Send(Stroke(VK_RETURN));
        log.push_back(L"Enter: " + Joined(clicks.Take()));
        Send(Stroke(VK_ESCAPE));
        log.push_back(L"Escape: " + Joined(clicks.Take()) +
                      (IsWindowVisible(Form()) ? L" -> shown" : L" -> hidden"));

        // An edit that takes Enter for itself gets it: the search keyword runs the search.
        MoreToolsSection& more = form_->Get<MoreToolsSection>();
        form_->ToolButtonFor<MoreToolsSection>().Click();
        more.pcMoreTools.ShowPage(0);
        Focus(more.Get<TfrmFileAssociator>().lblSearch.Handle());
        const size_t before = dialogs_.Count(ShownDialog::Kind::Message);
        Send(Stroke(VK_RETURN));
        const std::vector<std::wstring> messages = dialogs_.Texts(ShownDialog::Kind::Message);
        log.push_back(L"Enter in the keyword: " +
                      (messages.size() > before ? messages.back() : L"nothing"));
        form_->ToolButtonFor<IgnoreListSection>().Click();
        return log;
    });
    EXPECT_EQ(seen, (std::vector<std::wstring>{
                        L"Alt+U: &Uncheck all",
                        L"Alt+R: ",  // "&Refresh" is on the hidden Startup and Uninstall pages
                        L"C on a button: &Check all",
                        L"Alt+C in the list:  -> Edit",
                        L"C in an edit:  -> c",
                        L"Enter: &Check all",
                        L"Escape:  -> shown",
                        L"Enter in the keyword: Please Enter Search Keyword !",
                    }));
    EXPECT_FALSE(closed_);
    EXPECT_EQ(&form_->ShownSection(), &ignore);
    EXPECT_EQ(Errors(), std::vector<std::wstring>{});
}

// The tool buttons: arrows along the column (round the ends), Space and Enter press the
// focused one. Keys never go on to a page out of sight: a tool button pressed with the mouse
// takes the focus, and a page the program switches away from hands it to the page shown. In
// More Tools Ctrl+Tab and Ctrl+PageDown switch the innermost tabs.
TEST_F(KeyboardTest, ToolButtonsTakeArrowsSpaceAndEnterAndCtrlTabSwitchesTheTabs) {
    OpenWithoutScan();
    IgnoreListSection& ignore = form_->Get<IgnoreListSection>();
    MoreToolsSection& more = form_->Get<MoreToolsSection>();
    PageControl& cleanerTabs = more.Get<TDriveCleanerFrame>().pcMain;
    const auto tabs = [&] {
        return L"tab " + std::to_wstring(more.pcMoreTools.ActivePage()) + L"." +
               std::to_wstring(cleanerTabs.ActivePage()) + L" -> " + Focused();
    };
    const auto seen = Steady([&] {
        std::vector<std::wstring> log;
        form_->ToolButtonAt(0).Click();
        FocusTool(0);
        Send(Stroke(VK_DOWN));
        log.push_back(L"Down: " + Focused());
        Send(Stroke(VK_UP));
        Send(Stroke(VK_UP));
        log.push_back(L"Up, Up: " + Focused());
        Send(Stroke(VK_SPACE));
        log.push_back(L"Space: section " + std::to_wstring(ShownIndex()));
        Send(Stroke(VK_RIGHT));
        Send(Stroke(VK_RETURN));
        log.push_back(L"Right, Enter: section " + std::to_wstring(ShownIndex()));

        form_->ToolButtonFor<IgnoreListSection>().Click();
        Focus(ignore.edRoot.Handle());
        Mouse(form_->ToolButtonFor<StartupSection>().Handle());
        log.push_back(L"mouse: " + Focused());
        form_->ToolButtonFor<IgnoreListSection>().Click();
        Focus(ignore.edRoot.Handle());
        form_->ToolButtonFor<StartupSection>().Click();
        log.push_back(L"shown by the program: " + Focused());
        return log;
    });
    const auto tabbed = Steady([&] {
        std::vector<std::wstring> log;
        form_->ToolButtonFor<MoreToolsSection>().Click();
        more.pcMoreTools.ShowPage(0);
        cleanerTabs.ShowPage(0);
        Focus(form_->ToolButtonFor<MoreToolsSection>().Handle());
        Send(Stroke(VK_TAB));
        log.push_back(L"Tab: " + tabs());
        Send(Stroke(VK_TAB, VK_CONTROL));
        log.push_back(L"Ctrl+Tab: " + tabs());
        Send(Stroke(VK_NEXT, VK_CONTROL));
        log.push_back(L"Ctrl+PageDown: " + tabs());
        Send(Stroke(VK_TAB, VK_CONTROL));
        log.push_back(L"Ctrl+Tab: " + tabs());
        Send(Stroke(VK_TAB, VK_CONTROL, VK_SHIFT));
        log.push_back(L"Ctrl+Shift+Tab: " + tabs());
        Send(Stroke(VK_PRIOR, VK_CONTROL));
        log.push_back(L"Ctrl+PageUp: " + tabs());
        return log;
    });
    EXPECT_EQ(seen,
              (std::vector<std::wstring>{
                  L"Down: tool IE Plugins                  ", L"Up, Up: tool IE Traces Cleaning",
                  L"Space: section 8", L"Right, Enter: section 0", L"mouse: tool Startup Programs",
                  L"shown by the program: Edit",  // the filter of the list
              }));
    EXPECT_EQ(tabbed, (std::vector<std::wstring>{
                          L"Tab: tab 0.0 -> &Refresh",
                          L"Ctrl+Tab: tab 1.0 -> Edit",
                          L"Ctrl+PageDown: tab 2.0 -> list Drive",
                          L"Ctrl+Tab: tab 2.1 -> Edit",  // the drive cleaner's own tabs
                          L"Ctrl+Shift+Tab: tab 2.0 -> list Drive",
                          L"Ctrl+PageUp: tab 2.2 -> Edit",
                      }));
    EXPECT_EQ(Errors(), std::vector<std::wstring>{});
}

// Feeds keys to whatever has the focus, one at a time, from inside a modal loop; after the
// last one the dialog gets a while to close before it is closed for the test.
class DialogKeys {
public:
    DialogKeys(HWND dialog, std::vector<Key> keys) : dialog_(dialog), keys_(std::move(keys)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 10, Tick);
    }
    ~DialogKeys() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    DialogKeys(const DialogKeys&) = delete;
    DialogKeys& operator=(const DialogKeys&) = delete;

    bool TimedOut() const { return timedOut_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogKeys& self = *current_;
        if (self.next_ < self.keys_.size()) {
            const HWND dialog = self.dialog_;
            PostKey(dialog, self.keys_[self.next_++], [dialog] { PumpThroughLoop(dialog); });
        } else if (++self.idle_ == 100) {
            self.timedOut_ = true;
            PostMessageW(self.dialog_, WM_CLOSE, 0, 0);
        }
    }

    static inline DialogKeys* current_ = nullptr;
    HWND dialog_;
    std::vector<Key> keys_;
    size_t next_ = 0;
    int idle_ = 0;
    bool timedOut_ = false;
    UINT_PTR timer_ = 0;
};

// "Add New Extension" with the main extension and the path filled in, so OK accepts.
class FilledAddDialog {
public:
    FilledAddDialog() {
        EXPECT_TRUE(dialog.Create(nullptr, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))));
        dialog.lblExt.SetText(L".kbd");
        dialog.lblFilePath.SetText(L"C:\\k.exe");
    }

    ScriptedDialogs dialogs;
    TfrmAddExt dialog{dialogs};
};

// Puts the focus where ShowModal does (expected: first) and sends the keys through the loop
// step ShowModal runs; false when another window took the activation, and the focus, midway.
bool FeedKeys(HWND dialog, HWND first, const std::vector<Key>& keys) {
    SetFocus(GetNextDlgTabItem(dialog, nullptr, FALSE));
    if (GetFocus() != first) {
        return false;
    }
    for (const Key& key : keys) {
        PostKey(dialog, key, [dialog] { PumpThroughLoop(dialog); });
        if (!GetFocus()) {
            return false;
        }
    }
    return true;
}

// Runs attempt, each time on a new dialog, until it ran undisturbed by other windows.
void UntilUndisturbed(const std::function<bool()>& attempt) {
    for (int i = 0; i < 5; ++i) {
        if (attempt()) {
            return;
        }
    }
    ADD_FAILURE() << "other windows kept taking the activation";
}

// "Add New Extension": Enter and Escape wherever the focus is, the letters of the buttons and
// of the labels. The dialogs stay off screen: taking a window off the test display costs
// seconds.
TEST(DialogKeyboardTest, EnterAcceptsEscapeCancelsAndTheLettersReachTheirControls) {
    struct Case {
        const wchar_t* what;
        std::vector<Key> keys;
        bool accepted;
        const wchar_t* path;  // the path field afterwards
    };
    const Case cases[] = {
        {L"Enter in the first field", {Stroke(VK_RETURN)}, true, L"C:\\k.exe"},
        {L"Escape in the first field", {Stroke(VK_ESCAPE)}, false, L"C:\\k.exe"},
        {L"Tab past the five fields to OK, Enter",
         {Stroke(VK_TAB), Stroke(VK_TAB), Stroke(VK_TAB), Stroke(VK_TAB), Stroke(VK_TAB),
          Stroke(VK_RETURN)},
         true,
         L"C:\\k.exe"},
        {L"Shift+Tab to Cancel, Enter",
         {Stroke(VK_TAB, VK_SHIFT), Stroke(VK_RETURN)},
         false,
         L"C:\\k.exe"},
        {L"Shift+Tab to Cancel, Space",
         {Stroke(VK_TAB, VK_SHIFT), Stroke(VK_SPACE)},
         false,
         L"C:\\k.exe"},
        {L"Escape from OK",
         {Stroke(VK_TAB, VK_SHIFT), Stroke(VK_TAB, VK_SHIFT), Stroke(VK_ESCAPE)},
         false,
         L"C:\\k.exe"},
        {L"Alt+O", {Alt(L'o')}, true, L"C:\\k.exe"},
        {L"Alt+C", {Alt(L'c')}, false, L"C:\\k.exe"},
        {L"Alt+P selects the path field, typing replaces it, Enter",
         {Alt(L'p'), Typed(L'x'), Stroke(VK_RETURN)},
         true,
         L"x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UntilUndisturbed([&] {
            FilledAddDialog add;
            if (!FeedKeys(add.dialog.Handle(), add.dialog.lblExt.Handle(), c.keys)) {
                return false;
            }
            EXPECT_TRUE(add.dialog.Closed());
            EXPECT_EQ(add.dialog.Accepted(), c.accepted);
            EXPECT_EQ(add.dialog.lblFilePath.Text(), c.path);
            EXPECT_TRUE(add.dialogs.shown.empty());
            return true;
        });
    }
}

// "Change Extension": Enter in a field accepts, Enter on a focused "..." button presses that
// button and leaves the dialog open, the "&" letters of the labels lead to their fields.
TEST(DialogKeyboardTest, TheChangeDialogTakesTheSameKeys) {
    struct Case {
        const wchar_t* what;
        std::vector<Key> keys;
        bool closed;
        bool accepted;
        ExtensionCommand typed;
    };
    const ExtensionCommand current{L"C:\\k.exe", L"k.ico"};
    const Case cases[] = {
        {L"Enter in the path", {Stroke(VK_RETURN)}, true, true, current},
        {L"Escape", {Stroke(VK_ESCAPE)}, true, false, current},
        {L"Tab to the path's ..., Enter browses",
         {Stroke(VK_TAB), Stroke(VK_RETURN)},
         false,
         false,
         {L"C:\\new.exe", L"k.ico"}},
        {L"Alt+I, typing, Enter",
         {Alt(L'i'), Typed(L'y'), Stroke(VK_RETURN)},
         true,
         true,
         {L"C:\\k.exe", L"y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UntilUndisturbed([&] {
            ScriptedDialogs dialogs;
            dialogs.fileAnswers.push_back(L"C:\\new.exe");
            TfrmChangeExt change(dialogs, nullptr);  // no icon picker: not reached here
            EXPECT_TRUE(change.Create(nullptr, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)),
                                      current));
            if (!FeedKeys(change.Handle(), change.lblFilePath.Handle(), c.keys)) {
                return false;
            }
            EXPECT_EQ(change.Closed(), c.closed);
            EXPECT_EQ(change.Accepted(), c.accepted);
            EXPECT_EQ(change.Typed(), c.typed);
            EXPECT_EQ(dialogs.fileAnswers.empty(), c.typed.filePath == L"C:\\new.exe");
            return true;
        });
    }
}

// ShowModal's own loop takes the same keys: Enter in a field ends it with OK, Escape with
// Cancel.
TEST(DialogKeyboardTest, TheModalLoopEndsWithOkOnEnterAndCancelOnEscape) {
    for (const auto& [key, accepted] : {std::pair{VK_RETURN, true}, std::pair{VK_ESCAPE, false}}) {
        SCOPED_TRACE(key);
        FilledAddDialog add;
        bool timedOut = false;
        bool result = !accepted;
        {
            DialogKeys keys(add.dialog.Handle(), {Stroke(static_cast<WPARAM>(key))});
            result = add.dialog.ShowModal();
            timedOut = keys.TimedOut();
        }
        EXPECT_FALSE(timedOut) << "the key left the dialog open";
        EXPECT_EQ(result, accepted);
    }
}

}  // namespace
}  // namespace kestrova
