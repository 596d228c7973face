#include "engine/model/ModelFactory.h"

#include "engine/model/ModelVocabulary.h"
#include "engine/model/SiteModel.h"
#include "engine/model/aggCollection.h"
#include "engine/model/htmlForm.h"
#include "engine/model/htmlFormElement.h"
#include "engine/model/htmlPage.h"
#include "engine/xml/XmlText.h"

std::unique_ptr<aggObject> CreateModelObject(const std::string& tag) {
    if (tag == kCollectionTag)
        return std::make_unique<aggCollection>();
    if (tag == kHtmlFormInputTag)
        return std::make_unique<htmlFormInput>();
    if (tag == kHtmlFormTextAreaTag)
        return std::make_unique<htmlFormTextArea>();
    if (tag == kHtmlFormOptionTag)
        return std::make_unique<htmlFormOption>();
    if (tag == kHtmlFormSelectTag)
        return std::make_unique<htmlFormSelect>();
    if (tag == kHtmlFormTag)
        return std::make_unique<htmlForm>();
    if (tag == kHtmlPageTag)
        return std::make_unique<htmlPage>();
    if (tag == kHtmlSiteTag)
        return std::make_unique<htmlSite>();
    if (tag == kDiagramPreferencesTag)
        return std::make_unique<diagramPreferences>();
    if (tag == kConnectionItemTag)
        return std::make_unique<connectionItem>();
    if (tag == kDiagramObjectTag)
        return std::make_unique<diagramObject>();
    if (tag == kConnectionObjectTag)
        return std::make_unique<connectionObject>();
    if (tag == kConnectionMapTag)
        return std::make_unique<connectionMap>();
    if (tag == kAggProcessDiagramTag)
        return std::make_unique<aggProcessDiagram>();
    if (tag == kAggSiteTag)
        return std::make_unique<aggSite>();
    if (tag == kForeignSiteTag)
        return std::make_unique<foreignSite>();
    if (tag == kAggProjectTag)
        return std::make_unique<aggProject>();
    return nullptr;
}

std::unique_ptr<aggObject> CreateModelFromElement(ElementNode* element) {
    if (element == nullptr)
        return nullptr;
    std::unique_ptr<aggObject> object = CreateModelObject(element->GetName());
    if (!object)
        return nullptr;
    // The collections come from the element's own children.
    object->clearChildren();
    object->loadFromElement(element);
    return object;
}

std::unique_ptr<aggObject> LoadModelText(const std::string& text) {
    std::unique_ptr<ElementNode> tree(ParseXmlText(text));
    return CreateModelFromElement(tree.get());
}
