#pragma once
#include "actors/springfoot/springfoot_boss.h"
#include "core/controlpad.h"

// The boss as a player body, steered by control pad 0: awake from the start and on the
// heroine's team.
class Springfoot_Boss_Player : public Springfoot_Boss, public Player {
public:
    Springfoot_Boss_Player(i32 x, i32 y);

    Controls think() override;
    // Both the heads-up display's bar and the boss fight's bar: health / 250.
    float healthFraction() override;
    float secondBarFraction() override;
    // The camera follows the centre of the box.
    i32 centerX() override;
    i32 centerY() override;

    ControlPad* pad;
};
