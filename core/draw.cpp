#include "core/draw.h"

#include "core/pixels.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <cstdlib>
#include <cstring>
#include <limits>

i32 drawOffsetX = 0;
i32 drawOffsetY = 0;

namespace {

// Positions handed to the blits are 16-bit; a far-away world position saturates instead of
// wrapping round onto the screen.
i16 narrow(i32 v)
{
    return i16(std::clamp<i32>(v, std::numeric_limits<i16>::min(), std::numeric_limits<i16>::max()));
}

SDL_Rect wholeRect(const SDL_Surface* s)
{
    return {0, 0, u16(s->w), u16(s->h)};
}

// One axis of a per-pixel blit: block index k (0..len-1) lands on destination d0 + k and reads
// source s0 + k, or s0 + len - 1 - k when mirrored. Narrows [lo, hi) of k to the indices whose
// destination lies in [destLo, destHi) and whose source lies in [srcLo, srcHi).
struct Span {
    int lo, hi;
};

Span blitSpan(int d0, int s0, int len, bool flip, int destLo, int destHi, int srcLo, int srcHi)
{
    Span k{std::max(0, destLo - d0), std::min(len, destHi - d0)};
    if (flip) {
        k.lo = std::max(k.lo, s0 + len - srcHi);
        k.hi = std::min(k.hi, s0 + len - srcLo);
    } else {
        k.lo = std::max(k.lo, srcLo - s0);
        k.hi = std::min(k.hi, srcHi - s0);
    }
    return k;
}

template <int Scale>
void expandScalar(u32* out, const u32* in, int sourceCount)
{
    for (int i = 0; i < sourceCount; ++i) {
        u32 v = in[i];
        for (int k = 0; k < Scale; ++k)
            *out++ = v;
    }
}

#ifdef __SSE2__
// Four source pixels at a time become Scale stores of four words each.
template <int Scale>
void expandFixed(u32* out, const u32* in, int sourceCount)
{
    int quads = sourceCount / 4;
    for (int q = 0; q < quads; ++q, in += 4, out += 4 * Scale) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        __m128i* o = reinterpret_cast<__m128i*>(out);
        if constexpr (Scale == 2) {
            _mm_storeu_si128(o, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 1, 0, 0)));
            _mm_storeu_si128(o + 1, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 2, 2)));
        } else if constexpr (Scale == 3) {
            _mm_storeu_si128(o, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 0, 0)));
            _mm_storeu_si128(o + 1, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1)));
            _mm_storeu_si128(o + 2, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 2)));
        } else if constexpr (Scale == 4) {
            _mm_storeu_si128(o, _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 0, 0, 0)));
            _mm_storeu_si128(o + 1, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 1, 1, 1)));
            _mm_storeu_si128(o + 2, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 2, 2)));
            _mm_storeu_si128(o + 3, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 3)));
        } else {
            _mm_storeu_si128(o, _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 0, 0, 0)));
            _mm_storeu_si128(o + 1, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 1, 1, 0)));
            _mm_storeu_si128(o + 2, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1)));
            _mm_storeu_si128(o + 3, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 2, 2, 2)));
            _mm_storeu_si128(o + 4, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 3)));
        }
    }
    expandScalar<Scale>(out, in, sourceCount - quads * 4);
}
#else
template <int Scale>
void expandFixed(u32* out, const u32* in, int sourceCount)
{
    expandScalar<Scale>(out, in, sourceCount);
}
#endif

void expandRun(u32* out, const u32* in, int sourceCount, u32 scale)
{
    switch (scale) {
    case 1: std::memcpy(out, in, size_t(sourceCount) * 4); break;
    case 2: expandFixed<2>(out, in, sourceCount); break;
    case 3: expandFixed<3>(out, in, sourceCount); break;
    case 4: expandFixed<4>(out, in, sourceCount); break;
    case 5: expandFixed<5>(out, in, sourceCount); break;
    default:
        for (int i = 0; i < sourceCount; ++i)
            std::fill_n(out + size_t(i) * scale, scale, in[i]);
    }
}

// Destination columns [c0, c1) of one row: column c takes source column c / sx.
void expandRow(u32* out, const u32* in, int c0, int c1, u32 sx)
{
    int c = c0;
    for (; c < c1 && c % int(sx) != 0; ++c)
        out[c] = in[c / sx];
    int groups = (c1 - c) / int(sx);
    expandRun(out + c, in + c / sx, groups, sx);
    for (c += groups * int(sx); c < c1; ++c)
        out[c] = in[c / sx];
}

void plot(SDL_Surface* dst, const PixelBox& box, i64 x, i64 y, u32 colour)
{
    if (x >= box.x0 && x < box.x1 && y >= box.y0 && y < box.y1)
        pixelRow(dst, int(y))[x] = colour;
}

