#include "engine/model/SiteModel.h"

#include "engine/model/ModelVocabulary.h"

htmlSite::htmlSite() {
    setTagName(kHtmlSiteTag);
    addCollection(kHtmlPagesCollection, kHtmlPageTag);
}

aggProject::aggProject() {
    setTagName(kAggProjectTag);
    addCollection(kAggSitesCollection, kAggSiteTag);
    addCollection(kForeignSitesCollection, kForeignSiteTag);
}

aggSite::aggSite() {
    setTagName(kAggSiteTag);
    addCollection(kHtmlFormSequencesCollection, kHtmlFormTag);
    addCollection(kAggProcessDiagramsCollection, kAggProcessDiagramTag);
}

foreignSite::foreignSite() {
    setTagName(kForeignSiteTag);
    addCollection(kHtmlFormSequencesCollection, kHtmlFormTag);
}

diagramPreferences::diagramPreferences() {
    setTagName(kDiagramPreferencesTag);
}

diagramObject::diagramObject() {
    setTagName(kDiagramObjectTag);
}

connectionItem::connectionItem() {
    setTagName(kConnectionItemTag);
}

connectionObject::connectionObject() {
    setTagName(kConnectionObjectTag);
}

connectionMap::connectionMap() {
    setTagName(kConnectionMapTag);
    addCollection(kConnectionItemsCollection, kConnectionItemTag);
    addCollection(kConnectionObjectsCollection, kConnectionObjectTag);
}

aggProcessDiagram::aggProcessDiagram() {
    setTagName(kAggProcessDiagramTag);
    addChild(new diagramPreferences());
    addCollection(kDiagramObjectsCollection, kDiagramObjectTag);
    addChild(new connectionMap());
    addCollection(kConnectionObjectsCollection, kConnectionObjectTag);
}
