// The handlers of the panel's command links, for the products' command tables
// (BandProduct.h). Each takes the panel and the link's fragment.
#pragma once

#include <string>

class CHtmlPanelView;

namespace PanelCommands {

// Edit mode.
void SaveEdit(CHtmlPanelView& panel, const std::string& fragment);
void CancelEdit(CHtmlPanelView& panel, const std::string& fragment);
void NotInEditMode(CHtmlPanelView& panel, const std::string& fragment);
// Normal mode.
void Home(CHtmlPanelView& panel, const std::string& fragment);
void OpenView(CHtmlPanelView& panel, const std::string& fragment);
void Edit(CHtmlPanelView& panel, const std::string& fragment);
void Extract(CHtmlPanelView& panel, const std::string& fragment);
void View(CHtmlPanelView& panel, const std::string& fragment);
void Email(CHtmlPanelView& panel, const std::string& fragment);
void Update(CHtmlPanelView& panel, const std::string& fragment);
void Help(CHtmlPanelView& panel, const std::string& fragment);
void Tutorials(CHtmlPanelView& panel, const std::string& fragment);
void OnlineHelp(CHtmlPanelView& panel, const std::string& fragment);
void Site(CHtmlPanelView& panel, const std::string& fragment);
void Settings(CHtmlPanelView& panel, const std::string& fragment);
// "/panel/view" sub-commands: the current job's pages and folders.
void ViewThumbnails(CHtmlPanelView& panel, const std::string& fragment);
void ViewTiled(CHtmlPanelView& panel, const std::string& fragment);
void ViewSlideshow(CHtmlPanelView& panel, const std::string& fragment);
void ViewMultiview(CHtmlPanelView& panel, const std::string& fragment);
void ViewStorage(CHtmlPanelView& panel, const std::string& fragment);
void ViewZoom(CHtmlPanelView& panel, const std::string& fragment);
void ViewRoot(CHtmlPanelView& panel, const std::string& fragment);
void ViewSite(CHtmlPanelView& panel, const std::string& fragment);
void ViewUrls(CHtmlPanelView& panel, const std::string& fragment);
void Nothing(CHtmlPanelView& panel, const std::string& fragment);

}  // namespace PanelCommands
