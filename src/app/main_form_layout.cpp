// Placing the main window's controls: header, tool buttons, the sections, the autorun panel.
#include "app/main_form.h"

#include <commctrl.h>

namespace kestrova {

namespace {

// "MS Sans Serif" for the window's text and, in bold, the tool buttons' captions. Windows and
// Wine both draw it from a bitmap font with hand-made 8 and 10 point sizes, so it stays crisp;
// Wine's Tahoma has no bold face of its own and would show the captions in regular weight.
constexpr wchar_t kFormFontFace[] = L"MS Sans Serif";
constexpr wchar_t kToolFontFace[] = L"MS Sans Serif";
// Point sizes at the 96 dots per inch the layout is drawn for; the layout does not scale.
constexpr int kFormFontHeight = -11;  // 8 points
constexpr int kToolFontHeight = -13;  // 10 points

constexpr int kHeaderHeight = 109;
constexpr RECT kNavigationColumn = {0, kHeaderHeight, 211, 458};
constexpr Bounds kMainControlBounds = {213, 114, 540, 343};
constexpr Bounds kAutorunPanelBounds = {0, 458, 754, 25};

struct ToolButtonEntry {
    Section section;
    const wchar_t* caption;  // empty for the icon buttons, which show their hint instead
    const wchar_t* hint;
    Glyph glyph;
};

constexpr ToolButtonEntry kWideButtons[] = {
    {Section::ScanErrors, L"Scan and Fix Errors ", L"", Glyph::ScanErrors},
    {Section::Toolbar, L"IE Plugins                  ", L"", Glyph::IePlugins},
    {Section::Backup, L"Backup and Restore", L"", Glyph::Backup},
    {Section::History, L"Restore History         ", L"", Glyph::History},
    {Section::IgnoreList, L"Ignore List                 ", L"", Glyph::IgnoreList},
};

constexpr ToolButtonEntry kIconButtons[] = {
    {Section::AddRemove, L"", L"Uninstall Manager", Glyph::Uninstall},
    {Section::Startup, L"", L"Startup Programs", Glyph::Startup},
    {Section::MoreTools, L"", L"More Tools", Glyph::MoreTools},
    {Section::IE, L"", L"IE Traces Cleaning", Glyph::IeTraces},
};

UniqueFont MakeFont(const wchar_t* face, int height, int weight) {
    return UniqueFont(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, face));
}

}  // namespace

ToolButton& TfmMainForm::ToolButtonFor(Section section) {
    return toolButtons_.at(static_cast<size_t>(section));
}

void TfmMainForm::BuildLayout() {
    font_ = MakeFont(kFormFontFace, kFormFontHeight, FW_NORMAL);
    toolFont_ = MakeFont(kToolFontFace, kToolFontHeight, FW_BOLD);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    header_ = RenderHeader(kClientWidth, kHeaderHeight);
    ImageList2 = CreateScanImages();
    BuildToolButtons();
    BuildPages();
    BuildAutorunPanel();
}

void TfmMainForm::BuildToolButtons() {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    const auto backdrop = [this](HDC dc, const RECT& area) { PaintNavigation(dc, area); };
    int top = 120;
    for (const ToolButtonEntry& entry : kWideButtons) {
        ToolButtonFor(entry.section)
            .Create(*this, entry.caption, entry.glyph, Bounds{8, top, 201, 41}, toolFont_.Get(),
                    backdrop);
        top += 48;
    }
    int left = 8;
    for (const ToolButtonEntry& entry : kIconButtons) {
        ToolButton& button = ToolButtonFor(entry.section);
        button.Create(*this, L"", entry.glyph, Bounds{left, 360, 41, 41}, toolFont_.Get(),
                      backdrop);
        button.SetHint(tooltip_, entry.hint);
        left += 48;
    }

    const std::pair<Section, void (TfmMainForm::*)()> handlers[] = {
        {Section::ScanErrors, &TfmMainForm::toolScanErrorsClick},
        {Section::Toolbar, &TfmMainForm::toolToolbarClick},
        {Section::Backup, &TfmMainForm::toolBackupClick},
        {Section::History, &TfmMainForm::toolHistoryClick},
        {Section::IgnoreList, &TfmMainForm::toolIgnoreClick},
        {Section::AddRemove, &TfmMainForm::toolAddRemoveClick},
        {Section::Startup, &TfmMainForm::toolStartupClick},
        {Section::MoreTools, &TfmMainForm::toolMoreToolsClick},
        {Section::IE, &TfmMainForm::toolEClick},
    };
    for (const auto& [section, handler] : handlers) {
        ToolButtonFor(section).OnClick(*this, [this, handler] { (this->*handler)(); });
    }
}

void TfmMainForm::BuildPages() {
    MainControl_.Create(*this, kMainControlBounds, false);
    const wchar_t* const names[kSectionCount] = {
        L"tabScanErrors", L"tabBackup",  L"tabHistory",    L"tabStartup", L"tabAddRemove",
        L"tabIE",         L"tabToolbar", L"tabIgnoreList", L"tsMoreTools"};
    for (const wchar_t* name : names) {
        MainControl_.AddPage(name);
    }
    const auto page = [this](Section section) -> Panel& {
        return MainControl_.Page(static_cast<size_t>(section));
    };
    scanErrors_.Build(page(Section::ScanErrors), ImageList2.Get());
    backup_.Build(page(Section::Backup));
    history_.Build(page(Section::History));
    startup_.Build(page(Section::Startup));
    addRemove_.Build(page(Section::AddRemove));
    ie_.Build(page(Section::IE));
    toolbar_.Build(page(Section::Toolbar));
    ignoreList_.Build(page(Section::IgnoreList));
    moreTools_.Build(page(Section::MoreTools));
}

void TfmMainForm::BuildAutorunPanel() {
    pnlAutorun.Create(*this, kAutorunPanelBounds, Panel::Border::Pane);
    cbAutoRun.Create(pnlAutorun, L"Autorun when Windows starts", Bounds{10, 4, 240, 17});
    cbAutoRun.OnClick(pnlAutorun, [this] { cbAutoRunClick(); });
}

void TfmMainForm::PaintNavigation(HDC dc, const RECT& area) const {
    PaintNavigationBackdrop(dc, area, kNavigationColumn);
}

void TfmMainForm::Paint() {
    const PaintDc painting(hwnd_);
    const HDC dc = painting.Get();
    const RECT& area = painting.Area();
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    if (area.top < kHeaderHeight) {
        HDC source = CreateCompatibleDC(dc);
        {
            SelectedObject keep(source, header_.Get());
            BitBlt(dc, 0, 0, kClientWidth, kHeaderHeight, source, 0, 0, SRCCOPY);
        }
        DeleteDC(source);
    }
    RECT column = {};
    if (IntersectRect(&column, &area, &kNavigationColumn)) {
        PaintNavigation(dc, column);
    }
}

}  // namespace kestrova
