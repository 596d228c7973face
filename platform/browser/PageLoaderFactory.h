// Where the views get their page loaders: the real CurlPageLoader, unless a test has
// installed a factory of its own (a scripted loader, a loader that fails to start).
#pragma once

#include <functional>
#include <memory>

#include "platform/browser/PageLoader.h"

// Makes a loader that reports to sink; null when none can be made.
using PageLoaderFactory = std::function<std::unique_ptr<PageLoader>(PageLoadSink& sink)>;

// A new loader for sink: the installed factory's, else a CurlPageLoader with the default
// options. Null when the installed factory makes none. Any thread.
std::unique_ptr<PageLoader> MakePageLoader(PageLoadSink& sink);

// Installs a factory for its scope and restores the previous one at the end. Tests only;
// scopes nest. The factory runs on the threads that create views.
class ScopedPageLoaderFactory {
public:
    explicit ScopedPageLoaderFactory(PageLoaderFactory factory);
    ~ScopedPageLoaderFactory();
    ScopedPageLoaderFactory(const ScopedPageLoaderFactory&) = delete;
    ScopedPageLoaderFactory& operator=(const ScopedPageLoaderFactory&) = delete;

private:
    std::shared_ptr<PageLoaderFactory> previous_;
};
