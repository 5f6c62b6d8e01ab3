#include "actors/creatures/splecker.h"

#include "actors/blood.h"
#include "actors/box_overlap.h"
#include "actors/creatures/acid_puke.h"
#include "actors/effects/death_burst.h"
#include "core/draw.h"
#include "core/media.h"
#include "core/random.h"
#include "world/factory.h"
#include "world/systphysical.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr u8 WildlifeTeam = 4;
constexpr u8 WildlifeKind = 4;
constexpr i16 FullHealth = 24;
constexpr u32 HiddenFlags = FlagScenery;                  // in no hurtable category
constexpr u32 AlertFlags = FlagDamagable | FlagCharacter;  // can be hurt and hit
constexpr i32 RootReach = 96;     // the deepest floor it can root on, below its feet
constexpr u8 LowestNeck = 32;
constexpr u8 HighestNeck = 96;
constexpr i32 SightRange = 100;
constexpr u32 SearchPeriod = 4;
constexpr u8 SpitLength = 30;
constexpr u8 BleedTime = 15;
constexpr u8 AwakeHead = 0;
constexpr u8 OpenHead = 1;
constexpr u8 OpeningHead = 4;
constexpr u8 DeadHead = 5;
constexpr u8 AsleepHead = 6;
constexpr u32 HurtColour = 0xFFFFDDDD;  // light pink

Physical* makeSplecker(const ObjectArgs& a)
{
    return new Splecker(a.x, a.y);
}
ObjectRegistrar spleckerRegistrar(12, 12, makeSplecker);

void blitCell(SDL_Surface* screen, SDL_Surface* sheet, i32 x, i32 y, i16 sx, i16 sy, u16 sh = 16)
{
    SDL_Rect cell{sx, sy, 16, sh};
    blitSurfaceOffset(x, y, sheet, screen, &cell);
}

} // namespace

void drawSpleckerNeck(SDL_Surface* screen, SDL_Surface* sheet, i32 rootX, i32 rootY, u8 neck, bool broken)
{
    const int segments = neck == 0 ? 1 : (int(neck) - 8) >> 4;
    blitCell(screen, sheet, rootX, rootY, 0, 48);
    i32 top = rootY - 16;  // the top of the last piece drawn
    blitCell(screen, sheet, rootX, top, 0, 32);
    const int whole = segments - (broken ? 2 : 1);
    for (int i = 0; i < whole; ++i) {
        top -= 16;
        blitCell(screen, sheet, rootX, top, 0, 16);
    }
    if (broken) {
        blitCell(screen, sheet, rootX, top - 16, 16, 16);
        return;
    }
    const int part = (neck + 8) % 16;
    if (part > 0)
        blitCell(screen, sheet, rootX, top - part, 0, i16(32 - part), u16(part));
}

SDL_Rect spleckerHeadCell(u8 head)
{
    if (head <= DeadHead)
        return SDL_Rect{i16(head * 16), 0, 16, 16};
    return SDL_Rect{i16((head - 5) * 16), 32, 16, 16};
}

Splecker::Splecker(i32 x, i32 y) : Wildlife(x, y)
{
    health = FullHealth;
    team = WildlifeTeam;
    kind = WildlifeKind;
    this->x = x - 4;
    this->y = y - 8;
    w = 8;
    h = 12;
    depth = -2;
    typeFlags = HiddenFlags;
    sheet = loadGraphic("resource/splecker.gif", true, 0, 255, 0, false);
    head = AsleepHead;
    faceRight = randomSigned(1) == 0 ? 1 : 0;
    timer = u8(30 + randomSigned(60));
    rootX = this->x - 4;
    rootY = this->y + 24;
    spitSound = loadSound("resource/puke.wav");
}

void Splecker::act()
{
    if (dead) {
        bleed();
        return;
    }
    velX = 0;
    velY = 0;
    if (neck == 0)
        rootSplecker(*this, rootY, neck);
    if (owner->frame() % SearchPeriod == 0 && !spitting)
        watchForFoes();
    if (!spitting)
        animateHead();
    if (spitting)
        spit();
}

void Splecker::bleed()
{
    spitting = 0;
    if (head != DeadHead)
        throwCorpse();
    if (timer != 0) {
        --timer;
        i8 bloodX = i8(velX + randomRange(2, -2));
        i8 bloodY = i8(velY + randomRange(2, -2));
        owner->add(new Blood(x + 8, y + 12, bloodX, bloodY));
    }
    if (y + h >= floorLimit)
        velX = 0;
}

// Thrown away from where it looked; the corpse stays in the level.
void Splecker::throwCorpse()
{
    timer = BleedTime;
    velX = i8(faceRight ? randomRange(-2, -4) : randomRange(2, 4));
    velY = i8(randomRange(-3, -5));
    owner->add(new Death_Burst(centreX(*this), centreY(*this), 0, 0, 0));
    x += 3;
    w = 2;
    head = DeadHead;
}

