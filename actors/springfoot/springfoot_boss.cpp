#include "actors/springfoot/springfoot_boss.h"

#include "actors/blood.h"
#include "actors/effects/dust.h"
#include "actors/effects/smoke.h"
#include "actors/springfoot/foes.h"
#include "actors/springfoot/groundwave.h"
#include "actors/springfoot/springfoot.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/factory.h"
#include "world/systphysical.h"

#include <algorithm>

namespace {

constexpr i16 FullHealth = 250;
constexpr u8 CreatureTeam = 4;
constexpr u8 WildlifeKind = 4;

// Health phases.
constexpr i16 SteeringAbove = 125;   // above: it steers its leaps
constexpr i16 WavesFrom = 124;       // at or below: hard landings send ground waves
constexpr i16 LastPhaseFrom = 25;    // at or below: it steers again
constexpr i16 RestlessBelow = 50;    // below: it walks more often
constexpr i16 DoubleReinforcementsBelow = 121;
constexpr u16 ReinforcementStep = 20;

// Pictures of the sheet (it faces left).
constexpr u8 StateStand = 0;
constexpr u8 StateCrouch = 1;
constexpr u8 StateAirborne = 2;
constexpr u8 StateShudder = 3;
constexpr u8 StateCollapsed = 5;
constexpr i16 CellSize = 32;

constexpr i8 HopSpeedX = 3;
constexpr i8 SteerLimit = 3;
constexpr i8 LowJumpSpeed = -10;
constexpr i8 HighJumpSpeed = -12;
constexpr i32 LowJumpReach = 40;
constexpr i32 JumpAimDivisor = 40;
constexpr i32 WanderReach = 64;
constexpr i8 HardLanding = 6;  // a big jump landing faster than this shakes the ground
constexpr u8 LandingLock = 5;
constexpr u8 HardLandingLock = 10;
constexpr u8 JumpSoonAfterHurt = 5;
constexpr i8 ActivationLeap = -6;

constexpr i16 LeastStompDamage = 5;
constexpr i32 StompDamageKind = 8;
constexpr i8 WaveSpeed = 6;
constexpr int DustPuffs = 5;
constexpr int SmokePuffs = 10;
constexpr i16 MostBlood = 10;

constexpr u8 DeathShudderFrames = 150;
constexpr u8 DieSoundAt = 120;
constexpr u8 ShudderShake = 4;
constexpr u8 CollapseStepFrames = 10;  // the timer restarts here: eleven frames a picture
constexpr u16 CollapseShake = 8;

constexpr u32 HurtColour = 0xFFFFFFFF;
constexpr u32 WaveWarningColour = 0xFFAAFFFF;  // pale cyan at the top of a wave-making leap

} // namespace

Springfoot_Boss::Springfoot_Boss(i32 x, i32 y) : Actor(x, y)
{
    health = FullHealth;
    team = CreatureTeam;
    kind = WildlifeKind;
    this->x = x - 8;
    this->y = y - 16;
    w = 16;
    h = 32;
    depth = -1;
    typeFlags = FlagDamagable | FlagCharacter | FlagBoss;
    sheet = loadGraphic("resource/big-springfoot.gif", true, 255, 255, 255, false);
    faceLeft = randomSigned(1) == 1;
    phase = u8(randomSigned(255));
    targetX = this->x + randomRange(-WanderReach, WanderReach);
    targetY = this->y + randomRange(-WanderReach, WanderReach);
    hopSound = loadSound("resource/crushfoot_low.wav");
    jumpSound = loadSound("resource/crushfoot_high.wav");
    landSound = loadSound("resource/crushfoot_land.wav");
    phaseSound = loadSound("resource/enemy_die_big.wav");
    dieSound = loadSound("resource/crushfoot_die.wav");
    waveSound = loadSound("resource/shockwave.wav");
}

Controls Springfoot_Boss::think()
{
    if (dead)
        return Controls();
    const bool jumping = jumpTimer == 0;
    const int standChance = health < RestlessBelow ? 8 : 16;
    if (standing() && randomSigned(standChance) != 0)
        return Controls(0, jumping);
    if (lock != 0)
        return Controls(0, jumping);
    return Controls(targetX >= x ? 1 : -1, jumping);
}

