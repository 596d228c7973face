// The COM objects over the document model that a browser's Document hands out.
#include <atomic>
#include <new>

#include "platform/browser/HtmlDocument.h"
#include "platform/browser/HtmlElement.h"
#include "platform/browser/WebBrowserInterfaces.h"
#include "platform/com/ComError.h"

namespace {

// Runs a call on the model, turning its failures into the call's HRESULT.
template <class Call>
HRESULT Guarded(Call call) {
    try {
        return call();
    } catch (const ComError& error) {
        return error.Error();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT GiveText(const std::string& text, BSTR* out) {
    if (out == nullptr)
        return E_POINTER;
    *out = Utf8ToBstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

// IDispatch slots of objects that are reached through their own interfaces only.
template <class Interface>
class DispatchObject : public Interface {
public:
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT GetTypeInfoCount(UINT* count) override {
        if (count == nullptr)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, OLECHAR**, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

protected:
    virtual ~DispatchObject() = default;

private:
    std::atomic<ULONG> references_{0};
};

class ElementObject final : public DispatchObject<IHTMLElement> {
public:
    explicit ElementObject(std::shared_ptr<HtmlElement> element) : element_(std::move(element)) {}

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLElement) {
            *object = static_cast<IHTMLElement*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT setAttribute(BSTR name, VARIANT value, LONG) override {
        return Guarded([&] {
            std::string text = value.bstrVal;
            if (value.vt == VT_I4 || value.vt == VT_I2)
                text = std::to_string(value.intVal);
            else if (value.vt == VT_BOOL)
                text = value.boolVal ? "true" : "false";
            element_->SetAttribute(BstrToUtf8(name), text);
            return S_OK;
        });
    }
    HRESULT getAttribute(BSTR name, LONG, VARIANT* value) override {
        if (value == nullptr)
            return E_POINTER;
        return Guarded([&] {
            const std::string key = BstrToUtf8(name);
            VARIANT none;
            none.vt = VT_NULL;
            *value =
                element_->HasAttribute(key) ? VariantFromText(element_->GetAttribute(key)) : none;
            return S_OK;
        });
    }
    HRESULT get_tagName(BSTR* name) override {
        return Guarded([&] { return GiveText(element_->TagName(), name); });
    }
    HRESULT put_innerHTML(BSTR html) override {
        return Guarded([&] { return element_->SetInnerHtml(BstrToUtf8(html)), S_OK; });
    }
    HRESULT get_innerHTML(BSTR* html) override {
        return Guarded([&] { return GiveText(element_->InnerHtml(), html); });
    }
    HRESULT put_innerText(BSTR text) override {
        return Guarded([&] { return element_->SetInnerText(BstrToUtf8(text)), S_OK; });
    }
    HRESULT get_innerText(BSTR* text) override {
        return Guarded([&] { return GiveText(element_->InnerText(), text); });
    }
    HRESULT get_outerHTML(BSTR* html) override {
        return Guarded([&] { return GiveText(element_->OuterHtml(), html); });
    }
    std::shared_ptr<HtmlElement> Model() override { return element_; }

private:
    std::shared_ptr<HtmlElement> element_;
};

HRESULT GiveElement(std::shared_ptr<HtmlElement> element, IHTMLElement** out) {
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (!element)
        return S_FALSE;
    *out = new ElementObject(std::move(element));
    (*out)->AddRef();
    return S_OK;
}

class DocumentObject final : public DispatchObject<IHTMLDocument2>, public IHTMLDocument3 {
public:
    explicit DocumentObject(std::shared_ptr<HtmlDocument> document)
        : document_(std::move(document)) {}

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLDocument2) {
            *object = static_cast<IHTMLDocument2*>(this);
        } else if (iid == IID_IHTMLDocument3) {
            *object = static_cast<IHTMLDocument3*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return DispatchObject<IHTMLDocument2>::AddRef(); }
    ULONG Release() override { return DispatchObject<IHTMLDocument2>::Release(); }
    HRESULT GetTypeInfoCount(UINT* count) override {
        return DispatchObject<IHTMLDocument2>::GetTypeInfoCount(count);
    }
    HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return DispatchObject<IHTMLDocument2>::GetTypeInfo(index, locale, info);
    }
    HRESULT GetIDsOfNames(REFIID iid, OLECHAR** names, UINT count, LCID locale,
                          DISPID* ids) override {
        return DispatchObject<IHTMLDocument2>::GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
        return DispatchObject<IHTMLDocument2>::Invoke(member, iid, locale, flags, params, result,
                                                      exception, argumentError);
    }

    HRESULT get_body(IHTMLElement** body) override {
        return Guarded([&] { return GiveElement(document_->Body(), body); });
    }
    HRESULT get_readyState(BSTR* state) override {
        return Guarded([&] { return GiveText(document_->ReadyState(), state); });
    }
    HRESULT get_designMode(BSTR* mode) override {
        return Guarded([&] { return GiveText(document_->DesignMode(), mode); });
    }
    HRESULT put_designMode(BSTR mode) override {
        return Guarded([&] { return document_->SetDesignMode(BstrToUtf8(mode)), S_OK; });
    }
    HRESULT get_URL(BSTR* url) override {
        return Guarded([&] { return GiveText(document_->Url(), url); });
    }
    HRESULT write(const VARIANT* texts, UINT count) override {
        if (texts == nullptr && count > 0)
            return E_POINTER;
        return Guarded([&] {
            for (UINT i = 0; i < count; ++i) {
                if (texts[i].vt == VT_BSTR)
                    document_->Write(texts[i].bstrVal);
            }
            return S_OK;
        });
    }
    HRESULT close() override {
        return Guarded([&] { return document_->Close(), S_OK; });
    }
    std::shared_ptr<HtmlDocument> Model() override { return document_; }

    HRESULT get_documentElement(IHTMLElement** root) override {
        return Guarded([&] { return GiveElement(document_->DocumentElement(), root); });
    }
    HRESULT getElementById(BSTR id, IHTMLElement** element) override {
        return Guarded(
            [&] { return GiveElement(document_->GetElementById(BstrToUtf8(id)), element); });
    }

private:
    std::shared_ptr<HtmlDocument> document_;
};

}  // namespace

ComPointer<IHTMLDocument2> MakeHtmlDocumentObject(std::shared_ptr<HtmlDocument> document) {
    if (!document)
        return {};
    return ComPointer<IHTMLDocument2>(new DocumentObject(std::move(document)));
}
