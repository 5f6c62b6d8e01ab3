#pragma once
#include "core/types.h"
#include "world/physical.h"

#include <string>

// An invisible upright line placed in a level: the first player body to cross it gets a new
// respawn point there and, for most numbers, a speech box with a tutorial message.
class Tutorial_Mark : public Physical {
public:
    // (x, y) is the foot of the line, which stands 150 pixels tall and 2 wide.
    Tutorial_Mark(i32 x, i32 y, u8 number);

    void update() override;
    // Opens the marker's message unless a box is already open or the number shows none.
    void showTutorialMessage();

    u8 number;
};

// The fixed message of a marker number; numbers without one name the error.
const std::u16string& tutorialText(u8 number);
