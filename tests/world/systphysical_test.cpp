#include <gtest/gtest.h>

#include "core/draw.h"
#include "core/engine.h"
#include "core/message.h"
#include "tests/support/sdl_env.h"
#include "world/interfaces.h"
#include "world/speechflag.h"
#include "world/systphysical.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> journal;

// Records its calls; can run a scripted action during its update.
class Probe : public Physical {
public:
    Probe(const std::string& name, i32 depth, u32 flags = 0) : Physical(flags, 0, 0, 8, 8, depth), name(name) {}
    ~Probe() override { journal.push_back("~" + name); }
    void onAdd() override { journal.push_back("a:" + name); }
    void update() override
    {
        journal.push_back("u:" + name);
        if (onUpdate) {
            auto action = onUpdate;
            onUpdate = nullptr;
            action();
        }
    }
    void draw(SDL_Surface*) override { journal.push_back("d:" + name); }

    std::string name;
    std::function<void()> onUpdate;
};

class PlayerProbe : public Probe, public Player {
public:
    PlayerProbe(const std::string& name) : Probe(name, 0, FlagPlayer | FlagCharacter) {}
    i32 centerX() override { return 77; }
};

// An object whose storage is handed straight to the next one made, so an address comes back.
class Recycled : public Physical {
public:
    static void* operator new(std::size_t size)
    {
        if (spare) {
            void* p = spare;
            spare = nullptr;
            return p;
        }
        return ::operator new(size);
    }
    static void operator delete(void* p)
    {
        if (spare)
            ::operator delete(spare);
        spare = p;
    }
    static void releaseSpare()
    {
        ::operator delete(spare);
        spare = nullptr;
    }
    static void* spare;
};
void* Recycled::spare = nullptr;

class SystPhysicalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        journal.clear();
        setSpeechBoxOpen(false);
    }
    void TearDown() override
    {
        setSpeechBoxOpen(false);
        drawOffsetX = drawOffsetY = 0;
    }

    void frame()
    {
        sys.update();
        sys.draw(nullptr);
    }

    std::vector<Physical*> walk(u32 mask)
    {
        std::vector<Physical*> seen;
        for (Physical* p = sys.firstOfType(mask); sys.hasMoreOfType(); p = sys.nextOfType())
            seen.push_back(p);
        return seen;
    }

    SystPhysical sys;
};

using Journal = std::vector<std::string>;

} // namespace

TEST_F(SystPhysicalTest, UpdatesAndDrawsByDepthThenAge)
{
    sys.add(new Probe("old", 0));
    sys.add(new Probe("back", 10000));
    sys.add(new Probe("young", 0));
    sys.add(new Probe("front", -5));
    EXPECT_EQ(journal, (Journal{"a:old", "a:back", "a:young", "a:front"}));
    journal.clear();
    frame();
    // Queued before the frame: joined after its update pass, so drawn but not updated.
    EXPECT_EQ(journal, (Journal{"d:back", "d:old", "d:young", "d:front"}));
    journal.clear();
    sys.cameraX = 30;
    sys.cameraY = -5;
    frame();
    EXPECT_EQ(journal, (Journal{"u:back", "u:old", "u:young", "u:front", "d:back", "d:old", "d:young", "d:front"}));
    EXPECT_EQ(sys.frame(), 2u);
    EXPECT_EQ(std::make_pair(drawOffsetX, drawOffsetY), std::make_pair(-30, 5)) << "drawn under the camera";
}

TEST_F(SystPhysicalTest, ObjectAddedDuringPassIsDrawnAtOnceAndUpdatedNextFrame)
{
    auto* maker = new Probe("maker", 0);
    sys.add(maker);
    frame();
    journal.clear();
    maker->onUpdate = [&] { sys.add(new Probe("child", 5)); };
    frame();
    EXPECT_EQ(journal, (Journal{"u:maker", "a:child", "d:child", "d:maker"}));
    journal.clear();
    frame();
    EXPECT_EQ(journal, (Journal{"u:child", "u:maker", "d:child", "d:maker"}));
}

