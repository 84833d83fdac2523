#pragma once
// The program's one window: the header, the tool buttons that switch the sections, the
// sections on the page control MainControl, the autorun box at the bottom, and the icon in
// the notification area. It owns the two XML stores for the whole run and lends them to the
// sections (section.h), which it creates from their table (section_table.cpp) and tells of
// the window's creation, showing and closing.
//
// main_form.cpp: creation, messages, closing; main_form_layout.cpp: placing the header, the
// tool buttons and the pages; main_form_tray.cpp: notification area, autorun and the
// first-activation check; main_form_resize.cpp: growing, scaling with the screen's dots per
// inch and the remembered size and place.

#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/artwork.h"
#include "app/first_activation.h"
#include "app/section.h"
#include "app/store_file.h"
#include "app/tool_button.h"
#include "app/tray_icon.h"
#include "platform/dialogs.h"
#include "platform/gdi_handles.h"
#include "platform/ui_controls.h"
#include "platform/ui_layout.h"
#include "platform/ui_page_control.h"
#include "platform/ui_panel.h"
#include "platform/window_owner.h"

namespace kestrova {

class TfmMainForm final : public Container, private SectionHost {
public:
    // Client area of the window as designed, in pixels at 96 dots per inch: the size it opens
    // at and its smallest size (scaled with the screen's dots per inch).
    static constexpr int kClientWidth = 754;
    static constexpr int kClientHeight = 483;
    static constexpr UINT kTrayMessage = WM_APP + 1;

    // dataFolder: where Backup.xml, ignore.xml and the Backup folder live; empty means the
    // executable's folder, as the program always uses.
    explicit TfmMainForm(IDialogs& dialogs, std::wstring dataFolder = {});
    ~TfmMainForm() override;
    TfmMainForm(const TfmMainForm&) = delete;
    TfmMainForm& operator=(const TfmMainForm&) = delete;

    // Lays the window out for these dots per inch instead of the screen's: the tests' way to
    // a second scaling on one display. Called before Create; 0 is the screen's.
    void SetDpiOverride(int dpi) { dpiOverride_ = dpi; }
    // Creates the window (hidden) at its remembered size and place, else at its designed size
    // centred on the desktop, and runs FormCreate; false when the window could not be
    // created. Showing it runs FormShow.
    bool Create(HINSTANCE instance);
    // How to show the window at start-up for the show command given to the program: maximised
    // when it was maximised at the end of the last run.
    int StartShowCommand(int show) const;
    // The dots per inch the window is laid out at.
    int Dpi() const { return dpi_; }
    // Runs once the window has been closed for real and destroyed.
    void OnClosed(std::function<void()> handler) { onClosed_ = std::move(handler); }

    HWND Handle() const override { return hwnd_; }
    EventTable& Events() override { return events_; }
    HFONT Font() const override { return font_.Get(); }

    StoreFile& RestoreXmlDocument() { return Restore_XMLDocument; }
    StoreFile& IgnoreXmlDocument() { return IgnoreXML; }

