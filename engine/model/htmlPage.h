// One web page as the engine read it from a browser document ("html-page": "url",
// "title", "fileCreatedDate", "fileModifiedDate", "fileUpdatedDate", "fileSize"), with
// its collections, in this order: "html-frames", "html-forms", "html-images",
// "html-links", "html-email-addresses".
//
// The loaders run on the thread that owns the document and keep the document (and the
// forms their live elements) until releaseDom; after releaseDom the page is plain text
// and may go to any thread. Failed reads end the step that met them and keep what was
// read; the loaders never throw. The getters never throw.
#pragma once

#include <memory>
#include <string>

#include "engine/model/aggObject.h"
#include "platform/text/Text.h"

class HtmlDocument;
class htmlForm;

class htmlPage : public aggObject {
public:
    htmlPage();

    // Lets go of the document, then of every live element below.
    void releaseDom() override;

    // Keeps the document; name and url := its address, title := its title; then, in
    // this order, the forms (when readForms), links, images, e-mail addresses (when
    // readEmailAddresses) and frames.
    void load(const std::shared_ptr<HtmlDocument>& document, bool readForms,
              bool readEmailAddresses);
    // One htmlForm per form of the document, indexed by position.
    void loadForms(const std::shared_ptr<HtmlDocument>& document);
    // One htmlLink per member of the document's links (a and area elements with an
    // href), indexed by position.
    void loadLinks(const std::shared_ptr<HtmlDocument>& document);
    // One htmlImage per image of the document, indexed by position.
    void loadImages(const std::shared_ptr<HtmlDocument>& document);
    // One htmlFrame per frame window of the document (index stays "unk").
    void loadFrames(const std::shared_ptr<HtmlDocument>& document);
    // The links whose address passes IsEmailUrl, then every word of the page's text
    // that holds "@" and "." and still does after CleanEmailWord, as "mailto:" and the
    // cleaned word. Nothing is compared with anything found before.
    void loadEmailAddresses(const std::shared_ptr<HtmlDocument>& document);

    // Appends, in collection order, the url of every frame (when withFrames), then of
    // every link; "unk" for one never set. Nothing when the page has no link collection.
    void getLinkUrls(StringArray& list, bool withFrames) const;
    // Appends the url of every frame.
    void getFrameUrls(StringArray& list) const;
    // Appends the url and name of every image that passes the filters, so the two lists
    // stay parallel. An image is skipped when minFileSize is above 0 and its file size
    // in bytes is known and below it (the hidden browsers fetch no images, so there the
    // size is unknown and this filter passes every image); when minWidth is at least 1
    // and its width is below it; or when minHeight is above 0 and its height is below
    // it. Sizes that are not numbers count as 0.
    void getImageUrls(StringArray& urls, StringArray& names, int minWidth, int minHeight,
                      int minFileSize) const;
    // Appends the url ("mailto:...") of every e-mail address.
    void getEmailAddresses(StringArray& list) const;

    // Form n (0-based) of the page; null when there is none.
    htmlForm* getForm(int n) const;
    // htmlForm::setElementValue on form formIndex; false when there is no such form.
    bool setFormValue(int formIndex, const std::string& fieldName, const std::string& text);
    // htmlForm::getElementValue on form formIndex; false (result untouched) when there
    // is no such form.
    bool getFormValue(int formIndex, const std::string& fieldName, std::string& result);

    // The document held since load; null after releaseDom.
    const std::shared_ptr<HtmlDocument>& getDocument() const { return document_; }

private:
    void appendUrls(const char* containedType, StringArray& list) const;

    std::shared_ptr<HtmlDocument> document_;
};
