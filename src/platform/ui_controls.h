#pragma once
// Thin wrappers over the standard Win32 controls. A wrapper names its window; the window
// belongs to its parent and goes with it. Handlers are registered in the parent's EventTable.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ui_panel.h"

namespace kestrova {

class Control {
public:
    HWND Handle() const { return hwnd_; }
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    bool Enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
    void SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
    bool Visible() const { return IsWindowVisible(hwnd_) != FALSE; }
    void Show(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }
    void SetFont(HFONT font) {
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    // Keeps the control where anchors say as its parent is resized (ui_layout.h).
    void Anchor(Anchors anchors) { AnchorWindow(hwnd_, anchors); }

protected:
    // Creates a child window of a standard class with the container's font, anchored to the
    // container's top left corner.
    void CreateChild(Container& parent, const wchar_t* className, const std::wstring& text,
                     DWORD style, DWORD exStyle, Bounds bounds);

    HWND hwnd_ = nullptr;
};

class Button : public Control {
public:
    void Create(Container& parent, const std::wstring& caption, Bounds bounds, bool enabled = true);
    void OnClick(Container& parent, EventTable::Handler handler);
    // Presses the button as a user would: its click handler runs.
    void Click() { SendMessageW(hwnd_, BM_CLICK, 0, 0); }
};

class CheckBox : public Control {
public:
    void Create(Container& parent, const std::wstring& caption, Bounds bounds,
                bool checked = false);
    void OnClick(Container& parent, EventTable::Handler handler);
    bool Checked() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // Sets the mark without running the click handler.
    void SetChecked(bool checked);
    void Click() { SendMessageW(hwnd_, BM_CLICK, 0, 0); }
};

class Label : public Control {
public:
    enum class Align { Left, Center, Right };
    void Create(Container& parent, const std::wstring& caption, Bounds bounds,
                Align align = Align::Left);
};

class GroupBox : public Control {
public:
    void Create(Container& parent, const std::wstring& caption, Bounds bounds);
};

class Edit : public Control {
public:
    void Create(Container& parent, const std::wstring& text, Bounds bounds);
    // Runs handler when the user presses Enter in the edit (the key press of character 13);
    // the edit then takes Enter for itself, also inside a dialog.
    void OnEnter(Container& parent, EventTable::Handler handler);
};

// A multi-line text that the user reads but does not change.
class Memo : public Control {
public:
    void Create(Container& parent, const std::vector<std::wstring>& lines, Bounds bounds,
                bool wordWrap, bool verticalScrollBar = false);
    std::vector<std::wstring> Lines() const;
};

class ListBox : public Control {
public:
    void Create(Container& parent, Bounds bounds);
    void Clear() { SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0); }
    void Add(const std::wstring& text);
    void Remove(size_t index) { SendMessageW(hwnd_, LB_DELETESTRING, index, 0); }
    size_t Count() const;
    std::wstring Item(size_t index) const;
    // The selected line, or -1.
    int Selected() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)); }
    void Select(int index) { SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
};

// --- Controls of the tool pages and dialogs.

// A label whose "&" marks the access key that moves the focus to the control created next.
class AccessLabel : public Control {
public:
    void Create(Container& parent, const std::wstring& caption, Bounds bounds);
};

// An edit with its caption; the caption's "&" moves the focus to the edit.
class LabeledEdit : public Edit {
public:
    void Create(Container& parent, const std::wstring& caption, Bounds labelBounds,
                Bounds editBounds);

    AccessLabel label;
};

// A drop-down list the user picks from and cannot type into.
class ComboBox : public Control {
public:
    void Create(Container& parent, const std::vector<std::wstring>& items, Bounds bounds,
                int selected = 0);
    size_t Count() const;
    std::wstring Item(size_t index) const;
    // The chosen line, or -1.
    int Selected() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)); }
    void Select(int index) { SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
};

class ProgressBar : public Control {
public:
    void Create(Container& parent, Bounds bounds);
    // The range becomes 0 to maximum.
    void SetMaximum(int maximum);
    int Maximum() const;
    void SetPosition(int position);
    int Position() const;
};

}  // namespace kestrova