    // The sections in the order of their tool buttons, as the tests and the benchmark reach
    // them.
    size_t SectionCount() const { return sections_.size(); }
    Section& SectionAt(size_t index) { return *sections_.at(index); }
    template <class T>
    T& Get() {
        for (auto& section : sections_) {
            if (auto* found = dynamic_cast<T*>(section.get())) {
                return *found;
            }
        }
        throw std::logic_error("no such section");
    }
    ToolButton& ToolButtonAt(size_t index) { return *toolButtons_.at(index); }
    template <class T>
    ToolButton& ToolButtonFor() {
        return ToolButtonAt(IndexOf(Get<T>()));
    }
    PageControl& MainControl() { return MainControl_; }
    // The section whose page is on screen.
    const Section& ShownSection() const { return *sections_.at(MainControl_.ActivePage()); }
    CheckBox& AutoRunBox() { return cbAutoRun; }
    TrayIcon& Tray() { return trayIcon; }
    const TrayMenu& PopupMenu() const { return PopupMenu1; }

private:
    friend LRESULT CALLBACK OwnerWindowProc<TfmMainForm>(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
    void Paint();

    // SectionHost
    IDialogs& Dialogs() override { return dialogs_; }
    void ReportError(const std::wstring& message) override { dialogs_.ShowError(message); }
    void Run(const std::function<void()>& step) override { events_.Run(step); }
    StoreFile& RestoreStore() override { return Restore_XMLDocument; }
    StoreFile& IgnoreStore() override { return IgnoreXML; }
    const std::wstring& DataFolder() const override { return dataFolder_; }
    HIMAGELIST ScanImages() const override { return ImageList2.Get(); }
    void Show(const Section& section) override;
    void StoreChanged(const StoreFile& store) override;
    bool WindowOpen() const override { return hwnd_ != nullptr; }

    size_t IndexOf(const Section& section) const;
    // Runs notify for every section in table order, each on its own: an error one of them
    // throws is shown and the next still hears.
    void ForEachSection(const std::function<void(Section&)>& notify);

    // main_form_layout.cpp
    void MakeFonts();
    void BuildLayout();
    void BuildToolButtons();
    void BuildPages();
    void BuildAutorunPanel();
    void PaintNavigation(HDC dc, const RECT& area) const;

    // main_form.cpp: the window's life.
    void FormCreate();
    void FormShow();
    void FormActivate();
    // Saves the restore history; false (and the window stays) when it cannot.
    bool FormClose();
    void CloseForReal();

    // main_form_resize.cpp
    void ApplyDpi(int dpi, const RECT* suggested);
    void ReplaceFonts();
    void CentreAtDesignedSize();
    SIZE MinimumWindowSize() const;
    RECT NavigationColumn() const;
    int HeaderHeight() const;
    void Resized();
    void RestorePlace();
    void SavePlace() const;

    // main_form_tray.cpp
    bool IsAutorunSet() const;
    void SetAutorun(bool on);
    void cbAutoRunClick();
    LRESULT WMSysCommand(WPARAM command, LPARAM lparam);
    void TrayIconMessage(LPARAM lparam);
    void KestrovaPCOptimizer1Click();
    void Exit1Click();

    GdiplusSession gdiplus_;
    IDialogs& dialogs_;
    const std::wstring dataFolderSource_;
    const std::wstring executablePath_;
    std::wstring dataFolder_;
    StoreFile Restore_XMLDocument{L"Backup.xml", L"Kestrova", L"restore history"};
    StoreFile IgnoreXML{L"ignore.xml", L"IgnoreList", L"ignore list"};
    FirstActivationCheck firstActivation_;
    bool activationCheckRunning_ = false;
    std::function<void()> onClosed_;

    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND lastFocus_ = nullptr;  // the control the focus goes back to
    EventTable events_;
    UniqueFont font_;
    UniqueFont toolFont_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    UniqueBitmap header_;  // Image1, drawn for the client width
    SIZE headerSize_ = {};
    UniqueImageList ImageList2;
    int dpi_ = kDesignDpi;
    int dpiOverride_ = 0;
    bool scalableFace_ = false;  // the fonts' face is the scalable one (main_form_layout.cpp)
    bool startMaximized_ = false;
    AnchorLayout layout_;
    // Fonts and images of earlier dots per inch: dialogs and lists may still hold them.
    std::vector<UniqueFont> retiredFonts_;
    std::vector<UniqueImageList> retiredImages_;

    std::vector<std::unique_ptr<ToolButton>> toolButtons_;
    PageControl MainControl_;
    Panel pnlAutorun;
    CheckBox cbAutoRun;

    TrayIcon trayIcon;
    TrayMenu PopupMenu1;

    // Declared last: their workers are stopped and waited for first, while the stores and
    // everything else they reach still exist.
    std::vector<std::unique_ptr<Section>> sections_;
};

}  // namespace kestrova
