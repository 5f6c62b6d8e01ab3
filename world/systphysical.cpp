#include "world/systphysical.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/input.h"
#include "core/media.h"
#include "core/message.h"
#include "world/level.h"
#include "world/levelrunner.h"
#include "world/speechflag.h"

#include <algorithm>
#include <cassert>

namespace {

constexpr u32 InitialSnapshotCapacity = 1024;
constexpr u32 CategoryBits[CategoryCount] = {FlagDamagable, FlagCharacter, FlagBlock,
                                             FlagPlayer,    FlagCued,      FlagBoss};

// Shared by every level, so a serial names one object for the whole run.
u32 nextPhysicalSerial = 0;

LevelPartMaker hudMaker = nullptr;
LevelLeaver leaver = nullptr;

void* castToCategory(Physical* object, u8 category)
{
    switch (category) {
    case CategoryDamagable:
        return dynamic_cast<Damagable*>(object);
    case CategoryCharacter:
        return dynamic_cast<Character*>(object);
    case CategoryBlock:
        return dynamic_cast<Block*>(object);
    case CategoryPlayer:
        return dynamic_cast<Player*>(object);
    case CategoryCued:
        return dynamic_cast<Cued*>(object);
    case CategoryBoss:
        return dynamic_cast<Boss*>(object);
    default:
        return nullptr;
    }
}

} // namespace

SystPhysical::SystPhysical()
    : GameSystem(0), capacity(InitialSnapshotCapacity), snapshot(new SnapshotEntry[InitialSnapshotCapacity])
{
    setFramesPerSecond(30);
}

SystPhysical::~SystPhysical()
{
    for (Physical* object : addQueue)
        delete object;
    for (auto& [object, faces] : objects)
        delete object;
}

void SystPhysical::update()
{
    if (speechBoxOpen())
        return;
    for (u32 i = 0; i < count; ++i) {
        Physical* object = snapshot[i].object;
        if (object->frozenCount == 0)
            object->update();
    }
    bool changed = !addQueue.empty() || !removeQueue.empty() || !depthRequests.empty();
    // Additions go first so that a depth change or removal for an object added in this frame
    // finds it in the set; the resulting order is the same either way.
    applyAdditions();
    applyDepthChanges();
    applyRemovals();
    if (changed) {
        growSnapshot();
        if (count != objects.size())
            showMessageScreen("PHYSICAL COUNTER ERROR");
        rebuildSnapshot();
        walkCategory = -1;
        rebuildCategories();
    }
    ++frameCount;
}

void SystPhysical::draw(SDL_Surface* screen)
{
    drawOffsetX = -cameraX;
    drawOffsetY = -cameraY;
    for (u32 i = 0; i < count; ++i) {
        Physical* object = snapshot[i].object;
        if (object->hiddenCount == 0)
            object->draw(screen);
    }
}

i32 SystPhysical::mouseWorldX() const
{
    return mouseX() + cameraX;
}

i32 SystPhysical::mouseWorldY() const
{
    return mouseY() + cameraY;
}

void SystPhysical::add(Physical* object)
{
    // A second add would change the serial of an object that may already be filed by it.
    if (!object || object->owner)
        return;
    object->serial = nextPhysicalSerial++;
    object->owner = this;
    addQueue.push_back(object);
    object->onAdd();
}

void SystPhysical::remove(Physical* object)
{
    if (object)
        removeQueue.push_back(object);
}

void SystPhysical::setDepth(Physical* object, i32 depth)
{
    if (object)
        depthRequests.emplace(object, depth);
}

void SystPhysical::shiftQueuedX(i32 dx)
{
    for (Physical* object : addQueue)
        object->x += dx;
}

void SystPhysical::startLevel(const std::string& fileName)
{
    auto* runner = new LevelRunner(fileName);
    add(runner);
    // Left running, a level that is not there is an empty sky without a heroine or a way on.
    if (runner->level()->loadFailed()) {
        showMessageScreen(quotedFailure("ERROR: FAILED TO LOAD LEVEL: ", fileName));
        if (leaver)
            leaver(this);
        return;
    }
    if (hudMaker)
        add(hudMaker());
    playMusic(loadMusic("resource/chip.it"), -1);
}

void SystPhysical::applyAdditions()
{
    for (Physical* object : addQueue) {
        Faces faces;
        for (u8 c = 0; c < CategoryCount; ++c)
            faces.of[c] = castToCategory(object, c);
        objects.emplace(object, faces);
        members[object] = object->serial;
        ++count;
    }
    addQueue.clear();
}

void SystPhysical::applyDepthChanges()
{
    for (const auto& [object, depth] : depthRequests) {
        if (!members.count(object))
            continue;
        ObjectSet::node_type node = extractFromSet(object);
        object->depth = depth;
        objects.insert(std::move(node));
    }
    depthRequests.clear();
}

void SystPhysical::applyRemovals()
{
    // Only members are read: anything else may be gone already. The set also drops repeats.
    std::set<Physical*, PhysicalDepthLess> doomed;
    for (Physical* object : removeQueue) {
        if (members.count(object))
            doomed.insert(object);
    }
    removeQueue.clear();
    for (Physical* object : doomed) {
        extractFromSet(object);
        members.erase(object);
        --count;
        delete object;
    }
}

