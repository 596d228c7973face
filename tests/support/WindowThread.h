// Windows for tests: a window whose handler is a function, and a user-interface thread
// that owns one such window and quits and joins when the object goes.
#pragma once

#include <atomic>
#include <functional>
#include <future>
#include <utility>

#include "platform/thread/WinThread.h"
#include "platform/window/Window.h"

using WindowFunction = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// Calls the function for every message; unhandled ones can go to DefWindowProc.
class FunctionWindow : public WindowHandler {
public:
    explicit FunctionWindow(WindowFunction function) : function_(std::move(function)) {}
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        return function_ ? function_(hwnd, message, wParam, lParam)
                         : DefWindowProc(hwnd, message, wParam, lParam);
    }

private:
    WindowFunction function_;
};

// A WinThread with one window made in InitInstance. The function runs on that thread.
class WindowThread : public WinThread {
public:
    explicit WindowThread(WindowFunction function) : window_(std::move(function)) {}
    ~WindowThread() override {
        PostQuit();
        Join();
    }

    // Starts the thread; returns once its window exists (false when it could not start).
    bool Start() {
        std::future<HWND> created = created_.get_future();
        if (!CreateThread())
            return false;
        hwnd_ = created.get();
        return hwnd_ != nullptr;
    }

    HWND Hwnd() const { return hwnd_; }

    bool InitInstance() override {
        created_.set_value(CreateMessageWindow(&window_));
        return true;
    }

private:
    FunctionWindow window_;
    std::promise<HWND> created_;
    HWND hwnd_ = nullptr;
};
