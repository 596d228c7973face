// Wrenlow's identifiers: the band class, its type library and its dual interface.
#pragma once

#include "platform/com/Dispatch.h"
#include "platform/com/Guid.h"

// {5DE4E98D-DE09-4BC3-8A70-A6D9A24F4EC9}
inline constexpr CLSID CLSID_Gorsebeck = {
    0x5DE4E98D, 0xDE09, 0x4BC3, {0x8A, 0x70, 0xA6, 0xD9, 0xA2, 0x4F, 0x4E, 0xC9}};
// {01ED5891-C5C4-47C1-9E8A-ED5BC44BA34F}
inline constexpr IID IID_IGorsebeck = {
    0x01ED5891, 0xC5C4, 0x47C1, {0x9E, 0x8A, 0xED, 0x5B, 0xC4, 0x4B, 0xA3, 0x4F}};

// The band's own dual interface; it has no members of its own.
struct IGorsebeck : IDispatch {
    static constexpr const IID& InterfaceId = IID_IGorsebeck;

protected:
    ~IGorsebeck() = default;
};
