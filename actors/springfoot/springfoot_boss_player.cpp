#include "actors/springfoot/springfoot_boss_player.h"

#include "actors/box_overlap.h"
#include "world/factory.h"

namespace {

constexpr u8 PlayerTeam = 1;

} // namespace

Springfoot_Boss_Player::Springfoot_Boss_Player(i32 x, i32 y) : Springfoot_Boss(x, y)
{
    active = 1;
    pad = getControlPad(0);
    typeFlags |= FlagPlayer;
    team = PlayerTeam;
}

Controls Springfoot_Boss_Player::think()
{
    const int dir = int(controlHeld(ControlRight, pad)) - int(controlHeld(ControlLeft, pad));
    return Controls(i8(dir), controlPressed(ControlA, pad));
}

float Springfoot_Boss_Player::healthFraction()
{
    return Springfoot_Boss::healthFraction();
}

float Springfoot_Boss_Player::secondBarFraction()
{
    return 1.0f;
}

i32 Springfoot_Boss_Player::centerX()
{
    return centreX(*this);
}

i32 Springfoot_Boss_Player::centerY()
{
    return centreY(*this);
}

namespace {

Physical* makeBossPlayer(const ObjectArgs& args)
{
    return new Springfoot_Boss_Player(args.x, args.y);
}

const ObjectRegistrar bossPlayerPlacement(15, 15, makeBossPlayer);

} // namespace