void Springfoot_Boss::jump(bool onGround)
{
    if (!standing())
        return;
    lock = 0;
    canStomp = 1;
    velY = y - targetY <= LowJumpReach ? LowJumpSpeed : HighJumpSpeed;
    velX = i8(std::clamp((targetX - x) / JumpAimDivisor, -i32(SteerLimit), i32(SteerLimit)));
    playSound(jumpSound, 0);
    bigJump = 1;
}

void Springfoot_Boss::walk(bool onGround, i8 dir)
{
    if (dir == 0 || lock != 0)
        return;
    if (onGround) {
        canStomp = 1;
        velX = i8(HopSpeedX * dir);
        velY = i8(randomRange(-5, -8));
        playSound(hopSound, 0);
    } else if (owner->frame() % 2 == 0 && bigJump && (health < LastPhaseFrom || health > SteeringAbove)) {
        if (dir > 0 && velX < SteerLimit)
            ++velX;
        else if (dir < 0 && velX > -SteerLimit)
            --velX;
    }
    faceLeft = dir < 0;
}

void Springfoot_Boss::land()
{
    lock = LandingLock;
    if (!bigJump)
        return;
    bigJump = 0;
    if (velY <= HardLanding)
        return;
    playSound(landSound, 0);
    kickUpDust();
    if (wavesPhase())
        sendGroundWaves();
    lock = HardLandingLock;
    shake = u16(velY);
}

void Springfoot_Boss::kickUpDust()
{
    for (int i = 0; i < DustPuffs; ++i) {
        const i8 dustX = i8(randomSigned(1) == 1 ? randomRange(1, 4) : randomRange(-1, -4));
        const i8 dustY = i8(randomSigned(-1));
        addPhysical(owner, new Dust(x + 8, floorLimit, dustX, dustY, 0));
    }
}

void Springfoot_Boss::sendGroundWaves()
{
    addPhysical(owner, new GroundWave(x + 12, floorLimit, WaveSpeed, this));
    addPhysical(owner, new GroundWave(x + 4, floorLimit, -WaveSpeed, this));
    playSound(waveSound, 0);
}

bool Springfoot_Boss::wavesPhase() const
{
    return health <= WavesFrom;
}

void Springfoot_Boss::act()
{
    if (!active) {
        // Asleep it still hops now and then (its think and move run); the hop ends where it lands.
        if (standing() && velY >= 0)
            velX = 0;
        return;
    }
    if (shake != 0)
        --shake;
    if (dead) {
        if (standing())
            actDead();
        return;
    }
    callReinforcements();
    if (standing())
        actOnGround();
    else
        actInAir();
}

void Springfoot_Boss::callReinforcements()
{
    if (health >= reinforceBelow)
        return;
    spawnReinforcement();
    if (health < DoubleReinforcementsBelow)
        spawnReinforcement();
    reinforceBelow = u16(reinforceBelow - ReinforcementStep);
}

void Springfoot_Boss::spawnReinforcement()
{
    // They drop in at either edge of the screen, from just above it.
    const i32 edgeX = randomSigned(1) == 0 ? 6 : 314;
    addPhysical(owner, new Springfoot(owner->cameraX + edgeX, owner->cameraY - 6));
}

void Springfoot_Boss::actOnGround()
{
    if (lock != 0)
        --lock;
    if (velY >= 0)
        velX = 0;
    if (jumpTimer == 0)
        jumpTimer = u8(randomRange(40, 80));
    --jumpTimer;
    // Hurting it makes it leap away sooner, half of the time.
    if (hurtThisFrame && randomSigned(1) == 0)
        jumpTimer = std::min(jumpTimer, JumpSoonAfterHurt);
    if ((owner->frame() + 2u * phase) % 30 == 0) {
        retarget(x + 8, y + 16);
        faceLeft = targetX < x + w / 2;
    }
    state = jumpTimer % 15 < 6 ? StateCrouch : StateStand;
}

void Springfoot_Boss::actInAir()
{
    state = StateAirborne;
    if (!canStomp)
        return;
    const FoeSight sight = retarget(x + 4, y + 8);
    if (velY <= 0)
        return;
    for (Character* foe : sight.touching) {
        foe->hurt(std::max(i16(2 * velY), LeastStompDamage), StompDamageKind);
        velX = i8(-velX);
        canStomp = 0;
    }
}

