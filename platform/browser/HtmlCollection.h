// An ordered collection of document objects (elements, frame windows), read by index
// as a browser's collections are. It is a snapshot taken when the collection was asked
// for; later changes to the document do not show in it.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/base/Types.h"
#include "platform/com/ComError.h"

template <class T>
class HtmlCollection {
public:
    HtmlCollection() = default;
    explicit HtmlCollection(std::vector<std::shared_ptr<T>> items) : items_(std::move(items)) {}

    LONG Length() const { return static_cast<LONG>(items_.size()); }

    // Member index (0-based). Throws ComError(E_INVALIDARG) for an index outside
    // 0 .. Length() - 1.
    std::shared_ptr<T> Item(LONG index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) {
            throw ComError(E_INVALIDARG);
        }
        return items_[static_cast<std::size_t>(index)];
    }

private:
    std::vector<std::shared_ptr<T>> items_;
};

class HtmlElement;
class HtmlWindow;
using HtmlElementCollection = HtmlCollection<HtmlElement>;
using HtmlFramesCollection = HtmlCollection<HtmlWindow>;
