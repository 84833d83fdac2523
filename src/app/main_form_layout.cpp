// Placing the main window's controls: header, tool buttons, the sections, the autorun panel.
#include "app/main_form.h"
#include "app/section_table.h"
#include "platform/ui_keyboard.h"

#include <commctrl.h>

namespace kestrova {

namespace {

// "MS Sans Serif" for the window's text and, in bold, the tool buttons' captions. Windows and
// Wine both draw it from a bitmap font with hand-made 8 and 10 point sizes, so it stays crisp;
// Wine's Tahoma has no bold face of its own and would show the captions in regular weight.
constexpr wchar_t kFormFontFace[] = L"MS Sans Serif";
constexpr wchar_t kToolFontFace[] = L"MS Sans Serif";
// At other dots per inch the bitmap face has no size of its own: Tahoma, a scalable face of
// nearly the same measure that Windows and Wine both have (Wine has no bold Tahoma, so there
// the tool buttons' captions show in regular weight).
constexpr wchar_t kScaledFontFace[] = L"Tahoma";
// Point sizes at the 96 dots per inch the layout is drawn for, scaled at others.
constexpr int kFormFontHeight = -11;  // 8 points
constexpr int kToolFontHeight = -13;  // 10 points

constexpr int kHeaderHeight = 109;
constexpr int kNavigationWidth = 211;
constexpr int kAutorunPanelHeight = 25;
constexpr Bounds kMainControlBounds = {213, 114, 540, 343};
constexpr Bounds kAutorunPanelBounds = {0, 458, 754, kAutorunPanelHeight};

UniqueFont MakeFont(const wchar_t* face, int height, int weight) {
    return UniqueFont(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, face));
}

}  // namespace

void TfmMainForm::MakeFonts() {
    // Once the window scales, its texts are measured and drawn in the scalable face alone, so
    // that captions measured at 96 dots per inch still fit when scaled.
    scalableFace_ = scalableFace_ || dpi_ != kDesignDpi;
    font_ = MakeFont(scalableFace_ ? kScaledFontFace : kFormFontFace,
                     ScaleToDpi(kFormFontHeight, dpi_), FW_NORMAL);
    toolFont_ = MakeFont(scalableFace_ ? kScaledFontFace : kToolFontFace,
                         ScaleToDpi(kToolFontHeight, dpi_), FW_BOLD);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
}

void TfmMainForm::BuildLayout() {
    MakeFonts();
    ImageList2 = CreateScanImages(dpi_);
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
    // The wide buttons go down the column from the top, the icon buttons along one row below.
    int wideTop = 120;
    int iconLeft = 8;
    const auto entries = MainSections();
    for (size_t i = 0; i < entries.size(); ++i) {
        const SectionEntry& entry = entries[i];
        auto button = std::make_unique<ToolButton>();
        if (entry.button == SectionEntry::Button::Wide) {
            button->Create(*this, entry.label, entry.glyph, Bounds{8, wideTop, 201, 41},
                           toolFont_.Get(), backdrop);
            wideTop += 48;
        } else {
            button->Create(*this, L"", entry.glyph, Bounds{iconLeft, 360, 41, 41}, toolFont_.Get(),
                           backdrop);
            button->SetHint(tooltip_, entry.label);
            iconLeft += 48;
        }
        // Each button shows its section, then the section does what it needs on opening.
        button->OnClick(*this, [this, i] {
            Section& section = *sections_[i];
            Show(section);
            section.Selected();
        });
        toolButtons_.push_back(std::move(button));
    }
}

void TfmMainForm::BuildPages() {
    MainControl_.Create(*this, kMainControlBounds, false);
    MainControl_.Anchor(kAnchorAll);
    const auto entries = MainSections();
    for (size_t i = 0; i < entries.size(); ++i) {
        Panel& page = MainControl_.AddPage(entries[i].pageName);
        sections_[i]->Build(page);
        ArrangeGroupBoxes(page.Handle());
    }
}

void TfmMainForm::BuildAutorunPanel() {
    pnlAutorun.Create(*this, kAutorunPanelBounds, Panel::Border::Pane);
    pnlAutorun.Anchor(kAnchorBottomWide);
    cbAutoRun.Create(pnlAutorun, L"Autorun when Windows starts", Bounds{10, 4, 240, 17});
    cbAutoRun.OnClick(pnlAutorun, [this] { cbAutoRunClick(); });
}

void TfmMainForm::PaintNavigation(HDC dc, const RECT& area) const {
    PaintNavigationBackdrop(dc, area, NavigationColumn());
}

int TfmMainForm::HeaderHeight() const {
    return ScaleToDpi(kHeaderHeight, dpi_);
}

RECT TfmMainForm::NavigationColumn() const {
    RECT client = {};
    GetClientRect(hwnd_, &client);
    return RECT{0, HeaderHeight(), ScaleToDpi(kNavigationWidth, dpi_),
                client.bottom - ScaleToDpi(kAutorunPanelHeight, dpi_)};
}

void TfmMainForm::Paint() {
    const PaintDc painting(hwnd_);
    const HDC dc = painting.Get();
    const RECT& area = painting.Area();
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    RECT client = {};
    GetClientRect(hwnd_, &client);
    // The header picture is drawn for the whole width (Image1 stretches with the window).
    const SIZE headerSize = {client.right, HeaderHeight()};
    if (!header_ || headerSize.cx != headerSize_.cx || headerSize.cy != headerSize_.cy) {
        header_ = RenderHeader(headerSize.cx, headerSize.cy, dpi_);
        headerSize_ = headerSize;
    }
    if (area.top < headerSize.cy) {
        const UniqueMemoryDc source(CreateCompatibleDC(dc));
        SelectedObject keep(source.Get(), header_.Get());
        BitBlt(dc, 0, 0, headerSize.cx, headerSize.cy, source.Get(), 0, 0, SRCCOPY);
    }
    const RECT navigation = NavigationColumn();
    RECT column = {};
    if (IntersectRect(&column, &area, &navigation)) {
        PaintNavigation(dc, column);
    }
}

}  // namespace kestrova
