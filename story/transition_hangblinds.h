#pragma once
#include "story/transition.h"

// The old picture cut into two-pixel columns: a sweep from left to right (with random columns
// running ahead of it) sets each column shrinking toward the middle row until it is gone.
class Transition_HangBlinds : public Transition {
public:
    static constexpr int ColumnCount = 160;
    static constexpr u8 Intact = 16;  // a column not yet touched; 15..1 shrinking, 0 gone

    Transition_HangBlinds(GameSystem* target, Callback callback, u32 code);

protected:
    void begin() override;
    void step() override;
    void drawEffect(SDL_Surface* screen) override;

private:
    void startFalling(u32 column);

    u8 blinds[ColumnCount];
};