// Walks the long axis one pixel at a time; the short axis is the exact real-number value
// truncated toward zero, so long lines do not drift by accumulated rounding.
void walkLine(SDL_Surface* dst, const PixelBox& box, i64 a1, i64 b1, i64 a2, i64 b2, bool steep,
              u32 colour)
{
    if (a2 < a1) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    i64 da = a2 - a1, db = b2 - b1;
    for (i64 k = 0; k <= da; ++k) {
        i64 b = (b1 * da + k * db) / da;
        if (steep)
            plot(dst, box, b, a1 + k, colour);
        else
            plot(dst, box, a1 + k, b, colour);
    }
}

// Where the copies of a tile start along one axis: `start` up to (not including) `end`.
struct TileSpan {
    int start;
    int end;
};

// Just once at `place`; repeated, from the copy that covers 0 (or begins just there) on across
// the whole `extent`.
TileSpan tileSpan(int place, int step, bool repeat, int extent)
{
    if (!repeat)
        return {place, place + 1};
    int start = place % step;
    if (start > 0)
        start -= step;
    return {start, extent};
}

} // namespace

void blitSurface(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, SDL_Rect* srcRect)
{
    if (!src || !dst)
        return;
    SDL_Rect from = srcRect ? *srcRect : wholeRect(src);
    if (x >= dst->w || y >= dst->h || x + int(from.w) < 0 || y + int(from.h) < 0)
        return;
    // SDL clips the source to the image and the destination to its clip rectangle.
    SDL_Rect to = {x, y, 0, 0};
    SDL_BlitSurface(src, &from, dst, &to);
}

void blitSurfaceRect(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, i16 sx, i16 sy, u16 sw, u16 sh)
{
    SDL_Rect from = {sx, sy, sw, sh};
    blitSurface(x, y, src, dst, &from);
}

void tileSurface(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, SDL_Rect* srcRect, bool repeatX,
                 bool repeatY)
{
    if (!src || !dst)
        return;
    int stepX = srcRect ? srcRect->w : src->w;
    int stepY = srcRect ? srcRect->h : src->h;
    if (stepX <= 0 || stepY <= 0)
        return;
    const TileSpan across = tileSpan(x, stepX, repeatX, dst->w);
    const TileSpan down = tileSpan(y, stepY, repeatY, dst->h);
    for (int ty = down.start; ty < down.end; ty += stepY)
        for (int tx = across.start; tx < across.end; tx += stepX)
            blitSurface(i16(tx), i16(ty), src, dst, srcRect);
}

void blitSurfaceEx(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, bool flipX, bool flipY,
                   SDL_Rect* srcRect, bool solid, u32 colour)
{
    if (!flipX && !flipY && !solid) {
        blitSurface(x, y, src, dst, srcRect);
        return;
    }
    if (!src || !dst)
        return;
    SDL_Rect r = srcRect ? *srcRect : wholeRect(src);
    PixelBox target = clipBox(dst);
    // The source rectangle is cut to the image as well, so no pixel outside it is ever read.
    Span cols = blitSpan(x, r.x, r.w, flipX, target.x0, target.x1, 0, src->w);
    Span rows = blitSpan(y, r.y, r.h, flipY, target.y0, target.y1, 0, src->h);
    if (cols.lo >= cols.hi || rows.lo >= rows.hi)
        return;

    SurfaceLock srcLock(src), dstLock(dst);
    if (!srcLock.ok() || !dstLock.ok())
        return;
    bool keyed = (src->flags & SDL_SRCCOLORKEY) != 0;
    u32 key = src->format->colorkey;
    int step = flipX ? -1 : 1;
    int firstSrcCol = flipX ? r.x + r.w - 1 - cols.lo : r.x + cols.lo;
    int width = cols.hi - cols.lo;
    for (int j = rows.lo; j < rows.hi; ++j) {
        int srcY = flipY ? r.y + r.h - 1 - j : r.y + j;
        const u32* in = pixelRow(src, srcY) + firstSrcCol;
        u32* out = pixelRow(dst, y + j) + x + cols.lo;
        for (int i = 0; i < width; ++i, in += step) {
            u32 v = *in;
            if (keyed && v == key)
                continue;
            out[i] = solid ? colour : v;
        }
    }
}

void scaleSurface(u32 sx, u32 sy, SDL_Surface* src, SDL_Surface* dst)
{
    if (!src || !dst || sx == 0 || sy == 0)
        return;
    PixelBox box = clipBox(dst);
    box.x1 = int(std::min<i64>(box.x1, i64(src->w) * sx));
    box.y1 = int(std::min<i64>(box.y1, i64(src->h) * sy));
    if (box.empty())
        return;
    SurfaceLock srcLock(src), dstLock(dst);
    if (!srcLock.ok() || !dstLock.ok())
        return;
    size_t rowBytes = size_t(box.x1 - box.x0) * 4;
    for (int r = box.y0; r < box.y1; ++r) {
        u32* out = pixelRow(dst, r);
        // Rows after the first of a block repeat the row above.
        if (r > box.y0 && (r - 1) / sy == r / sy)
            std::memcpy(out + box.x0, pixelRow(dst, r - 1) + box.x0, rowBytes);
        else
            expandRow(out, pixelRow(src, int(r / sy)), box.x0, box.x1, sx);
    }
}

