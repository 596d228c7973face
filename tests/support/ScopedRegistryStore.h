// A registry store of one's own for a test, and the whole store as text to compare.
#pragma once

#include <string>

// Points the registry at a fresh, empty store in a new folder under the test home for
// its lifetime, then back at the store used before.
class ScopedRegistryStore {
public:
    ScopedRegistryStore();
    ~ScopedRegistryStore();
    ScopedRegistryStore(const ScopedRegistryStore&) = delete;
    ScopedRegistryStore& operator=(const ScopedRegistryStore&) = delete;

private:
    std::string previous_;
    bool hadPrevious_ = false;
};

// Every key and value of the three hives, one a line, in enumeration order: a key as
// its full path, a value as path, name, type and its bytes in hexadecimal.
std::string ListRegistry();
