// The browser controls on screen: each control made as a child window gets a
// WebKitWebView that shows what the control holds.
//
// - Loads: the control (the model) loads each address itself, as it does headless, and
//   tells OnDocumentShown; the view then loads the same address. res: addresses become
//   "morvelle-res://<module path in hex>/<resource>" (a registered scheme that serves
//   the module's resources) and are turned back wherever an address leaves WebKit.
// - Navigations the page makes (links, forms, its scripts) are refused in WebKit and
//   handed to the control's Navigate2 from an idle call, so BeforeNavigate2 comes first
//   and a cancel stops them; one that goes ahead comes back as a load as above.
//   Allowed in WebKit directly: the load the view itself asked for, redirects, and
//   loads the page makes without a gesture while it is loading (its frames).
// - Reads: before the code reads the control's document (OnDocumentRead) the page's
//   DOM, its form values and its same-origin frames are serialised by script and put
//   into the model (ReplaceDocumentFromHtml); the read waits for the answer in a
//   nested GTK loop that serves no model messages, for kReadTimeoutMs at most, after
//   which the model's last copy is read. After each load the same is done without
//   waiting.
// - Writes the code makes through the model are replayed into the page by script.
#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/browser/CHtmlView.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/browser/HtmlElement.h"
#include "platform/browser/PageLoader.h"
#include "platform/browser/ResourcePage.h"
#include "platform/com/ComError.h"
#include "platform/text/Text.h"
#include "platform/trace/Trace.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenInternal.h"
#include "platform/window/WindowTree.h"

