#include <map>
#include <mutex>

#include "platform/window/MessageSystem.h"
#include "platform/window/WindowTree.h"

// The platform's own classes; defined by the controls layer (platform/ui).
void RegisterStandardWindowClasses();

namespace {

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

struct ClassTable {
    std::mutex mutex;
    std::map<std::string, WindowHandlerFactory> factories;  // by folded name
    std::map<std::string, std::string> bases;               // superclass (folded) to base
};

ClassTable& Classes() {
    static auto* table = new ClassTable;  // never destroyed, as the windows' table
    return *table;
}

void EnsureStandardClasses() {
    static std::once_flag once;
    thread_local bool registering = false;  // the standard classes register through here too
    if (registering)
        return;
    std::call_once(once, [] {
        registering = true;
        RegisterStandardWindowClasses();
        registering = false;
    });
}

}  // namespace

BOOL RegisterWindowClass(std::string_view className, WindowHandlerFactory factory) {
    if (className.empty() || !factory)
        return FALSE;
    EnsureStandardClasses();
    ClassTable& table = Classes();
    std::lock_guard<std::mutex> guard(table.mutex);
    return table.factories.emplace(FoldName(className), std::move(factory)).second ? TRUE : FALSE;
}

BOOL UnregisterWindowClass(std::string_view className) {
    EnsureStandardClasses();
    ClassTable& table = Classes();
    std::lock_guard<std::mutex> guard(table.mutex);
    return table.factories.erase(FoldName(className)) ? TRUE : FALSE;
}

std::unique_ptr<WindowHandler> MakeClassHandler(std::string_view className) {
    EnsureStandardClasses();
    WindowHandlerFactory factory;
    {
        ClassTable& table = Classes();
        std::lock_guard<std::mutex> guard(table.mutex);
        const auto found = table.factories.find(FoldName(className));
        if (found == table.factories.end())
            return nullptr;
        factory = found->second;
    }
    return factory();  // outside the lock: a superclass's factory makes its base's handler
}

std::string GetClassName(HWND hwnd) {
    std::lock_guard<std::mutex> guard(MessageSystemMutex());
    const WindowRecord* record = FindWindowRecord(hwnd);
    return record ? record->state.className : std::string();
}

BOOL RegisterSuperclass(std::string_view className, std::string_view baseClassName) {
    if (className.empty() || baseClassName.empty())
        return FALSE;
    ClassTable& table = Classes();
    std::lock_guard<std::mutex> guard(table.mutex);
    const auto [at, added] = table.bases.emplace(FoldName(className), std::string(baseClassName));
    return added || FoldName(at->second) == FoldName(baseClassName) ? TRUE : FALSE;
}

std::string GetControlClassName(HWND hwnd) {
    const std::string name = GetClassName(hwnd);
    ClassTable& table = Classes();
    std::lock_guard<std::mutex> guard(table.mutex);
    const auto found = table.bases.find(FoldName(name));
    return found == table.bases.end() ? name : found->second;
}
