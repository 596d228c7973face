// The folder and file dialogs go through a service, as message boxes do. The default
// service has no display to show a dialog on: it answers at once as a cancelled dialog
// does, with "", so a dialog never blocks. Tests install a scripted service.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

// Folder dialog flags.
constexpr UINT BIF_EDITBOX = 0x10;
constexpr UINT BIF_NEWDIALOGSTYLE = 0x40;

// File dialog flags.
constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
constexpr DWORD OFN_HIDEREADONLY = 0x4;
constexpr DWORD OFN_ALLOWMULTISELECT = 0x200;

struct FolderDialogRecord {
    HWND owner = nullptr;
    std::string title;
    UINT flags = 0;
    std::string initialFolder;  // "" for none
};

struct FileDialogRecord {
    // Pairs of description and pattern, each ended by "|", the list by a second "|":
    // "Pages (*.htm)|*.htm|All Files (*.*)|*.*||".
    std::string filter;
    DWORD flags = 0;
    bool save = false;          // a save dialog, else an open dialog
    std::string initialFolder;  // "" for none
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // Called on the thread that asks. The chosen folder as a system path; "" when
    // cancelled.
    virtual std::string BrowseForFolder(const FolderDialogRecord& dialog) = 0;
    // The chosen file as a system path; with OFN_ALLOWMULTISELECT the folder and the
    // names chosen in it, each followed by a NUL; "" when cancelled.
    virtual std::string ChooseFile(const FileDialogRecord& dialog) = 0;
};

// Installs a service for the rest of the process (null restores the default). The
// caller keeps ownership and keeps it alive while installed.
void SetDialogService(DialogService* service);

// The default service (for a service that hands some dialogs back to it).
DialogService& DefaultDialogService();

// The answers of the installed service (see DialogService).
std::string ShowFolderDialog(const FolderDialogRecord& dialog);
std::string ShowFileDialog(const FileDialogRecord& dialog);
