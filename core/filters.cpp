#include "core/draw.h"

#include "core/pixels.h"

#include <bitset>
#include <vector>

namespace {

u32 brightness(u32 v)
{
    return ((v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF) + (v >> 24)) / 4;
}

// Per-channel (a + b) / 2 with the fraction dropped, all three channels in one go.
u32 averageRgb(u32 a, u32 b)
{
    return (((a & 0xFEFEFE) >> 1) + ((b & 0xFEFEFE) >> 1) + (a & b & 0x010101)) & 0xFFFFFF;
}

u32 embossColour(u32 here, u32 below, u32 darker, u32 equal, u32 brighter)
{
    u32 a = brightness(here) % 256, b = brightness(below) % 256;
    return a < b ? darker : a == b ? equal : brighter;
}

} // namespace

void tintRect(SDL_Surface* surface, SDL_Rect* rect, u8 r, u8 g, u8 b, u8 mode)
{
    SurfaceLock lock(surface);
    if (!lock.ok())
        return;
    SDL_Rect whole = {0, 0, u16(surface->w), u16(surface->h)};
    SDL_Rect* area = rect ? rect : &whole;
    i16 x = area->x, y = area->y;
    clipToRect(&x, &y, area, &surface->clip_rect);
    if (mode > 1)
        return;
    u32 tint = (u32(r) << 16) | (u32(g) << 8) | b;
    for (int row = 0; row < area->h; ++row) {
        u32* p = pixelRow(surface, y + row) + x;
        for (int col = 0; col < area->w; ++col)
            p[col] = averageRgb(p[col], tint);
    }
}

void flipSurface(SDL_Surface* surface)
{
    SurfaceLock lock(surface);
    if (!lock.ok())
        return;
    int w = surface->w, h = surface->h;
    std::vector<u32> copy;
    copy.reserve(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        copy.insert(copy.end(), pixelRow(surface, y), pixelRow(surface, y) + w);
    for (int y = 0; y < h; ++y) {
        u32* out = pixelRow(surface, y);
        for (int x = 0; x < w; ++x)
            out[x] = copy[copy.size() - 1 - (size_t(y) * w + x)];
    }
}

void thresholdSurface(SDL_Surface* surface, u32 colour)
{
    SurfaceLock lock(surface);
    if (!lock.ok())
        return;
    for (int y = 0; y < surface->h; ++y) {
        u32* p = pixelRow(surface, y);
        for (int x = 0; x < surface->w; ++x)
            p[x] = brightness(p[x]) <= 126 ? colour : 0xFFFFFFFF;
    }
}

void embossSurface(SDL_Surface* surface, u32 darker, u32 equal, u32 brighter)
{
    SurfaceLock lock(surface);
    if (!lock.ok())
        return;
    int w = surface->w, h = surface->h;
    for (int y = 0; y < h; ++y) {
        u32* p = pixelRow(surface, y);
        const u32* below = y + 1 < h ? pixelRow(surface, y + 1) : nullptr;
        for (int x = 0; x < w; ++x)
            p[x] = (below && x + 1 < w) ? embossColour(p[x], below[x + 1], darker, equal, brighter)
                                        : equal;
    }
}

// The pattern is 512 wide and 256 high, cut to the surface.
void fillParityPattern(SDL_Surface* surface)
{
    SurfaceLock lock(surface);
    if (!lock.ok())
        return;
    int w = std::min(surface->w, 512), h = std::min(surface->h, 256);
    for (int y = 0; y < h; ++y) {
        u32* p = pixelRow(surface, y);
        for (int x = 0; x < w; ++x)
            p[x] = std::bitset<32>(u32(y) * 512 + u32(x)).count() % 2 ? 0xFFFFFFFF : 0;
    }
}
