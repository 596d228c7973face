#include "engine/util/CaseFoldedHash.h"

#include <random>

#include "platform/text/Text.h"

namespace {

struct HashKey {
    std::uint64_t k0;
    std::uint64_t k1;
};

const HashKey& ProcessKey() {
    static const HashKey key = [] {
        std::random_device source;
        auto draw = [&source] { return (static_cast<std::uint64_t>(source()) << 32) ^ source(); };
        return HashKey{draw(), draw()};
    }();
    return key;
}

std::uint64_t RotateLeft(std::uint64_t x, int bits) {
    return (x << bits) | (x >> (64 - bits));
}

// A keyed hash with one compression round per word and three at the end (a SipHash).
struct HashState {
    std::uint64_t v0, v1, v2, v3;

    void Round() {
        v0 += v1;
        v1 = RotateLeft(v1, 13);
        v1 ^= v0;
        v0 = RotateLeft(v0, 32);
        v2 += v3;
        v3 = RotateLeft(v3, 16);
        v3 ^= v2;
        v0 += v3;
        v3 = RotateLeft(v3, 21);
        v3 ^= v0;
        v2 += v1;
        v1 = RotateLeft(v1, 17);
        v1 ^= v2;
        v2 = RotateLeft(v2, 32);
    }

    void Absorb(std::uint64_t word) {
        v3 ^= word;
        Round();
        v0 ^= word;
    }
};

std::uint64_t FoldedByte(char c) {
    return static_cast<unsigned char>(ToLowerAscii(c));
}

}  // namespace

std::uint64_t CaseFoldedHashOf(std::string_view text) {
    const HashKey& key = ProcessKey();
    HashState state{key.k0 ^ 0x736f6d6570736575ULL, key.k1 ^ 0x646f72616e646f6dULL,
                    key.k0 ^ 0x6c7967656e657261ULL, key.k1 ^ 0x7465646279746573ULL};
    const std::size_t whole = text.size() - text.size() % 8;
    for (std::size_t at = 0; at < whole; at += 8) {
        std::uint64_t word = 0;
        for (int i = 0; i < 8; ++i)
            word |= FoldedByte(text[at + i]) << (8 * i);
        state.Absorb(word);
    }
    std::uint64_t last = static_cast<std::uint64_t>(text.size() & 0xFF) << 56;
    for (std::size_t i = whole; i < text.size(); ++i)
        last |= FoldedByte(text[i]) << (8 * (i - whole));
    state.Absorb(last);
    state.v2 ^= 0xFF;
    for (int i = 0; i < 3; ++i)
        state.Round();
    return state.v0 ^ state.v1 ^ state.v2 ^ state.v3;
}

bool CaseFoldedEqual::operator()(std::string_view a, std::string_view b) const {
    return EqualsNoCase(a, b);
}
