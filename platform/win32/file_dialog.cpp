#include "platform/win32/file_dialog.h"

#include "platform/wide_text.h"

#include <cderr.h>
#include <commdlg.h>

namespace corelith {

namespace {

// Room for the longest path Windows knows, not only for MAX_PATH.
constexpr size_t kPathCapacity = 32768;

// The size of the hidden window the dialog is placed by.
constexpr int kPlacementWidth = 420;
constexpr int kPlacementHeight = 295;

std::wstring NativeSeparators(std::wstring path) {
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    return path;
}

// A hidden, disabled window owned by `owner` that owns the dialog, so the dialog opens
// where it lies: the open dialog near the owner's upper left corner, the save dialog
// centred on it.
HWND CreatePlacementWindow(HINSTANCE instance, HWND owner, bool save) {
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    RECT frame{};
    RECT client{};
    if (owner != nullptr && GetWindowRect(owner, &frame) && GetClientRect(owner, &client)) {
        if (save) {
            x = frame.left + client.right / 2 - kPlacementWidth / 2;
            y = frame.top + client.bottom / 2 - 160;
        } else {
            x = frame.left + 5;
            y = frame.top + 30;
        }
    }
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_DISABLED, x, y, kPlacementWidth,
                           kPlacementHeight, owner, nullptr, instance, nullptr);
}

} // namespace

std::wstring FilterList(const std::vector<FileFilter>& filters) {
    std::wstring list;
    for (const FileFilter& filter : filters) {
        if (filter.description.empty() || filter.pattern.empty())
            continue; // an empty part would end the list early
        list += Widen(filter.description);
        list += L'\0';
        list += Widen(filter.pattern);
        list += L'\0';
    }
    list += L'\0';
    return list;
}

bool RunFileDialog(HINSTANCE instance, HWND owner, const FileDialogRequest& request,
                   std::string& chosenPath) {
    const std::wstring filters = FilterList(request.filters);
    const std::wstring title = Widen(request.title);
    const std::wstring folder = NativeSeparators(Widen(request.currentFolder));
    const std::wstring extension = Widen(request.defaultExtension);
    std::wstring initial = NativeSeparators(Widen(request.initialPath));
    if (initial.size() >= kPathCapacity)
        initial.clear();
    std::wstring buffer(kPathCapacity, L'\0');
    initial.copy(buffer.data(), initial.size());

    HWND placement = CreatePlacementWindow(instance, owner, request.save);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = placement != nullptr ? placement : owner;
    dialog.hInstance = instance;
    dialog.lpstrFilter = filters.size() > 1 ? filters.c_str() : nullptr;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    // The process's current folder follows the dialog (no OFN_NOCHANGEDIR), as the
    // workbench's relative names expect.
    dialog.Flags = OFN_EXPLORER | OFN_LONGNAMES | OFN_HIDEREADONLY;
    dialog.Flags |= request.save ? OFN_OVERWRITEPROMPT : OFN_CREATEPROMPT;

    BOOL confirmed = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!confirmed && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        // The dialog refuses to open on a name it cannot show; it opens without one.
        buffer.assign(kPathCapacity, L'\0');
        dialog.lpstrFile = buffer.data();
        confirmed = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    }
    if (placement != nullptr)
        DestroyWindow(placement);
    if (owner != nullptr)
        SetFocus(owner);
    if (!confirmed)
        return false;
    const std::wstring chosen(buffer.c_str());
    if (chosen.empty())
        return false;
    chosenPath = Narrow(chosen);
    return true;
}

} // namespace corelith
