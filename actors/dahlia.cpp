#include "actors/dahlia.h"

#include "actors/dahlia_bullet.h"
#include "actors/effects/dust.h"
#include "core/controlpad.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "story/cutaway.h"
#include "story/pause_menu.h"
#include "world/factory.h"
#include "world/systphysical.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

constexpr i32 CellW = 16;
constexpr i16 UpperRow = 0;
constexpr i16 StillLegsRow = 19;
constexpr i16 WalkLegsRow = 38;
constexpr i16 CorpseRow = 57;
constexpr i16 LastDeathFrame = 11;
constexpr i16 WalkCycle = 16;

constexpr i8 RunSpeed = 3;
constexpr i8 JumpSpeed = -6;
constexpr u8 TurnAfter = 5;             // frames of backpedalling before she turns round
constexpr i16 RegenerateBelow = 35;
constexpr u32 RegeneratePeriod = 30;
constexpr u32 FirePeriod = 4;
constexpr i8 ShotSpeed = 10;
constexpr u8 HurtBlinkFrames = 16;
constexpr u8 HurtSoundRest = 5;        // a new hurt sound only once the blink is nearly over
constexpr u16 RespawnFrames = 120;
constexpr i32 FallDamageKind = 1;
constexpr u8 PlayerTeam = 1;
constexpr u8 OtherPlayersTeamBase = 4;  // players 1 to 5 are teams 5 to 9

constexpr u32 BlinkColour = 0xFFFFFFFF;
constexpr u32 CorpseFlashColour = 0xFFBB3333;

const char* const SoundFiles[Dahlia::SoundCount] = {
    "resource/dahliagun.wav",  "resource/jump.wav",   "resource/land.wav",
    "resource/dahliahit1.wav", "resource/dahliahit2.wav", "resource/dahliahit3.wav",
    "resource/step_1.wav",     "resource/step_2.wav", "resource/step_3.wav",
};

Physical* makeDahlia(const ObjectArgs& args)
{
    return new Dahlia(args.x, args.y, u8(args.param));
}

Physical* makeDahliaSit(const ObjectArgs& args)
{
    return new Dahlia_Sit(args.x, args.y);
}

// Player 0 has id 0, players 1 to 5 ids 20 to 24.
const ObjectRegistrar firstPlayer(0, 0, makeDahlia);
const ObjectRegistrar otherPlayers(20, 24, makeDahlia);
const ObjectRegistrar seatedHeroine(34, 34, makeDahliaSit);

std::string sheetFor(u8 playerNo)
{
    if (playerNo <= 1)
        return "resource/char.gif";
    return "resource/multiplayer-" + std::to_string(playerNo) + ".gif";
}

} // namespace

Dahlia::Dahlia(i32 x, i32 y, u8 playerNo)
    : Actor(x, y), respawnX(x), respawnY(y), respawnCountdown(RespawnFrames), playerNo(playerNo)
{
    this->x = x - 4;
    this->y = y - 8;
    w = 8;
    h = 19;
    depth = 0;
    typeFlags = FlagDamagable | FlagCharacter | FlagPlayer;
    kind = 1;
    team = playerNo == 0 ? PlayerTeam : u8(playerNo + OtherPlayersTeamBase);
    sheet = loadGraphic(sheetFor(playerNo), true, 0, 255, 0, false);
    for (u8 i = 0; i < SoundCount; ++i)
        sounds[i] = loadSound(SoundFiles[i]);
    pad = getControlPad(playerNo);
}

float Dahlia::healthFraction()
{
    return health < 0 ? 0.0f : float(health) / 100.0f;
}

float Dahlia::secondBarFraction()
{
    return 1.0f;
}

i32 Dahlia::centerX()
{
    return x + w / 2;
}

i32 Dahlia::centerY()
{
    return y + h / 2;
}

void Dahlia::setRespawnPoint()
{
    respawnX = x;
    respawnY = floorLimit - h;
}

void Dahlia::addImpulse(i16 a, i16 b)
{
    velX = i8(velX + a / 8);
    velY = i8(velY + b / 8);
}

void Dahlia::play(u8 sound)
{
    playSound(sounds[sound], 0);
}

void Dahlia::playStep()
{
    play(u8(SoundStep1 + randomSigned(2)));
}

