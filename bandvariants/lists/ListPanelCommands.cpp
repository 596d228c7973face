#include "bandvariants/lists/ListPanelCommands.h"

#include <memory>

#include "band/HtmlPanelView.h"
#include "engine/model/PageReading.h"
#include "engine/model/htmlPage.h"
#include "engine/util/FileHelpers.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/text/Text.h"

namespace {

constexpr const char* kSitesField = "sites";

// The text of the main page's "sites" box; "" when the panel shows no page.
std::string ReadSitesBox(CHtmlPanelView& panel) {
    std::shared_ptr<HtmlDocument> document = panel.GetHtmlDocument();
    if (!document)
        return {};
    std::unique_ptr<htmlPage> page = LoadPageModel(document, true, false);
    std::string value;
    page->getFormValue(0, kSitesField, value);
    page->releaseDom();
    return value;
}

// Shows the settings' site list in the main page's "sites" box.
void ShowSiteList(CHtmlPanelView& panel) {
    std::shared_ptr<HtmlDocument> document = panel.GetHtmlDocument();
    if (!document)
        return;
    std::unique_ptr<htmlPage> page = LoadPageModel(document, true, false);
    page->setFormValue(0, kSitesField, panel.Preferences().settings.siteList);
    page->releaseDom();
}

}  // namespace

namespace ListPanelCommands {

void AddSite(CHtmlPanelView& panel, const std::string&) {
    std::string list = ReadSitesBox(panel);
    const std::string address = panel.GetBrowserUrl();
    // Without a page in the hosting browser there is nothing to add.
    if (!address.empty()) {
        if (!list.empty())
            list += '\n';
        list += address;
    }
    panel.Preferences().settings.siteList = list;
    ShowSiteList(panel);
}

void ClearSites(CHtmlPanelView& panel, const std::string&) {
    panel.Preferences().settings.siteList.clear();
    ShowSiteList(panel);
}

void SaveList(CHtmlPanelView& panel, const std::string&) {
    const std::string text = panel.GetBrowserPageHtml();
    const std::string target = panel.LastPageShown();
    panel.SetEditMode(false);
    // An empty page is never written over a list.
    if (text.empty() || target.empty())
        return;
    if (!WriteTextFile(target, text)) {
        panel.ShowMessage("The edited page could not be saved.");
        return;
    }
    panel.NavigateBrowser(target);
}

void ViewList(CHtmlPanelView& panel, const std::string& fragment) {
    const std::string lower = ToLowerAscii(fragment);
    for (const PanelCommand& command : panel.Product().viewCommands) {
        if (lower.find(ToLowerAscii(command.text)) != std::string::npos)
            command.handler(panel, fragment);
    }
}

}  // namespace ListPanelCommands
