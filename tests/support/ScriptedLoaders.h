// Scripted page loaders for every view a test creates: installs a loader factory that
// makes ScriptedPageLoaders, gives each the scripts set so far, and keeps the scripts in
// step on every loader still alive. The loaders themselves belong to their views.
#pragma once

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/browser/PageLoaderFactory.h"
#include "platform/browser/ScriptedPageLoader.h"

class ScriptedLoaders {
public:
    using Delivery = ScriptedPageLoader::Delivery;

    explicit ScriptedLoaders(Delivery delivery = Delivery::Timed)
        : state_(std::make_shared<State>()),
          factory_([state = state_, delivery](PageLoadSink& sink) -> std::unique_ptr<PageLoader> {
              return std::make_unique<Tracked>(state, sink, delivery);
          }) {}

    // What a Navigate to url plays, on every loader, present and future.
    void SetScript(const std::string& url, const std::vector<ScriptedPageEvent>& events) {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->scripts.emplace_back(url, events);
        for (Tracked* loader : state_->loaders)
            loader->SetScript(url, events);
    }

    // The loaders alive now, in the order they were made.
    std::size_t Count() const {
        std::lock_guard<std::mutex> lock(state_->mutex);
        return state_->loaders.size();
    }
    // Runs f on loader index under the registry's lock (so the loader stays alive);
    // false when there is no such loader.
    template <class F>
    bool With(std::size_t index, F f) const {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (index >= state_->loaders.size())
            return false;
        f(*state_->loaders[index]);
        return true;
    }
    // The addresses every loader was asked to load, in loader order.
    StringArray AllNavigatedUrls() const {
        std::lock_guard<std::mutex> lock(state_->mutex);
        StringArray urls;
        for (Tracked* loader : state_->loaders) {
            const StringArray one = loader->NavigatedUrls();
            urls.insert(urls.end(), one.begin(), one.end());
        }
        return urls;
    }

private:
    struct Tracked;
    struct State {
        mutable std::mutex mutex;
        std::vector<std::pair<std::string, std::vector<ScriptedPageEvent>>> scripts;
        std::vector<Tracked*> loaders;
    };
    struct Tracked : ScriptedPageLoader {
        Tracked(std::shared_ptr<State> registry, PageLoadSink& sink, Delivery delivery)
            : ScriptedPageLoader(sink, delivery), state(std::move(registry)) {
            std::lock_guard<std::mutex> lock(state->mutex);
            for (const auto& [url, events] : state->scripts)
                SetScript(url, events);
            state->loaders.push_back(this);
        }
        ~Tracked() override {
            std::lock_guard<std::mutex> lock(state->mutex);
            state->loaders.erase(std::find(state->loaders.begin(), state->loaders.end(), this));
        }
        std::shared_ptr<State> state;
    };

    std::shared_ptr<State> state_;
    ScopedPageLoaderFactory factory_;
};