Controls Dahlia::think()
{
    const i8 dir = i8(controlHeld(ControlRight, pad) - controlHeld(ControlLeft, pad));
    return Controls(dir, controlPressed(ControlA, pad));
}

void Dahlia::jump(bool onGround)
{
    if (!onGround)
        return;
    velY = std::min(velY, JumpSpeed);
    play(SoundJump);
}

void Dahlia::walk(bool onGround, i8 dir)
{
    if (!onGround) {
        if (owner->frame() % 2 == 0)
            velX = i8(std::clamp(velX + dir, -i32(RunSpeed), i32(RunSpeed)));
        // In the air she keeps her facing: walking against it only swings the gun round.
        const i8 wanted = controls.dir();
        if (wanted == facing)
            pose = PoseForward;
        else if (wanted == -facing)
            pose = PoseBackpedal;
        backpedal = pose == PoseBackpedal;
        return;
    }
    velX = i8(RunSpeed * dir);
    if (dir == 0) {
        turnCount = 0;
        walkFrame = LegsStanding;
        return;
    }
    if (dir + facing == 0) {
        ++turnCount;
        backpedal = 1;
        walkFrame = i16(std::max((walkFrame + WalkCycle - 1) % WalkCycle, 0));
        if (walkFrame == 1 || walkFrame == 9)
            playStep();
        if (turnCount <= TurnAfter) {
            pose = PoseBackpedal;
            return;
        }
        facing = i8(-facing);
        pose = PoseForward;
        backpedal = 0;
        return;
    }
    walkFrame = i16(std::max((walkFrame + 1) % WalkCycle, 0));
    if (walkFrame == 7 || walkFrame == 15)
        playStep();
    turnCount = 0;
    pose = PoseForward;
    backpedal = 0;
}

void Dahlia::land()
{
    if (velY > 3)
        play(SoundLand);
    if (velY > 7 && std::abs(velX) > 2)
        throwDust(velX > 0 ? i8(velX - 1) : i8(velX + 1));
}

void Dahlia::throwDust(i8 drift)
{
    owner->add(new Dust(x + 4, floorLimit, drift, 0, 0));
}

void Dahlia::act()
{
    moveCutaway();
    regenerate();
    fallOutOfView();
    if (!controlsForced)
        aim();
    animate();
    countDownToRespawn();
    fire();
    openPauseMenu();
    soundHurt();
    if (hurtCooldown > 0)
        --hurtCooldown;
}

void Dahlia::moveCutaway()
{
    if (!cutaway.object || !owner->isAlive(cutaway))
        return;
    if (Cutaway* follower = dynamic_cast<Cutaway*>(cutaway.object))
        follower->setPosition(x + 4, y + 8);
}

void Dahlia::regenerate()
{
    if (health < RegenerateBelow && !dead && owner->frame() % RegeneratePeriod == 0)
        ++health;
}

void Dahlia::fallOutOfView()
{
    if (belowView())
        hurt(health, FallDamageKind);
}

void Dahlia::aim()
{
    if (controlHeld(ControlUp, pad))
        pose = PoseUp;
    else if (controlHeld(ControlDown, pad))
        pose = PoseDown;
    else if (backpedal)
        pose = PoseBackpedal;
    else
        pose = PoseForward;
}

void Dahlia::animate()
{
    if (!standing()) {
        walkFrame = velY < 0 ? LegsRising : LegsFalling;
        return;
    }
    if (!dead) {
        deathFrame = 0;
        return;
    }
    if (owner->frame() % 2 == 0)
        deathFrame = u16(std::min<i32>(deathFrame + 1, LastDeathFrame));
    velX = 0;
    velY = 0;
}

void Dahlia::countDownToRespawn()
{
    if (!dead || respawnCountdown == 0)
        return;
    if (--respawnCountdown == 0)
        respawn();
}

void Dahlia::respawn()
{
    if (playerNo == 0) {
        owner->add(new Dahlia(respawnX, respawnY, 0));
    } else {
        Physical* other = nullptr;
        for (owner->firstIn<Player>(); owner->hasMoreInCategory() && !other; owner->nextIn<Player>()) {
            Physical* body = owner->currentInCategory();
            if (body->serial != serial)
                other = body;
        }
        if (other)
            owner->add(new Dahlia(other->x + other->w / 2, other->y + other->h / 2 - 8, playerNo));
    }
    // What is left here is a corpse: no longer a player for the camera, the display or the pause.
    typeFlags &= ~u32(FlagPlayer);
}