namespace {

constexpr const char* kResourceScheme = "morvelle-res";
// How long a read of the control's document waits for the page's answer.
constexpr int kReadTimeoutMs = 2000;

std::string WithoutFragment(const std::string& address) {
    return address.substr(0, address.find('#'));
}

bool StartsWithIgnoringCase(const std::string& text, const char* prefix) {
    const std::size_t length = std::strlen(prefix);
    return text.size() >= length && g_ascii_strncasecmp(text.c_str(), prefix, length) == 0;
}

// "res://<module>/<rest>" -> "morvelle-res://<hex of module>/<rest>"; others unchanged.
std::string ToWebAddress(const std::string& address) {
    if (!StartsWithIgnoringCase(address, "res://"))
        return address;
    const std::size_t start = 6;
    std::size_t end = address.find('/', start);
    if (end == std::string::npos)
        end = address.size();
    std::string hex;
    static const char digits[] = "0123456789abcdef";
    for (std::size_t i = start; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(address[i]);
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return std::string(kResourceScheme) + "://" + hex + address.substr(end);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The way back; an address of the scheme whose module part is not hex is left as is.
std::string FromWebAddress(const std::string& uri) {
    const std::string prefix = std::string(kResourceScheme) + "://";
    if (!StartsWithIgnoringCase(uri, prefix.c_str()))
        return uri;
    std::size_t end = uri.find('/', prefix.size());
    if (end == std::string::npos)
        end = uri.size();
    std::string module;
    for (std::size_t i = prefix.size(); i + 1 < end; i += 2) {
        const int high = HexValue(uri[i]);
        const int low = HexValue(uri[i + 1]);
        if (high < 0 || low < 0)
            return uri;
        module += static_cast<char>(high * 16 + low);
    }
    if ((end - prefix.size()) % 2 != 0)
        return uri;
    return "res://" + module + uri.substr(end);
}

const char* MimeTypeOf(const std::string& resource) {
    const std::string type = resource.substr(0, resource.find('/'));
    if (g_ascii_strcasecmp(type.c_str(), "GIF") == 0)
        return "image/gif";
    if (g_ascii_strcasecmp(type.c_str(), "JPG") == 0 ||
        g_ascii_strcasecmp(type.c_str(), "JPEG") == 0)
        return "image/jpeg";
    if (g_ascii_strcasecmp(type.c_str(), "PNG") == 0)
        return "image/png";
    if (g_ascii_strcasecmp(type.c_str(), "BMP") == 0 || type == "2")
        return "image/bmp";
    if (g_ascii_strcasecmp(type.c_str(), "CSS") == 0)
        return "text/css";
    return "application/octet-stream";
}

// The registered scheme: the resources of the process's loaded modules.
void ServeResource(WebKitURISchemeRequest* request, gpointer) {
    const std::string address = FromWebAddress(webkit_uri_scheme_request_get_uri(request));
    std::string bytes;
    bool html = false;
    std::string module;
    std::string resource;
    if (!SplitResourceAddress(address, &module, &resource) ||
        FAILED(ReadResourcePage(address, &bytes, &html))) {
        GError* error = g_error_new(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "no such resource");
        webkit_uri_scheme_request_finish_error(request, error);
        g_error_free(error);
        return;
    }
    GBytes* data = g_bytes_new(bytes.data(), bytes.size());
    GInputStream* stream = g_memory_input_stream_new_from_bytes(data);
    webkit_uri_scheme_request_finish(request, stream, static_cast<gint64>(bytes.size()),
                                     html ? "text/html" : MimeTypeOf(resource));
    g_object_unref(stream);
    g_bytes_unref(data);
}

// A JavaScript string literal of text.
std::string JsString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '<':
                out += "\\x3c";
                break;
            default:
                if (byte < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    // U+2028 and U+2029 end lines in older script grammars.
    for (std::size_t at = 0; (at = out.find("\xE2\x80\xA8", at)) != std::string::npos;)
        out.replace(at, 3, "\\u2028");
    for (std::size_t at = 0; (at = out.find("\xE2\x80\xA9", at)) != std::string::npos;)
        out.replace(at, 3, "\\u2029");
    return out + "\"";
}

// A script expression that finds in the page the element of the model: by its id, or
// by its place among the element children from the root down.
std::string ElementLocator(const HtmlElement& element) {
    if (const std::string* id = element.FindAttribute("id"); id && !id->empty())
        return "document.getElementById(" + JsString(*id) + ")";
    std::vector<int> path;
    for (const HtmlElement* at = &element; at->Parent() != nullptr; at = at->Parent()) {
        int index = 0;
        for (const HtmlElement::Node& node : at->Parent()->Children()) {
            if (node.element.get() == at)
                break;
            if (node.element)
                ++index;
        }
        path.insert(path.begin(), index);
    }
    std::string list;
    for (const int index : path)
        list += (list.empty() ? "" : ",") + std::to_string(index);
    return "(function(){var e=document.documentElement;[" + list +
           "].forEach(function(i){e=e&&e.children[i];});return e;})()";
}

// The page as the model takes it back: fields joined by \x01, the design mode, the root
// element's markup, the page's own address, then a record per form control in document
// order ("v\x02value", "c\x02" checked, "s\x02" selected index) and per frame
// ("F\x02url\x02markup", empty when another origin's).
constexpr const char* kSerialiseScript = R"JS((function(){
function t(x){return String(x).replace(/[\x01\x02]/g,'');}
var d=document,o=[t(d.designMode),t(d.documentElement?d.documentElement.outerHTML:''),t(d.URL)];
var c=d.querySelectorAll('input,select,textarea');
for(var i=0;i<c.length;i++){var e=c[i],k=(e.type||'').toLowerCase();
if(e.tagName=='SELECT')o.push('s\x02'+e.selectedIndex);
else if(e.tagName=='INPUT'&&(k=='checkbox'||k=='radio'))o.push('c\x02'+(e.checked?1:0));
else o.push('v\x02'+t(e.value));}
for(var j=0;j<window.frames.length;j++){try{var f=window.frames[j];
o.push('F\x02'+t(f.location.href)+'\x02'+t(f.document.documentElement.outerHTML));}
catch(x){o.push('F\x02\x02');}}
return o.join('\x01');})())JS";

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

using ScriptDone = std::function<void(bool ok, const std::string& result)>;

void OnScriptFinished(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<ScriptDone> done(static_cast<ScriptDone*>(data));
    GError* error = nullptr;
    JSCValue* value =
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
    if (value == nullptr) {
        Trace("screen", "a script in a browser view failed: %s", error ? error->message : "");
        if (error)
            g_error_free(error);
        (*done)(false, {});
        return;
    }
    std::string text;
    if (!jsc_value_is_undefined(value) && !jsc_value_is_null(value)) {
        char* chars = jsc_value_to_string(value);
        text = chars ? chars : "";
        g_free(chars);
    }
    g_object_unref(value);
    (*done)(true, text);
}

