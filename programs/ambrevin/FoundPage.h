// The page image finder's output: the found page (every found picture on one page,
// shown in the "found images" control and saved by "save..."), the list file ("Save
// List..." appends the found addresses to a text file), and the save-file chooser both
// share, which remembers the last folder.
#pragma once

#include <string>
#include <string_view>

#include "platform/text/Text.h"

class CWebBrowser2;

constexpr const char* kCouldNotSaveMessage = "Could not create or open the file.";
constexpr const char* kFoundPageFilter = "Html (*.htm)|*.htm|All Files (*.*)|*.*||";
constexpr const char* kListFileFilter = "Text (*.txt)|*.txt|All Files (*.*)|*.*||";

// "<html><body>\n", then for each picture an img element naming it as source and
// alternative text, and two non-breaking spaces. Every address is encoded for an
// attribute (EncodeUrlForAttribute), so no quote or markup of it reaches the page.
std::string FoundPageText(const StringArray& found);

// Replaces the control's page with text (one write, then close). False when the
// control shows no document or the write fails; the page then stays as it was.
bool WriteHtmlToDocument(CWebBrowser2& control, const std::string& text);

// Appends each row and "\r\n" at the end of the file, creating it when missing. False
// when it cannot be created or opened; nothing is written then.
bool AppendListFile(std::string_view path, const StringArray& rows);

// The file dialog as the finder opens it: a save (or open) dialog hiding read-only
// files and asking before a file is replaced, on filter, in initialFolder when it is not
// empty. The chosen path; with multiple the folder and the names, each followed by a
// NUL; "" when cancelled.
std::string SaveFileDialog(std::string_view filter, bool multiple, bool save,
                           std::string_view initialFolder);

// The save-file chooser both save actions share.
class FileSaveChooser {
public:
    // A non-empty filter or initial folder replaces the remembered one; the save dialog
    // opens in the remembered folder. The chosen path with the default extension
    // ensured, its folder remembered; "" (nothing remembered) when cancelled.
    std::string Choose(std::string_view filter, std::string_view defaultExtension,
                       std::string_view initialFolder);
    const std::string& Filter() const { return filter_; }
    const std::string& Folder() const { return folder_; }

private:
    std::string filter_;
    std::string folder_;
};

// The one chooser of the program.
FileSaveChooser& TheFileSaveChooser();
