#pragma once
// The main window on the test display with a temporary data folder, scripted dialogs and a
// sandboxed registry, and the helpers that drive it as a user would: mouse presses and
// clicks, and reading its lists back through the list view control.

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/first_activation.h"
#include "app/add_remove_section.h"
#include "app/backup_section.h"
#include "app/history_section.h"
#include "app/ie_plugins_section.h"
#include "app/ie_traces_section.h"
#include "app/ignore_list_section.h"
#include "app/main_form.h"
#include "app/more_tools_section.h"
#include "app/scan_errors_section.h"
#include "app/startup_section.h"
#include "platform/registry.h"
#include "support/message_pump.h"
#include "support/sandbox_test.h"
#include "support/scripted_dialogs.h"

namespace kestrova::test {

inline const std::wstring kAppPathsKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
inline const std::wstring kHelpKey = L"SOFTWARE\\Microsoft\\Windows\\Help";

// Writes a text value under HKEY_LOCAL_MACHINE, creating the key.
inline void SetMachineText(const std::wstring& key, const std::wstring& name,
                           const std::wstring& value) {
    Registry reg(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(L"\\" + key, true));
    reg.WriteString(name, value);
}

// The text of a value under HKEY_LOCAL_MACHINE, or "<none>" when the key or value is missing.
inline std::wstring MachineText(const std::wstring& key, const std::wstring& name) {
    Registry reg(HKEY_LOCAL_MACHINE);
    return reg.OpenKeyReadOnly(L"\\" + key) && reg.ValueExists(name) ? reg.ReadString(name)
                                                                     : L"<none>";
}

// Writes a text value, creating the key.
inline void PutText(HKEY root, const std::wstring& key, const std::wstring& name,
                    const std::wstring& text) {
    Registry reg(root);
    ASSERT_TRUE(reg.OpenKey(L"\\" + key, true));
    reg.WriteString(name, text);
}

inline bool KeyIn(HKEY root, const std::wstring& key) {
    return Registry(root).KeyExists(L"\\" + key);
}

// The first-activation scan was offered on an earlier run: opening starts no scan.
inline void MarkFirstScanOffered() {
    SetMachineText(std::wstring(kProgramStateKeyPath), kActivatedFirstScanValue, L"1");
}

inline void Settle() {
    PumpMessagesFor(30);
}

// A left click at the centre of a part of a window (client coordinates).
inline void ClickAt(HWND window, const RECT& part) {
    const LPARAM at = MAKELPARAM((part.left + part.right) / 2, (part.top + part.bottom) / 2);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
    Settle();
}

// Presses a window with the left mouse button at its centre.
inline void Press(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    ClickAt(window, r);
}

inline std::wstring ItemText(HWND list, int row, int column) {
    wchar_t buffer[1024] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(std::size(buffer));
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

inline bool ItemChecked(HWND list, int row) {
    return ListView_GetCheckState(list, row) != FALSE;
}

inline int RowCount(HWND list) {
    return ListView_GetItemCount(list);
}

using Rows = std::vector<std::wstring>;

// Each row as the list view shows it: its mark (unless the list has no check boxes), then its
// cells joined by " | ".
inline Rows Shown(HWND list, int columns, bool marks = true) {
    Rows rows;
    for (int row = 0; row < RowCount(list); ++row) {
        std::wstring text = marks ? (ItemChecked(list, row) ? L"[x] " : L"[ ] ") : L"";
        for (int column = 0; column < columns; ++column) {
            text += (column == 0 ? L"" : L" | ") + ItemText(list, row, column);
        }
        rows.push_back(text);
    }
    return rows;
}

// Every text a control is given, in order, while the recorder lives.
class TextRecorder {
public:
    explicit TextRecorder(HWND control) : control_(control) {
        SetWindowSubclass(control_, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~TextRecorder() { RemoveWindowSubclass(control_, Proc, 1); }
    TextRecorder(const TextRecorder&) = delete;
    TextRecorder& operator=(const TextRecorder&) = delete;

    std::vector<std::wstring> texts;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                 DWORD_PTR self) {
        if (message == WM_SETTEXT) {
            reinterpret_cast<TextRecorder*>(self)->texts.push_back(
                reinterpret_cast<const wchar_t*>(lparam));
        }
        return DefSubclassProc(hwnd, message, wparam, lparam);
    }

    HWND control_;
};

// Clicks a row's check box with the mouse.
inline void ClickCheckBox(HWND list, int row) {
    ListView_EnsureVisible(list, row, FALSE);
    RECT bounds = {};
    ASSERT_TRUE(ListView_GetItemRect(list, row, &bounds, LVIR_BOUNDS));
    for (int x = bounds.left; x < bounds.left + 40; ++x) {
        LVHITTESTINFO hit = {};
        hit.pt = {x, (bounds.top + bounds.bottom) / 2};
        if (ListView_SubItemHitTest(list, &hit) == row && (hit.flags & LVHT_ONITEMSTATEICON)) {
            const LPARAM at = MAKELPARAM(hit.pt.x, hit.pt.y);
            PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(list, WM_LBUTTONUP, 0, at);
            Settle();
            return;
        }
    }
    FAIL() << "no check box found in row " << row;
}

class MainFormTest : public SandboxTest {
protected:
    void Open() {
        form_ = std::make_unique<TfmMainForm>(dialogs_, temp_.Path());
        form_->SetDpiOverride(dpi_);
        form_->OnClosed([this] { closed_ = true; });
        ASSERT_TRUE(form_->Create(GetModuleHandleW(nullptr)));
        ShowWindow(form_->Handle(), SW_SHOW);
        Settle();
        // The first activation on a fresh registry starts a scan: each test begins once it ended.
        WaitForScanEnd();
    }
    void WaitForScanEnd() {
        ASSERT_TRUE(
            PumpMessagesUntil([this] { return !form_->Get<ScanErrorsSection>().ScanRunning(); }));
        Settle();
    }
    // Errors shown so far; the first-activation message is a plain message, not counted.
    std::vector<std::wstring> Errors() const { return dialogs_.Texts(ShownDialog::Kind::Error); }
    HWND Form() const { return form_->Handle(); }
    void Exit() {
        SendMessageW(Form(), WM_COMMAND, TrayMenu::kExitCommand, 0);
        Settle();
    }
    // The page panels of MainControl that are on screen.
    std::vector<size_t> VisiblePages() {
        std::vector<size_t> visible;
        for (size_t i = 0; i < form_->MainControl().PageCount(); ++i) {
            if (form_->MainControl().Page(i).Visible()) {
                visible.push_back(i);
            }
        }
        return visible;
    }

    ScriptedDialogs dialogs_;
    // The dots per inch Open lays the window out at; 0 for the display's. Wine reads the
    // display's from the shared prefix, so a test sets the window's own instead.
    int dpi_ = 0;
    std::unique_ptr<TfmMainForm> form_;
    bool closed_ = false;
};

}  // namespace kestrova::test
