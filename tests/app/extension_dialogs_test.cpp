// The File Extensions Manager's two dialogs: what each accepts, and the real windows driven with
// the messages a user's keys and clicks send (posted before the modal loop, which takes them in
// order), their message boxes and file dialogs answered by ScriptedDialogs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/add_extension_dialog.h"
#include "app/change_extension_dialog.h"
#include "app/extension_dialogs.h"
#include "ext_info_printer.h"
#include "platform/text.h"
#include "platform/ui_layout.h"
#include "support/scripted_dialogs.h"

namespace kestrova {
namespace {

using namespace test;

TEST(ExtensionDialogChecks, TheMainExtensionAndTheFilePathMustBeFilledTheRestMayStayEmpty) {
    const std::optional<std::wstring> refused = std::wstring(kFillExtensionMessage);
    EXPECT_EQ(refused, L"Please Fill Main Extension or File Path");
    const struct {
        TExtInfo typed;
        std::optional<std::wstring> problem;
    } addCases[] = {
        {{L".kxt", L"", L"", L"k.exe", L""}, std::nullopt},
        {{L" ", L"kxtfile", L"K", L" ", L"k.ico"}, std::nullopt},  // blanks count as filled
        {{L"", L"kxtfile", L"K", L"k.exe", L"k.ico"}, refused},
        {{L".kxt", L"kxtfile", L"K", L"", L"k.ico"}, refused},
        {{}, refused},
    };
    for (const auto& c : addCases) {
        EXPECT_EQ(AddExtensionProblem(c.typed), c.problem)
            << ToUtf8(c.typed.extension) << "|" << ToUtf8(c.typed.filePath);
    }
    EXPECT_EQ(ChangeExtensionProblem({L"k.exe", L""}), std::nullopt);
    EXPECT_EQ(ChangeExtensionProblem({L"", L"k.ico"}), refused);
}

// Posts the messages of typing text into an edit, after selecting what it holds.
void Type(HWND edit, const std::wstring& text) {
    PostMessageW(edit, EM_SETSEL, 0, -1);
    if (text.empty()) {
        PostMessageW(edit, WM_KEYDOWN, VK_DELETE, 0);
    }
    for (wchar_t c : text) {
        PostMessageW(edit, WM_CHAR, c, 1);
    }
}

// The character of the Enter key. (A posted key-down would have its character posted behind
// every message already waiting, not in its place.)
void PressEnter(HWND edit) {
    PostMessageW(edit, WM_CHAR, L'\r', 0x001C0001);
}

// Posts a mouse click at the middle of a button.
void Click(HWND button) {
    RECT r = {};
    GetClientRect(button, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(button, WM_LBUTTONUP, 0, at);
}

std::wstring Title(HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

HFONT DialogFont() {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

TEST(AddExtensionDialog, EnterInAnyFieldPressesOkWhichWaitsForTheExtensionAndThePath) {
    ScriptedDialogs dialogs;
    TfrmAddExt dialog(dialogs);
    ASSERT_TRUE(dialog.Create(nullptr, DialogFont()));
    EXPECT_EQ(Title(dialog.Handle()), L"Add New Extension");
    EXPECT_EQ(dialog.lblExt.label.Text(), L"Main &Extension (ex: .zip):");
    EXPECT_EQ(dialog.lblExtSecond.label.Text(), L"&Secondary Extension (ex: zip_file)");
    EXPECT_EQ(dialog.lblFileDesc.label.Text(), L"File &Description:");
    EXPECT_EQ(dialog.lblFilePath.label.Text(), L"File &Path:");
    EXPECT_EQ(dialog.lblFileIcon.label.Text(), L"&Icon:");
    EXPECT_EQ(dialog.btnOK.Text(), L"&OK");
    EXPECT_EQ(dialog.btnCancel.Text(), L"&Cancel");

    PressEnter(dialog.lblFileDesc.Handle());  // all empty: refused
    Type(dialog.lblExt.Handle(), L".kxt");
    Type(dialog.lblFileDesc.Handle(), L" K file ");
    PressEnter(dialog.lblExt.Handle());  // no path yet: refused
    Type(dialog.lblFilePath.Handle(), L"\"C:\\K\\k.exe\" \"%1\"");
    Type(dialog.lblFileIcon.Handle(), L"C:\\K\\k.exe,1");
    PressEnter(dialog.lblFileIcon.Handle());
    Type(dialog.lblExt.Handle(), L"after the end");  // the dialog has closed by then

    EXPECT_TRUE(dialog.ShowModal());
    EXPECT_TRUE(dialog.Accepted());
    EXPECT_EQ(dialogs.Texts(ShownDialog::Kind::Message),
              (std::vector<std::wstring>{kFillExtensionMessage, kFillExtensionMessage}));
    const TExtInfo typed = dialog.Typed();
    EXPECT_EQ(typed,
              (TExtInfo{L".kxt", L"", L" K file ", L"\"C:\\K\\k.exe\" \"%1\"", L"C:\\K\\k.exe,1"}))
        << "taken as typed";
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
    MSG left;
    while (PeekMessageW(&left, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&left);
    }
}

TEST(AddExtensionDialog, ScalesToItsOwnersDotsPerInch) {
    // An owner laid out at 144 dots per inch, as the main window on a 150 % screen.
    struct Owner {
        HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        ~Owner() { DestroyWindow(hwnd); }
    } owner;
    SetLayoutDpi(owner.hwnd, 144);
    ScriptedDialogs dialogs;
    TfrmAddExt scaled(dialogs);
    ASSERT_TRUE(scaled.Create(owner.hwnd, DialogFont()));
    TfrmAddExt designed(dialogs);
    ASSERT_TRUE(designed.Create(nullptr, DialogFont()));
    const auto place = [](const Control& control) {
        RECT r = {};
        GetWindowRect(control.Handle(), &r);
        MapWindowPoints(nullptr, GetParent(control.Handle()), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const auto fontHeight = [](const Control& control) {
        LOGFONTW font = {};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control.Handle(), WM_GETFONT, 0, 0)),
                   sizeof(font), &font);
        return font.lfHeight;
    };
    const auto scale = [](LONG length) { return static_cast<LONG>(MulDiv(length, 144, 96)); };
    RECT client = {};
    RECT designedClient = {};
    GetClientRect(scaled.Handle(), &client);
    GetClientRect(designed.Handle(), &designedClient);
    EXPECT_EQ(std::tuple(client.right, client.bottom),
              std::tuple(scale(designedClient.right), scale(designedClient.bottom)));
    for (const Control* control : {static_cast<const Control*>(&scaled.lblFilePath),
                                   static_cast<const Control*>(&scaled.btnCancel)}) {
        const Control& same = control == &scaled.btnCancel
                                  ? static_cast<const Control&>(designed.btnCancel)
                                  : static_cast<const Control&>(designed.lblFilePath);
        const RECT at = place(*control);
        const RECT was = place(same);
        EXPECT_EQ(std::tuple(at.left, at.top, at.right, at.bottom),
                  std::tuple(scale(was.left), scale(was.top), scale(was.right), scale(was.bottom)));
        EXPECT_EQ(fontHeight(*control), scale(fontHeight(same)));
    }
}

TEST(AddExtensionDialog, EscapeCancels) {
    ScriptedDialogs dialogs;
    TfrmAddExt dialog(dialogs);
    ASSERT_TRUE(dialog.Create(nullptr, DialogFont()));
    Type(dialog.lblExt.Handle(), L".kxt");
    Type(dialog.lblFilePath.Handle(), L"k.exe");
    PostMessageW(dialog.lblExt.Handle(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_FALSE(dialog.ShowModal());
    EXPECT_FALSE(dialog.Accepted());
    EXPECT_TRUE(dialogs.shown.empty());
}

// Stands in for the shell's icon picker.
struct PickerCall {
    int calls = 0;
    HWND owner = nullptr;
    std::wstring file;
    UINT length = 0;
    int index = -1;
};
PickerCall pickerCall;

int WINAPI FakePickIconDlg(HWND owner, PWSTR file, UINT length, int* index) {
    ++pickerCall.calls;
    pickerCall.owner = owner;
    pickerCall.file = file;
    pickerCall.length = length;
    pickerCall.index = *index;
    *index = 7;
    return 1;
}

TEST(ChangeExtensionDialog, BrowsingFillsThePathThePickerChangesNothingOkNeedsAPath) {
    pickerCall = {};
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {std::nullopt, L"C:\\Apps\\k 2.exe"};
    TfrmChangeExt dialog(dialogs, FakePickIconDlg);
    ASSERT_TRUE(dialog.Create(nullptr, DialogFont(), {L"k.exe %1", L"k.exe,1"}));
    EXPECT_EQ(Title(dialog.Handle()), L"Change Extension");
    EXPECT_EQ(dialog.lblFilePath.label.Text(), L"File &Path:");
    EXPECT_EQ(dialog.lblFileIcon.label.Text(), L"&Icon:");
    EXPECT_EQ(dialog.btnBrowsePath.Text(), L"...");
    EXPECT_EQ(dialog.btnBrowseIcon.Text(), L"...");
    EXPECT_EQ(dialog.Typed(), (ExtensionCommand{L"k.exe %1", L"k.exe,1"}));
    dialog.psvChangeIconDialog1.iconIndex = 5;

    Click(dialog.btnBrowsePath.Handle());  // cancelled: the path stays
    Click(dialog.btnBrowseIcon.Handle());
    Type(dialog.lblFilePath.Handle(), L"");
    Click(dialog.btnOK.Handle());  // refused: no path
    Click(dialog.btnBrowsePath.Handle());
    PressEnter(dialog.lblFileIcon.Handle());

    EXPECT_TRUE(dialog.ShowModal());
    EXPECT_EQ(dialog.Typed(), (ExtensionCommand{L"C:\\Apps\\k 2.exe", L"k.exe,1"}))
        << "the file's name without quotes; the picker's choice is not used";
    EXPECT_EQ(dialogs.Count(ShownDialog::Kind::OpenFile), 2u);
    EXPECT_EQ(dialogs.Texts(ShownDialog::Kind::Message),
              std::vector<std::wstring>{kFillExtensionMessage});
    EXPECT_EQ(pickerCall.calls, 1);
    EXPECT_EQ(pickerCall.owner, dialog.Handle());
    EXPECT_EQ(pickerCall.file, L"") << "no icon file chosen";
    EXPECT_GT(pickerCall.length, 0u) << "room for the name the picker writes back";
    EXPECT_EQ(pickerCall.index, 0) << "the picker starts at icon 0";
}

TEST(ChangeExtensionDialog, WithoutThePickerTheIconButtonSaysSoAndTheDialogStays) {
    ScriptedDialogs dialogs;
    TfrmChangeExt dialog(dialogs, nullptr);
    ASSERT_TRUE(dialog.Create(nullptr, DialogFont(), {L"k.exe %1", L""}));
    Click(dialog.btnBrowseIcon.Handle());
    Click(dialog.btnCancel.Handle());
    EXPECT_FALSE(dialog.ShowModal());
    EXPECT_EQ(
        dialogs.Texts(ShownDialog::Kind::Error),
        std::vector<std::wstring>{L"This function is not supported by your version of Windows"});
}

TEST(ChangeExtensionDialog, TheShellsPickerIsLookedUpOnce) {
    const PickIconDlgProc picker = ShellPickIconDlg();
    EXPECT_NE(picker, nullptr);
    EXPECT_EQ(ShellPickIconDlg(), picker);
}

}  // namespace
}  // namespace kestrova
