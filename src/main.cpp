// Process start: create the main window and run the message loop until it closes.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/main_form.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    int exitCode = 1;
    {
        kestrova::TfmMainForm form;
        if (form.Create(instance)) {
            ShowWindow(form.Handle(), show);
            UpdateWindow(form.Handle());
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            exitCode = static_cast<int>(msg.wParam);
        }
    }
    CoUninitialize();
    return exitCode;
}
