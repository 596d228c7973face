#include "platform/browser/PageLoaderFactory.h"

#include <mutex>

#include "platform/browser/CurlPageLoader.h"

namespace {

struct FactoryState {
    std::mutex mutex;
    std::shared_ptr<PageLoaderFactory> factory;  // null: the real loader
};

// Never destroyed: view threads may still make loaders while the process ends.
FactoryState& State() {
    static auto* state = new FactoryState;
    return *state;
}

}  // namespace

std::unique_ptr<PageLoader> MakePageLoader(PageLoadSink& sink) {
    std::shared_ptr<PageLoaderFactory> factory;
    {
        FactoryState& state = State();
        std::lock_guard<std::mutex> guard(state.mutex);
        factory = state.factory;
    }
    if (factory)
        return (*factory)(sink);
    return std::make_unique<CurlPageLoader>(sink);
}

ScopedPageLoaderFactory::ScopedPageLoaderFactory(PageLoaderFactory factory) {
    FactoryState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    previous_ = state.factory;
    state.factory = std::make_shared<PageLoaderFactory>(std::move(factory));
}

ScopedPageLoaderFactory::~ScopedPageLoaderFactory() {
    FactoryState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    state.factory = previous_;
}
