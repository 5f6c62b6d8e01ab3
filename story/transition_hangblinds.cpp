#include "story/transition_hangblinds.h"

#include "core/draw.h"
#include "core/random.h"

#include <algorithm>
#include <utility>

namespace {

constexpr u16 Steps = 56;          // the counter at the hand-over; one more step at 0
constexpr i32 SweepStart = 224;    // base = SweepStart - 4 x counter: 0 at the first step
constexpr i32 SweepWidth = 4;      // columns the sweep sets falling per step
constexpr int EarlyStarters = 10;  // random columns set falling ahead of the sweep per step
constexpr int EarlyReach = 64;     // how far ahead of the sweep they may lie
constexpr i32 MiddleRow = 120;
constexpr i32 RowsPerStep = 7;     // rows lost at the top and at the bottom per step
constexpr i32 ColumnWidth = 2;
constexpr i32 PictureHeight = 240;

} // namespace

Transition_HangBlinds::Transition_HangBlinds(GameSystem* target, Callback callback, u32 code)
    : Transition(target, std::move(callback), code)
{
    std::fill(std::begin(blinds), std::end(blinds), Intact);
}

void Transition_HangBlinds::begin()
{
    counter = Steps;
}

void Transition_HangBlinds::startFalling(u32 column)
{
    if (column < u32(ColumnCount))
        blinds[column] = std::min<u8>(blinds[column], Intact - 1);
}

void Transition_HangBlinds::step()
{
    for (u8& v : blinds)
        if (v > 0 && v < Intact)
            --v;
    u32 base = u16(SweepStart - SweepWidth * counter);
    for (i32 i = 0; i < SweepWidth; ++i)
        startFalling(base + i);
    for (int i = 0; i < EarlyStarters; ++i) {
        int reach = randomSigned(EarlyReach);
        startFalling(base + randomSigned(reach));
    }
}

void Transition_HangBlinds::drawEffect(SDL_Surface* screen)
{
    for (int c = 0; c < ColumnCount; ++c) {
        u8 v = blinds[c];
        if (v == 0)
            continue;
        i32 top = v == Intact ? 0 : MiddleRow - RowsPerStep * v;
        i32 height = PictureHeight - 2 * top;
        SDL_Rect from = {i16(ColumnWidth * c), i16(top), u16(ColumnWidth), u16(height)};
        blitSurface(from.x, from.y, picture, screen, &from);
    }
}
