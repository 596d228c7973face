// What a caller needs of Corvane's gallery page formatter: its class identifier, the
// identifier and slots of its dual interface IHtmlFormatter. Callers create it through
// the COM library and never link Corvane's code:
//
//     ComPointer<IUnknown> unknown;
//     HRESULT hr = CoCreateInstance(CLSID_HtmlFormatter, nullptr, CLSCTX_ALL,
//                                   IID_IUnknown, unknown.putVoid());
//     if (SUCCEEDED(hr)) hr = OleRun(unknown.get());
//     ComPointer<IHtmlFormatter> formatter = unknown.query<IHtmlFormatter>();
//     formatter->put_style(ScopedBstr("Zoom").get());   // the caller frees what it passes
//     ScopedBstr styles;
//     formatter->get_styles(styles.receive());           // ...and what it receives
//
// Lists cross as one text each: images and names separated by line feed, carriage
// return or ","; comments by tab, line feed or carriage return. Every member answers
// S_OK, save also when the page could not be written; a getter given a null pointer
// answers E_POINTER, and E_OUTOFMEMORY reports a lack of memory. One object is used
// by one thread at a time (apartment threading).
#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/Dispatch.h"
#include "platform/com/Guid.h"

// {B0CDF442-D28A-46B9-AE13-346FA93023A5}
inline constexpr CLSID CLSID_HtmlFormatter = {
    0xB0CDF442, 0xD28A, 0x46B9, {0xAE, 0x13, 0x34, 0x6F, 0xA9, 0x30, 0x23, 0xA5}};
// {8497EBB7-BF3D-4C40-9AAD-B64ABBF14848}
inline constexpr IID IID_IHtmlFormatter = {
    0x8497EBB7, 0xBF3D, 0x4C40, {0x9A, 0xAD, 0xB6, 0x4A, 0xBB, 0xF1, 0x48, 0x48}};

// The slots after IDispatch's seven, in this order; the dispids are those of
// late-bound calls by name.
struct IHtmlFormatter : IDispatch {
    static constexpr const IID& InterfaceId = IID_IHtmlFormatter;

    // "style", dispid 1: the style name of the next save ("All" at first).
    virtual HRESULT get_style(BSTR* pVal) = 0;
    virtual HRESULT put_style(BSTR pVal) = 0;
    // "styles", dispid 2, read-only: the offered style names joined by ",".
    virtual HRESULT get_styles(BSTR* pVal) = 0;
    // "save", dispid 3: writes the page of the current style to path.
    virtual HRESULT save(BSTR path) = 0;
    // "addImages", dispid 4: appends the item URLs.
    virtual HRESULT addImages(BSTR urls) = 0;
    // "title", dispid 5: the page title ("All" at first).
    virtual HRESULT get_title(BSTR* pVal) = 0;
    virtual HRESULT put_title(BSTR pVal) = 0;
    // "addComments", dispid 6: appends the per-item comments.
    virtual HRESULT addComments(BSTR comments) = 0;
    // "size", dispid 7: the page size; save replaces cy by the zoom size.
    virtual HRESULT size(int cx, int cy) = 0;
    // "addNames", dispid 8: appends the per-item names.
    virtual HRESULT addNames(BSTR names) = 0;
    // "zoomSize", dispid 9, write-only: the image height of the next save.
    virtual HRESULT put_zoomSize(LONG pVal) = 0;

protected:
    ~IHtmlFormatter() = default;
};
