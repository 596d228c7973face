#include "programs/ambrevin/PageScan.h"

#include "engine/util/UrlClassification.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/com/ComError.h"

std::string ElementUrl(const HtmlElement& element) {
    try {
        switch (element.Kind()) {
            case HtmlElementKind::Anchor:
            case HtmlElementKind::Area:
            case HtmlElementKind::Link:
                return element.Href();
            default:
                return {};
        }
    } catch (const ComError&) {
        return {};
    }
}

void CollectImageUrls(const HtmlDocument& document, StringArray& output, int minimumWidth,
                      int minimumHeight) {
    HtmlElementCollection images;
    try {
        images = document.Images();
    } catch (const ComError&) {
        return;
    }
    for (LONG i = 0; i < images.Length(); ++i) {
        try {
            const auto image = images.Item(i);
            const std::string url = image->Href();
            if (image->Width() > minimumWidth && image->Height() > minimumHeight)
                output.push_back(url);
        } catch (const ComError&) {
        }
    }
}

void CollectFrameLinks(const HtmlDocument& document, StringArray& output) {
    try {
        const HtmlFramesCollection frames = document.Frames();
        for (LONG i = 0; i < frames.Length(); ++i) {
            const auto frameDocument = frames.Item(i)->Document();
            if (!frameDocument)
                continue;
            std::string url = frameDocument->Url();
            if (!url.empty())
                output.push_back(std::move(url));
        }
    } catch (const ComError&) {
    }
}

void CollectElementUrls(const HtmlDocument& document, StringArray& output) {
    try {
        const HtmlElementCollection links = document.Links();
        for (LONG i = 0; i < links.Length(); ++i)
            output.push_back(ElementUrl(*links.Item(i)));
    } catch (const ComError&) {
    }
}

void CollectPageLinks(const HtmlDocument& document, StringArray& output) {
    StringArray links;
    CollectFrameLinks(document, links);
    CollectElementUrls(document, links);
    FilterPageUrls(links, output);
}

void CollectPageImages(const HtmlDocument& document, StringArray& output, int minimumWidth,
                       int minimumHeight) {
    CollectImageUrls(document, output, minimumWidth, minimumHeight);
    StringArray links;
    CollectElementUrls(document, links);
    FilterImageUrls(links, output);
}
