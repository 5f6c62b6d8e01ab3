#include "core/gamesystem.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/input.h"
#include "core/lang.h"
#include "core/media.h"
#include "core/respack.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <map>
#include <set>

namespace {

using SystemSet = std::set<GameSystem*, GameSystemOrder>;

u16 systemIdCounter = 0;
SystemSet activeSystems;
SystemSet pendingSystemAdds;
SystemSet pendingSystemKills;
SystemSet pendingSystemReorders;
// A system's depth is its place in every set above, so a new depth waits here until the
// re-ordering step has taken the system out of the active set.
std::map<GameSystem*, i16> pendingDepths;
bool muted = false;
SDL_Surface* muteMarker = nullptr;

constexpr u16 MuteKey = SDLK_F2;
constexpr u32 ZoneCursorColour = 0xFF888888u;

// Shown until a real first screen registers itself.
class BlankScreen : public GameSystem {
public:
    BlankScreen() : GameSystem(0) {}
};

GameSystem* createBlankScreen()
{
    return new BlankScreen;
}

int firstScreenPriority = -1;
FirstScreenFactory firstScreenFactory = createBlankScreen;

void toggleMute()
{
    muted = !muted;
    int volume = muted ? 0 : MIX_MAX_VOLUME;
    Mix_Volume(-1, volume);
    Mix_VolumeMusic(volume);
}

void applyKills()
{
    SystemSet kills;
    kills.swap(pendingSystemKills);
    for (GameSystem* s : kills) {
        // A system killed before it ever joined must not be inserted after it is freed.
        pendingSystemAdds.erase(s);
        pendingSystemReorders.erase(s);
        pendingDepths.erase(s);
        activeSystems.erase(s);
        delete s;
    }
}

void applyAdds()
{
    SystemSet adds;
    adds.swap(pendingSystemAdds);
    activeSystems.insert(adds.begin(), adds.end());
}

void takePendingDepth(GameSystem* s)
{
    auto pending = pendingDepths.find(s);
    if (pending == pendingDepths.end())
        return;
    s->depth = pending->second;
    pendingDepths.erase(pending);
}

void applyReorders()
{
    SystemSet reorders;
    reorders.swap(pendingSystemReorders);
    for (GameSystem* s : reorders) {
        bool active = activeSystems.erase(s) != 0;
        takePendingDepth(s);
        if (active)
            activeSystems.insert(s);
    }
}

void drawCross(SDL_Surface* target, i32 cx, i32 cy, i32 arm)
{
    drawLine(cx + arm, cy, cx - arm, cy, ZoneCursorColour, target);
    drawLine(cx, cy + arm, cx, cy - arm, ZoneCursorColour, target);
}

void drawZoneCursor(SDL_Surface* target)
{
    i32 mx = mouseX(), my = mouseY();
    drawLine(mx - 3, my, mx + 3, my, ZoneCursorColour, target);
    drawLine(mx, my - 3, mx, my + 3, ZoneCursorColour, target);
    drawCross(target, 130, 90, 8);
    drawCross(target, 130, 150, 8);
    drawCross(target, 190, 150, 8);
    drawCross(target, 190, 90, 8);
}

} // namespace

GameSystem::GameSystem(i16 depth) : id(systemIdCounter++), depth(depth) {}

bool GameSystemOrder::operator()(const GameSystem* a, const GameSystem* b) const
{
    if (a->depth != b->depth)
        return a->depth > b->depth;
    return a->id < b->id;
}

void queueSystemAdd(GameSystem* s)
{
    pendingSystemAdds.insert(s);
}

void queueSystemKill(GameSystem* s)
{
    pendingSystemKills.insert(s);
}

bool systemKillQueued(GameSystem* s)
{
    return pendingSystemKills.count(s) != 0;
}

void queueSystemReorder(GameSystem* s)
{
    pendingSystemReorders.insert(s);
}

void setSystemDepth(GameSystem* s, i16 depth)
{
    pendingDepths[s] = depth;
    pendingSystemReorders.insert(s);
}

void registerFirstScreen(int priority, FirstScreenFactory factory)
{
    if (priority > firstScreenPriority) {
        firstScreenPriority = priority;
        firstScreenFactory = factory;
    }
}

GameSystem* createFirstScreen()
{
    return firstScreenFactory();
}

bool initGameSystems()
{
    initResourcePack();
    initInput();
    loadLangPack("english");
    queueSystemAdd(createFirstScreen());
    setFramesPerSecond(30);
    muteMarker = loadGraphic("resource/mute.gif", true, 0, 255, 0, false);
    muted = false;
    return true;
}

void updateGameSystems()
{
    if (keyPressed(MuteKey))
        toggleMute();
    for (GameSystem* s : activeSystems)
        s->update();
    applyKills();
    applyAdds();
    applyReorders();
}

void drawGameSystems(SDL_Surface* target)
{
    for (GameSystem* s : activeSystems)
        s->draw(target);
    if (zoneBindingsInUse())
        drawZoneCursor(target);
    if (muted && muteMarker)
        blitSurface(0, 0, muteMarker, target, nullptr);
}

bool deleteAllGameSystems()
{
    SystemSet all;
    all.swap(activeSystems);
    for (GameSystem* s : all)
        delete s;
    // Whatever was still queued belongs to the manager too.
    SystemSet leftovers;
    leftovers.swap(pendingSystemAdds);
    for (GameSystem* s : leftovers)
        delete s;
    pendingSystemKills.clear();
    pendingSystemReorders.clear();
    pendingDepths.clear();
    muteMarker = nullptr;
    unloadLangPack();
    shutdownInput();
    cleanupResourcePack();
    return true;
}

bool isSoundMuted()
{
    return muted;
}

int activeSystemCount()
{
    return int(activeSystems.size());
}

std::vector<GameSystem*> activeSystemList()
{
    return std::vector<GameSystem*>(activeSystems.begin(), activeSystems.end());
}