void RunScript(WebKitWebView* web, const std::string& script, ScriptDone done) {
    webkit_web_view_evaluate_javascript(web, script.c_str(), static_cast<gssize>(script.size()),
                                        nullptr, nullptr, nullptr, OnScriptFinished,
                                        new ScriptDone(std::move(done)));
}

// Text for a page: &, <, > and " as entities.
std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The page a failed load shows: what failed, and why as the loader said it.
std::string ErrorPage(const std::string& url, HRESULT error) {
    const char* reason = "The page could not be loaded.";
    if (error == INET_E_CANNOT_CONNECT)
        reason = "The server could not be reached.";
    else if (error == INET_E_CONNECTION_TIMEOUT)
        reason = "The server did not answer in time.";
    else if (error == INET_E_RESOURCE_NOT_FOUND || error == INET_E_OBJECT_NOT_FOUND)
        reason = "There is no such page.";
    else if (error == INET_E_INVALID_URL)
        reason = "The address is not one a page can be loaded from.";
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(error));
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Page not shown</title>"
           "<style>body{font-family:sans-serif;margin:2em;color:#222}"
           "p.address{word-break:break-all;color:#555}</style></head><body>"
           "<h1 id=\"morvelle-load-failed\">This page cannot be shown</h1><p class=\"address\">" +
           Escaped(url) + "</p><p>" + reason + " (" + code + ")</p></body></html>";
}

class BrowserView;
std::unordered_map<HWND, std::shared_ptr<BrowserView>>& Views() {
    static std::unordered_map<HWND, std::shared_ptr<BrowserView>> views;
    return views;
}

