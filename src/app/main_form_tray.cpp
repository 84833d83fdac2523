// Autorun, the notification area and the window's hiding there.
#include "app/autorun.h"
#include "app/main_form.h"

namespace kestrova {

bool TfmMainForm::IsAutorunSet() const {
    return kestrova::IsAutorunSet(executablePath_);
}

void TfmMainForm::SetAutorun(bool on) {
    kestrova::SetAutorun(on, executablePath_);
}

void TfmMainForm::cbAutoRunClick() {
    SetAutorun(cbAutoRun.Checked());
}

LRESULT TfmMainForm::WMSysCommand(WPARAM command, LPARAM lparam) {
    // The close box hides the window into the notification area; only "Exit" ends the program.
    if (command == SC_CLOSE) {
        SavePlace();  // the program may end hidden, with the session
        trayIcon.SetMinimizeToTray(true);
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
    }
    if ((command & 0xFFF0) == SC_MINIMIZE && trayIcon.MinimizeToTray()) {
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
    }
    return DefWindowProcW(hwnd_, WM_SYSCOMMAND, command, lparam);
}

void TfmMainForm::TrayIconMessage(LPARAM lparam) {
    switch (TrayIcon::Interpret(lparam)) {
        case TrayIcon::Request::Restore:
            events_.Run([this] { KestrovaPCOptimizer1Click(); });
            break;
        case TrayIcon::Request::ShowMenu:
            PopupMenu1.Show(hwnd_);
            break;
        case TrayIcon::Request::None:
            break;
    }
}

void TfmMainForm::KestrovaPCOptimizer1Click() {
    trayIcon.SetMinimizeToTray(false);
    if (IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void TfmMainForm::Exit1Click() {
    CloseForReal();
}

}  // namespace kestrova
