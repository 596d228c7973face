#include "engine/util/FileDialogHelpers.h"

#include "platform/ui/FileDialogs.h"

std::string BrowseForFolder(HWND owner, std::string_view initialFolder) {
    FolderDialogRecord dialog;
    dialog.owner = owner;
    dialog.title = "Select a folder";
    dialog.flags = BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    dialog.initialFolder = std::string(initialFolder);
    return ShowFolderDialog(dialog);
}

std::string ChooseFile(std::string_view filter, bool multiSelect, bool save,
                       std::string_view initialFolder) {
    FileDialogRecord dialog;
    dialog.filter = std::string(filter);
    dialog.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (multiSelect)
        dialog.flags |= OFN_ALLOWMULTISELECT;
    dialog.save = save;
    dialog.initialFolder = std::string(initialFolder);
    std::string answer = ShowFileDialog(dialog);
    const size_t end = answer.find('\0');
    if (!multiSelect && end != std::string::npos)
        answer.resize(end);
    return answer;
}
