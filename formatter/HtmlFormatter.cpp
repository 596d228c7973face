#include "formatter/HtmlFormatter.h"

#include <new>
#include <string>

#include "formatter/FormatterModule.h"
#include "platform/trace/Trace.h"

namespace {

// Runs a change of the object's state; the state's members throw only for lack of
// memory, which leaves the state as it was.
template <class Change>
HRESULT Guarded(const char* member, Change&& change) noexcept {
    try {
        change();
        return S_OK;
    } catch (const std::bad_alloc&) {
        Trace("formatter", "%s: out of memory", member);
        return E_OUTOFMEMORY;
    } catch (...) {
        Trace("formatter", "%s: unexpected exception", member);
        return E_UNEXPECTED;
    }
}

// A getter's answer: a new BSTR copy for the caller to free. Nothing is written
// through a null pointer.
HRESULT CopyOut(const std::string& text, BSTR* out) noexcept {
    if (!out)
        return E_POINTER;
    *out = Utf8ToBstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

CHtmlFormatter::CHtmlFormatter() {
    LockFormatterModule();
}

CHtmlFormatter::~CHtmlFormatter() {
    UnlockFormatterModule();
}

HRESULT CHtmlFormatter::Create(REFIID iid, void** object) noexcept {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    CHtmlFormatter* formatter = new (std::nothrow) CHtmlFormatter();
    if (!formatter)
        return E_OUTOFMEMORY;
    formatter->AddRef();
    const HRESULT hr = formatter->QueryInterface(iid, object);
    formatter->Release();
    return hr;
}

HRESULT CHtmlFormatter::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHtmlFormatter) {
        *object = static_cast<IHtmlFormatter*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CHtmlFormatter::AddRef() {
    return ++references_;
}

ULONG CHtmlFormatter::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT CHtmlFormatter::get_style(BSTR* pVal) {
    return CopyOut(state_.style(), pVal);
}

HRESULT CHtmlFormatter::put_style(BSTR pVal) {
    return Guarded("style", [&] { state_.setStyle(BstrToUtf8(pVal)); });
}

HRESULT CHtmlFormatter::get_styles(BSTR* pVal) {
    if (!pVal)
        return E_POINTER;
    const std::string* styles = nullptr;
    const HRESULT hr = Guarded("styles", [&] { styles = &state_.styles(); });
    if (FAILED(hr)) {
        *pVal = nullptr;
        return hr;
    }
    return CopyOut(*styles, pVal);
}

HRESULT CHtmlFormatter::save(BSTR path) {
    return Guarded("save", [&] {
        const std::string target = BstrToUtf8(path);
        // The file layer takes paths as C strings; a NUL would cut the path short and
        // name another file.
        if (target.find('\0') != std::string::npos) {
            Trace("formatter", "save: the path holds a NUL character; nothing is written");
            return;
        }
        state_.save(target);
    });
}

HRESULT CHtmlFormatter::addImages(BSTR urls) {
    return Guarded("addImages", [&] { state_.addImages(BstrToUtf8(urls)); });
}

HRESULT CHtmlFormatter::get_title(BSTR* pVal) {
    return CopyOut(state_.title(), pVal);
}

HRESULT CHtmlFormatter::put_title(BSTR pVal) {
    return Guarded("title", [&] { state_.setTitle(BstrToUtf8(pVal)); });
}

HRESULT CHtmlFormatter::addComments(BSTR comments) {
    return Guarded("addComments", [&] { state_.addComments(BstrToUtf8(comments)); });
}

HRESULT CHtmlFormatter::size(int cx, int cy) {
    state_.size(cx, cy);
    return S_OK;
}

HRESULT CHtmlFormatter::addNames(BSTR names) {
    return Guarded("addNames", [&] { state_.addNames(BstrToUtf8(names)); });
}

HRESULT CHtmlFormatter::put_zoomSize(LONG pVal) {
    state_.setZoomSize(pVal);
    return S_OK;
}

const DispatchTable<CHtmlFormatter>& CHtmlFormatter::DispatchMembers() {
    using Table = DispatchTable<CHtmlFormatter>;
    static const Table table{
        Table::PropertyGet<&CHtmlFormatter::get_style>("style", 1),
        Table::PropertyPut<&CHtmlFormatter::put_style>("style", 1),
        Table::PropertyGet<&CHtmlFormatter::get_styles>("styles", 2),
        Table::Method<&CHtmlFormatter::save>("save", 3),
        Table::Method<&CHtmlFormatter::addImages>("addImages", 4),
        Table::PropertyGet<&CHtmlFormatter::get_title>("title", 5),
        Table::PropertyPut<&CHtmlFormatter::put_title>("title", 5),
        Table::Method<&CHtmlFormatter::addComments>("addComments", 6),
        Table::Method<&CHtmlFormatter::size>("size", 7),
        Table::Method<&CHtmlFormatter::addNames>("addNames", 8),
        Table::PropertyPut<&CHtmlFormatter::put_zoomSize>("zoomSize", 9),
    };
    return table;
}
