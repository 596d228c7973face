// A top-level window that holds controls under test: it notes every WM_NOTIFY and
// WM_COMMAND it gets, and answers through hooks a test sets.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/CommonControls.h"

struct Notice {
    UINT message;  // WM_NOTIFY or WM_COMMAND
    UINT code;     // the notification code (WM_COMMAND: its high word)
    int id;        // the control id (WM_COMMAND: its low word)
    HWND from;
    // What a WM_NOTIFY carried, read as NMLISTVIEW where it is one.
    int item = -1;
    int subItem = 0;
    UINT newState = 0;
    UINT oldState = 0;
};

class ControlParent : public WindowHandler {
public:
    ControlParent() {
        hwnd_ = CreateWindowForHandler(this, 0, "ControlParent", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                       600, 400, nullptr, nullptr);
    }
    // A class that derives from this one and whose hooks reach its own members destroys
    // the window in its own destructor.
    ~ControlParent() override {
        onMessage = nullptr;
        onNotify = nullptr;
        if (IsWindow(hwnd_))
            DestroyWindow(hwnd_);
    }
    HWND Hwnd() const { return hwnd_; }

    HWND MakeChild(const char* className, DWORD style, int id, int width = 300, int height = 200) {
        return CreateWindowEx(0, className, "", WS_CHILD | WS_VISIBLE | style, 10, 10, width,
                              height, hwnd_, ControlIdMenu(id));
    }

    // Called for every WM_NOTIFY after it is noted; its answer is the message's answer.
    std::function<LRESULT(NMHDR*)> onNotify;
    // Called for any other message first; answers when it returns true.
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT*)> onMessage;
    std::vector<Notice> notices;

    std::vector<UINT> Codes() const {
        std::vector<UINT> codes;
        for (const Notice& notice : notices)
            codes.push_back(notice.code);
        return codes;
    }

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NOTIFY) {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            Notice notice{WM_NOTIFY, header->code, static_cast<int>(header->idFrom),
                          header->hwndFrom};
            struct ListHeader {  // the NMLISTVIEW / NMITEMACTIVATE layout after NMHDR
                NMHDR hdr;
                int iItem;
                int iSubItem;
                UINT uNewState;
                UINT uOldState;
            };
            if (static_cast<int>(header->code) <= -100 && static_cast<int>(header->code) > -200) {
                const auto* list = reinterpret_cast<const ListHeader*>(header);
                notice.item = list->iItem;
                notice.subItem = list->iSubItem;
                notice.newState = list->uNewState;
                notice.oldState = list->uOldState;
            } else if (header->code == NM_CLICK || header->code == NM_DBLCLK) {
                notice.item = reinterpret_cast<const ListHeader*>(header)->iItem;
            }
            notices.push_back(notice);
            return onNotify ? onNotify(header) : 0;
        }
        LRESULT answer = 0;
        if (onMessage && onMessage(message, wParam, lParam, &answer))
            return answer;
        if (message == WM_COMMAND) {
            notices.push_back(
                Notice{WM_COMMAND, HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam)});
            return 0;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }

private:
    HWND hwnd_ = nullptr;
};
