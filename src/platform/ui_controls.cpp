#include "platform/ui_controls.h"

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
    const LRESULT count = SendMessageW(hwnd_, LB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<size_t>(count);
}

std::wstring ListBox::Item(size_t index) const {
    const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, index, 0);
    if (length < 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(hwnd_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace kestrova
