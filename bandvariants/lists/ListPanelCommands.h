// The commands in which the list bands (the file finder band and the MP3 finder band)
// differ from the image band, for their command tables (band/BandProduct.h). Every
// other command of theirs is one of band/PanelCommands.h.
#pragma once

#include <string>

class CHtmlPanelView;

namespace ListPanelCommands {

// "/panel/add": the site list becomes the text of the page's "sites" box, a line feed
// when that is not empty, and the address the hosting browser shows; the box shows the
// new list, so the next extraction reads it. Nothing else of the form changes and
// nothing starts.
void AddSite(CHtmlPanelView& panel, const std::string& fragment);
// "/panel/clear": the site list and the "sites" box become empty; nothing starts.
void ClearSites(CHtmlPanelView& panel, const std::string& fragment);
// "/panel/save" in edit mode: the edited list page replaces the stored one whole (or
// not at all), edit mode ends and the hosting browser shows the saved page. No view is
// rebuilt: a rebuild would write image pages in the list page's place.
void SaveList(CHtmlPanelView& panel, const std::string& fragment);
// "/panel/view": the product's view commands, each that the fragment holds, with no
// view needed ("/view/storage" shows the storage folder).
void ViewList(CHtmlPanelView& panel, const std::string& fragment);

}  // namespace ListPanelCommands
