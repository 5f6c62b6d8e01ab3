#include "tests/actors/beasts_fixture.h"

#include "actors/water/splash.h"
#include "actors/water/water.h"
#include "actors/water/water_particle.h"
#include "core/draw.h"
#include "core/engine.h"

#include <utility>

namespace {

// A hurtable body that the test moves; it reports its speed as a moving creature would.
class Diver : public PhysicalDamagable {
public:
    Diver(i32 x, i32 y, i32 w, i32 h) : PhysicalDamagable(FlagDamagable, x, y, w, h, 0) { health = 10; }
    i32 velX() override { return speedX; }
    i32 velY() override { return speedY; }
    i32 speedX = 0;
    i32 speedY = 0;
};

// Water (100, 100, 64, 16).
class WaterTest : public BeastWorld {
protected:
    void SetUp() override
    {
        BeastWorld::SetUp();
        water = add(new Water(100, 100, 64, 16));
        step();
    }

    int splashesOver(int frames, std::set<u32>* seen)
    {
        for (int i = 0; i < frames; ++i) {
            step();
            watch<Splash>(seen);
        }
        return int(seen->size());
    }

    Water* water = nullptr;
};

TEST_F(WaterTest, ABodyAboutToEnterSplashesBigEveryFrameWithoutChance)
{
    EXPECT_EQ(water->typeFlags, 0x800u);
    EXPECT_EQ(water->depth, -7);
    EXPECT_EQ(water->mirrorTop, 84);
    Diver* diver = add(new Diver(110, 78, 8, 19));  // bottom 97: outside
    diver->speedY = 4;                               // next frame it overlaps
    step(2);
    std::vector<Splash*> splashes = all<Splash>();
    ASSERT_EQ(splashes.size(), 1u);
    EXPECT_EQ(splashes[0]->size, 152);
    EXPECT_EQ(splashes[0]->big, 1);
    EXPECT_EQ(splashes[0]->x, 114 - 8);  // at the body's centre on the water's top
    EXPECT_EQ(splashes[0]->y, 100 - 16);
    EXPECT_EQ(playing("resource/splash.wav"), 1);
    step();
    EXPECT_EQ(all<Splash>().size(), 2u);

    diver->speedY = 2;  // too slow to reach the water next frame
    std::set<u32> seen;
    for (Splash* s : all<Splash>())
        seen.insert(s->serial);
    EXPECT_EQ(splashesOver(20, &seen), 2) << "too slow to reach the water: no more splashes";
    Diver* wader = add(new Diver(90, 104, 8, 19));  // right edge 98, beside the water
    wader->speedX = 4;
    EXPECT_EQ(splashesOver(2, &seen), 3) << "walking in from the side splashes too";
}

TEST_F(WaterTest, MovingInsideRaisesSmallSplashesAboutOneFrameInSix)
{
    Diver* still = add(new Diver(150, 104, 8, 19));
    std::set<u32> seen;
    EXPECT_EQ(splashesOver(60, &seen), 0) << "a body standing still inside raises nothing";

    still->speedX = 1;
    int count = splashesOver(600, &seen);
    EXPECT_GT(count, 60);
    EXPECT_LT(count, 140);
    for (Splash* s : all<Splash>()) {
        EXPECT_EQ(s->size, 38);
        EXPECT_EQ(s->big, 0);
        EXPECT_EQ(s->x, 154 - 8);
        EXPECT_EQ(s->y, 100 - 16);
    }
    EXPECT_GT(playing("resource/wading.wav"), 0);
    EXPECT_EQ(playing("resource/splash.wav"), 0);
    // Moving left, down or up stirs the water as much.
    for (auto [speedX, speedY] : {std::pair{-1, 0}, {0, 1}, {0, -1}}) {
        still->speedX = speedX;
        still->speedY = speedY;
        int before = int(seen.size());
        EXPECT_GT(splashesOver(120, &seen), before + 5) << speedX << ", " << speedY;
    }
}

TEST_F(WaterTest, SplashSizesDecideStripSoundAndLife)
{
    add(new Splash(40, 40, 19));
    Splash* silent = add(new Splash(80, 40, 20));
    EXPECT_EQ(Mix_Playing(-1), 0);
    add(new Splash(120, 40, 21));
    EXPECT_EQ(playing("resource/wading.wav"), 1);
    add(new Splash(160, 40, 101));
    EXPECT_EQ(playing("resource/splash.wav"), 1);
    EXPECT_EQ(silent->sheet, loadGraphic("resource/smallsplash.gif", true, 0, 255, 0, false));
    step();
    EXPECT_EQ(all<Splash>().size(), 4u);
    step();
    EXPECT_EQ(all<Splash>().size(), 3u) << "the tiny one is shown for one frame";
    step(10);  // 11 updates
    EXPECT_EQ(all<Splash>().size(), 3u);
    step();
    EXPECT_TRUE(all<Splash>().empty()) << "12 updates, six steps of two";
}

TEST_F(WaterTest, SplashesThrowDropsOnTheirFirstThreeSteps)
{
    add(new Splash(60, 40, 150));
    add(new Splash(200, 40, 50));
    std::set<u32> bigDrops, smallDrops;
    for (int i = 0; i < 14; ++i) {
        step();
        for (Water_Particle* p : all<Water_Particle>()) {
            if (p->grade != Water_Particle::Drop)
                continue;
            (p->x < 130 ? bigDrops : smallDrops).insert(p->serial);
        }
    }
    EXPECT_EQ(bigDrops.size(), 21u);
    EXPECT_EQ(smallDrops.size(), 12u);
}

TEST_F(WaterTest, DropsBurstIntoSprayAndSprayLivesThirtyUpdates)
{
    Water_Particle* drop = add(new Water_Particle(40, 40, 0, -1, Water_Particle::Drop));
    EXPECT_GE(drop->life, 1);
    EXPECT_LE(drop->life, 4);
    int lifeLeft = drop->life;
    step(1 + lifeLeft);
    ASSERT_EQ(all<Water_Particle>().size(), 1u);
    step();
    std::vector<Water_Particle*> spray = all<Water_Particle>();
    ASSERT_GE(spray.size(), 2u);
    ASSERT_LE(spray.size(), 3u);
    for (Water_Particle* p : spray) {
        EXPECT_NE(p->grade, Water_Particle::Drop);
        EXPECT_EQ(p->life, 30);
    }
    step(30);
    EXPECT_EQ(all<Water_Particle>().size(), spray.size());
    step();
    EXPECT_TRUE(all<Water_Particle>().empty());
}

TEST_F(WaterTest, SprayThatMeetsAWallCeilingOrFloorIsGoneBeforeItMovesOn)
{
    add(new Wall(50, 0, 16, 100));
    add(new Wall(100, 0, 50, 30));   // a ceiling
    add(new Wall(160, 60, 50, 16));  // a floor
    step();
    Water_Particle* spray = add(new Water_Particle(48, 40, 2, 0, Water_Particle::Spray));
    Water_Particle* free = add(new Water_Particle(20, 40, -2, 0, Water_Particle::Spray));
    add(new Water_Particle(69, 40, -2, 0, Water_Particle::Spray));  // back into the wall
    add(new Water_Particle(120, 35, 0, -6, Water_Particle::Spray));
    add(new Water_Particle(180, 55, 0, 6, Water_Particle::Spray));
    step(2);
    ASSERT_EQ(all<Water_Particle>().size(), 1u);
    EXPECT_EQ(all<Water_Particle>()[0], free);
    EXPECT_EQ(std::make_pair(free->x, free->y), std::make_pair(17, 40)) << "one step: two to the left, level";
    EXPECT_NE(spray, free);
}

// The back buffer holds its row number in the green channel of every pixel.
class ReflectionTest : public WaterTest {
protected:
    void SetUp() override
    {
        WaterTest::SetUp();
        for (int row = 0; row < 240; ++row)
            fillRect(backBuffer, 0, i16(row), 320, 1, u32(row) << 8);
        drawOffsetX = 0;
        drawOffsetY = 0;
    }
    void TearDown() override
    {
        drawOffsetX = 0;
        drawOffsetY = 0;
        WaterTest::TearDown();
    }

