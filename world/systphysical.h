#pragma once
#include "core/gamesystem.h"
#include "core/types.h"
#include "world/interfaces.h"
#include "world/physical.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

// Object order: greater depth first; equal depths by serial, the older object first.
struct PhysicalDepthLess {
    bool operator()(const Physical* a, const Physical* b) const
    {
        if (a->depth != b->depth)
            return a->depth > b->depth;
        return a->serial < b->serial;
    }
};

// The six category maps, by index.
enum PhysicalCategory : u8 {
    CategoryDamagable = 0,  // typeFlags bit 0x2
    CategoryCharacter = 1,  // bit 0x4
    CategoryBlock = 2,      // bit 0x1
    CategoryPlayer = 3,     // bit 0x40
    CategoryCued = 4,       // bit 0x400
    CategoryBoss = 5,       // bit 0x100
    CategoryCount = 6
};

template <class I> struct CategoryOf;
template <> struct CategoryOf<Damagable> { static constexpr u8 value = CategoryDamagable; };
template <> struct CategoryOf<Character> { static constexpr u8 value = CategoryCharacter; };
template <> struct CategoryOf<Block> { static constexpr u8 value = CategoryBlock; };
template <> struct CategoryOf<Player> { static constexpr u8 value = CategoryPlayer; };
template <> struct CategoryOf<Cued> { static constexpr u8 value = CategoryCued; };
template <> struct CategoryOf<Boss> { static constexpr u8 value = CategoryBoss; };

// The world of one level: owns its objects, updates and draws them in depth order, and applies
// additions, removals and depth changes only after the update pass.
//
// Walks: one type-walk cursor and one category-walk cursor per system. Starting a walk abandons
// the walk of the same kind in progress, so walks of one kind must not be nested; a debug build
// asserts when a finished walk is stepped again, which is what an outer walk does after an inner
// one of the same kind ran to its end.
//   for (Physical* p = sys->firstOfType(FlagBlock); sys->hasMoreOfType(); p = sys->nextOfType()) ...
//   for (Block* b = sys->firstIn<Block>(); sys->hasMoreInCategory(); b = sys->nextIn<Block>()) ...
class SystPhysical : public GameSystem {
public:
    SystPhysical();
    ~SystPhysical() override;
    SystPhysical(const SystPhysical&) = delete;
    SystPhysical& operator=(const SystPhysical&) = delete;

    void update() override;
    void draw(SDL_Surface* screen) override;
    u32 frame() const { return frameCount; }
    i32 mouseWorldX() const;
    i32 mouseWorldY() const;

    // Gives the object a serial and this owner, queues it and calls its onAdd at once.
    // An object that already has an owner is left alone.
    void add(Physical* object);
    // Queued; a request for an object that is not (or no longer) in the set is ignored.
    void remove(Physical* object);
    // Queued; the first request for an object in a frame wins.
    void setDepth(Physical* object, i32 depth);
    // Moves the objects still waiting to join, for an update that shifts the whole world in
    // mid-pass (the looper): they were placed in the world as it stood before the shift.
    void shiftQueuedX(i32 dx);
    // Adds the level driver for the file, then the heads-up display, then starts the music. A file
    // that cannot be loaded is told on the message screen instead, and the level is left.
    void startLevel(const std::string& fileName);

    Physical* firstOfType(u32 mask);
    bool hasMoreOfType() const { return typeIndex < count; }
    Physical* nextOfType();
    void* currentOfTypeInCategory(u8 category) const;

    void* firstInCategory(u8 category);
    bool hasMoreInCategory() const;
    Physical* currentInCategory() const;
    void* nextInCategory();
    void* findInCategory(const Physical* object, u8 category) const;

    template <class I> I* firstIn() { return static_cast<I*>(firstInCategory(CategoryOf<I>::value)); }
    template <class I> I* nextIn() { return static_cast<I*>(nextInCategory()); }
    template <class I> I* currentOfTypeAs() const
    {
        return static_cast<I*>(currentOfTypeInCategory(CategoryOf<I>::value));
    }
    template <class I> I* findAs(const Physical* object) const
    {
        return static_cast<I*>(findInCategory(object, CategoryOf<I>::value));
    }

    bool isAlive(const PhysicalRef& ref) const;
    // The serial the next successful add gives its object, whichever system it joins.
    static u32 nextSerial();
    // Serials start again from 0, as in a new run of the program. Resting actors scan the terrain
    // on frames staggered by their serials, so a replay matches a first play only from here. Only
    // while no object is in any system.
    static void restartSerials();

    u32 objectCount() const { return count; }
    u32 snapshotCapacity() const { return capacity; }

    i32 cameraX = 0;
    i32 cameraY = 0;

private:
    // The object's interface of every category, cast once when it joins the set.
    struct Faces {
        void* of[CategoryCount];
    };
    struct SnapshotEntry {
        Physical* object;
        u32 typeFlags;  // copied at the last rebuild
        const Faces* faces;
    };
    struct CategoryEntry {
        Physical* object;
        void* face;  // the object's interface of that category
    };
    struct CategoryMap {
        std::vector<CategoryEntry> inOrder;    // walk order: the object set's order
        std::vector<CategoryEntry> byAddress;  // for lookups
    };

    void applyAdditions();
    void applyDepthChanges();
    void applyRemovals();
    using ObjectSet = std::map<Physical*, Faces, PhysicalDepthLess>;
    ObjectSet::node_type extractFromSet(Physical* object);
    void rebuildSnapshot();
    void rebuildCategories();
    void growSnapshot();
    u32 nextSelectedFrom(u32 index) const;

    // The object set, in update and draw order. The passes themselves walk the snapshot, which
    // holds the same objects in the same order between updates.
    ObjectSet objects;
    std::vector<Physical*> addQueue;
    std::vector<Physical*> removeQueue;
    // Keyed by address only, so neither the objects' depth nor their life is read to file them.
    std::map<Physical*, i32> depthRequests;
    std::unordered_map<const Physical*, u32> members;  // object -> serial, for every object in the set

    u32 frameCount = 0;
    u32 count = 0;
    u32 capacity = 0;
    std::unique_ptr<SnapshotEntry[]> snapshot;

    u32 typeIndex = 0;
    u32 typeMask = FlagAll;

    CategoryMap categories[CategoryCount];
    i32 walkCategory = -1;  // -1: no category walk
    u32 walkIndex = 0;
};

// Adds to the system; with no system the message screen says so and the object is deleted.
void addPhysical(SystPhysical* system, Physical* object);

// Parts of every started level that later subsystems provide.
using LevelPartMaker = Physical* (*)();
// Returns the maker it replaces.
LevelPartMaker setLevelHudMaker(LevelPartMaker maker);
// How startLevel leaves a level whose file cannot be loaded; the story registers the way Escape
// leaves a level. Returns the leaver it replaces.
using LevelLeaver = void (*)(SystPhysical*);
LevelLeaver setLevelLeaver(LevelLeaver leaver);