TEST_F(SystPhysicalTest, RemovedObjectIsDeletedAfterThePassAndNoLongerAlive)
{
    auto* a = new Probe("a", 1);
    auto* b = new Probe("b", 0);
    sys.add(a);
    sys.add(b);
    frame();
    PhysicalRef ref;
    a->makeRef(&ref);
    ASSERT_TRUE(sys.isAlive(ref));
    journal.clear();
    a->onUpdate = [&] {
        a->removeSelf();
        a->removeSelf();  // twice: still deleted once
        EXPECT_TRUE(sys.isAlive(ref));
    };
    frame();
    EXPECT_EQ(journal, (Journal{"u:a", "u:b", "~a", "d:b"}));
    EXPECT_FALSE(sys.isAlive(ref));
    EXPECT_EQ(sys.objectCount(), 1u);
}

TEST_F(SystPhysicalTest, ReusedAddressWithNewSerialIsNotAlive)
{
    auto* first = new Recycled;
    sys.add(first);
    frame();
    PhysicalRef ref;
    first->makeRef(&ref);
    first->removeSelf();
    frame();
    auto* second = new Recycled;
    ASSERT_EQ(static_cast<Physical*>(second), ref.object);
    sys.add(second);
    frame();
    EXPECT_FALSE(sys.isAlive(ref));
    PhysicalRef fresh;
    second->makeRef(&fresh);
    ASSERT_TRUE(sys.isAlive(fresh));
    second->removeSelf();
    frame();
    Recycled::releaseSpare();
}

TEST_F(SystPhysicalTest, RequestsForObjectsOutsideTheSetAreIgnored)
{
    Probe loose("loose", 0);
    loose.removeSelf();  // never added: no owner
    loose.setDepth(4);
    EXPECT_EQ(loose.depth, 0);

    SystPhysical other;
    auto* stranger = new Probe("stranger", 0);
    other.add(stranger);
    sys.remove(stranger);
    sys.setDepth(stranger, 99);
    sys.remove(&loose);
    frame();
    EXPECT_EQ(stranger->depth, 0);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "~stranger"), 0);
    EXPECT_EQ(sys.objectCount(), 0u);
    journal.clear();
}

TEST_F(SystPhysicalTest, ObjectAddedAndRemovedInOneFrameIsNeverDrawn)
{
    auto* maker = new Probe("maker", 0);
    sys.add(maker);
    frame();
    journal.clear();
    maker->onUpdate = [&] {
        auto* flash = new Probe("flash", 0);
        sys.add(flash);
        flash->removeSelf();
    };
    frame();
    EXPECT_EQ(journal, (Journal{"u:maker", "a:flash", "~flash", "d:maker"}));
    EXPECT_EQ(sys.objectCount(), 1u);
}

TEST_F(SystPhysicalTest, DepthChangesApplyAfterThePassAndTheFirstRequestWins)
{
    auto* a = new Probe("a", 0);
    auto* b = new Probe("b", 0);
    sys.add(a);
    sys.add(b);
    frame();
    journal.clear();
    b->onUpdate = [&] {
        b->setDepth(5);
        b->setDepth(-5);
        // Removal and depth change together: the keyed queues stay sound.
        a->setDepth(9);
        a->removeSelf();
    };
    frame();
    EXPECT_EQ(b->depth, 5);
    EXPECT_EQ(journal, (Journal{"u:a", "u:b", "~a", "d:b"}));

    // A depth change for an object added in the same frame takes effect too.
    auto* c = new Probe("c", 0);
    sys.add(c);
    c->setDepth(50);
    journal.clear();
    frame();
    EXPECT_EQ(journal, (Journal{"u:b", "d:c", "d:b"}));
    // Requests are used up: a later frame's request for the same object is honoured.
    b->setDepth(60);
    frame();
    EXPECT_EQ(b->depth, 60);
}

