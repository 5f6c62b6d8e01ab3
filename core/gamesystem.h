#pragma once
#include "core/types.h"

#include <vector>

struct SDL_Surface;

// Base of every screen: title menu, a level's world, overlays, the editor, the online console.
class GameSystem {
public:
    explicit GameSystem(i16 depth);
    virtual ~GameSystem() = default;
    virtual void update() {}
    virtual void draw(SDL_Surface* target) {}

    u16 getId() const { return id; }

    u16 id;
    i16 depth;
};

// Greater depth first (further back), then the older system.
struct GameSystemOrder {
    bool operator()(const GameSystem* a, const GameSystem* b) const;
};

void queueSystemAdd(GameSystem* s);
void queueSystemKill(GameSystem* s);
// True from the kill request until the manager deletes the system at the end of the frame.
bool systemKillQueued(GameSystem* s);
void queueSystemReorder(GameSystem* s);
// The system keeps its old depth, and its place, until the re-ordering after the update pass.
void setSystemDepth(GameSystem* s, i16 depth);

bool initGameSystems();
void updateGameSystems();
void drawGameSystems(SDL_Surface* target);
bool deleteAllGameSystems();

// The screen that start-up queues first. The engine core cannot name the title menu, so the
// menu claims the place itself; a higher priority outranks the blank placeholder.
using FirstScreenFactory = GameSystem* (*)();
void registerFirstScreen(int priority, FirstScreenFactory factory);
GameSystem* createFirstScreen();

bool isSoundMuted();
int activeSystemCount();
// The active systems in update order, for checks that look for one kind of screen.
std::vector<GameSystem*> activeSystemList();