void Dahlia::fire()
{
    if (!controlHeld(ControlB, pad) || owner->frame() % FirePeriod != 0 || dead || controlsForced)
        return;
    play(SoundGun);
    i32 startX = x + 4 + 8 * facing;
    i32 startY = y + 7;
    i8 shotX = i8(ShotSpeed * facing);
    i8 shotY = 0;
    switch (pose) {
    case PoseBackpedal:
        startX = x + 4 - 2 * facing;
        shotX = i8(-ShotSpeed * facing);
        break;
    case PoseUp:
    case PoseDown:
        startX = facing < 0 ? x + 3 : x + 6;
        startY = pose == PoseUp ? y - 1 : y + 14;
        shotX = 0;
        shotY = pose == PoseUp ? -ShotSpeed : ShotSpeed;
        break;
    default:
        break;
    }
    owner->add(new Dahlia_Bullet(startX, startY, shotX, shotY, this));
}

void Dahlia::openPauseMenu()
{
    // A level holds one pause menu at a time: several players, or corpses left on screen, must
    // not stack menus that each freeze the level again. A heroine counting down to her respawn
    // is still the player and may pause.
    if (!controlPressed(ControlY, primaryPad) || !(typeFlags & FlagPlayer))
        return;
    if (Pause_Menu::isOpenIn(owner))
        return;
    owner->add(new Pause_Menu());
}

void Dahlia::soundHurt()
{
    if (!hurtThisFrame || hurtCooldown >= HurtSoundRest)
        return;
    lastHitSound = u8((lastHitSound + randomRange(1, 2)) % 3);
    play(u8(SoundHit1 + lastHitSound));
    hurtCooldown = HurtBlinkFrames;
}

void Dahlia::blitPart(SDL_Surface* screen, i32 px, i32 py, SDL_Rect* cell, bool solid, u32 colour)
{
    blitSurfaceExOffset(i16(px), i16(py), sheet, screen, facing < 0, false, cell, solid, colour);
}

void Dahlia::drawAlive(SDL_Surface* screen)
{
    const i32 d = walkFrame >= 0 ? 3 * walkFrame / 4 : walkFrame;
    const bool blink = (hurtCooldown & 2) != 0;
    if (d >= 0) {
        legsRect.x = i16(d * CellW);
        legsRect.y = WalkLegsRow;
    } else {
        legsRect.x = i16((-1 - d) * CellW);
        legsRect.y = StillLegsRow;
    }
    blitPart(screen, x - 4, y, &legsRect, blink, BlinkColour);

    i32 upperX = x - 4;
    i32 upperY = y;
    if (d < 0) {
        if (d == LegsStanding)
            upperX += facing;
    } else {
        // A one-pixel bob and sway in step with the legs.
        upperY += ((d + 4) % 6) / 3;
        if (d % 6 == 3)
            upperX += facing;
    }
    if (pose == PoseUp)
        upperY -= 2;
    upperRect.x = i16(pose * CellW);
    upperRect.y = UpperRow;
    blitPart(screen, upperX, upperY, &upperRect, blink, BlinkColour);
}

void Dahlia::drawCorpse(SDL_Surface* screen)
{
    corpseRect.x = i16(deathFrame * CellW);
    corpseRect.y = CorpseRow;
    blitPart(screen, x - 4, y + 1, &corpseRect, respawnCountdown % 10 > 4, CorpseFlashColour);
}

void Dahlia::draw(SDL_Surface* screen)
{
    if (dead)
        drawCorpse(screen);
    else
        drawAlive(screen);
}

Dahlia_Sit::Dahlia_Sit(i32 x, i32 y) : Physical(0, x - 8, y - 11, 16, 22, -100)
{
    image = loadGraphic("resource/dahlia_sit.gif", true, 0, 255, 0, false);
}

void Dahlia_Sit::draw(SDL_Surface* screen)
{
    blitSurfaceOffset(i16(x), i16(y), image, screen, nullptr);
}
