#pragma once
#include "core/types.h"

class Physical;

// Placed objects are stored in level files as a type id and a placement point (x, y). The factory
// turns them into objects. Each class registers its creator from its own source file, so the
// factory does not depend on the subsystems that define the classes:
//
//   static Physical* makeWater(const ObjectArgs& a) { return new Water(a.x, a.y, a.w, a.h); }
//   static ObjectRegistrar waterSmall(4, 4, makeWater), waterLarge(33, 33, makeWater);
//
// The factory works out the constructor arguments from the placement point; a creator passes them
// on unchanged. The table (id: class, ObjectArgs filled in, editor name):
//
//   0        Dahlia               x, y, param = 0 (player 0)                 "Dahlia"
//   1        Chaser               x, y                                       "Ikan Foot Soldier"
//   2        Follower             x, y                                       "Ostrevanian Gunner"
//   3        (default: Dummy)     x, y
//   4        Water                x - 32, y - 8, w = 64, h = 16              "Water - 64x16"
//   5        Dummy                x, y                                       "Dummy"
//   6        BreakBlock           x, y = (x - 8), (y - 8) rounded DOWN to a multiple of 8 (toward
//                                 minus infinity: -5 gives -8), param = 0   "Stone (falls)"
//   7        Floating_Turret      x, y                                       "Floating Turret"
//   8        Springfoot           x, y                                       "Springfoot"
//   9        WallSpitter          x, y                                       "Wallspitter"
//   10       Mine                 x, y                                       "Land Mine"
//   11       Floating_BreakBlock  as id 6                                    "Stone (stays)"
//   12       Splecker             x, y                                       "Splecker"
//   13       Springfoot_Boss      x, y                                       ":Crushfoot"
//   14       BossFight            x, y                                       "::BOSS BATTLE"
//   15       Springfoot_Boss_Player x, y                                     "Play-Crushfoot"
//   16       Pillar               x, y                                       "Pillar"
//   17       Pillar_Solid         x, y                                       "Pillar (wall)"
//   18       Pillar_BossLock      x, y                                       "Lock-In Pillar"
//   19       Pillar_BossStairs    x, y                                       "Escape Pillar"
//   20-24    Dahlia               x, y, param = id - 19 (players 1 to 5)    "Multiplayer #1".."#5"
//   25-27    (default: Dummy)     x, y
//   28       Bird                 x, y                                       "Bird"
//   29       (default: Dummy)     x, y
//   30       Looper               x, y                                       ">>LOOPER<<"
//   31       Corpse_Sinker        X - 160, Y + 14, w = 320, h = 2, where X and Y are x and y
//                                 rounded TOWARD ZERO to a multiple of 16 (-17 gives -16)
//                                                                            "Corpse Sinker"
//   32       Demo_Ending          x, y                                       "# ENDING"
//   33       Water                x - 64, y - 16, w = 128, h = 32            "Water - 128x32"
//   34       Dahlia_Sit           x, y                                       "Dahlia [sitting]"
//   33001-6  Tutorial_Mark        x, y, param = id - 33000                   "1: motion" .. "6: boss-warn"
//   other    (default: Dummy)     x, y
//
// The Dummy registers itself twice: for id 5 and as the default for every id without a class.
struct ObjectArgs {
    u16 id;
    i32 x;
    i32 y;
    i32 w;      // Water, Corpse_Sinker: the size
    i32 h;
    i32 param;  // Dahlia: player; BreakBlock, Floating_BreakBlock: 0; Tutorial_Mark: message number
};
using ObjectCreator = Physical* (*)(const ObjectArgs& args);

constexpr u16 LastObjectId = 33006;

// Both return the creator they replace (null when there was none).
ObjectCreator registerObjectClass(u16 id, ObjectCreator creator);
ObjectCreator registerDefaultObject(ObjectCreator creator);

// File-scope registration of one creator for the ids first..last.
struct ObjectRegistrar {
    ObjectRegistrar(u16 first, u16 last, ObjectCreator creator);
};
struct DefaultObjectRegistrar {
    explicit DefaultObjectRegistrar(ObjectCreator creator);
};

// The arguments a placement at (x, y) gives the class of the id.
ObjectArgs objectArgs(u16 id, i32 x, i32 y);
// A new object, not added to any system. Null (and a log line) while the id has no class and no
// default class is registered.
Physical* createObject(u16 id, i32 x, i32 y);

// The rectangle of an id's object created at placement point (0, 0).
struct ObjectBounds {
    i16 left;
    i16 top;
    i16 right;
    i16 bottom;
};

// Creates every id's object once to measure it; later calls do nothing.
void buildObjectBounds();
// Ids above LastObjectId answer the default class's bounds; before the table is built, zeros.
const ObjectBounds& objectBounds(u16 id);
// Lets the next buildObjectBounds measure again (after registrations changed).
void forgetObjectBounds();

// The object catalogue's name of an id; empty for ids the catalogue does not list.
const char* objectEditorName(u16 id);