void setColorKey(SDL_Surface* s, bool on, u8 r, u8 g, u8 b)
{
    if (!s)
        return;
    if (on)
        SDL_SetColorKey(s, SDL_SRCCOLORKEY, SDL_MapRGB(s->format, r, g, b));
    else
        SDL_SetColorKey(s, 0, 0);
}

void clipToRect(i16* x, i16* y, SDL_Rect* r, const SDL_Rect* clip)
{
    int cutLeft = std::max(0, clip->x - *x);
    int cutTop = std::max(0, clip->y - *y);
    int overRight = std::max(0, *x + r->w - (clip->x + clip->w));
    int overBottom = std::max(0, *y + r->h - (clip->y + clip->h));
    r->w = u16(std::max(0, r->w - (overRight + cutLeft)));
    r->h = u16(std::max(0, r->h - (overBottom + cutTop)));
    r->x = i16(r->x + cutLeft);
    r->y = i16(r->y + cutTop);
    *x = i16(*x + cutLeft);
    *y = i16(*y + cutTop);
}

void fillRect(SDL_Surface* dst, i16 x, i16 y, u16 w, u16 h, u32 colour)
{
    if (!dst)
        return;
    SDL_Rect r = {x, y, w, h};
    SDL_FillRect(dst, &r, colour);
}

void drawRectOutline(SDL_Surface* dst, i32 x, i32 y, i32 w, i32 h, u32 colour)
{
    drawLine(x, y, x + w, y, colour, dst);
    drawLine(x, y + h, x + w, y + h, colour, dst);
    drawLine(x, y, x, y + h, colour, dst);
    drawLine(x + w, y, x + w, y + h, colour, dst);
}

void drawLine(i32 x1, i32 y1, i32 x2, i32 y2, u32 colour, SDL_Surface* dst)
{
    SurfaceLock lock(dst);
    if (!lock.ok())
        return;
    PixelBox box = clipBox(dst);
    i64 dx = i64(x2) - x1, dy = i64(y2) - y1;
    if (dx == 0 && dy == 0)
        plot(dst, box, x1, y1, colour);
    else if (std::llabs(dx) < std::llabs(dy))
        walkLine(dst, box, y1, x1, y2, x2, true, colour);
    else
        walkLine(dst, box, x1, y1, x2, y2, false, colour);
}

void putPixel(SDL_Surface* dst, u32 x, u32 y, u32 colour)
{
    if (!isWordSurface(dst) || !dst->pixels)
        return;
    plot(dst, clipBox(dst), x, y, colour);
}

u32 getPixel(SDL_Surface* src, u32 x, u32 y)
{
    if (!isWordSurface(src) || !src->pixels || x >= u32(src->w) || y >= u32(src->h))
        return 0;
    return pixelRow(src, int(y))[x];
}

bool pointInClip(SDL_Surface* surface, i32 x, i32 y)
{
    if (!surface)
        return false;
    const SDL_Rect& c = surface->clip_rect;
    return x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
}

void setRect(SDL_Rect* r, i16 x, i16 y, u16 w, u16 h)
{
    r->x = x;
    r->y = y;
    r->w = w;
    r->h = h;
}

u32 packRGBA(u8 r, u8 g, u8 b, u8 a)
{
    u8 bytes[4] = {r, g, b, a};
    u32 v;
    std::memcpy(&v, bytes, 4);
    return v;
}

u32 swapBytes32(u32 v)
{
    return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
}

void blitSurfaceOffset(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, SDL_Rect* srcRect)
{
    blitSurface(narrow(x + drawOffsetX), narrow(y + drawOffsetY), src, dst, srcRect);
}

void blitSurfaceRectOffset(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, i16 sx, i16 sy, u16 sw,
                           u16 sh)
{
    blitSurfaceRect(narrow(x + drawOffsetX), narrow(y + drawOffsetY), src, dst, sx, sy, sw, sh);
}

void fillRectOffset(SDL_Surface* dst, i16 x, i16 y, u16 w, u16 h, u32 colour)
{
    fillRect(dst, narrow(x + drawOffsetX), narrow(y + drawOffsetY), w, h, colour);
}

void drawRectOutlineOffset(SDL_Surface* dst, i32 x, i32 y, i32 w, i32 h, u32 colour)
{
    drawRectOutline(dst, x + drawOffsetX, y + drawOffsetY, w, h, colour);
}

void blitSurfaceExOffset(i16 x, i16 y, SDL_Surface* src, SDL_Surface* dst, bool flipX, bool flipY,
                         SDL_Rect* srcRect, bool solid, u32 colour)
{
    blitSurfaceEx(narrow(x + drawOffsetX), narrow(y + drawOffsetY), src, dst, flipX, flipY, srcRect,
                  solid, colour);
}

void drawLineOffset(i32 x1, i32 y1, i32 x2, i32 y2, u32 colour, SDL_Surface* dst)
{
    drawLine(x1 + drawOffsetX, y1 + drawOffsetY, x2 + drawOffsetX, y2 + drawOffsetY, colour, dst);
}
