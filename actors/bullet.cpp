#include "actors/bullet.h"

#include "world/systphysical.h"

#include <cstdlib>

namespace {

constexpr i32 ShotSize = 4;
constexpr i32 WindowMargin = 32;  // shots are spent this far beyond the view
constexpr i32 ViewWidth = 320;
constexpr i32 ViewHeight = 240;

} // namespace

Bullet::Bullet(i32 x, i32 y, i8 velX, i8 velY, Physical* shooter)
    : Physical(FlagShot, x - ShotSize / 2, y - ShotSize / 2, ShotSize, ShotSize, 0), velX(velX), velY(velY)
{
    if (shooter && (shooter->typeFlags & FlagCharacter)) {
        if (Character* character = dynamic_cast<Character*>(shooter))
            team = character->team;
    }
}

bool Bullet::overlaps(const Physical* other) const
{
    return x < other->x + other->w && other->x < x + w && y < other->y + other->h && other->y < y + h;
}

bool Bullet::passesOver(Physical* object) const
{
    if (!(object->typeFlags & FlagCharacter))
        return false;
    Character* character = dynamic_cast<Character*>(object);
    return character && (character->team == team || character->isDead());
}

std::vector<Damagable*> Bullet::targetsInReach() const
{
    std::vector<Damagable*> targets;
    for (Damagable* target = owner->firstIn<Damagable>(); owner->hasMoreInCategory();
         target = owner->nextIn<Damagable>()) {
        Physical* object = owner->currentInCategory();
        if (overlaps(object) && !passesOver(object))
            targets.push_back(target);
    }
    return targets;
}

bool Bullet::strikeTargets()
{
    // The targets are gathered first and hurt after the walk: a hurt may start a category walk
    // of its own, which would end this one half-way.
    const std::vector<Damagable*> targets = targetsInReach();
    for (Damagable* target : targets) {
        hitTarget(target);
        spent = 1;
    }
    return !targets.empty();
}

bool Bullet::closeWindowOnTerrain(Window* window)
{
    bool touched = false;
    const i32 stepX = std::abs(velX);
    const i32 stepY = std::abs(velY);
    for (Block* block = owner->firstIn<Block>(); owner->hasMoreInCategory(); block = owner->nextIn<Block>()) {
        if (!block->isSolid() || !overlaps(owner->currentInCategory()))
            continue;
        touched = true;
        // Each surface is asked with the shot pushed one step toward it.
        y += stepY;
        block->hitCeiling(this, &window->top, false);
        y -= 2 * stepY;
        block->hitFloor(this, &window->bottom, false);
        y += stepY;
        x += stepX;
        block->hitWallLeft(this, &window->left, false);
        x -= 2 * stepX;
        block->hitWallRight(this, &window->right, false);
        x += stepX;
    }
    return touched;
}

void Bullet::advance(const Window& window)
{
    const i32 nx = x + velX;
    const i32 ny = y + velY;
    const bool roomAhead = nx + velX + w < window.right && nx + velX > window.left &&
                           ny + velY + h < window.bottom && ny + velY > window.top;
    if (roomAhead) {
        x = nx;
        y = ny;
        return;
    }
    // Stop with the centre on the limit the next step would cross.
    const i32 cx = nx + velX + w >= window.right ? window.right - w / 2 : nx;
    x = cx + velX > window.left ? cx : window.left - w / 2;
    const i32 cy = ny + velY + h >= window.bottom ? window.bottom - h / 2 : ny;
    y = cy + velY > window.top ? cy : window.top - h / 2;
    spent = 1;
}

void Bullet::update()
{
    if (!spent) {
        Window window{owner->cameraX - WindowMargin, owner->cameraX + ViewWidth + WindowMargin,
                      owner->cameraY - WindowMargin, owner->cameraY + ViewHeight + WindowMargin};
        const bool hitSomething = strikeTargets();
        const bool inTerrain = closeWindowOnTerrain(&window);
        advance(window);
        if (spent && inTerrain)
            hitWall(!hitSomething);
    }
    ++age;
    fly();
}
