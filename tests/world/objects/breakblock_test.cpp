#include <gtest/gtest.h>

#include "actors/actor.h"
#include "actors/dummy.h"
#include "actors/effects/explosion.h"
#include "core/draw.h"
#include "core/engine.h"
#include "core/font.h"
#include "core/media.h"
#include "core/random.h"
#include "core/respack.h"
#include "tests/support/on_screen.h"
#include "tests/support/sdl_env.h"
#include "world/factory.h"
#include "world/objects/breakblock.h"
#include "world/objects/breakblock_part.h"
#include "world/objects/floating_breakblock.h"
#include "world/systphysical.h"
#include "world/terrain/terrainblocks.h"

#include <set>
#include <vector>

namespace {

// A creature-sized body that can be hurt and otherwise stays where it is put.
class Victim : public PhysicalCharacter {
public:
    Victim(i32 x, i32 y) : PhysicalCharacter(FlagDamagable | FlagCharacter, x, y, 16, 16, 0) { health = 100; }
};

// A plain walker for the terrain tests.
class Walker : public Actor {
public:
    Walker(i32 x, i32 y) : Actor(x, y) { w = h = 16; }
};

// The real pictures and fonts, so that what a stone shows can be looked at.
class BreakBlockTest : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        initResourcePack();
    }
    void TearDown() override
    {
        releaseAllStreams();
        cleanupResourcePack();
        freeAllSurfaces();
        drawOffsetX = drawOffsetY = 0;
        SdlTest::TearDown();
    }

    // Draws the object alone under a camera at (10, 20): does the cell show at its place, moved by (dx, dy)?
    ::testing::AssertionResult drawnAs(Physical& object, SDL_Surface* sheet, SDL_Rect cell, i32 dx = 0, i32 dy = 0)
    {
        SDL_FillRect(backBuffer, nullptr, 0);
        drawOffsetX = -10;
        drawOffsetY = -20;
        object.draw(backBuffer);
        return showsCell(backBuffer, sheet, cell, object.x - 10 + dx, object.y - 20 + dy, false);
    }

    void floorAt(i32 x0, i32 y, int count)
    {
        for (int i = 0; i < count; ++i)
            sys.add(new FullBlock(x0 + 16 * i, y, -1, nullptr, SDL_Rect{0, 0, 16, 16}));
    }

    template <class T> T* addNow(T* object)
    {
        sys.add(object);
        sys.update();
        return object;
    }

    int pieces()
    {
        int n = 0;
        for (Physical* p = sys.firstOfType(FlagAll); sys.hasMoreOfType(); p = sys.nextOfType())
            n += dynamic_cast<BreakBlock_Part*>(p) != nullptr;
        return n;
    }

    bool contains(const Physical* object)
    {
        for (Physical* p = sys.firstOfType(FlagAll); sys.hasMoreOfType(); p = sys.nextOfType())
            if (p == object)
                return true;
        return false;
    }

    SystPhysical sys;
};

} // namespace

TEST_F(BreakBlockTest, IsAHurtableBlockButNotACharacter)
{
    BreakBlock* stone = addNow(new BreakBlock(32, 48, 7));
    EXPECT_EQ(stone->typeFlags, u32(FlagBlock | FlagDamagable));
    EXPECT_EQ(stone->health, 20);
    EXPECT_EQ(stone->w, 16);
    EXPECT_EQ(stone->source.y, 48);  // the variant is capped at 3
    EXPECT_NE(sys.findAs<Block>(stone), nullptr);
    EXPECT_NE(sys.findAs<Damagable>(stone), nullptr);
    EXPECT_EQ(sys.findAs<Character>(stone), nullptr);
    EXPECT_EQ(stone->left(), 32);
    EXPECT_EQ(stone->bottom(), 64);
}

TEST_F(BreakBlockTest, CracksInTwoStagesAndBurstsAtZero)
{
    floorAt(0, 100, 4);
    BreakBlock* stone = addNow(new BreakBlock(16, 84, 0));
    sys.update();
    EXPECT_EQ(stone->source.x, 0);
    EXPECT_EQ(pieces(), 0);

    stone->hurt(4, 2);  // 16: still whole
    sys.update();
    EXPECT_EQ(stone->source.x, 0);
    EXPECT_EQ(pieces(), 0);

    stone->hurt(1, 2);  // 15: cracked
    sys.update();
    EXPECT_EQ(stone->source.x, 16);
    EXPECT_EQ(pieces(), 4);
    EXPECT_TRUE(drawnAs(*stone, stone->image, SDL_Rect{16, 0, 16, 16}));

    stone->hurt(7, 2);  // 8: still cracked
    sys.update();
    EXPECT_EQ(pieces(), 4);

    stone->hurt(1, 2);  // 7: broken
    sys.update();
    EXPECT_EQ(stone->source.x, 32);
    EXPECT_EQ(pieces(), 8);

    stone->hurt(7, 2);  // 0: bursts
    sys.update();
    EXPECT_FALSE(contains(stone));
    EXPECT_EQ(pieces(), 8 + 16);
}