TEST_F(SystPhysicalTest, OpenSpeechBoxFreezesTheWholeUpdate)
{
    sys.add(new Probe("a", 0));
    frame();
    setSpeechBoxOpen(true);
    journal.clear();
    sys.add(new Probe("late", 0));
    frame();
    EXPECT_EQ(journal, (Journal{"a:late", "d:a"}));
    EXPECT_EQ(sys.frame(), 1u);
    setSpeechBoxOpen(false);
    journal.clear();
    frame();
    EXPECT_EQ(journal, (Journal{"u:a", "d:a", "d:late"}));
    EXPECT_EQ(sys.frame(), 2u);
}

TEST_F(SystPhysicalTest, FrozenObjectsAreDrawnAndHiddenOnesUpdated)
{
    auto* a = new Probe("a", 1);
    auto* b = new Probe("b", 0);
    sys.add(a);
    sys.add(b);
    frame();
    a->frozenCount = 1;
    b->hiddenCount = 2;
    journal.clear();
    frame();
    EXPECT_EQ(journal, (Journal{"u:b", "d:a"}));
}

TEST_F(SystPhysicalTest, TypeWalksSelectByCopiedFlagsAndRebuildOnlyWhenChanged)
{
    EXPECT_EQ(sys.firstOfType(FlagAll), nullptr);
    EXPECT_FALSE(sys.hasMoreOfType());
    auto* bare = new Probe("bare", 2);
    auto* block = new Probe("block", 1, FlagBlock);
    auto* player = new Probe("player", 0, FlagPlayer | FlagBlock);
    sys.add(bare);
    sys.add(block);
    sys.add(player);
    frame();
    EXPECT_EQ(walk(FlagAll), (std::vector<Physical*>{bare, block, player}));
    EXPECT_EQ(walk(FlagBlock), (std::vector<Physical*>{block, player}));
    EXPECT_EQ(walk(FlagPlayer), (std::vector<Physical*>{player}));
    EXPECT_EQ(walk(FlagBoss), (std::vector<Physical*>{}));

    // A flag change alone reaches the walks only at the next rebuild.
    bare->typeFlags = FlagBoss;
    frame();
    EXPECT_TRUE(walk(FlagBoss).empty());
    sys.add(new Probe("trigger", 0));
    frame();
    EXPECT_EQ(walk(FlagBoss), (std::vector<Physical*>{bare}));
}

TEST_F(SystPhysicalTest, CategoryMapsHoldTheInterfacesOfFlaggedObjects)
{
    auto* hero = new PlayerProbe("hero");
    auto* rock = new Probe("rock", 0, FlagPlayer);  // flag without the interface
    sys.add(hero);
    sys.add(rock);
    frame();
    Player* face = sys.firstIn<Player>();
    EXPECT_EQ(face, static_cast<Player*>(hero));
    EXPECT_EQ(face->centerX(), 77);
    EXPECT_EQ(sys.currentInCategory(), hero);
    EXPECT_TRUE(sys.hasMoreInCategory());
    EXPECT_EQ(sys.nextIn<Player>(), nullptr);  // the rock's cast gave null
    EXPECT_TRUE(sys.hasMoreInCategory());
    EXPECT_EQ(sys.currentInCategory(), rock);
    EXPECT_EQ(sys.nextInCategory(), nullptr);
    EXPECT_FALSE(sys.hasMoreInCategory());

    EXPECT_EQ(sys.findAs<Player>(hero), static_cast<Player*>(hero));
    EXPECT_EQ(sys.findAs<Character>(hero), nullptr);  // flag set, interface absent
    EXPECT_EQ(sys.findAs<Block>(hero), nullptr);
    EXPECT_EQ(sys.firstOfType(FlagPlayer), hero);
    EXPECT_EQ(sys.currentOfTypeAs<Player>(), static_cast<Player*>(hero));

    EXPECT_EQ(sys.firstInCategory(6), nullptr);
    EXPECT_FALSE(sys.hasMoreInCategory());
    EXPECT_EQ(sys.findInCategory(hero, 6), nullptr);
    EXPECT_EQ(sys.firstIn<Boss>(), nullptr);
    EXPECT_FALSE(sys.hasMoreInCategory());
}

