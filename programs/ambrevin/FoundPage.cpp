#include "programs/ambrevin/FoundPage.h"

#include "engine/util/PageText.h"
#include "engine/util/PathHelpers.h"
#include "engine/util/StringUtilities.h"
#include "platform/browser/CWebBrowser2.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/com/ComError.h"
#include "platform/file/FileLayer.h"
#include "platform/ui/FileDialogs.h"

namespace {

// The folder of a chosen path: the chooser answers "c:\..." paths and the screen's
// system paths alike, so the cut is at the last separator of either kind.
std::string FolderOfChosenPath(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(0, cut);
}

}  // namespace

std::string FoundPageText(const StringArray& found) {
    std::string page = "<html><body>\n";
    for (const std::string& url : found) {
        const std::string escaped = EncodeUrlForAttribute(url);
        page += "<img src='" + escaped + "' alt='" + escaped + "'>\n";
        page += "&nbsp;&nbsp;";
    }
    return page;
}

bool WriteHtmlToDocument(CWebBrowser2& control, const std::string& text) {
    try {
        const auto document = control.View().GetHtmlDocument();
        if (!document)
            return false;
        document->Write(text);
        document->Close();
        return true;
    } catch (const ComError&) {
        return false;
    }
}

bool AppendListFile(std::string_view path, const StringArray& rows) {
    std::string text;
    for (const std::string& row : rows)
        text += row + "\r\n";
    return AppendFileBytes(path, text);
}

std::string SaveFileDialog(std::string_view filter, bool multiple, bool save,
                           std::string_view initialFolder) {
    FileDialogRecord dialog;
    dialog.filter = std::string(filter);
    dialog.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | (multiple ? OFN_ALLOWMULTISELECT : 0);
    dialog.save = save;
    dialog.initialFolder = std::string(initialFolder);
    return ShowFileDialog(dialog);
}

std::string FileSaveChooser::Choose(std::string_view filter, std::string_view defaultExtension,
                                    std::string_view initialFolder) {
    if (!filter.empty())
        filter_ = std::string(filter);
    if (!initialFolder.empty())
        folder_ = std::string(initialFolder);
    const std::string chosen = SaveFileDialog(filter_, false, true, folder_);
    if (chosen.empty())
        return chosen;
    folder_ = FolderOfChosenPath(chosen);
    return EnsureExtension(chosen, defaultExtension);
}

FileSaveChooser& TheFileSaveChooser() {
    static FileSaveChooser chooser;
    return chooser;
}
