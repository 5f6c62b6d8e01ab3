#include "world/factory.h"

#include "core/log.h"
#include "core/random.h"
#include "world/physical.h"

#include <map>
#include <vector>

namespace {

struct Registry {
    std::map<u16, ObjectCreator> classes;
    ObjectCreator fallback = nullptr;
};

// Function-local so registrars in other libraries can run before anything else here.
Registry& registry()
{
    static Registry r;
    return r;
}

std::vector<ObjectBounds> boundsTable;
ObjectBounds defaultBounds = {0, 0, 0, 0};

constexpr u16 FirstTutorialId = 33001;

i32 roundDownTo8(i32 v)
{
    return v & ~7;
}

i32 roundTowardZeroTo16(i32 v)
{
    return v / 16 * 16;
}

ObjectCreator creatorFor(u16 id)
{
    const Registry& r = registry();
    auto it = r.classes.find(id);
    return it != r.classes.end() ? it->second : r.fallback;
}

Physical* makeObject(ObjectCreator creator, u16 id, i32 x, i32 y)
{
    return creator ? creator(objectArgs(id, x, y)) : nullptr;
}

ObjectBounds measure(ObjectCreator creator, u16 id)
{
    Physical* object = makeObject(creator, id, 0, 0);
    if (!object)
        return {0, 0, 0, 0};
    ObjectBounds b = {i16(object->x), i16(object->y), i16(object->x + object->w), i16(object->y + object->h)};
    delete object;
    return b;
}

const char* const EditorNames[] = {
    "Dahlia", "Ikan Foot Soldier", "Ostrevanian Gunner", "", "Water - 64x16", "Dummy", "Stone (falls)",
    "Floating Turret", "Springfoot", "Wallspitter", "Land Mine", "Stone (stays)", "Splecker", ":Crushfoot",
    "::BOSS BATTLE", "Play-Crushfoot", "Pillar", "Pillar (wall)", "Lock-In Pillar", "Escape Pillar",
    "Multiplayer #1", "Multiplayer #2", "Multiplayer #3", "Multiplayer #4", "Multiplayer #5", "", "", "",
    "Bird", "", ">>LOOPER<<", "Corpse Sinker", "# ENDING", "Water - 128x32", "Dahlia [sitting]",
};
const char* const TutorialNames[] = {"1: motion", "2: shooting", "3: stones", "4: enemies", "5: splecker",
                                     "6: boss-warn"};

} // namespace

ObjectCreator registerObjectClass(u16 id, ObjectCreator creator)
{
    ObjectCreator& slot = registry().classes[id];
    ObjectCreator previous = slot;
    slot = creator;
    if (!creator)
        registry().classes.erase(id);
    return previous;
}

ObjectCreator registerDefaultObject(ObjectCreator creator)
{
    ObjectCreator previous = registry().fallback;
    registry().fallback = creator;
    return previous;
}

ObjectRegistrar::ObjectRegistrar(u16 first, u16 last, ObjectCreator creator)
{
    for (u32 id = first; id <= last; ++id)
        registerObjectClass(u16(id), creator);
}

DefaultObjectRegistrar::DefaultObjectRegistrar(ObjectCreator creator)
{
    registerDefaultObject(creator);
}

ObjectArgs objectArgs(u16 id, i32 x, i32 y)
{
    ObjectArgs a = {id, x, y, 0, 0, 0};
    switch (id) {
    case 4:
        a = {id, x - 32, y - 8, 64, 16, 0};
        break;
    case 6:
    case 11:
        a = {id, roundDownTo8(x - 8), roundDownTo8(y - 8), 0, 0, 0};
        break;
    case 20: case 21: case 22: case 23: case 24:
        a.param = id - 19;
        break;
    case 31:
        a = {id, roundTowardZeroTo16(x) - 160, roundTowardZeroTo16(y) + 14, 320, 2, 0};
        break;
    case 33:
        a = {id, x - 64, y - 16, 128, 32, 0};
        break;
    default:
        if (id >= FirstTutorialId && id <= LastObjectId)
            a.param = id - 33000;
        break;
    }
    return a;
}

Physical* createObject(u16 id, i32 x, i32 y)
{
    Physical* object = makeObject(creatorFor(id), id, x, y);
    if (!object)
        logLine("No object class for type " + std::to_string(id));
    return object;
}

void buildObjectBounds()
{
    if (!boundsTable.empty())
        return;
    const Registry& r = registry();
    // The objects made to be measured draw their random phases from a stream of their own: the
    // game's stream must not depend on whether a level was the first to load.
    const int gameStream = defaultStream;
    defaultStream = newStream();
    // Every id without a class of its own makes the same default object; measure it once.
    defaultBounds = measure(r.fallback, 3);
    boundsTable.assign(LastObjectId + 1, defaultBounds);
    for (const auto& [id, creator] : r.classes) {
        if (id <= LastObjectId)
            boundsTable[id] = measure(creator, id);
    }
    releaseStream(defaultStream);
    defaultStream = gameStream;
}

const ObjectBounds& objectBounds(u16 id)
{
    if (id < boundsTable.size())
        return boundsTable[id];
    return defaultBounds;
}

void forgetObjectBounds()
{
    boundsTable.clear();
    defaultBounds = {0, 0, 0, 0};
}

const char* objectEditorName(u16 id)
{
    if (id < sizeof(EditorNames) / sizeof(EditorNames[0]))
        return EditorNames[id];
    if (id >= FirstTutorialId && id <= LastObjectId)
        return TutorialNames[id - FirstTutorialId];
    return "";
}
