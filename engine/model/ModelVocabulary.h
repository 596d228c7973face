// The names of the page document model: every tag, collection name, attribute name and
// fixed value the model objects use, and the table of all of them in order.
//
// The names are compile-time constants, so they are ready before any static object
// of the engine needs them. Tags are compared exactly by the factory; lookups of
// collections and children, the type tests of form fields and ValueOrEmpty ignore
// case.
#pragma once

#include <string>
#include <string_view>

#include "platform/text/Text.h"

// Tags of model objects.
inline constexpr char kAggProjectTag[] = "agg-project";
inline constexpr char kHtmlSiteTag[] = "html-site";
inline constexpr char kHtmlPageTag[] = "html-page";
inline constexpr char kHtmlFormTag[] = "html-form";
inline constexpr char kHtmlFormElementTag[] = "html-form-element";
inline constexpr char kHtmlFormInputTag[] = "html-form-input";
inline constexpr char kHtmlFormSelectTag[] = "html-form-select";
inline constexpr char kHtmlFormOptionTag[] = "html-form-option";
inline constexpr char kHtmlFormTextAreaTag[] = "html-form-textarea";
inline constexpr char kHtmlFrameTag[] = "html-frame";
inline constexpr char kHtmlImageTag[] = "html-image";
inline constexpr char kHtmlEmailAddressTag[] = "html-email-address";
inline constexpr char kHtmlLinkTag[] = "html-link";
inline constexpr char kAggSiteTag[] = "agg-site";
inline constexpr char kForeignSiteTag[] = "foreign-site";
inline constexpr char kAggProcessDiagramTag[] = "agg-process-diagram";
inline constexpr char kConnectionMapTag[] = "connection-map";
inline constexpr char kConnectionObjectTag[] = "connection-object";
inline constexpr char kConnectionItemTag[] = "connection-item";
inline constexpr char kDiagramPreferencesTag[] = "diagram-preferences";
inline constexpr char kDiagramObjectTag[] = "diagram-object";
inline constexpr char kCollectionTag[] = "collection";

// Names of collections.
inline constexpr char kHtmlPagesCollection[] = "html-pages";
inline constexpr char kHtmlFormsCollection[] = "html-forms";
inline constexpr char kHtmlFormElementsCollection[] = "html-form-elements";
inline constexpr char kHtmlFormOptionsCollection[] = "html-form-options";
inline constexpr char kHtmlImagesCollection[] = "html-images";
inline constexpr char kHtmlEmailAddressesCollection[] = "html-email-addresses";
inline constexpr char kHtmlLinksCollection[] = "html-links";
inline constexpr char kHtmlFramesCollection[] = "html-frames";
inline constexpr char kHtmlFormSequencesCollection[] = "html-form-sequences";
inline constexpr char kAggSitesCollection[] = "agg-sites";
inline constexpr char kForeignSitesCollection[] = "foreign-sites";
inline constexpr char kAggProcessDiagramsCollection[] = "agg-process-diagrams";
inline constexpr char kConnectionObjectsCollection[] = "connection-objects";
inline constexpr char kConnectionItemsCollection[] = "connection-items";
inline constexpr char kDiagramObjectsCollection[] = "diagram-objects";

// Attribute names.
inline constexpr char kNameAttribute[] = "name";
inline constexpr char kTypeAttribute[] = "type";
inline constexpr char kValueAttribute[] = "value";
inline constexpr char kSelectedAttribute[] = "selected";
inline constexpr char kTitleAttribute[] = "title";
inline constexpr char kFileCreatedDateAttribute[] = "fileCreatedDate";
inline constexpr char kFileModifiedDateAttribute[] = "fileModifiedDate";
inline constexpr char kFileUpdatedDateAttribute[] = "fileUpdatedDate";
inline constexpr char kFileSizeAttribute[] = "fileSize";
inline constexpr char kTargetAttribute[] = "target";
inline constexpr char kUrlAttribute[] = "url";
inline constexpr char kTextAttribute[] = "text";
inline constexpr char kIndexAttribute[] = "index";
inline constexpr char kIdAttribute[] = "id";
inline constexpr char kMultipleAttribute[] = "multiple";
inline constexpr char kSelectedIndexAttribute[] = "selectedIndex";
inline constexpr char kHeightAttribute[] = "height";
inline constexpr char kWidthAttribute[] = "width";
inline constexpr char kCountAttribute[] = "count";
inline constexpr char kContainedTypeAttribute[] = "contained-type";

// Values.
// The placeholder of every declared attribute that nothing has set yet.
inline constexpr char kUnknownValue[] = "unk";
inline constexpr char kCheckboxType[] = "checkbox";
inline constexpr char kHiddenType[] = "hidden";
inline constexpr char kRadioType[] = "radio";
// The indent of the model's XML text: one blank.
inline constexpr char kModelXmlIndent[] = " ";

// All 84 names of the vocabulary in table order.
const StringArray& ModelVocabulary();

// "" for the placeholder "unk" in any case; any other text unchanged.
std::string ValueOrEmpty(std::string_view value);
