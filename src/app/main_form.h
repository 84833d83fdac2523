#pragma once
// The program's one window.

#include <windows.h>

namespace kestrova {

class TfmMainForm {
public:
    // Client area size of the window, in pixels.
    static constexpr int kClientWidth = 754;
    static constexpr int kClientHeight = 483;

    TfmMainForm() = default;
    ~TfmMainForm();
    TfmMainForm(const TfmMainForm&) = delete;
    TfmMainForm& operator=(const TfmMainForm&) = delete;

    // Creates the window, centred on the desktop; false if it could not be created.
    bool Create(HINSTANCE instance);
    HWND Handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

    HWND hwnd_ = nullptr;
};

}  // namespace kestrova
