#include <gtest/gtest.h>

#include "core/draw.h"
#include "core/engine.h"
#include "core/media.h"
#include "core/random.h"
#include "core/respack.h"
#include "tests/support/sdl_env.h"
#include "world/objects/pillar.h"
#include "world/objects/pillar_bosslock.h"
#include "world/objects/pillar_bossstairs.h"
#include "world/objects/pillar_solid.h"
#include "world/factory.h"
#include "world/systphysical.h"
#include "world/terrain/terrainblocks.h"

namespace {

class PillarTest : public ::testing::Test {
protected:
    void TearDown() override { releaseAllStreams(); }

    // A row of solid tiles whose top is at y, from x0 for count tiles.
    void floorAt(i32 x0, i32 y, int count)
    {
        for (int i = 0; i < count; ++i)
            sys.add(new FullBlock(x0 + 16 * i, y, -1, nullptr, SDL_Rect{0, 0, 16, 16}));
        sys.update();
    }

    template <class P> P* place(i32 x, i32 y)
    {
        P* p = new P(x, y);
        sys.add(p);
        sys.update();
        return p;
    }

    SystPhysical sys;
};

// A mover of 8x8 pixels at (x, y).
class Box : public Physical {
public:
    Box(i32 x, i32 y) : Physical(0, x, y, 8, 8, 0) {}
};

} // namespace

TEST_F(PillarTest, ReachesDownToTheFloorBeneath)
{
    floorAt(80, 130, 3);
    Pillar* p = place<Pillar>(100, 50);
    EXPECT_EQ(p->x, 92);
    EXPECT_EQ(p->y, 42);
    EXPECT_EQ(p->w, 16);
    EXPECT_EQ(p->h, 88);
    EXPECT_EQ(p->targetHeight, 88);
    sys.update();
    EXPECT_EQ(p->h, 88);
    EXPECT_EQ(p->shake, 0);
}

TEST_F(PillarTest, TakesTheHighestFloorWithinReach)
{
    floorAt(80, 200, 3);
    floorAt(96, 150, 1);  // under the pillar's right half only
    floorAt(120, 60, 1);  // beside the pillar
    Pillar* p = place<Pillar>(100, 50);
    EXPECT_EQ(p->y + p->h, 150);
}

TEST_F(PillarTest, WithoutAFloorIsTwoHundredFiftySixHigh)
{
    floorAt(80, 42 + 257, 3);  // one pixel out of reach
    Pillar* p = place<Pillar>(100, 50);
    EXPECT_EQ(p->h, 256);
}

TEST_F(PillarTest, ASlopeCatchingItsTopLeavesItFlatInsteadOfGrowingForever)
{
    // The slope's surface at the pillar's left edge is y 41, a pixel above the pillar's top.
    sys.add(new SlopeBlock_Left(92, 41, -1, nullptr, SDL_Rect{0, 0, 16, 16}));
    sys.update();
    Pillar* p = place<Pillar>(100, 50);
    EXPECT_EQ(p->h, 0);
    EXPECT_EQ(p->targetHeight, 0);
    for (int i = 0; i < 300; ++i)
        sys.update();
    EXPECT_EQ(p->y, 42);
    EXPECT_EQ(p->h, 0);
}

TEST_F(PillarTest, SeesOnlyTerrainAlreadyInTheWorld)
{
    // Terrain queued in the same frame is not in the snapshot yet.
    sys.add(new FullBlock(96, 130, -1, nullptr, SDL_Rect{0, 0, 16, 16}));
    Pillar* p = new Pillar(100, 50);
    sys.add(p);
    EXPECT_EQ(p->h, 256);
}

TEST_F(PillarTest, LockPillarWaitsSunkAndRisesOnItsCue)
{
    floorAt(80, 130, 3);
    auto* p = place<Pillar_BossLock>(100, 50);
    EXPECT_EQ(p->typeFlags, u32(FlagBlock | FlagCued));
    EXPECT_EQ(p->savedHeight, 88);
    EXPECT_EQ(p->y, 130);
    EXPECT_EQ(p->h, 1);
    sys.update();
    EXPECT_EQ(p->h, 1);

    p->cueEscape();  // not its cue
    sys.update();
    EXPECT_EQ(p->h, 1);

    ASSERT_EQ(sys.findAs<Cued>(p), static_cast<Cued*>(p));
    sys.findAs<Cued>(p)->cueLock();
    int frames = 0;
    bool shookWhileRising = false;
    while (p->h != 88 && frames < 200) {
        sys.update();
        ++frames;
        EXPECT_EQ(p->y + p->h, 131) << "the bottom stays";
        EXPECT_GE(p->shake, -1);
        EXPECT_LE(p->shake, 1);
        shookWhileRising = shookWhileRising || p->shake != 0;
        if (frames % 2 == 0) {
            EXPECT_EQ(p->shake, 0) << "every second step is drawn in place";
        }
    }
    EXPECT_EQ(frames, 87);
    EXPECT_TRUE(shookWhileRising);
    sys.update();
    EXPECT_EQ(p->h, 88);
    EXPECT_EQ(p->shake, 0);
}