void rootSplecker(Physical& body, i32& rootY, u8& neck)
{
    SystPhysical* level = body.owner;
    if (!level)
        return;  // outside a level there is no floor to look for
    body.x += 3;
    body.w = 2;
    i32 limit = body.y + body.h + RootReach;
    bool rooted = false;
    for (level->firstOfType(FlagBlock); level->hasMoreOfType(); level->nextOfType()) {
        Block* block = level->currentOfTypeAs<Block>();
        if (block && block->hitFloor(&body, &limit, false))
            rooted = true;
    }
    body.x -= 3;
    body.w = 8;
    rootY = limit;
    if (!rooted)
        body.removeSelf();
    neck = u8(rootY - body.y);
}

void Splecker::watchForFoes()
{
    Physical* foe = nearestFoe();
    hasFoe = foe ? 1 : 0;
    if (foe) {
        aimDx = i8(std::clamp(centreX(*foe) - centreX(*this), -SightRange, SightRange));
        typeFlags = AlertFlags;
        faceRight = centreX(*foe) > x + 8 ? 1 : 0;
        const i32 below = foe->y - y;
        if (below > 32)
            neck = u8(std::max(neck - 1, int(LowestNeck)));
        else if (below < 16 && y > ceilingLimit)
            neck = u8(std::min(neck + 1, int(HighestNeck)));
    } else {
        typeFlags = HiddenFlags;
        neck = u8(std::max(neck - 1, int(LowestNeck)));
    }
    y = rootY - neck;
}

// The living character nearest sideways, not of the wildlife team; the first found wins a tie.
Physical* Splecker::nearestFoe()
{
    Physical* nearest = nullptr;
    i32 nearestDistance = SightRange;
    for (Physical* p = owner->firstOfType(FlagCharacter); owner->hasMoreOfType(); p = owner->nextOfType()) {
        const i32 distance = std::abs(centreX(*p) - centreX(*this));
        if (distance >= nearestDistance)
            continue;
        Character* c = owner->currentOfTypeAs<Character>();
        if (!c || c->team == WildlifeTeam || c->isDead())
            continue;
        nearest = p;
        nearestDistance = distance;
    }
    return nearest;
}

void Splecker::animateHead()
{
    const u32 frame = owner->frame();
    if (!hasFoe) {
        // Dozing off: awake 0 goes to 8, then 7, then 6 (asleep).
        if (frame % 6 == 0) {
            if (head == AwakeHead)
                head = 8;
            else if (head == 7 || head == 8)
                --head;
        }
        if (timer <= 9)
            head = AwakeHead;
        return;
    }
    if (head != OpenHead && timer != 0)
        --timer;
    if (timer == 0) {
        openUp();
        return;
    }
    // Waking: 6, 7, 8, then awake.
    if (frame % 3 == 0 && head > DeadHead) {
        ++head;
        if (head == 9)
            head = AwakeHead;
    }
}

// The mouth opens a cell every second frame; fully open, the spit begins.
void Splecker::openUp()
{
    if (head == AwakeHead)
        head = OpeningHead;
    timer = 1;
    if (owner->frame() % 2 != 0)
        return;
    --head;
    if (head == OpenHead) {
        playSound(spitSound, 0);
        timer = SpitLength;
        spitting = 1;
    }
}

void Splecker::spit()
{
    if (timer != 0) {
        --timer;
        spitDrop();
        return;
    }
    // Closing the mouth: 2, 3, 4, then awake again.
    if (owner->frame() % 2 != 0)
        return;
    ++head;
    if (head > OpeningHead) {
        head = AwakeHead;
        spitting = 0;
        timer = u8(randomRange(80, 130));
    }
}

// The drops sway across the aim as the spit runs down.
void Splecker::spitDrop()
{
    const double phase = timer / 3.0;
    const int sway = int(std::trunc((faceRight ? 2.0 : -2.0) * std::sin(phase)));
    const i8 dropVelX = i8(aimDx / 14 + sway);
    const i8 dropVelY = i8(std::trunc(-1.5 - std::cos(phase)));
    const i32 dropX = faceRight ? x + 10 : x - 2;
    owner->add(new AcidPuke(dropX, y + 8, dropVelX, dropVelY, this));
}

void Splecker::draw(SDL_Surface* screen)
{
    drawSpleckerNeck(screen, sheet, rootX, rootY, neck, dead != 0);
    drawHead(screen);
}

void Splecker::drawHead(SDL_Surface* screen)
{
    i32 headX = x - 4;
    if (dead)
        headX = x - 7;
    else if (spitting && timer % 2 == 0)
        headX = faceRight ? x - 5 : x - 3;  // the head shakes while it spits
    SDL_Rect cell = spleckerHeadCell(head);
    blitSurfaceExOffset(headX, y, sheet, screen, faceRight != 0, false, &cell, hurtThisFrame != 0, HurtColour);
}
