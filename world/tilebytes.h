#pragma once
#include "core/types.h"

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

// A level's tiles: a run of bytes that starts all zero. The zeros are the untouched memory the
// system hands out, which costs nothing until tiles are painted there, so a level of 500 x 500
// screens (225 MB of tiles, most of them left empty) is never cleared byte by byte.
class TileBytes {
public:
    TileBytes() = default;
    explicit TileBytes(std::size_t count) : bytes(static_cast<u8*>(std::calloc(count, 1))), length(count)
    {
        if (count != 0 && !bytes)
            throw std::bad_alloc();
    }

    u8& operator[](std::size_t i) { return bytes.get()[i]; }
    u8 operator[](std::size_t i) const { return bytes.get()[i]; }
    u8* data() { return bytes.get(); }
    const u8* data() const { return bytes.get(); }
    std::size_t size() const { return length; }

private:
    struct Release {
        void operator()(u8* p) const { std::free(p); }
    };
    std::unique_ptr<u8, Release> bytes;
    std::size_t length = 0;
};
