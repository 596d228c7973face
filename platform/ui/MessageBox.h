// Message boxes go through a service. With no display the default service records
// each box and answers with its default button at once, so a box never blocks a
// background thread. Tests install a scripted service.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_DEFBUTTON3 = 0x200;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxRecord {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = MB_OK;
};

// The answer of the box's default button (the first, unless MB_DEFBUTTON2/3).
int DefaultMessageBoxAnswer(UINT type);

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Called on the thread that asks; returns the button chosen.
    virtual int Show(const MessageBoxRecord& box) = 0;
};

// Installs a service for the rest of the process (null restores the default recorder).
// The caller keeps ownership and keeps it alive while installed.
void SetMessageBoxService(MessageBoxService* service);

// The default recorder (for a service that hands some boxes back to it, such as a
// screen's for boxes asked on threads without one).
MessageBoxService& DefaultMessageBoxService();

int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type);

// What the default recorder has recorded, oldest first, and a way to clear it. It keeps
// the latest kRecordedMessageBoxLimit boxes only, so a process that runs for long does
// not grow with every box it shows.
constexpr std::size_t kRecordedMessageBoxLimit = 100;
std::vector<MessageBoxRecord> RecordedMessageBoxes();
void ClearRecordedMessageBoxes();