class BrowserView final : public BrowserControlObserver,
                          public std::enable_shared_from_this<BrowserView> {
public:
    BrowserView(HWND hwnd, CHtmlView& view) : hwnd_(hwnd), view_(&view) {}

    void Attach() {
        web_ = WEBKIT_WEB_VIEW(webkit_web_view_new());
        g_signal_connect(web_, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
        g_signal_connect(web_, "load-changed", G_CALLBACK(OnLoadChanged), this);
        g_signal_connect(web_, "destroy", G_CALLBACK(OnDestroy), this);
        screen::AdoptChildWidget(hwnd_, GTK_WIDGET(web_));
    }

    WebKitWebView* Web() const { return web_; }
    HWND Hwnd() const { return hwnd_; }

    // --- BrowserControlObserver ---
    void OnDocumentShown(HtmlDocument& document) override {
        const std::string url = document.Url();
        const std::string state = document.ReadyState();
        const bool newLoad = url != shownUrl_ || shownState_ == "complete";
        shownUrl_ = url;
        shownState_ = state;
        if (!newLoad || web_ == nullptr)
            return;
        // Writes to the pages before this one no longer matter; writes to this one wait
        // until WebKit has loaded it.
        pending_.clear();
        awaitingLoad_ = true;
        expectLoad_ = true;
        webkit_web_view_load_uri(web_, ToWebAddress(url).c_str());
    }
    void OnFragmentMoved(const std::string& url) override {
        shownUrl_ = url;
        const std::size_t hash = url.find('#');
        const std::string fragment = hash == std::string::npos ? "" : url.substr(hash + 1);
        Run("history.replaceState(null,''," + JsString(ToWebAddress(url)) +
            ");var e=document.getElementById(" + JsString(fragment) +
            ")||document.getElementsByName(" + JsString(fragment) +
            ")[0];if(e)e.scrollIntoView();");
    }
    void OnLoadStopped() override {
        if (web_)
            webkit_web_view_stop_loading(web_);
    }
    // As browsers do: a page that says the address could not be shown, under it.
    void OnLoadFailed(const std::string& url, HRESULT error) override {
        if (web_ == nullptr)
            return;
        pending_.clear();
        awaitingLoad_ = false;
        shownUrl_ = url;
        shownState_ = "complete";  // the next document of this address is a new load
        expectLoad_ = true;
        const std::string page = ErrorPage(url, error);
        webkit_web_view_load_alternate_html(web_, page.c_str(), ToWebAddress(url).c_str(), nullptr);
    }
    void OnDocumentRead(HtmlDocument& document) override {
        if (syncing_ || web_ == nullptr || awaitingLoad_ || webkit_web_view_is_loading(web_) ||
            !ShowsModelPage(document))
            return;
        syncing_ = true;
        auto answer = std::make_shared<std::pair<bool, std::string>>();
        auto received = std::make_shared<bool>(false);
        RunScript(web_, kSerialiseScript, [answer, received](bool ok, const std::string& text) {
            *answer = {ok, text};
            *received = true;
        });
        const bool answered =
            screen::RunNestedLoop([received] { return *received; }, kReadTimeoutMs, true);
        syncing_ = false;
        if (!answered)
            Trace("screen", "browser view %p: no answer to a read, the model's copy is read",
                  static_cast<void*>(hwnd_));
        else if (answer->first)
            TakePage(answer->second);
    }
    void OnDocumentWritten(HtmlDocument& document) override {
        std::string html;
        try {
            if (auto root = document.DocumentElement())
                html = root->OuterHtml();
        } catch (const ComError&) {
            return;
        }
        Run("document.open();document.write(" + JsString(html) + ");document.close();");
    }
    void OnAttributeSet(HtmlElement& element, const std::string& name,
                        const std::string& value) override {
        Run("(function(e){if(e)e.setAttribute(" + JsString(name) + "," + JsString(value) + ");})(" +
            ElementLocator(element) + ");");
    }
    void OnContentChanged(HtmlElement& element) override {
        std::string html;
        try {
            html = element.InnerHtml();
        } catch (const ComError&) {
            return;
        }
        Run("(function(e){if(e)e.innerHTML=" + JsString(html) + ";})(" + ElementLocator(element) +
            ");");
    }
    void OnValueChanged(HtmlElement& element) override {
        if (taking_)
            return;  // the page's own values coming back
        std::string set;
        try {
            if (element.Kind() == HtmlElementKind::Select)
                set = "e.selectedIndex=" + std::to_string(element.SelectedIndex()) + ";";
            else if (element.Kind() == HtmlElementKind::Input &&
                     (element.Type() == "checkbox" || element.Type() == "radio"))
                set = std::string("e.checked=") + (element.Checked() ? "true" : "false") + ";";
            else
                set = "e.value=" + JsString(element.Value()) + ";";
        } catch (const ComError&) {
            return;
        }
        Run("(function(e){if(e){" + set + "}})(" + ElementLocator(element) + ");");
    }
    void OnDesignModeChanged(HtmlDocument&, const std::string& mode) override {
        ApplyDesignMode(mode);
    }
    // WebKit prints the page it shows; with prompt its print dialog asks the person
    // first (the call returns once the dialog is closed). The operation lives until
    // its print has finished.
    void OnPrint(const PrintRecord& print) override {
        if (web_ == nullptr)
            return;
        WebKitPrintOperation* operation = webkit_print_operation_new(web_);
        g_signal_connect(operation, "finished", G_CALLBACK(OnPrintFinished), nullptr);
        if (!print.prompt) {
            webkit_print_operation_print(operation);
            return;
        }
        GtkRoot* root = gtk_widget_get_root(GTK_WIDGET(web_));
        if (webkit_print_operation_run_dialog(operation,
                                              GTK_IS_WINDOW(root) ? GTK_WINDOW(root) : nullptr) ==
            WEBKIT_PRINT_OPERATION_RESPONSE_CANCEL)
            g_object_unref(operation);
    }

private:
    // A write of the code, replayed on the page WebKit shows; while WebKit is still
    // loading the control's document the writes wait and run, in order, once it is
    // loaded (before the loaded page is read back into the model).
    void Run(const std::string& script) {
        if (web_ == nullptr)
            return;
        if (awaitingLoad_) {
            pending_.push_back(script);
            return;
        }
        RunScript(web_, script, [](bool, const std::string&) {});
    }

    void ApplyDesignMode(const std::string& mode) {
        Run(std::string("document.designMode=") +
            (g_ascii_strcasecmp(mode.c_str(), "on") == 0 ? "'on'" : "'off'") + ";");
    }

    static void OnPrintFinished(WebKitPrintOperation* operation, gpointer) {
        g_object_unref(operation);
    }

    // The page WebKit shows is the model's current document.
    bool ShowsModelPage(const HtmlDocument& document) const {
        const char* uri = webkit_web_view_get_uri(web_);
        return uri != nullptr &&
               WithoutFragment(FromWebAddress(uri)) == WithoutFragment(document.Url());
    }

    // The model's document without asking the page (this file's own reads).
    std::shared_ptr<HtmlDocument> ModelDocument() {
        const bool saved = syncing_;
        syncing_ = true;
        std::shared_ptr<HtmlDocument> document = view_ ? view_->GetHtmlDocument() : nullptr;
        syncing_ = saved;
        return document;
    }

    // The serialised page into the model's document, with its live form values.
    void TakePage(const std::string& page) {
        struct Taking {
            explicit Taking(bool& flag) : flag_(flag) { flag_ = true; }
            ~Taking() { flag_ = false; }
            bool& flag_;
        } taking(taking_);
        const std::shared_ptr<HtmlDocument> document = ModelDocument();
        const std::vector<std::string> fields = Split(page, '\x01');
        // The view's address changes when its load starts, its DOM only when the new page
        // arrives: a page serialised in between is still the one before.
        if (!document || fields.size() < 3 || fields[1].empty() ||
            WithoutFragment(FromWebAddress(fields[2])) != WithoutFragment(document->Url()) ||
            !ShowsModelPage(*document))
            return;
        try {
            view_->ReplaceDocumentFromHtml(fields[1]);
            std::vector<std::shared_ptr<HtmlElement>> controls;
            const HtmlElementCollection all = document->GetElementsByTagName("*");
            for (LONG i = 0; i < all.Length(); ++i) {
                const std::shared_ptr<HtmlElement> element = all.Item(i);
                const HtmlElementKind kind = element->Kind();
                if (kind == HtmlElementKind::Input || kind == HtmlElementKind::Select ||
                    kind == HtmlElementKind::TextArea)
                    controls.push_back(element);
            }
            std::size_t control = 0;
            std::size_t frame = 0;
            for (std::size_t i = 3; i < fields.size(); ++i) {
                const std::vector<std::string> record = Split(fields[i], '\x02');
                if (record.size() < 2)
                    continue;
                if (record[0] == "F") {
                    if (record.size() == 3 && !record[2].empty())
                        document->SetFrameDocument(frame, ParseHtmlDocument(record[2], record[1]));
                    ++frame;
                    continue;
                }
                if (control >= controls.size())
                    continue;
                HtmlElement& element = *controls[control++];
                if (record[0] == "v")
                    element.SetValue(record[1]);
                else if (record[0] == "c")
                    element.SetChecked(record[1] == "1");
                else if (record[0] == "s")
                    element.SetSelectedIndex(std::atoi(record[1].c_str()));
            }
        } catch (const ComError& error) {
            Trace("screen", "browser view %p: the page could not be taken in (0x%08X)",
                  static_cast<void*>(hwnd_), static_cast<unsigned>(error.Error()));
        }
    }

    static gboolean OnDecidePolicy(WebKitWebView* web, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, gpointer data) {
        auto* self = static_cast<BrowserView*>(data);
        if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
            return FALSE;
        WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
            WEBKIT_NAVIGATION_POLICY_DECISION(decision));
        const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
        if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
            const WebKitNavigationType kind = webkit_navigation_action_get_navigation_type(action);
            const bool programmatic = kind == WEBKIT_NAVIGATION_TYPE_OTHER &&
                                      !webkit_navigation_action_is_user_gesture(action);
            if ((self->expectLoad_ && programmatic) ||
                webkit_navigation_action_is_redirect(action) ||
                (programmatic && webkit_web_view_is_loading(web))) {
                self->expectLoad_ = false;
                webkit_policy_decision_use(decision);
                return TRUE;
            }
        }
        webkit_policy_decision_ignore(decision);
        // The control decides, outside WebKit's signal.
        struct Request {
            std::weak_ptr<BrowserView> view;
            std::string url;
        };
        auto* request = new Request{self->weak_from_this(), FromWebAddress(uri ? uri : "")};
        g_idle_add_once(
            [](gpointer data) {
                std::unique_ptr<Request> request(static_cast<Request*>(data));
                if (auto view = request->view.lock(); view && view->view_ && IsWindow(view->hwnd_))
                    view->view_->Navigate2(request->url);
            },
            request);
        return TRUE;
    }

    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
        auto* self = static_cast<BrowserView*>(data);
        if (event != WEBKIT_LOAD_FINISHED || self->view_ == nullptr)
            return;
        self->awaitingLoad_ = false;
        std::vector<std::string> pending;
        pending.swap(self->pending_);
        for (const std::string& script : pending)
            self->Run(script);
        const std::string mode = self->view_->GetDesignMode();
        if (g_ascii_strcasecmp(mode.c_str(), "on") == 0)
            self->ApplyDesignMode(mode);
        // What the page's own scripts made of it, into the model.
        std::weak_ptr<BrowserView> weak = self->weak_from_this();
        RunScript(self->web_, kSerialiseScript, [weak](bool ok, const std::string& text) {
            if (auto view = weak.lock(); view && ok && !view->syncing_)
                view->TakePage(text);
        });
    }

    static void OnDestroy(GtkWidget*, gpointer data) {
        auto* self = static_cast<BrowserView*>(data);
        self->web_ = nullptr;
        self->view_ = nullptr;
        Views().erase(self->hwnd_);  // may delete self: last
    }

    HWND hwnd_;
    CHtmlView* view_;
    WebKitWebView* web_ = nullptr;
    bool expectLoad_ = false;
    bool syncing_ = false;
    bool taking_ = false;
    // Between a new document of the control and WebKit's end of loading it.
    bool awaitingLoad_ = false;
    std::vector<std::string> pending_;
    std::string shownUrl_;
    std::string shownState_;
};

