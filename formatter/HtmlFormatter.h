// The COM object of Corvane's one class: IHtmlFormatter over an HtmlFormatterState.
//
// Apartment-threaded: one thread uses an object at a time; only its reference count
// is atomic. No member throws: a lack of memory answers E_OUTOFMEMORY and leaves the
// object as it was before the call.
#pragma once

#include <atomic>

#include "formatter/HtmlFormatterInterface.h"
#include "formatter/styles/HtmlFormatterState.h"
#include "platform/com/DispatchTable.h"

class CHtmlFormatter final : public DispatchImplementation<CHtmlFormatter, IHtmlFormatter> {
public:
    // A new object asked for iid; it counts as one of the module's live objects until
    // its last release. *object is null on failure.
    static HRESULT Create(REFIID iid, void** object) noexcept;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT get_style(BSTR* pVal) override;
    HRESULT put_style(BSTR pVal) override;
    HRESULT get_styles(BSTR* pVal) override;
    HRESULT save(BSTR path) override;
    HRESULT addImages(BSTR urls) override;
    HRESULT get_title(BSTR* pVal) override;
    HRESULT put_title(BSTR pVal) override;
    HRESULT addComments(BSTR comments) override;
    HRESULT size(int cx, int cy) override;
    HRESULT addNames(BSTR names) override;
    HRESULT put_zoomSize(LONG pVal) override;

    // The late-bound members: the names, dispids and slots of IHtmlFormatter.
    static const DispatchTable<CHtmlFormatter>& DispatchMembers();

private:
    CHtmlFormatter();
    ~CHtmlFormatter();

    std::atomic<ULONG> references_{0};
    HtmlFormatterState state_;
};
