#include "story/demo_ending.h"

#include "actors/follower.h"
#include "core/draw.h"
#include "core/gamesystem.h"
#include "story/credits.h"
#include "story/level_exit.h"
#include "world/factory.h"
#include "world/systphysical.h"

namespace {

constexpr i32 WakeDistance = 64;     // the scene runs while the heroine is no further left than this
constexpr i32 CloseEnough = 16;      // an actor stops walking this near the trigger
constexpr i32 FollowerStart = 160;   // right of the trigger: the right edge of the settled view
constexpr i32 FollowerStop = 48;
constexpr i32 ExitDistance = 160;    // the credits start once the heroine is this far right
constexpr i16 MeetPause = 60;
constexpr i16 LostFollowerPause = 30;
constexpr i16 ShuffleFirst = 11;     // the pause frames in which he walks on the spot
constexpr i16 ShuffleLast = 37;
constexpr i16 TurnAwayTime = 90;
constexpr i32 HalfViewW = 160;
constexpr i32 HalfViewH = 120;
constexpr i32 HalfSceneW = 144;
constexpr i32 HalfSceneH = 104;
constexpr u32 White = 0xFFFFFFFFu;

Physical* makeDemoEnding(const ObjectArgs& a)
{
    return new Demo_Ending(a.x, a.y);
}

const ObjectRegistrar ending(32, 32, makeDemoEnding);

GameSystem* makeCredits()
{
    return new Credits();
}

i32 centreX(const Physical* p)
{
    return p->x + p->w / 2;
}

i32 centreY(const Physical* p)
{
    return p->y + p->h / 2;
}

} // namespace

Demo_Ending::Demo_Ending(i32 x, i32 y) : Physical(0, x, y, 1, 1, -100) {}

void Demo_Ending::onAdd()
{
    added = 1;
    Follower* ostrevanian = new Follower(x + FollowerStart, y);
    owner->add(ostrevanian);
    ostrevanian->makeRef(&follower);
    findPlayer();
}

// The last player body in walk order.
void Demo_Ending::findPlayer()
{
    for (Physical* p = owner->firstOfType(FlagCharacter); owner->hasMoreOfType(); p = owner->nextOfType()) {
        if (p->typeFlags & FlagPlayer)
            p->makeRef(&player);
    }
}

Actor* Demo_Ending::actor(const PhysicalRef& ref) const
{
    return owner->isAlive(ref) ? dynamic_cast<Actor*>(ref.object) : nullptr;
}

void Demo_Ending::force(const PhysicalRef& ref, i8 dir, bool jump)
{
    if (Actor* a = actor(ref))
        a->setControls(Controls(dir, jump));
}

i8 Demo_Ending::towardTrigger(const Physical* object) const
{
    if (centreX(object) < x - CloseEnough)
        return 1;
    if (centreX(object) > x + CloseEnough)
        return -1;
    return 0;
}

void Demo_Ending::walkToTrigger(const PhysicalRef& ref, bool jump)
{
    if (Actor* a = actor(ref))
        a->setControls(Controls(towardTrigger(a), jump));
}

void Demo_Ending::update()
{
    typeFlags = 0;
    // A heroine who died left a corpse that is no player any more: follow her replacement.
    if (!owner->isAlive(player) || !(player.object->typeFlags & FlagPlayer))
        findPlayer();
    if (!owner->isAlive(player) || centreX(player.object) < x - WakeDistance)
        return;
    typeFlags = FlagCameraFocus;
    play();
}

void Demo_Ending::play()
{
    Physical* heroine = player.object;
    switch (step) {
    case StepSettleCamera:
        walkToTrigger(player, y < centreY(heroine));
        if (owner->cameraX == x - HalfViewW && owner->cameraY == y - HalfViewH)
            step = StepMeet;
        break;
    case StepMeet:
        walkToTrigger(player);
        force(follower, -1);
        if (!owner->isAlive(follower)) {
            timer = LostFollowerPause;
            step = StepPause;
        } else if (follower.object->x < x + FollowerStop) {
            timer = MeetPause;
            step = StepPause;
        }
        break;
    case StepPause:
        force(player, 0);
        force(follower, 0);
        if (timer >= ShuffleFirst && timer <= ShuffleLast) {
            if (Follower* ostrevanian = dynamic_cast<Follower*>(actor(follower)))
                ostrevanian->stepFrame();
        }
        if (--timer <= 0) {
            timer = TurnAwayTime;
            step = StepTurnAway;
        }
        break;
    case StepTurnAway:
        force(player, 0);
        force(follower, 1);
        if (--timer <= 0)
            step = StepLeave;
        break;
    case StepLeave:
        force(player, 1);
        force(follower, 1);
        if (heroine->x > x + ExitDistance) {
            handOverLevel(owner, makeCredits);
            step = StepDone;
        }
        break;
    default:
        break;
    }
}

void Demo_Ending::draw(SDL_Surface* screen)
{
    if (added)
        return;
    outlineCentred(screen, HalfSceneW, HalfSceneH);
    outlineCentred(screen, HalfViewW, HalfViewH);
}

void Demo_Ending::outlineCentred(SDL_Surface* screen, i32 halfW, i32 halfH)
{
    i32 left = x - halfW, right = x + halfW, top = y - halfH, bottom = y + halfH;
    drawLineOffset(left, top, right, top, White, screen);
    drawLineOffset(right, top, right, bottom, White, screen);
    drawLineOffset(right, bottom, left, bottom, White, screen);
    drawLineOffset(left, bottom, left, top, White, screen);
}