TEST_F(BreakBlockTest, PiecesStartInsideTheStone)
{
    BreakBlock* stone = addNow(new BreakBlock(160, 96, 0));
    stone->hurt(20, 2);
    sys.update();
    ASSERT_EQ(pieces(), 16);
    for (Physical* p = sys.firstOfType(FlagEffect); sys.hasMoreOfType(); p = sys.nextOfType()) {
        // Centres 1..15 pixels into the stone; the 2x2 body sits one pixel up and left.
        EXPECT_GE(p->x, 160);
        EXPECT_LE(p->x, 174);
        EXPECT_GE(p->y, 96);
        EXPECT_LE(p->y, 110);
        EXPECT_EQ(p->w, 2);
        auto* piece = dynamic_cast<BreakBlock_Part*>(p);
        ASSERT_NE(piece, nullptr);
        EXPECT_EQ(piece->source.y, 16);
        EXPECT_EQ(piece->source.x % 16, 0);
        EXPECT_LE(piece->source.x, 112);
    }
}

TEST_F(BreakBlockTest, FallingStoneCrushesWhatItFallsInto)
{
    floorAt(0, 200, 4);
    BreakBlock* stone = addNow(new BreakBlock(16, 40, 0));
    Victim* victim = addNow(new Victim(20, 60));
    // Bodies aside, or only touching the stone's sides, top or bottom, are spared.
    Victim* spared[] = {new Victim(40, 60), new Victim(0, 60), new Victim(16, 30), new Victim(20, 62),
                        new Victim(32, 60)};
    for (Victim* body : spared)
        sys.add(body);
    sys.update();
    ASSERT_EQ(sys.frame() % 2, 1u);  // no gravity step this frame: the stone falls at exactly 6

    stone->velY = 6;
    sys.update();  // 40 + 6 = 46: its bottom at 62 reaches into the victim
    EXPECT_EQ(victim->health, 40);
    EXPECT_EQ(stone->health, -40);
    for (Victim* body : spared)
        EXPECT_EQ(body->health, 100) << body->x << "," << body->y;
    EXPECT_TRUE(contains(stone));

    sys.update();
    EXPECT_FALSE(contains(stone));
    EXPECT_GE(pieces(), 16);
}

TEST_F(BreakBlockTest, SlowStoneDoesNotCrush)
{
    auto* stone = new BreakBlock(16, 40, 0);
    Victim* victim = new Victim(20, 50);
    sys.add(stone);
    sys.add(victim);
    sys.update();
    ASSERT_EQ(sys.frame() % 2, 1u);
    stone->velY = 1;
    sys.update();
    EXPECT_EQ(victim->health, 100);
    EXPECT_EQ(stone->health, 20);
}

TEST_F(BreakBlockTest, StoneFallsLandsAndCarriesAWalker)
{
    floorAt(0, 200, 6);
    BreakBlock* stone = addNow(new BreakBlock(32, 100, 0));
    for (int i = 0; i < 60; ++i)
        sys.update();
    EXPECT_EQ(stone->y, 184);
    EXPECT_EQ(stone->velY, 0);
    EXPECT_EQ(stone->health, 20);

    Walker* walker = addNow(new Walker(34, 150));
    for (int i = 0; i < 40; ++i)
        sys.update();
    EXPECT_EQ(walker->y + walker->h, 184);  // standing on the stone

    // From the side the stone is a wall.
    Walker* pusher = addNow(new Walker(8, 184));
    pusher->setControls(Controls(1, false));
    for (int i = 0; i < 10; ++i) {
        pusher->setControls(Controls(1, false));
        sys.update();
    }
    EXPECT_EQ(pusher->x + pusher->w, 32);
}

TEST_F(BreakBlockTest, StayingStoneTakesDamageButNeverBreaksOrMoves)
{
    floorAt(0, 200, 6);
    auto* stone = addNow(new Floating_BreakBlock(32, 100, 9));
    EXPECT_EQ(stone->typeFlags, u32(FlagBlock | FlagDamagable));
    EXPECT_EQ(stone->source.y, 48);
    ASSERT_NE(sys.findAs<Damagable>(stone), nullptr);
    sys.findAs<Damagable>(stone)->hurt(25, 2);
    for (int i = 0; i < 10; ++i)
        sys.update();
    EXPECT_EQ(stone->health, -5);
    ASSERT_TRUE(contains(stone));
    EXPECT_EQ(stone->y, 100);

    // It shows its stone, uncracked, with a sad face over the top rows.
    EXPECT_TRUE(drawnAs(*stone, stone->image, SDL_Rect{0, 48 + 8, 16, 8}, 0, 8));
    SPF_Small face(0);
    EXPECT_TRUE(showsText(backBuffer, &face, 22, 80, u"):", 0));

    Walker* walker = addNow(new Walker(34, 50));
    for (int i = 0; i < 40; ++i)
        sys.update();
    EXPECT_EQ(walker->y + walker->h, 100);
}

