// What a person does in a browser control's page, as calls: the same paths a click, a
// keystroke or an edit on a screen takes.
#include <algorithm>

#include "platform/browser/CHtmlView.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/HtmlElement.h"
#include "platform/browser/HtmlTextRendering.h"
#include "platform/browser/LinkAddress.h"
#include "platform/com/ComError.h"
#include "platform/text/Text.h"

namespace {

std::shared_ptr<HtmlElement> FindForm(HtmlDocument& document, const std::string& form) {
    const HtmlElementCollection forms = document.Forms();
    for (LONG i = 0; i < forms.Length(); ++i) {
        const auto candidate = forms.Item(i);
        if (form.empty() || candidate->Name() == form || candidate->Id() == form)
            return candidate;
    }
    return nullptr;
}

std::shared_ptr<HtmlElement> FindField(HtmlElement& form, const std::string& field) {
    const HtmlElementCollection controls = form.Elements();
    for (LONG i = 0; i < controls.Length(); ++i) {
        const auto candidate = controls.Item(i);
        if (!field.empty() && (candidate->Name() == field || candidate->Id() == field))
            return candidate;
    }
    return nullptr;
}

// application/x-www-form-urlencoded text.
std::string FormEncode(std::string_view text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || c == '-' || c == '_' || c == '.' || c == '*') {
            out += c;
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 15];
        }
    }
    return out;
}

// The form's data set: name=value of each successful control, in document order.
std::string FormData(HtmlElement& form) {
    std::string data;
    const auto add = [&](const std::string& name, const std::string& value) {
        if (!data.empty())
            data += '&';
        data += FormEncode(name) + "=" + FormEncode(value);
    };
    const HtmlElementCollection controls = form.Elements();
    for (LONG i = 0; i < controls.Length(); ++i) {
        const auto control = controls.Item(i);
        const std::string name = control->Name();
        if (name.empty() || control->HasAttribute("disabled"))
            continue;
        switch (control->Kind()) {
            case HtmlElementKind::Input: {
                const std::string type = control->Type();
                if (type == "submit" || type == "reset" || type == "button" || type == "image" ||
                    type == "file") {
                    break;
                }
                if ((type == "checkbox" || type == "radio") && !control->Checked())
                    break;
                add(name, control->Value());
                break;
            }
            case HtmlElementKind::TextArea:
                add(name, control->Value());
                break;
            case HtmlElementKind::Select: {
                const HtmlElementCollection options = control->Options();
                for (LONG k = 0; k < options.Length(); ++k) {
                    if (options.Item(k)->Selected())
                        add(name, options.Item(k)->Value());
                }
                break;
            }
            default:
                break;
        }
    }
    return data;
}

// Runs an action on the view's document, turning the model's failures into results.
template <class Action>
HRESULT OnDocument(const std::shared_ptr<HtmlDocument>& document, Action action) {
    if (!document)
        return E_FAIL;
    try {
        return action(*document);
    } catch (const ComError& error) {
        return error.Error();
    }
}

}  // namespace

HRESULT CHtmlView::ClickLink(const std::string& address) {
    return OnDocument(GetHtmlDocument(), [&](HtmlDocument& document) {
        const HtmlElementCollection links = document.Links();
        for (LONG i = 0; i < links.Length(); ++i) {
            const auto link = links.Item(i);
            if (link->Href() == address || link->GetAttribute("href") == address)
                return ActivateLink(*link);
        }
        return E_INVALIDARG;
    });
}

HRESULT CHtmlView::ClickLinkByText(const std::string& text) {
    return OnDocument(GetHtmlDocument(), [&](HtmlDocument& document) {
        const std::string wanted = FoldWhiteSpace(text);
        const HtmlElementCollection links = document.Links();
        for (LONG i = 0; i < links.Length(); ++i) {
            const auto link = links.Item(i);
            if (FoldWhiteSpace(link->InnerText()) == wanted)
                return ActivateLink(*link);
        }
        return E_INVALIDARG;
    });
}

HRESULT CHtmlView::ActivateLink(HtmlElement& link) {
    // In design mode a click places the caret: links are edited, not followed.
    if (EqualsNoCase(GetDesignMode(), "on"))
        return S_FALSE;
    const std::string address = link.Href();
    // Scripts never run, so a script address goes nowhere.
    if (address.empty() || SchemeOfAddress(address) == "javascript")
        return S_FALSE;
    StartNavigation(address, link.Target(), {}, {});
    return S_OK;
}

HRESULT CHtmlView::TypeIntoField(const std::string& form, const std::string& field,
                                 const std::string& text) {
    return OnDocument(GetHtmlDocument(), [&](HtmlDocument& document) {
        const auto found = FindForm(document, form);
        const auto control = found ? FindField(*found, field) : nullptr;
        if (!control)
            return E_INVALIDARG;
        control->SetValue(text);
        return S_OK;
    });
}

HRESULT CHtmlView::TickBox(const std::string& form, const std::string& field, bool checked) {
    return OnDocument(GetHtmlDocument(), [&](HtmlDocument& document) {
        const auto found = FindForm(document, form);
        const auto control = found ? FindField(*found, field) : nullptr;
        if (!control || control->Kind() != HtmlElementKind::Input)
            return E_INVALIDARG;
        control->SetChecked(checked);
        return S_OK;
    });
}

HRESULT CHtmlView::SubmitForm(const std::string& form) {
    return OnDocument(GetHtmlDocument(), [&](HtmlDocument& document) {
        const auto found = FindForm(document, form);
        if (!found)
            return E_INVALIDARG;
        const std::string data = FormData(*found);
        const std::string action = found->Action();
        if (EqualsNoCase(found->GetAttribute("method"), "post")) {
            StartNavigation(action, found->Target(), data,
                            "Content-Type: application/x-www-form-urlencoded\r\n");
            return S_OK;
        }
        const size_t hash = action.find('#');
        const std::string fragment = hash == std::string::npos ? "" : action.substr(hash);
        const std::string base = action.substr(0, std::min(hash, action.find('?')));
        StartNavigation(base + "?" + data + fragment, found->Target(), {}, {});
        return S_OK;
    });
}

HRESULT CHtmlView::EditInDesignMode(const std::string& elementId, const std::string& text) {
    if (!EqualsNoCase(GetDesignMode(), "on"))
        return E_ACCESSDENIED;
    return OnDocument(GetHtmlDocument(), [&](HtmlDocument& document) {
        const auto element = document.GetElementById(elementId);
        if (!element)
            return E_INVALIDARG;
        element->SetInnerText(text);
        return S_OK;
    });
}