FoeSight Springfoot_Boss::retarget(i32 fromX, i32 fromY)
{
    targetX = x + randomRange(-WanderReach, WanderReach);
    targetY = y + randomRange(-WanderReach, WanderReach);
    const FoeSight sight = lookForFoes(*this, team, fromX, fromY);
    if (sight.found) {
        targetX = sight.x;
        targetY = sight.y;
    }
    return sight;
}

void Springfoot_Boss::actDead()
{
    if (dieSoundPending) {
        playSound(dieSound, 0);
        dieSoundPending = 0;
    }
    velX = 0;
    if (deathTimer != 0) {
        if (deathTimer == DeathShudderFrames) {
            playSound(phaseSound, 0);
            puffSmoke();
        }
        if (deathTimer == DieSoundAt)
            dieSoundPending = 1;
        // Pictures 3, 1 and 0 in turns of eight frames.
        const u8 shudder = u8(2 - (deathTimer / 8) % 3);
        state = shudder == 2 ? StateShudder : shudder;
        --deathTimer;
        shake = ShudderShake;
    } else if (state < StateCollapsed) {
        collapse();
    }
}

void Springfoot_Boss::collapse()
{
    if (jumpTimer != 0) {
        --jumpTimer;
        return;
    }
    ++state;
    jumpTimer = CollapseStepFrames;
    if (state == StateCollapsed) {
        playSound(landSound, 0);
        shake = CollapseShake;
        fadeOutMusic();
    }
}

void Springfoot_Boss::hurt(i16 amount, i32 kind)
{
    if (dead)
        return;
    const i32 after = health - amount;
    const bool leavesFirstPhase = health > SteeringAbove && after <= SteeringAbove;
    const bool entersLastPhase = health > LastPhaseFrom && after <= LastPhaseFrom;
    if (leavesFirstPhase || entersLastPhase) {
        playSound(phaseSound, 0);
        puffSmoke();
    }
    health = i16(after);
    bleed(amount);
    if (health < 1)
        dead = 1;
}

void Springfoot_Boss::puffSmoke()
{
    for (int i = 0; i < SmokePuffs; ++i) {
        const i32 smokeX = x + w / 2 + randomRange(-16, 16);
        const i32 smokeY = y + h / 2 + randomRange(-16, 16);
        const i8 driftX = i8(randomRange(-3, 3));
        const i8 driftY = i8(randomRange(-3, 3));
        addPhysical(owner, new Smoke(smokeX, smokeY, driftX, driftY, 0));
    }
}

void Springfoot_Boss::bleed(i16 amount)
{
    const i16 drops = std::min(i16(amount / 2), MostBlood);
    for (i16 i = 0; i < drops; ++i) {
        const i32 dropX = x + randomRange(4, 12);
        const i32 dropY = y + randomRange(4, 8);
        const i8 flyX = i8(randomRange(-2, 2));
        const i8 flyY = i8(randomRange(-3, 1));
        addPhysical(owner, new Blood(dropX, dropY, flyX, flyY));
    }
}

float Springfoot_Boss::healthFraction()
{
    return float(health) / FullHealth;
}

bool Springfoot_Boss::isFinished()
{
    return state == StateCollapsed && shake == 0;
}

u16 Springfoot_Boss::shakeAmount()
{
    return shake;
}

void Springfoot_Boss::activate()
{
    active = 1;
    velX = ActivationLeap;
    velY = ActivationLeap;
    bigJump = 1;
    playSound(jumpSound, 0);
    faceLeft = 1;
    targetX = x - 160;
    targetY = y + 120;
}

void Springfoot_Boss::draw(SDL_Surface* screen)
{
    SDL_Rect source{i16(state * CellSize), 0, u16(CellSize), u16(CellSize)};
    const bool topOfWaveLeap = bigJump && (velY == 1 || velY == -1 || velY == -3) && wavesPhase();
    bool solid = false;
    u32 colour = 0;
    if (hurtThisFrame) {
        solid = true;
        colour = HurtColour;
    } else if (topOfWaveLeap) {
        solid = true;
        colour = WaveWarningColour;
    }
    blitSurfaceExOffset(i16(x - 8), i16(y), sheet, screen, !faceLeft, false, &source, solid, colour);
}

namespace {

Physical* makeSpringfootBoss(const ObjectArgs& args)
{
    return new Springfoot_Boss(args.x, args.y);
}

const ObjectRegistrar bossPlacement(13, 13, makeSpringfootBoss);

} // namespace