    // A pixel of the given row, tinted as the water tints it.
    static u32 tinted(int row)
    {
        auto mix = [](u32 a, u32 b) { return (a + b) / 2; };
        return (mix(0, 100) << 16) | (mix(u32(row), 180) << 8) | mix(0, 240);
    }
    static u32 pixel(int x, int y) { return getPixel(backBuffer, u32(x), u32(y)) & 0xFFFFFF; }
};

TEST_F(ReflectionTest, TheBandAboveIsMirroredAndTinted)
{
    water->draw(backBuffer);
    for (int j = 0; j < 16; ++j) {
        EXPECT_EQ(pixel(100, 100 + j), tinted(99 - j)) << j;
        EXPECT_EQ(pixel(163, 100 + j), tinted(99 - j)) << j;
    }
    EXPECT_EQ(pixel(99, 100), 100u << 8) << "beside the water nothing changes";
    EXPECT_EQ(pixel(164, 110), 110u << 8);
    EXPECT_EQ(pixel(120, 116), 116u << 8);
    EXPECT_EQ(pixel(120, 90), 90u << 8) << "the band itself is only read";
}

TEST_F(ReflectionTest, WaterCutFromARectangleMirrorsTheBandAtItsTop)
{
    const SDL_Rect band{40, 60, 32, 50};
    Water pool(band, 8);
    EXPECT_EQ(pool.x, 40);
    EXPECT_EQ(pool.y, 68);
    EXPECT_EQ(pool.w, 32);
    EXPECT_EQ(pool.h, 8);
    EXPECT_EQ(pool.depth, -1);
    EXPECT_EQ(pool.typeFlags, 0u);
    EXPECT_EQ(pool.mirrorTop, 60);
    pool.draw(backBuffer);
    for (int j = 0; j < 8; ++j)
        EXPECT_EQ(pixel(40, 68 + j), tinted(67 - j)) << j;
    EXPECT_EQ(pixel(40, 76), 76u << 8);
}

// Water less than its own height below the screen's top mirrors only the rows that exist;
// the rest of it keeps the picture behind it, tinted.
TEST_F(ReflectionTest, NearTheTopEdgeOnlyRowsOnTheScreenAreMirrored)
{
    Water shallow(0, 105, 32, 16);
    drawOffsetY = -100;  // on screen at y 5, its band from -11 to 4
    shallow.draw(backBuffer);
    for (int j = 0; j < 5; ++j)
        EXPECT_EQ(pixel(10, 5 + j), tinted(4 - j)) << j;
    for (int row = 10; row < 21; ++row)
        EXPECT_EQ(pixel(10, row), tinted(row)) << row;
    EXPECT_EQ(pixel(10, 21), 21u << 8);
}

TEST_F(ReflectionTest, WaterAcrossOrBeyondTheEdgesDrawsOnlyWhatIsOnScreen)
{
    Water corner(-10, 230, 32, 16);
    corner.draw(backBuffer);
    EXPECT_EQ(pixel(0, 230), tinted(229));
    EXPECT_EQ(pixel(21, 239), tinted(220));
    EXPECT_EQ(pixel(22, 239), 239u << 8);

    Water(300, 40, 64, 16).draw(backBuffer);
    EXPECT_EQ(pixel(319, 40), tinted(39));
    Water(40000, -40000, 64, 16).draw(backBuffer);  // far away: nothing at all
    Water(-70, -20, 64, 16).draw(backBuffer);
    EXPECT_EQ(pixel(0, 0), 0u);
}

} // namespace