class Presenter final : public BrowserControlPresenter {
public:
    void ControlCreated(CHtmlView& control) override {
        if (!screen::OnScreenThread())
            return;
        const HWND hwnd = control.GetSafeHwnd();
        auto view = std::make_shared<BrowserView>(hwnd, control);
        Views()[hwnd] = view;
        view->Attach();
        control.SetPresentationObserver(view);
    }
};

BrowserView* ViewOf(HWND hwnd) {
    auto found = Views().find(hwnd);
    return found == Views().end() ? nullptr : found->second.get();
}

}  // namespace

namespace screen {

void StartBrowserViews() {
    WebKitWebContext* context = webkit_web_context_get_default();
    webkit_web_context_register_uri_scheme(context, kResourceScheme, ServeResource, nullptr,
                                           nullptr);
    webkit_security_manager_register_uri_scheme_as_secure(
        webkit_web_context_get_security_manager(context), kResourceScheme);
    static Presenter presenter;
    SetBrowserControlPresenter(&presenter);
}

GtkWidget* BrowserViewOf(HWND hwnd) {
    BrowserView* view = ViewOf(hwnd);
    return view && view->Web() ? GTK_WIDGET(view->Web()) : nullptr;
}

}  // namespace screen

bool RunScriptInBrowserView(HWND control, const std::string& script, std::string* result,
                            int timeoutMs) {
    BrowserView* view = screen::OnScreenThread() ? ViewOf(control) : nullptr;
    if (view == nullptr || view->Web() == nullptr)
        return false;
    auto answer = std::make_shared<std::pair<bool, std::string>>();
    auto received = std::make_shared<bool>(false);
    RunScript(view->Web(), script, [answer, received](bool ok, const std::string& text) {
        *answer = {ok, text};
        *received = true;
    });
    if (!screen::RunNestedLoop([received] { return *received; }, timeoutMs, false))
        return false;
    if (result)
        *result = answer->second;
    return answer->first;
}

std::string BrowserViewAddress(HWND control) {
    BrowserView* view = screen::OnScreenThread() ? ViewOf(control) : nullptr;
    const char* uri = view && view->Web() ? webkit_web_view_get_uri(view->Web()) : nullptr;
    return uri ? FromWebAddress(uri) : std::string();
}

bool BrowserViewLoading(HWND control) {
    BrowserView* view = screen::OnScreenThread() ? ViewOf(control) : nullptr;
    return view && view->Web() && webkit_web_view_is_loading(view->Web());
}
