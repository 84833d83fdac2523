#include "platform/ui_controls.h"

#include <commctrl.h>

#include <memory>

namespace kestrova {

std::wstring Control::Text() const {
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), length + 1)));
    return text;
}

void Control::SetText(const std::wstring& text) {
    SetWindowTextW(hwnd_, text.c_str());
}

void Control::CreateChild(Container& parent, const wchar_t* className, const std::wstring& text,
                          DWORD style, DWORD exStyle, Bounds bounds) {
    hwnd_ = CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                            bounds.x, bounds.y, bounds.width, bounds.height, parent.Handle(),
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    SetFont(parent.Font());
    AnchorWindow(hwnd_, kAnchorTopLeft);
}

void Button::Create(Container& parent, const std::wstring& caption, Bounds bounds, bool enabled) {
    CreateChild(parent, L"BUTTON", caption, WS_TABSTOP | BS_PUSHBUTTON, 0, bounds);
    SetEnabled(enabled);
}

void Button::OnClick(Container& parent, EventTable::Handler handler) {
    parent.Events().OnClick(hwnd_, std::move(handler));
}

void CheckBox::Create(Container& parent, const std::wstring& caption, Bounds bounds, bool checked) {
    CreateChild(parent, L"BUTTON", caption, WS_TABSTOP | BS_AUTOCHECKBOX, 0, bounds);
    SetChecked(checked);
}

void CheckBox::OnClick(Container& parent, EventTable::Handler handler) {
    parent.Events().OnClick(hwnd_, std::move(handler));
}

void CheckBox::SetChecked(bool checked) {
    SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Label::Create(Container& parent, const std::wstring& caption, Bounds bounds, Align align) {
    const DWORD alignment = align == Align::Left     ? SS_LEFT
                            : align == Align::Center ? SS_CENTER
                                                     : SS_RIGHT;
    CreateChild(parent, L"STATIC", caption, alignment | SS_NOPREFIX | SS_ENDELLIPSIS, 0, bounds);
}

void GroupBox::Create(Container& parent, const std::wstring& caption, Bounds bounds) {
    CreateChild(parent, L"BUTTON", caption, BS_GROUPBOX, 0, bounds);
}

void Edit::Create(Container& parent, const std::wstring& text, Bounds bounds) {
    CreateChild(parent, L"EDIT", text, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, bounds);
}

namespace {

// The lines of a list box or a combo box's list.
size_t LineCount(HWND control, UINT countMessage) {
    const LRESULT count = SendMessageW(control, countMessage, 0, 0);
    return count < 0 ? 0 : static_cast<size_t>(count);
}

std::wstring LineText(HWND control, UINT lengthMessage, UINT textMessage, size_t index) {
    const LRESULT length = SendMessageW(control, lengthMessage, index, 0);
    if (length < 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(control, textMessage, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

struct EnterHook {
    EventTable* events;
    EventTable::Handler handler;
};

LRESULT CALLBACK EnterSubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR id, DWORD_PTR data) {
    auto* hook = reinterpret_cast<EnterHook*>(data);
    switch (message) {
        case WM_GETDLGCODE: {
            // A dialog's message loop would take Enter for its default button.
            const auto* keyMessage = reinterpret_cast<const MSG*>(lparam);
            const LRESULT code = DefSubclassProc(hwnd, message, wparam, lparam);
            return keyMessage && keyMessage->wParam == VK_RETURN &&
                           (keyMessage->message == WM_KEYDOWN || keyMessage->message == WM_CHAR)
                       ? code | DLGC_WANTALLKEYS
                       : code;
        }
        case WM_CHAR:
            if (wparam == L'\r') {
                // Copied: the handler may close the window and so end the hook.
                const EventTable::Handler handler = hook->handler;
                hook->events->Run(handler);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, EnterSubclassProc, id);
            delete hook;
            break;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace

void Edit::OnEnter(Container& parent, EventTable::Handler handler) {
    auto hook = std::make_unique<EnterHook>(EnterHook{&parent.Events(), std::move(handler)});
    if (SetWindowSubclass(hwnd_, EnterSubclassProc, 1, reinterpret_cast<DWORD_PTR>(hook.get()))) {
        hook.release();  // deleted when the edit goes
    }
}

void Memo::Create(Container& parent, const std::vector<std::wstring>& lines, Bounds bounds,
                  bool wordWrap, bool verticalScrollBar) {
    std::wstring text;
    for (size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size()) {
            text += L"\r\n";
        }
    }
    const DWORD wrap = wordWrap ? 0 : ES_AUTOHSCROLL | WS_HSCROLL;
    const DWORD scroll = verticalScrollBar ? WS_VSCROLL : 0;
    CreateChild(parent, L"EDIT", text, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | wrap | scroll,
                WS_EX_CLIENTEDGE, bounds);
}

std::vector<std::wstring> Memo::Lines() const {
    std::vector<std::wstring> lines;
    const std::wstring text = Text();
    size_t start = 0;
    while (true) {
        const size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end == std::wstring::npos ? end : end - start));
        if (end == std::wstring::npos) {
            break;
        }
        start = end + 2;
    }
    return lines;
}

void ListBox::Create(Container& parent, Bounds bounds) {
    CreateChild(parent, L"LISTBOX", L"",
                WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE,
                bounds);
}

void ListBox::Add(const std::wstring& text) {
    SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

size_t ListBox::Count() const {
    return LineCount(hwnd_, LB_GETCOUNT);
}

std::wstring ListBox::Item(size_t index) const {
    return LineText(hwnd_, LB_GETTEXTLEN, LB_GETTEXT, index);
}

void AccessLabel::Create(Container& parent, const std::wstring& caption, Bounds bounds) {
    CreateChild(parent, L"STATIC", caption, SS_LEFT, 0, bounds);
}

void LabeledEdit::Create(Container& parent, const std::wstring& caption, Bounds labelBounds,
                         Bounds editBounds) {
    label.Create(parent, caption, labelBounds);
    Edit::Create(parent, L"", editBounds);
}

void ComboBox::Create(Container& parent, const std::vector<std::wstring>& items, Bounds bounds,
                      int selected) {
    // The height includes the dropped-down list.
    bounds.height += 120;
    CreateChild(parent, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, bounds);
    for (const std::wstring& item : items) {
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    Select(selected);
}

size_t ComboBox::Count() const {
    return LineCount(hwnd_, CB_GETCOUNT);
}

std::wstring ComboBox::Item(size_t index) const {
    return LineText(hwnd_, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

void ProgressBar::Create(Container& parent, Bounds bounds) {
    CreateChild(parent, PROGRESS_CLASSW, L"", 0, 0, bounds);
}

void ProgressBar::SetMaximum(int maximum) {
    SendMessageW(hwnd_, PBM_SETRANGE32, 0, maximum);
}

int ProgressBar::Maximum() const {
    return static_cast<int>(SendMessageW(hwnd_, PBM_GETRANGE, FALSE, 0));
}

void ProgressBar::SetPosition(int position) {
    SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int ProgressBar::Position() const {
    return static_cast<int>(SendMessageW(hwnd_, PBM_GETPOS, 0, 0));
}

}  // namespace kestrova
