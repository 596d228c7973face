// The folder and file choosers of the dialogs (platform/ui/FileDialogs.h). Both wait for
// the user's answer: call them on a user-interface thread, never with the process lock
// held. Neither throws.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/Types.h"

// Asks for a folder in a dialog titled "Select a folder", with an edit box, starting at
// initialFolder when it is not empty. The chosen folder; "" when cancelled.
std::string BrowseForFolder(HWND owner, std::string_view initialFolder);

// Asks for a file to open, or with save for a file to save (an existing one only after
// the user agreed to replace it), in initialFolder when it is not empty; filter as
// FileDialogRecord::filter. The chosen path; with multiSelect the folder and the chosen
// names, each followed by a NUL, as SplitText mode 6 cuts them; "" when cancelled.
std::string ChooseFile(std::string_view filter, bool multiSelect, bool save,
                       std::string_view initialFolder);
