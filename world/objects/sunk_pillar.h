#pragma once
#include "world/interfaces.h"

// A pillar kind (Base: a plain or a solid pillar) that waits sunk into the floor until its cue
// raises it back to the height it measured.
template <class Base>
class Sunk_Pillar : public Base, public Cued {
public:
    void onGrounded() override { savedHeight = this->sink(); }

    u16 savedHeight = 0;  // the measured height it rises back to

protected:
    Sunk_Pillar(i32 x, i32 y) : Base(FlagBlock | FlagCued, x, y) {}

    void rise() { this->targetHeight = savedHeight; }
};
