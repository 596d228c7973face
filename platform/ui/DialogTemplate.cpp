#include "platform/ui/DialogTemplate.h"

#include <charconv>
#include <map>
#include <set>

#include "platform/trace/Trace.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

namespace {

struct StyleName {
    const char* name;
    DWORD value;
    bool extended;
};

// Style names a template may use. WS_MAXIMIZEBOX and WS_TABSTOP share a bit, as do
// WS_MINIMIZEBOX and WS_GROUP.
constexpr StyleName kStyleNames[] = {
    {"WS_OVERLAPPED", WS_OVERLAPPED, false},
    {"WS_TABSTOP", WS_TABSTOP, false},
    {"WS_MAXIMIZEBOX", WS_MAXIMIZEBOX, false},
    {"WS_GROUP", WS_GROUP, false},
    {"WS_MINIMIZEBOX", WS_MINIMIZEBOX, false},
    {"WS_THICKFRAME", WS_THICKFRAME, false},
    {"WS_SIZEBOX", WS_THICKFRAME, false},
    {"WS_SYSMENU", WS_SYSMENU, false},
    {"WS_HSCROLL", WS_HSCROLL, false},
    {"WS_VSCROLL", WS_VSCROLL, false},
    {"WS_DLGFRAME", WS_DLGFRAME, false},
    {"WS_BORDER", WS_BORDER, false},
    {"WS_CAPTION", WS_CAPTION, false},
    {"WS_CLIPCHILDREN", WS_CLIPCHILDREN, false},
    {"WS_CLIPSIBLINGS", WS_CLIPSIBLINGS, false},
    {"WS_DISABLED", WS_DISABLED, false},
    {"WS_VISIBLE", WS_VISIBLE, false},
    {"WS_CHILD", WS_CHILD, false},
    {"WS_POPUP", WS_POPUP, false},
    {"WS_OVERLAPPEDWINDOW", WS_OVERLAPPEDWINDOW, false},
    {"WS_EX_DLGMODALFRAME", WS_EX_DLGMODALFRAME, true},
    {"WS_EX_NOPARENTNOTIFY", WS_EX_NOPARENTNOTIFY, true},
    {"WS_EX_TOPMOST", WS_EX_TOPMOST, true},
    {"WS_EX_TRANSPARENT", WS_EX_TRANSPARENT, true},
    {"WS_EX_TOOLWINDOW", WS_EX_TOOLWINDOW, true},
    {"WS_EX_WINDOWEDGE", WS_EX_WINDOWEDGE, true},
    {"WS_EX_CLIENTEDGE", WS_EX_CLIENTEDGE, true},
    {"WS_EX_CONTROLPARENT", WS_EX_CONTROLPARENT, true},
    {"WS_EX_STATICEDGE", WS_EX_STATICEDGE, true},
    {"WS_EX_APPWINDOW", WS_EX_APPWINDOW, true},
    {"DS_ABSALIGN", DS_ABSALIGN, false},
    {"DS_SYSMODAL", DS_SYSMODAL, false},
    {"DS_3DLOOK", DS_3DLOOK, false},
    {"DS_FIXEDSYS", DS_FIXEDSYS, false},
    {"DS_SETFONT", DS_SETFONT, false},
    {"DS_MODALFRAME", DS_MODALFRAME, false},
    {"DS_NOIDLEMSG", DS_NOIDLEMSG, false},
    {"DS_SETFOREGROUND", DS_SETFOREGROUND, false},
    {"DS_CONTROL", DS_CONTROL, false},
    {"DS_CENTER", DS_CENTER, false},
    {"BS_PUSHBUTTON", BS_PUSHBUTTON, false},
    {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON, false},
    {"BS_CHECKBOX", BS_CHECKBOX, false},
    {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX, false},
    {"BS_RADIOBUTTON", BS_RADIOBUTTON, false},
    {"BS_3STATE", BS_3STATE, false},
    {"BS_AUTO3STATE", BS_AUTO3STATE, false},
    {"BS_GROUPBOX", BS_GROUPBOX, false},
    {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON, false},
    {"BS_OWNERDRAW", BS_OWNERDRAW, false},
    {"ES_LEFT", ES_LEFT, false},
    {"ES_CENTER", ES_CENTER, false},
    {"ES_RIGHT", ES_RIGHT, false},
    {"ES_MULTILINE", ES_MULTILINE, false},
    {"ES_PASSWORD", ES_PASSWORD, false},
    {"ES_AUTOVSCROLL", ES_AUTOVSCROLL, false},
    {"ES_AUTOHSCROLL", ES_AUTOHSCROLL, false},
    {"ES_READONLY", ES_READONLY, false},
    {"ES_WANTRETURN", ES_WANTRETURN, false},
    {"ES_NUMBER", ES_NUMBER, false},
    {"SS_LEFT", SS_LEFT, false},
    {"SS_CENTER", SS_CENTER, false},
    {"SS_RIGHT", SS_RIGHT, false},
    {"SS_ICON", SS_ICON, false},
    {"SS_BLACKRECT", SS_BLACKRECT, false},
    {"SS_GRAYRECT", SS_GRAYRECT, false},
    {"SS_WHITERECT", SS_WHITERECT, false},
    {"SS_BLACKFRAME", SS_BLACKFRAME, false},
    {"SS_ETCHEDHORZ", SS_ETCHEDHORZ, false},
    {"SS_ETCHEDVERT", SS_ETCHEDVERT, false},
    {"SS_ETCHEDFRAME", SS_ETCHEDFRAME, false},
    {"SS_NOTIFY", SS_NOTIFY, false},
    {"SS_CENTERIMAGE", SS_CENTERIMAGE, false},
    {"SS_SUNKEN", SS_SUNKEN, false},
    {"LBS_NOTIFY", LBS_NOTIFY, false},
    {"LBS_SORT", LBS_SORT, false},
    {"LBS_NOINTEGRALHEIGHT", LBS_NOINTEGRALHEIGHT, false},
    {"LBS_STANDARD", LBS_STANDARD, false},
};

struct Kind {
    const char* className;
    DWORD style;
};

const std::map<std::string, Kind, std::less<>> kKinds = {
    {"PUSHBUTTON", {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP}},
    {"DEFPUSHBUTTON", {"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP}},
    {"CHECKBOX", {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP}},
    {"RADIOBUTTON", {"BUTTON", BS_AUTORADIOBUTTON}},
    {"GROUPBOX", {"BUTTON", BS_GROUPBOX}},
    {"EDITTEXT", {"EDIT", ES_LEFT | WS_BORDER | WS_TABSTOP}},
    {"LTEXT", {"STATIC", SS_LEFT | WS_GROUP}},
    {"CTEXT", {"STATIC", SS_CENTER | WS_GROUP}},
    {"RTEXT", {"STATIC", SS_RIGHT | WS_GROUP}},
    {"ICON", {"STATIC", SS_ICON}},
    {"LISTBOX", {"LISTBOX", LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP}},
    {"CONTROL", {"", 0}},
};

// Cuts one line into words: bare words, and quoted texts (kept with a leading '"' so
// that an empty text stays a word).
class LineReader {
public:
    explicit LineReader(std::string_view line) : line_(line) {}

    // Fills *word; false at the end. A malformed quote sets *error.
    bool Next(std::string* word, std::string* error) {
        while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t'))
            ++pos_;
        if (pos_ >= line_.size())
            return false;
        word->clear();
        if (line_[pos_] == '"') {
            *word = "\"";
            ++pos_;
            for (;;) {
                if (pos_ >= line_.size()) {
                    *error = "a text has no closing quote";
                    return false;
                }
                char c = line_[pos_++];
                if (c == '"')
                    break;
                if (c == '\\') {
                    if (pos_ >= line_.size()) {
                        *error = "a text has no closing quote";
                        return false;
                    }
                    const char escaped = line_[pos_++];
                    c = escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
                    if (escaped != 'n' && escaped != 't' && escaped != '"' && escaped != '\\') {
                        *error = std::string("unknown escape \\") + escaped;
                        return false;
                    }
                }
                *word += c;
            }
            return true;
        }
        if (line_[pos_] == '|') {
            *word = "|";
            ++pos_;
            return true;
        }
        while (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t' &&
               line_[pos_] != '|' && line_[pos_] != '"')
            *word += line_[pos_++];
        return true;
    }

private:
    std::string_view line_;
    size_t pos_ = 0;
};

bool ParseInt(const std::string& word, int* value) {
    if (word.empty() || word[0] == '"')
        return false;
    const char* first = word.data();
    const char* last = word.data() + word.size();
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        first += 2;
        base = 16;
    }
    long long parsed = 0;
    const auto [end, ec] = std::from_chars(first, last, parsed, base);
    if (ec != std::errc() || end != last || parsed < -0x7FFFFFFFLL || parsed > 0xFFFFFFFFLL)
        return false;
    *value = static_cast<int>(parsed);
    return true;
}

struct Parser {
    std::vector<std::string> words;
    size_t next = 0;
    std::string error;

    bool Fail(std::string message) {
        if (error.empty())
            error = std::move(message);
        return false;
    }
    bool Int(const char* what, int* value) {
        if (next >= words.size())
            return Fail(std::string("missing ") + what);
        if (!ParseInt(words[next], value))
            return Fail(std::string("bad ") + what + " \"" + words[next] + "\"");
        ++next;
        return true;
    }
    bool Text(const char* what, std::string* value) {
        if (next >= words.size() || words[next].empty() || words[next][0] != '"')
            return Fail(std::string("missing ") + what + " in double quotes");
        *value = words[next++].substr(1);
        return true;
    }
    bool Rect(RECT* rect) {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        if (!Int("x", &x) || !Int("y", &y) || !Int("width", &width) || !Int("height", &height))
            return false;
        if (width < 0 || height < 0)
            return Fail("a negative width or height");
        *rect = MakeRect(x, y, width, height);
        return true;
    }
    // The rest of the line: names, numbers, "|" and "NOT name".
    bool Styles(DWORD* style, DWORD* exStyle) {
        bool negate = false;
        bool expectTerm = true;
        for (; next < words.size(); ++next) {
            const std::string& word = words[next];
            if (word == "|") {
                if (expectTerm)
                    return Fail("\"|\" without a style before it");
                expectTerm = true;
                continue;
            }
            if (word == "NOT") {
                negate = true;
                continue;
            }
            DWORD value = 0;
            bool extended = false;
            int number = 0;
            if (ParseInt(word, &number)) {
                value = static_cast<DWORD>(number);
            } else {
                const StyleName* found = nullptr;
                for (const StyleName& name : kStyleNames) {
                    if (word == name.name)
                        found = &name;
                }
                if (found == nullptr)
                    return Fail("unknown style \"" + word + "\"");
                value = found->value;
                extended = found->extended;
            }
            DWORD& target = extended ? *exStyle : *style;
            target = negate ? target & ~value : target | value;
            negate = false;
            expectTerm = false;
        }
        if (negate)
            return Fail("NOT without a style after it");
        return true;
    }
};

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplate(std::string_view text, std::string* error) {
    DialogTemplate dialog;
    enum class Stage { Header, Options, Controls, Done } stage = Stage::Header;
    std::set<int> ids;
    int lineNumber = 0;
    auto fail = [&](const std::string& message) -> std::optional<DialogTemplate> {
        if (error)
            *error = "line " + std::to_string(lineNumber) + ": " + message;
        return std::nullopt;
    };
    size_t pos = 0;
    while (pos <= text.size()) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        Parser parser;
        LineReader reader(line);
        std::string word;
        while (reader.Next(&word, &parser.error))
            parser.words.push_back(word);
        if (!parser.error.empty())
            return fail(parser.error);
        if (parser.words.empty() || parser.words[0].starts_with("#"))
            continue;
        const std::string keyword = parser.words[0];
        parser.next = 1;
        if (stage == Stage::Done)
            return fail("text after END");
        if (stage == Stage::Header) {
            if (keyword != "DIALOG")
                return fail("a template starts with DIALOG <id> <x> <y> <width> <height>");
            if (!parser.Int("dialog id", &dialog.id) || !parser.Rect(&dialog.units))
                return fail(parser.error);
            if (dialog.id < 1 || dialog.id > 65535)
                return fail("the dialog id is not between 1 and 65535");
            stage = Stage::Options;
        } else if (stage == Stage::Options && keyword == "CAPTION") {
            if (!parser.Text("caption", &dialog.caption))
                return fail(parser.error);
        } else if (stage == Stage::Options && (keyword == "STYLE" || keyword == "EXSTYLE")) {
            DWORD style = 0;
            DWORD exStyle = 0;
            if (!parser.Styles(&style, &exStyle))
                return fail(parser.error);
            if (keyword == "STYLE") {
                dialog.style = style;
                dialog.exStyle |= exStyle;
            } else {
                if (style != 0)
                    return fail("EXSTYLE takes WS_EX_ styles only");
                dialog.exStyle |= exStyle;
            }
        } else if (stage == Stage::Options && keyword == "FONT") {
            if (!parser.Int("font size", &dialog.fontSize) ||
                !parser.Text("font name", &dialog.fontName))
                return fail(parser.error);
        } else if (stage == Stage::Options && keyword == "BEGIN") {
            stage = Stage::Controls;
        } else if (stage == Stage::Controls && keyword == "END") {
            stage = Stage::Done;
        } else if (stage == Stage::Controls) {
            const auto kind = kKinds.find(keyword);
            if (kind == kKinds.end())
                return fail("unknown control kind \"" + keyword + "\"");
            DialogControlTemplate control;
            control.className = kind->second.className;
            control.style = WS_CHILD | WS_VISIBLE | kind->second.style;
            if (!parser.Int("control id", &control.id))
                return fail(parser.error);
            if (keyword == "CONTROL" && !parser.Text("class name", &control.className))
                return fail(parser.error);
            if (control.className.empty())
                return fail("an empty class name");
            if (!parser.Text("control text", &control.text) || !parser.Rect(&control.units) ||
                !parser.Styles(&control.style, &control.exStyle))
                return fail(parser.error);
            if (control.id != -1 && !ids.insert(control.id).second)
                return fail("control id " + std::to_string(control.id) + " appears twice");
            dialog.controls.push_back(std::move(control));
        } else {
            return fail("unexpected \"" + keyword + "\"");
        }
        if (parser.next < parser.words.size())
            return fail("unexpected \"" + parser.words[parser.next] + "\"");
    }
    if (stage == Stage::Header)
        return fail("no DIALOG line");
    if (stage != Stage::Done)
        return fail("no END");
    return dialog;
}

std::optional<DialogTemplate> LoadDialogTemplate(HMODULE module, int id) {
    HRSRC resource = FindResource(module, id, RT_DIALOG);
    const BYTE* bytes = resource ? LoadResource(module, resource) : nullptr;
    if (bytes == nullptr) {
        Trace("window", "no dialog template %d", id);
        return std::nullopt;
    }
    std::string error;
    std::optional<DialogTemplate> dialog = ParseDialogTemplate(
        std::string_view(reinterpret_cast<const char*>(bytes), SizeofResource(module, resource)),
        &error);
    if (!dialog)
        Trace("window", "dialog template %d: %s", id, error.c_str());
    return dialog;
}

RECT DialogUnitsToPixels(const RECT& units) {
    auto x = [](LONG value) {
        const long long scaled = static_cast<long long>(value) * kDialogBaseUnitX;
        return static_cast<LONG>(scaled >= 0 ? (scaled + 2) / 4 : -((-scaled + 2) / 4));
    };
    auto y = [](LONG value) {
        const long long scaled = static_cast<long long>(value) * kDialogBaseUnitY;
        return static_cast<LONG>(scaled >= 0 ? (scaled + 4) / 8 : -((-scaled + 4) / 8));
    };
    return RECT{x(units.left), y(units.top), x(units.right), y(units.bottom)};
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
    if (rect == nullptr || !IsWindow(dialog))
        return FALSE;
    *rect = DialogUnitsToPixels(*rect);
    return TRUE;
}
