// Until the title menu exists, the game starts straight into the demo level.
#include "core/gamesystem.h"
#include "world/systphysical.h"

namespace {

GameSystem* startDemoLevel()
{
    auto* world = new SystPhysical;
    world->startLevel("demo.lvl");
    return world;
}

struct RegisterDemoLevel {
    RegisterDemoLevel() { registerFirstScreen(1, startDemoLevel); }
} registerDemoLevel;

} // namespace
