#include "app/modal_dialog.h"

#include "platform/ui_keyboard.h"

namespace kestrova {

namespace {

constexpr wchar_t kDialogClass[] = L"KestrovaDialog";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

ModalDialog::ModalDialog(IDialogs& dialogs) : dialogs_(dialogs) {
    events_.SetErrorReporter([this](const std::wstring& message) { dialogs_.ShowError(message); });
}

ModalDialog::~ModalDialog() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
}

bool ModalDialog::Create(HWND owner, HFONT font, const std::wstring& title, int clientWidth,
                         int clientHeight) {
    static const bool registered = [] {
        WNDCLASSEXW wc = {sizeof(wc)};
        wc.lpfnWndProc = OwnerWindowProc<ModalDialog>;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kDialogClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    (void)registered;
    owner_ = owner;
    font_ = font;
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT around = {};
    if (!owner || !GetWindowRect(owner, &around)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    }
    const int x = around.left + (around.right - around.left - width) / 2;
    const int y = around.top + (around.bottom - around.top - height) / 2;
    CreateWindowExW(kExStyle, kDialogClass, title.c_str(), kStyle, x, y, width, height, owner,
                    nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) {
        return false;
    }
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetLayoutDpi(hwnd_, kDesignDpi);
    Build();
    if (const int dpi = owner ? WindowDpi(owner) : SystemDpi(hwnd_); dpi != kDesignDpi) {
        ScaleTo(dpi, clientWidth, clientHeight);
    }
    return true;
}

void ModalDialog::ScaleTo(int dpi, int clientWidth, int clientHeight) {
    LOGFONTW face = {};
    if (font_ && GetObjectW(font_, sizeof(face), &face) == sizeof(face)) {
        face.lfHeight = ScaleToDpi(face.lfHeight, dpi);
        scaledFont_.Reset(CreateFontIndirectW(&face));
        ReplaceFontOfDescendants(hwnd_, font_, scaledFont_.Get());
        font_ = scaledFont_.Get();
    }
    SetLayoutDpi(hwnd_, dpi);
    RECT frame = {0, 0, ScaleToDpi(clientWidth, dpi), ScaleToDpi(clientHeight, dpi)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    RECT now = {};
    GetWindowRect(hwnd_, &now);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Centred where it was.
    SetWindowPos(hwnd_, nullptr, (now.left + now.right - width) / 2,
                 (now.top + now.bottom - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    layout_.Apply(hwnd_);
    RelayoutDescendants(hwnd_);
}

bool ModalDialog::ShowModal() {
    const HWND focus = GetFocus();
    const bool ownerEnabled = owner_ && IsWindowEnabled(owner_);
    if (ownerEnabled) {
        EnableWindow(owner_, FALSE);
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetFocus(GetNextDlgTabItem(hwnd_, nullptr, FALSE));
    MSG message;
    while (!closed_ && hwnd_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
            }
            break;
        }
        DispatchDialogMessage(hwnd_, message);
    }
    // The owner comes back before the dialog goes, so it is the window activated next. The
    // window stays, hidden, so its fields can still be read.
    if (ownerEnabled) {
        EnableWindow(owner_, TRUE);
    }
    if (hwnd_) {
        ShowWindow(hwnd_, SW_HIDE);
    }
    if (focus && IsWindow(focus)) {
        SetFocus(focus);
    }
    return accepted_;
}

void ModalDialog::SetDefaultButton(HWND button) {
    defaultButton_ = button;
    SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void ModalDialog::Close(bool accepted) {
    accepted_ = accepted;
    closed_ = true;
}

LRESULT ModalDialog::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    if (LRESULT result = 0; events_.Dispatch(message, wparam, lparam, result)) {
        return result;
    }
    if (message == AnchorMessage()) {
        layout_.Add(hwnd_, reinterpret_cast<HWND>(wparam), static_cast<Anchors>(lparam));
        return 0;
    }
    if (HandleNextDialogControl(hwnd_, message, wparam, lparam)) {
        return 0;
    }
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wparam) == IDCANCEL && lparam == 0) {
                Close(false);  // Esc
                return 0;
            }
            // Enter on a control that does not take it.
            if (LOWORD(wparam) == IDOK && lparam == 0 && defaultButton_ &&
                IsWindowEnabled(defaultButton_)) {
                SendMessageW(defaultButton_, BM_CLICK, 0, 0);
                return 0;
            }
            break;
        case WM_CLOSE:
            Close(false);
            return 0;
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

}  // namespace kestrova
