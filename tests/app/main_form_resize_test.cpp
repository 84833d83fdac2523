// The main window grows, keeps its smallest (designed) size, scales with the dots per inch and
// remembers its size and place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/drive_cleaner_frame.h"
#include "app/window_place.h"
#include "main_form_fixture.h"
#include "platform/text.h"
#include "window_snapshot.h"

namespace kestrova::test {
namespace {

RECT InParent(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE ClientSize(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

// Distances of a control to its parent's four client edges.
struct Edges {
    LONG left, top, right, bottom;
    bool operator==(const Edges&) const = default;
};

Edges EdgesOf(HWND window) {
    const RECT r = InParent(window);
    const SIZE parent = ClientSize(GetParent(window));
    return Edges{r.left, r.top, parent.cx - r.right, parent.cy - r.bottom};
}

std::string Describe(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return ToUtf8(name) + " \"" + ToUtf8(text) + "\"";
}

bool IsGroupBox(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return lstrcmpiW(name, L"Button") == 0 &&
           (GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Every control lies inside its parent, and no two controls of one parent overlap, except a
// group box and the controls it frames.
void ExpectTidy(HWND form, const std::string& when) {
    std::map<HWND, std::vector<HWND>> byParent;
    EnumChildWindows(
        form,
        [](HWND child, LPARAM context) -> BOOL {
            if (GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) {
                (*reinterpret_cast<std::map<HWND, std::vector<HWND>>*>(context))[GetParent(child)]
                    .push_back(child);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&byParent));
    ASSERT_GT(byParent.size(), 20u);
    for (const auto& [parent, children] : byParent) {
        const SIZE area = ClientSize(parent);
        for (size_t i = 0; i < children.size(); ++i) {
            const RECT a = InParent(children[i]);
            EXPECT_TRUE(Contains(RECT{0, 0, area.cx, area.cy}, a))
                << when << ": " << Describe(children[i]) << " lies outside " << Describe(parent);
            EXPECT_TRUE(a.right > a.left && a.bottom > a.top)
                << when << ": " << Describe(children[i]);
            for (size_t j = i + 1; j < children.size(); ++j) {
                const RECT b = InParent(children[j]);
                RECT shared = {};
                if (!IntersectRect(&shared, &a, &b)) {
                    continue;
                }
                const bool framed = (IsGroupBox(children[i]) && Contains(a, b)) ||
                                    (IsGroupBox(children[j]) && Contains(b, a));
                EXPECT_TRUE(framed) << when << ": " << Describe(children[i]) << " overlaps "
                                    << Describe(children[j]);
            }
        }
    }
}

// How a control follows its parent as the window grows: whether it grows in width and in
// height, and which of its distances to the parent's left, top, right and bottom edges stay.
struct Follows {
    bool growsX, growsY;
    bool left, top, right, bottom;
};
constexpr Follows kEverything = {true, true, true, true, false, false};
constexpr Follows kWidth = {true, false, true, true, false, false};
constexpr Follows kWidthBottom = {true, false, true, false, false, true};
constexpr Follows kBottomLeft = {false, false, true, false, false, true};
constexpr Follows kBottomRight = {false, false, false, false, true, true};
constexpr Follows kTopRight = {false, false, false, true, true, false};
constexpr Follows kTopLeft = {false, false, true, true, false, false};

struct Tracked {
    const char* name;
    HWND window;
    Follows follows;
    RECT before;
    Edges edges;
};

class MainFormResizeTest : public MainFormTest, public ::testing::WithParamInterface<int> {
protected:
    // Pictures of every page and tab, for a person checking the looks (only when asked).
    void SnapshotPages(const std::string& name) {
        if (!std::getenv("KESTROVA_SNAPSHOT_DIR")) {
            return;
        }
        PageControl& pages = form_->MainControl();
        MoreToolsSection& tools = form_->Get<MoreToolsSection>();
        PageControl& cleaner = tools.Get<TDriveCleanerFrame>().pcMain;
        for (size_t i = 0; i < pages.PageCount(); ++i) {
            pages.ShowPage(i);
            const bool more = pages.Page(i).Handle() == GetParent(tools.pcMoreTools.Handle());
            const size_t tabs = more ? tools.pcMoreTools.PageCount() + cleaner.PageCount() - 1 : 1;
            for (size_t t = 0; t < tabs; ++t) {
                if (more) {
                    tools.pcMoreTools.ShowPage(std::min(t, tools.pcMoreTools.PageCount() - 1));
                    if (t + 1 >= tools.pcMoreTools.PageCount()) {
                        cleaner.ShowPage(t + 1 - tools.pcMoreTools.PageCount());
                    }
                }
                SaveSnapshotIfAsked(Form(),
                                    name + "-page" + std::to_string(i) + "-" + std::to_string(t));
            }
        }
        pages.ShowPage(0);
    }

    int Scaled(int length) const { return MulDiv(length, GetParam(), 96); }

    // Resizes the window so that its client area is width x height.
    void ResizeClient(int width, int height) {
        RECT outer = {};
        GetWindowRect(Form(), &outer);
        const SIZE client = ClientSize(Form());
        // At the top left, so that the larger window still lies on the screen.
        SetWindowPos(Form(), nullptr, 0, 0, outer.right - outer.left + width - client.cx,
                     outer.bottom - outer.top + height - client.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        Settle();
    }

    std::vector<Tracked> Controls() {
        ScanErrorsSection& scan = form_->Get<ScanErrorsSection>();
        StartupSection& startup = form_->Get<StartupSection>();
        IgnoreListSection& ignore = form_->Get<IgnoreListSection>();
        BackupSection& backup = form_->Get<BackupSection>();
        TDriveCleanerFrame& cleaner = form_->Get<MoreToolsSection>().Get<TDriveCleanerFrame>();
        std::vector<Tracked> tracked = {
            {"MainControl", form_->MainControl().Handle(), kEverything},
            {"pnlAutorun", GetParent(form_->AutoRunBox().Handle()), kWidthBottom},
            {"toolScanErrors", form_->ToolButtonFor<ScanErrorsSection>().Handle(), kTopLeft},
            {"lvScanGroups", scan.lvScanGroups.Handle(), kWidth},
            {"lvErrors", scan.lvErrors.Handle(), kEverything},
            {"lvErrors' filter", scan.lvErrorsTools.edtFilter.Handle(), kTopLeft},
            {"lvErrors' count", scan.lvErrorsTools.lblShown.Handle(), kWidth},
            {"lvErrors' Export", scan.lvErrorsTools.btnExport.Handle(), kTopRight},
            {"btnStartScan", scan.btnStartScan.Handle(), kBottomLeft},
            {"gbControlPanel", scan.gbControlPanel.Handle(), kWidthBottom},
            {"lvStartup", startup.lvStartup.Handle(), kEverything},
            {"btnDisable", startup.btnDisable.Handle(), kBottomLeft},
            {"lvIgnore", ignore.lvIgnore.Handle(), kEverything},
            {"edKeyName", ignore.edKeyName.Handle(), kWidthBottom},
            {"gbValue", ignore.gbValue.Handle(), kBottomRight},
            {"mWarning", backup.mWarning.Handle(), kEverything},
            {"ltbk", backup.ltbk.Handle(), kWidth},
            {"lvSearchResult", cleaner.lvSearchResult.Handle(), kEverything},
            {"btnSearchAgain", cleaner.btnSearchAgain.Handle(), kBottomRight},
            {"lvSearchResult's Export", cleaner.lvSearchResultTools.btnExport.Handle(), kTopRight},
        };
        for (Tracked& t : tracked) {
            t.before = InParent(t.window);
            t.edges = EdgesOf(t.window);
        }
        return tracked;
    }

    // Each control moved or grew by the window's growth as its anchors say.
    static void ExpectFollowed(const std::vector<Tracked>& tracked, LONG grownX, LONG grownY) {
        for (const Tracked& t : tracked) {
            const RECT now = InParent(t.window);
            const Edges edges = EdgesOf(t.window);
            const Follows& f = t.follows;
            EXPECT_EQ(std::tuple(now.right - now.left, now.bottom - now.top),
                      std::tuple(t.before.right - t.before.left + (f.growsX ? grownX : 0),
                                 t.before.bottom - t.before.top + (f.growsY ? grownY : 0)))
                << t.name;
            const struct {
                bool kept;
                LONG now, was;
                const char* edge;
            } distances[] = {{f.left, edges.left, t.edges.left, "left"},
                             {f.top, edges.top, t.edges.top, "top"},
                             {f.right, edges.right, t.edges.right, "right"},
                             {f.bottom, edges.bottom, t.edges.bottom, "bottom"}};
            for (const auto& d : distances) {
                if (d.kept) {
                    EXPECT_EQ(d.now, d.was) << t.name << ", " << d.edge;
                }
            }
        }
    }
};

TEST_P(MainFormResizeTest, GrowsFromItsDesignedSizeAndKeepsIt) {
    dpi_ = GetParam();
    Open();
    EXPECT_EQ(form_->Dpi(), GetParam());
    // The designed layout, scaled.
    const SIZE designed = {Scaled(TfmMainForm::kClientWidth), Scaled(TfmMainForm::kClientHeight)};
    const SIZE client = ClientSize(Form());
    EXPECT_EQ(std::tuple(client.cx, client.cy), std::tuple(designed.cx, designed.cy));
    const RECT page = InParent(form_->MainControl().Handle());
    EXPECT_EQ(std::tuple(page.left, page.top, page.right, page.bottom),
              std::tuple(Scaled(213), Scaled(114), Scaled(213 + 540), Scaled(114 + 343)));
    const RECT tool = InParent(form_->ToolButtonFor<HistorySection>().Handle());
    EXPECT_EQ(std::tuple(tool.left, tool.top, tool.right, tool.bottom),
              std::tuple(Scaled(8), Scaled(264), Scaled(8 + 201), Scaled(264 + 41)));
    ScanErrorsSection& scan = form_->Get<ScanErrorsSection>();
    const RECT groups = InParent(scan.lvScanGroups.Handle());
    EXPECT_EQ(groups.bottom - groups.top, Scaled(193 - ListTools::kStripSpace));
    EXPECT_EQ(ListView_GetColumnWidth(scan.lvScanGroups.Handle(), 0), Scaled(300));
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(scan.btnStartScan.Handle(), WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, Scaled(-11));
    ExpectTidy(Form(), "designed size");
    SnapshotPages("designed-" + std::to_string(GetParam()));

    // Larger: lists take the space, buttons keep to their edges, auto columns fill the width.
    const std::vector<Tracked> tracked = Controls();
    const SIZE larger = GetParam() == 96 ? SIZE{1200, 800} : SIZE{1260, 940};
    ResizeClient(larger.cx, larger.cy);
    ASSERT_EQ(std::tuple(ClientSize(Form()).cx, ClientSize(Form()).cy),
              std::tuple(larger.cx, larger.cy));
    ExpectFollowed(tracked, larger.cx - designed.cx, larger.cy - designed.cy);
    ExpectTidy(Form(), "larger");
    SnapshotPages("larger-" + std::to_string(GetParam()));
    const HWND errors = scan.lvErrors.Handle();
    int columns = 0;
    for (int i = 0; i < 4; ++i) {
        columns += ListView_GetColumnWidth(errors, i);
    }
    EXPECT_EQ(columns, ClientSize(errors).cx - GetSystemMetrics(SM_CXVSCROLL));

    // Back to the designed size: every control is where it started. Smaller is refused.
    ResizeClient(designed.cx, designed.cy);
    ExpectFollowed(tracked, 0, 0);
    ResizeClient(designed.cx / 2, designed.cy / 2);
    EXPECT_EQ(std::tuple(ClientSize(Form()).cx, ClientSize(Form()).cy),
              std::tuple(designed.cx, designed.cy));
    EXPECT_TRUE(Errors().empty());
}

INSTANTIATE_TEST_SUITE_P(Dpi, MainFormResizeTest, ::testing::Values(96, 144));

TEST_F(MainFormTest, AnswersAChangeOfDpi) {
    Open();
    ScanErrorsSection& scan = form_->Get<ScanErrorsSection>();
    // Moved to a monitor at 144 dpi: the suggested rectangle is taken, everything scales.
    RECT suggested = {20, 10, 20 + 1200, 10 + 800};
    SendMessageW(Form(), 0x02E0, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    Settle();
    EXPECT_EQ(form_->Dpi(), 144);
    RECT now = {};
    GetWindowRect(Form(), &now);
    EXPECT_EQ(std::tuple(now.left, now.top, now.right, now.bottom),
              std::tuple(suggested.left, suggested.top, suggested.right, suggested.bottom));
    EXPECT_EQ(ListView_GetColumnWidth(scan.lvScanGroups.Handle(), 0), 450);
    const RECT groups = InParent(scan.lvScanGroups.Handle());
    EXPECT_EQ(groups.bottom - groups.top, MulDiv(193 - ListTools::kStripSpace, 144, 96));
    const RECT tool = InParent(form_->ToolButtonFor<ScanErrorsSection>().Handle());
    EXPECT_EQ(std::tuple(tool.left, tool.top, tool.right - tool.left, tool.bottom - tool.top),
              std::tuple(12L, 180L, MulDiv(201, 144, 96), MulDiv(41, 144, 96)));
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(scan.btnStartScan.Handle(), WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, MulDiv(-11, 144, 96));
    ExpectTidy(Form(), "after the change to 144 dpi");
    SaveSnapshotIfAsked(Form(), "main-form-dpi-changed-144");
    EXPECT_TRUE(Errors().empty());
}

TEST_F(MainFormTest, SizeAndPlaceAreRememberedForTheNextRun) {
    MarkFirstScanOffered();
    Open();
    SetWindowPos(Form(), nullptr, 40, 30, 1000, 700, SWP_NOZORDER | SWP_NOACTIVATE);
    Settle();
    RECT placed = {};
    GetWindowRect(Form(), &placed);
    Exit();
    ASSERT_TRUE(closed_);

    // The next run opens where the last one ended.
    Open();
    RECT restored = {};
    GetWindowRect(Form(), &restored);
    EXPECT_EQ(std::tuple(restored.left, restored.top, restored.right, restored.bottom),
              std::tuple(placed.left, placed.top, placed.right, placed.bottom));
    EXPECT_EQ(form_->StartShowCommand(SW_SHOWNORMAL), SW_SHOWNORMAL);

    // Maximised, then hidden with the close box and ended from the tray: it opens maximised,
    // and its normal place is still the one it had.
    ShowWindow(Form(), SW_MAXIMIZE);
    Settle();
    SendMessageW(Form(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Settle();
    Exit();
    Open();
    EXPECT_EQ(form_->StartShowCommand(SW_SHOWNORMAL), SW_SHOWMAXIMIZED);
    EXPECT_EQ(form_->StartShowCommand(SW_SHOWMINNOACTIVE), SW_SHOWMINNOACTIVE);
    ShowWindow(Form(), form_->StartShowCommand(SW_SHOWNORMAL));
    Settle();
    EXPECT_TRUE(IsZoomed(Form()));
    WINDOWPLACEMENT placement = {sizeof(placement)};
    GetWindowPlacement(Form(), &placement);
    const RECT& normal = placement.rcNormalPosition;
    EXPECT_EQ(std::tuple(normal.right - normal.left, normal.bottom - normal.top),
              std::tuple(placed.right - placed.left, placed.bottom - placed.top));
    EXPECT_TRUE(Errors().empty());
}

}  // namespace
}  // namespace kestrova::test
