// Process start: create the main window and run the message loop until it is closed for real
// (the tray menu's "Exit"); the close box only hides it.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/main_form.h"
#include "platform/ui_keyboard.h"
#include "platform/win32_dialogs.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    int exitCode = 1;
    {
        kestrova::Win32Dialogs dialogs(L"Kestrova PC Optimizer");
        kestrova::TfmMainForm form(dialogs);
        form.OnClosed([] { PostQuitMessage(0); });
        if (form.Create(instance)) {
            dialogs.SetOwner(form.Handle());
            ShowWindow(form.Handle(), form.StartShowCommand(show));
            UpdateWindow(form.Handle());
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                kestrova::DispatchDialogMessage(form.Handle(), msg);
            }
            exitCode = static_cast<int>(msg.wParam);
        }
    }
    CoUninitialize();
    return exitCode;
}