TEST_F(SystPhysicalTest, SnapshotGrowsByAnEighthPlusOne)
{
    EXPECT_EQ(sys.snapshotCapacity(), 1024u);
    for (int i = 0; i < 1025; ++i)
        sys.add(new Physical);
    frame();
    EXPECT_EQ(sys.snapshotCapacity(), 1153u);
    EXPECT_EQ(walk(FlagAll).size(), 1025u);
    for (Physical* p = sys.firstOfType(FlagAll); sys.hasMoreOfType(); p = sys.nextOfType())
        p->removeSelf();
    frame();
    EXPECT_EQ(sys.snapshotCapacity(), 1153u);
    EXPECT_EQ(sys.objectCount(), 0u);
    EXPECT_EQ(sys.firstOfType(FlagAll), nullptr);
}

TEST_F(SystPhysicalTest, DeletingTheSystemDeletesQueuedAndActiveObjects)
{
    const u32 delayBefore = frameDelayMs;
    frameDelayMs = 25;
    {
        SystPhysical local;
        EXPECT_EQ(frameDelayMs, 1000u / 30) << "a world runs at 30 frames a second";
        local.add(new Probe("settled", 0));
        local.update();
        local.add(new Probe("queued", 0));
        local.firstOfType(FlagAll)->removeSelf();
        journal.clear();
    }
    EXPECT_EQ(journal, (Journal{"~queued", "~settled"}));
    frameDelayMs = delayBefore;
}

// The message screen needs a screen and a scripted Return to leave.
class AddPhysicalTest : public SdlTest {};

TEST_F(AddPhysicalTest, AddingToNoSystemDeletesTheObject)
{
    journal.clear();
    modal_script::pushKey(SDLK_RETURN);
    addPhysical(nullptr, new Probe("orphan", 0));
    EXPECT_EQ(journal, (Journal{"~orphan"}));
    EXPECT_EQ(lastMessageShown(), "ATTEMPTED TO ADD PHYSICAL TO NONEXISTANT SYSTEM");
}

TEST_F(SystPhysicalTest, SecondAddOfAnOwnedObjectIsIgnored)
{
    auto* a = new Probe("a", 0);
    sys.add(a);
    u32 serial = a->serial;
    sys.add(a);
    frame();
    EXPECT_EQ(a->serial, serial);
    EXPECT_EQ(sys.objectCount(), 1u);
}

#ifndef NDEBUG
TEST_F(SystPhysicalTest, NestedWalksOfOneKindAreCaught)
{
    sys.add(new Probe("a", 0, FlagBlock));
    sys.add(new Probe("b", 0, FlagBlock));
    frame();
    EXPECT_DEATH(
        {
            for (Physical* p = sys.firstOfType(FlagBlock); sys.hasMoreOfType(); p = sys.nextOfType()) {
                for (Physical* q = sys.firstOfType(FlagAll); sys.hasMoreOfType(); q = sys.nextOfType())
                    (void)q;
                (void)p;
            }
        },
        "nested type walks");
}
#endif

TEST(Interfaces, HurtRules)
{
    Damagable plain;
    plain.health = 3;
    plain.hurt(5, 2);
    EXPECT_EQ(plain.health, -2);

    Character c;
    c.health = 4;
    c.hurt(3, 1);
    EXPECT_FALSE(c.isDead());
    c.hurt(1, 1);
    EXPECT_EQ(c.health, 0);
    EXPECT_TRUE(c.isDead());
    c.hurt(-10, 1);
    EXPECT_EQ(c.health, 10);
    EXPECT_TRUE(c.isDead());
}

TEST(Interfaces, PhysicalBlockRectangle)
{
    PhysicalBlock b(FlagBlock, 32, 8, 16, 4, 0);
    EXPECT_EQ(b.left(), 32);
    EXPECT_EQ(b.right(), 48);
    EXPECT_EQ(b.top(), 8);
    EXPECT_EQ(b.bottom(), 12);
    EXPECT_TRUE(b.isSolid());
    i32 limit = 100;
    EXPECT_FALSE(b.hitFloor(&b, &limit, false));
    EXPECT_EQ(limit, 100);
}
