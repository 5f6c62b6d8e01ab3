#pragma once
// Raw pixel access shared by the drawing primitives and filters.
#include "core/types.h"

#include <SDL/SDL.h>
#include <algorithm>

// The writable part of a surface: its clip rectangle cut to the surface, as half-open bounds.
struct PixelBox {
    int x0, y0, x1, y1;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

inline PixelBox clipBox(const SDL_Surface* s)
{
    const SDL_Rect& c = s->clip_rect;
    return {std::max(0, int(c.x)), std::max(0, int(c.y)), std::min(s->w, c.x + int(c.w)),
            std::min(s->h, c.y + int(c.h))};
}

// Rows are found by pitch, never by width, so padded surfaces are read correctly.
inline u32* pixelRow(SDL_Surface* s, int y)
{
    return reinterpret_cast<u32*>(static_cast<u8*>(s->pixels) + std::ptrdiff_t(y) * s->pitch);
}

inline bool isWordSurface(const SDL_Surface* s)
{
    return s && s->format && s->format->BytesPerPixel == 4;
}

// Locks a surface for the lifetime of the object; ok() is false when the pixels are unusable.
class SurfaceLock {
public:
    explicit SurfaceLock(SDL_Surface* s) : surface(isWordSurface(s) ? s : nullptr)
    {
        if (surface && SDL_LockSurface(surface) != 0)
            surface = nullptr;
    }
    ~SurfaceLock()
    {
        if (surface)
            SDL_UnlockSurface(surface);
    }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;
    bool ok() const { return surface && surface->pixels; }

private:
    SDL_Surface* surface;
};
