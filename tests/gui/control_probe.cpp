// Finds where the controls of another program's open dialog are and what they show, so that
// a GUI test can click them with real input and check the result. Prints UTF-8.
//   control_probe rect [caption]         the dialog's screen rectangle: x y width height
//   control_probe center ID [caption]    the screen point at the middle of control ID: x y
//   control_probe corner ID [caption]    the screen point at its top left corner: x y
//   control_probe text ID [caption]      the control's text
//   control_probe enabled [caption]      whether the dialog takes input: enabled or disabled
//   control_probe list                   the shown dialogs: enabled or disabled, caption
// The dialog is the enabled, visible one (a modal dialog disables its owner), or the one with
// the given caption. Exit code 1 when there is no such dialog or control.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

// Through the window's own message, which reaches a control of another process.
std::wstring TextOf(HWND hwnd) {
    std::vector<wchar_t> text(static_cast<std::size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) +
                              1);
    const LRESULT length =
        SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return std::wstring(text.data(), static_cast<std::size_t>(length));
}

struct Search {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK PrintDialog(HWND hwnd, LPARAM) {
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if (std::wstring(className) == L"#32770" && IsWindowVisible(hwnd)) {
        const std::string line =
            (IsWindowEnabled(hwnd) ? "enabled  " : "disabled ") + Utf8(TextOf(hwnd)) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return TRUE;
}

BOOL CALLBACK ConsiderWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if (std::wstring(className) != L"#32770" || !IsWindowVisible(hwnd))
        return TRUE;
    if (search->caption != nullptr) {
        if (TextOf(hwnd) != search->caption)
            return TRUE;
    } else if (!IsWindowEnabled(hwnd)) {
        return TRUE;
    }
    search->found = hwnd;
    return FALSE;
}

}  // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);  // plain LF line ends for the shell reading them
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2)
        return 2;
    const std::wstring command = argv[1];
    if (command == L"list")
        return EnumWindows(PrintDialog, 0) ? 0 : 1;
    const bool takesId = command != L"rect" && command != L"enabled";
    const int captionArg = takesId ? 3 : 2;
    Search search{argc > captionArg ? argv[captionArg] : nullptr, nullptr};
    EnumWindows(ConsiderWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr)
        return 1;

    HWND target = search.found;
    if (takesId) {
        if (argc < 3)
            return 2;
        target = GetDlgItem(search.found, _wtoi(argv[2]));
        if (target == nullptr)
            return 1;
    }
    RECT rect;
    GetWindowRect(target, &rect);
    std::string out;
    if (command == L"rect") {
        out = std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
              std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top);
    } else if (command == L"corner") {
        out = std::to_string(rect.left) + " " + std::to_string(rect.top);
    } else if (command == L"center") {
        out = std::to_string((rect.left + rect.right) / 2) + " " +
              std::to_string((rect.top + rect.bottom) / 2);
    } else if (command == L"text") {
        out = Utf8(TextOf(target));
    } else if (command == L"enabled") {
        out = IsWindowEnabled(target) ? "enabled" : "disabled";
    } else {
        return 2;
    }
    out += '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