TEST_F(PillarTest, EscapePillarRisesOnlyForTheEscapeCue)
{
    floorAt(80, 130, 3);
    auto* p = place<Pillar_BossStairs>(100, 50);
    EXPECT_EQ(p->h, 1);
    p->cueLock();
    sys.update();
    EXPECT_EQ(p->h, 1);
    p->cueEscape();
    sys.update();
    EXPECT_EQ(p->h, 2);
    EXPECT_EQ(p->y, 129);
}

TEST_F(PillarTest, ShrinksTowardALowerTarget)
{
    floorAt(80, 130, 3);
    Pillar* p = place<Pillar>(100, 50);
    p->targetHeight = 80;
    for (int i = 0; i < 8; ++i)
        sys.update();
    EXPECT_EQ(p->h, 80);
    EXPECT_EQ(p->y, 50);
}

TEST_F(PillarTest, PlainPillarIsOnlyAPlatformTheWallPillarIsSolid)
{
    floorAt(80, 130, 9);
    Pillar* plain = place<Pillar>(100, 50);          // (92, 42) to (108, 130)
    Pillar_Solid* solid = place<Pillar_Solid>(200, 50);  // (192, 42) to (208, 130)

    Box onTop(96, 20);
    i32 floor = 1000;
    EXPECT_TRUE(plain->hitFloor(&onTop, &floor, false));
    EXPECT_EQ(floor, 42);

    Box leftOfPlain(80, 60);
    i32 right = 1000;
    EXPECT_FALSE(plain->hitWallRight(&leftOfPlain, &right, true));
    Box leftOfSolid(180, 60);
    EXPECT_TRUE(solid->hitWallRight(&leftOfSolid, &right, true));
    EXPECT_EQ(right, 192);

    Box rightOfSolid(212, 60);
    i32 left = -1000;
    EXPECT_TRUE(solid->hitWallLeft(&rightOfSolid, &left, true));
    EXPECT_EQ(left, 208);

    Box underSolid(196, 135);
    Box underPlain(96, 135);
    i32 ceiling = -1000;
    EXPECT_FALSE(plain->hitCeiling(&underPlain, &ceiling, false));
    EXPECT_TRUE(solid->hitCeiling(&underSolid, &ceiling, false));
    EXPECT_EQ(ceiling, 130);
    EXPECT_TRUE(plain->isSolid());
    EXPECT_EQ(plain->slopeCode(), 0);
}

namespace {

// A cap-and-shaft picture whose pixels name their own place: (px << 8) | py, plus one so no
// pixel is the blank colour.
SDL_Surface* numberedPillarPicture()
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 16, 32, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    for (u32 py = 0; py < 32; ++py)
        for (u32 px = 0; px < 16; ++px)
            static_cast<u32*>(s->pixels)[py * s->pitch / 4 + px] = ((px << 8) | py) + 1;
    return s;
}

u32 shown(int px, int py)
{
    return static_cast<u32*>(backBuffer->pixels)[py * backBuffer->pitch / 4 + px];
}

u32 cell(u32 px, u32 py)
{
    return ((px << 8) | py) + 1;
}

class PillarDrawTest : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        initResourcePack();
    }
    void TearDown() override
    {
        cleanupResourcePack();
        freeAllSurfaces();
        drawOffsetX = drawOffsetY = 0;
        SdlTest::TearDown();
    }
};

} // namespace

TEST_F(PillarDrawTest, CapThenShaftCutToTheHeightShiftedByTheShake)
{
    Pillar p(108, 58);  // at (100, 50)
    SDL_Surface* picture = numberedPillarPicture();
    p.image = picture;
    p.h = 40;
    p.shake = 1;
    drawOffsetX = -10;
    drawOffsetY = -20;
    SDL_FillRect(backBuffer, nullptr, 0);
    p.draw(backBuffer);

    // The picture's left column lands at 100 - 10 + 1 = 91, its top at 50 - 20 = 30.
    EXPECT_EQ(shown(91, 30), cell(0, 0));
    EXPECT_EQ(shown(95, 45), cell(4, 15));
    EXPECT_EQ(shown(91, 46), cell(0, 16));   // shaft below the cap
    EXPECT_EQ(shown(91, 62), cell(0, 16));   // and again
    EXPECT_EQ(shown(106, 69), cell(15, 23)); // the last shaft cut to 8 rows
    EXPECT_EQ(shown(91, 70), 0u);
    EXPECT_EQ(shown(90, 40), 0u);

    p.h = 0;
    SDL_FillRect(backBuffer, nullptr, 0);
    p.draw(backBuffer);
    EXPECT_EQ(shown(91, 30), 0u);
    SDL_FreeSurface(picture);
}

TEST(PillarFactoryTest, EachIdMakesItsPillarAtThePlacement)
{
    for (u16 id = 16; id <= 19; ++id) {
        Physical* p = createObject(id, 100, 50);
        ASSERT_NE(dynamic_cast<Pillar*>(p), nullptr) << id;
        EXPECT_EQ(p->x, 92);
        EXPECT_EQ(p->y, 42);
        EXPECT_EQ(p->h, 24);
        EXPECT_EQ(dynamic_cast<Pillar_Solid*>(p) != nullptr, id == 17 || id == 18) << id;
        EXPECT_EQ(dynamic_cast<Cued*>(p) != nullptr, id >= 18) << id;
        delete p;
    }
    releaseAllStreams();
}