TEST_F(BreakBlockTest, DebrisRollsDownhill)
{
    // A staircase of slopes high on the left, going down to the right.
    for (int i = 0; i < 6; ++i)
        sys.add(new SlopeBlock_Left(16 * i, 100 + 16 * i, -1, nullptr, SDL_Rect{0, 0, 16, 16}));
    auto* piece = new BreakBlock_Part(5, 103);  // body (4, 102): feet on the surface at 104
    sys.add(piece);
    piece->velX = 0;
    piece->velY = 1;
    for (int i = 0; i < 3; ++i)  // lands (which nudges it sideways at random) and settles
        sys.update();

    for (int i = 0; i < 6; ++i) {
        const i8 before = piece->velX;
        const bool oddFrame = sys.frame() % 2 == 1;
        sys.update();
        ASSERT_EQ(piece->slopeCode, 4);
        ASSERT_EQ(piece->y + piece->h, piece->floorLimit) << "still on the ground";
        EXPECT_EQ(piece->velX, before + (oddFrame ? 1 : 0)) << "frame " << i;
    }
    EXPECT_GT(piece->velX, 0);
    EXPECT_GT(piece->x, 4);
}

TEST_F(BreakBlockTest, DebrisOnTheFlatSlowsToAStop)
{
    floorAt(0, 100, 20);
    for (i8 way : {3, -3}) {
        auto* piece = new BreakBlock_Part(160, 99);
        sys.add(piece);
        sys.update();
        piece->velX = way;
        piece->velY = 1;
        for (int i = 0; i < 12; ++i) {
            sys.update();
            EXPECT_GE(piece->velX * way, 0) << "it never turns back";
        }
        EXPECT_EQ(piece->velX, 0);
        EXPECT_EQ(piece->y + piece->h, 100);
    }
}

TEST_F(BreakBlockTest, DebrisBelowTheScreenIsRemoved)
{
    auto* piece = addNow(new BreakBlock_Part(100, 230));
    sys.cameraX = 60;  // only the camera's height matters
    piece->velX = 0;
    piece->velY = 8;
    for (int i = 0; i < 4 && contains(piece); ++i)
        sys.update();
    EXPECT_FALSE(contains(piece));
}

TEST_F(BreakBlockTest, LandingHalvesAndTurnsTheFallSpeed)
{
    std::set<int> sideways, upAndDown;  // pebbles fly every way, faster sideways
    for (int i = 0; i < 400; ++i) {
        const BreakBlock_Part flung(0, 0);
        sideways.insert(flung.velX), upAndDown.insert(flung.velY);
    }
    EXPECT_EQ(std::make_pair(sideways.size(), upAndDown.size()), std::make_pair(size_t(11), size_t(9)));
    BreakBlock_Part piece(0, 0);
    piece.velY = 7;
    piece.velX = 2;
    piece.land();
    EXPECT_EQ(piece.velY, -3);
    EXPECT_GE(piece.velX, 1);
    EXPECT_LE(piece.velX, 3);
}

TEST(BreakBlockFactoryTest, StonesSnapToTheEightPixelGrid)
{
    Physical* falls = createObject(6, 21, 30);
    auto* stone = dynamic_cast<BreakBlock*>(falls);
    ASSERT_NE(stone, nullptr);
    EXPECT_EQ(stone->x, 8);
    EXPECT_EQ(stone->y, 16);
    EXPECT_EQ(stone->source.y, 0);
    delete falls;

    Physical* stays = createObject(11, 3, 3);
    ASSERT_NE(dynamic_cast<Floating_BreakBlock*>(stays), nullptr);
    EXPECT_EQ(stays->x, -8);
    EXPECT_EQ(stays->y, -8);
    delete stays;
}

TEST_F(BreakBlockTest, ABurstDummyLeavesAFallingStoneWhereItStood)
{
    floorAt(0, 200, 8);
    Dummy* dummy = addNow(new Dummy(60, 100));
    const i32 x = dummy->x;
    dummy->hurt(20, 2);
    sys.update();  // the dummy bursts
    sys.update();
    BreakBlock* stone = nullptr;
    for (Physical* p = sys.firstOfType(FlagBlock); sys.hasMoreOfType(); p = sys.nextOfType())
        if (auto* b = dynamic_cast<BreakBlock*>(p))
            stone = b;
    ASSERT_NE(stone, nullptr);
    EXPECT_EQ(stone->x, x);
    EXPECT_EQ(stone->source.y, 0);
    // The burst's delayed explosions may land on the stone and break it; this test is about the fall.
    for (Physical* p = sys.firstOfType(FlagAll); sys.hasMoreOfType(); p = sys.nextOfType())
        if (dynamic_cast<Explosion*>(p))
            p->removeSelf();
    for (int i = 0; i < 40; ++i)
        sys.update();
    EXPECT_EQ(stone->y, 184);
}