SystPhysical::ObjectSet::node_type SystPhysical::extractFromSet(Physical* object)
{
    auto it = objects.find(object);
    if (it == objects.end()) {
        // Its depth was written behind the system's back: find it by identity.
        it = std::find_if(objects.begin(), objects.end(), [&](const auto& e) { return e.first == object; });
    }
    if (it == objects.end())
        return {};
    return objects.extract(it);
}

void SystPhysical::growSnapshot()
{
    if (count <= capacity)
        return;
    while (capacity < count)
        capacity = capacity + capacity / 8 + 1;
    snapshot.reset(new SnapshotEntry[capacity]);
}

void SystPhysical::rebuildSnapshot()
{
    u32 i = 0;
    for (const auto& [object, faces] : objects) {
        if (i == capacity)
            break;
        snapshot[i++] = {object, object->typeFlags, &faces};
    }
    count = i;
    typeIndex = count;
}

void SystPhysical::rebuildCategories()
{
    for (CategoryMap& map : categories) {
        map.inOrder.clear();
        map.byAddress.clear();
    }
    for (u32 i = 0; i < count; ++i) {
        const SnapshotEntry& e = snapshot[i];
        for (u8 c = 0; c < CategoryCount; ++c) {
            if (e.typeFlags & CategoryBits[c])
                categories[c].inOrder.push_back({e.object, e.faces->of[c]});
        }
    }
    for (CategoryMap& map : categories) {
        map.byAddress = map.inOrder;
        std::sort(map.byAddress.begin(), map.byAddress.end(),
                  [](const CategoryEntry& a, const CategoryEntry& b) { return a.object < b.object; });
    }
}

u32 SystPhysical::nextSelectedFrom(u32 index) const
{
    if (typeMask == FlagAll)
        return index;
    while (index < count && !(snapshot[index].typeFlags & typeMask))
        ++index;
    return index;
}

Physical* SystPhysical::firstOfType(u32 mask)
{
    typeMask = mask;
    typeIndex = nextSelectedFrom(0);
    return typeIndex < count ? snapshot[typeIndex].object : nullptr;
}

Physical* SystPhysical::nextOfType()
{
    assert(typeIndex < count && "type walk stepped after its end: nested type walks?");
    if (typeIndex >= count)
        return nullptr;
    typeIndex = nextSelectedFrom(typeIndex + 1);
    return typeIndex < count ? snapshot[typeIndex].object : nullptr;
}

void* SystPhysical::currentOfTypeInCategory(u8 category) const
{
    if (typeIndex >= count)
        return nullptr;
    return findInCategory(snapshot[typeIndex].object, category);
}

void* SystPhysical::firstInCategory(u8 category)
{
    walkIndex = 0;
    if (category >= CategoryCount || categories[category].inOrder.empty()) {
        walkCategory = -1;
        return nullptr;
    }
    walkCategory = category;
    return categories[category].inOrder[0].face;
}

bool SystPhysical::hasMoreInCategory() const
{
    return walkCategory >= 0;
}

Physical* SystPhysical::currentInCategory() const
{
    if (walkCategory < 0)
        return nullptr;
    return categories[walkCategory].inOrder[walkIndex].object;
}

void* SystPhysical::nextInCategory()
{
    assert(walkCategory >= 0 && "category walk stepped after its end: nested category walks?");
    if (walkCategory < 0)
        return nullptr;
    const std::vector<CategoryEntry>& entries = categories[walkCategory].inOrder;
    if (++walkIndex >= entries.size()) {
        walkCategory = -1;
        return nullptr;
    }
    return entries[walkIndex].face;
}

void* SystPhysical::findInCategory(const Physical* object, u8 category) const
{
    if (category >= CategoryCount)
        return nullptr;
    const std::vector<CategoryEntry>& entries = categories[category].byAddress;
    auto it = std::lower_bound(entries.begin(), entries.end(), object,
                               [](const CategoryEntry& e, const Physical* p) { return e.object < p; });
    if (it == entries.end() || it->object != object)
        return nullptr;
    return it->face;
}

bool SystPhysical::isAlive(const PhysicalRef& ref) const
{
    auto it = members.find(ref.object);
    return it != members.end() && it->second == ref.serial;
}

u32 SystPhysical::nextSerial()
{
    return nextPhysicalSerial;
}

void SystPhysical::restartSerials()
{
    nextPhysicalSerial = 0;
}

void addPhysical(SystPhysical* system, Physical* object)
{
    if (!system) {
        showMessageScreen("ATTEMPTED TO ADD PHYSICAL TO NONEXISTANT SYSTEM");
        delete object;
        return;
    }
    system->add(object);
}

LevelPartMaker setLevelHudMaker(LevelPartMaker maker)
{
    LevelPartMaker previous = hudMaker;
    hudMaker = maker;
    return previous;
}

LevelLeaver setLevelLeaver(LevelLeaver newLeaver)
{
    LevelLeaver previous = leaver;
    leaver = newLeaver;
    return previous;
}
