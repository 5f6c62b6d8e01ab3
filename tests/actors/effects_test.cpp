#include "tests/actors/actor_fixture.h"

#include "actors/effects/blast.h"
#include "actors/effects/death_burst.h"
#include "actors/effects/dust.h"
#include "actors/effects/explosion.h"
#include "actors/effects/ground_burst.h"
#include "actors/effects/smoke.h"
#include "core/draw.h"
#include "core/engine.h"
#include "core/media.h"
#include "core/random.h"

#include <SDL/SDL_mixer.h>
#include <map>

namespace {

using EffectsTest = ActorWorld;

// An explosion added before frame 0 is first updated in frame 1 (odd), so frame 2 is the one
// on which it strikes.
TEST_F(EffectsTest, ExplosionStrikesOnceOnItsFirstEvenFrameWhateverTheTeam)
{
    add(new Explosion(100, 100, 0));  // box (90, 90, 20, 20)
    Stone* covered = add(new Stone(92, 92));
    Stone* touching = add(new Stone(74, 90));  // right edge at the explosion's left
    Stone* latecomer = add(new Stone(0, 0));
    Stone* lateArrival = add(new Stone(200, 200));
    Target* ally = add(new Target(96, 96, 1));
    step(2);
    EXPECT_EQ(covered->health, 100);
    latecomer->x = 92;  // walks in before the strike
    latecomer->y = 92;
    step();
    EXPECT_EQ(covered->health, 75);
    EXPECT_EQ(latecomer->health, 75);
    EXPECT_EQ(ally->health, 75);
    lateArrival->x = 92;  // walks in once the fire has flared up
    lateArrival->y = 92;
    step(40);
    EXPECT_EQ(covered->health, 75);
    EXPECT_EQ(lateArrival->health, 100);
    EXPECT_EQ(touching->health, 100);
}

TEST_F(EffectsTest, DelayedExplosionWaitsThenStrikesOnTheNextEvenFrame)
{
    Explosion* explosion = add(new Explosion(100, 100, 3));
    Stone* covered = add(new Stone(92, 92));
    step(4);  // updates in frames 1, 2, 3 run the delay out
    EXPECT_EQ(explosion->delay, 0);
    EXPECT_EQ(explosion->cell, 0);
    EXPECT_EQ(covered->health, 100);
    step();  // frame 4
    EXPECT_EQ(covered->health, 75);
    EXPECT_EQ(explosion->cell, 1);
}

TEST_F(EffectsTest, StripsRemoveThemselvesAfterTheirLastCell)
{
    struct Case {
        const char* name;
        Physical* effect;
        int cells;
        u32 serial;
    };
    std::vector<Case> cases = {{"explosion", new Explosion(0, 0, 0), 18, 0},
                               {"smoke", new Smoke(0, 0, 0, 0, 0), 9, 0},
                               {"dust", new Dust(0, 0, 1, 0, 0), 8, 0},
                               {"ground burst", new Ground_Burst(0, 0), 6, 0},
                               {"small blast", new Blast(0, 0, false, 0), 7, 0},
                               {"big blast", new Blast(0, 0, true, 0), 9, 0}};
    for (Case& c : cases) {
        world->add(c.effect);
        c.serial = c.effect->serial;
    }
    std::map<u32, int> lastFrameSeen;
    for (int frame = 0; frame < 40; ++frame) {
        step();
        for (Physical* p : all<Physical>())
            lastFrameSeen[p->serial] = frame;
    }
    // Each cell shows for two frames; the last cell's second frame is the one that removes it.
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lastFrameSeen[c.serial], 2 * c.cells - 1);
    }
}

TEST_F(EffectsTest, DelayedSmokeDriftsWhileInvisible)
{
    Smoke* smoke = add(new Smoke(100, 100, 2, -1, 5));
    step(6);  // five delayed updates in frames 1..5
    EXPECT_EQ(smoke->delay, 0);
    EXPECT_EQ(smoke->cell, 0);
    EXPECT_EQ(smoke->x, 92 + 10);
    EXPECT_EQ(smoke->y, 92 - 5);
}

TEST_F(EffectsTest, RandomSmokeDriftsAtMostTwoPixelsEachWay)
{
    std::set<std::pair<int, int>> speeds;
    for (int i = 0; i < 200; ++i) {
        Smoke smoke(0, 0, 0);
        speeds.insert({smoke.velX, smoke.velY});
    }
    ASSERT_EQ(speeds.size(), 25u);
    EXPECT_EQ(speeds.begin()->first, -2);
    EXPECT_EQ(speeds.rbegin()->first, 2);
}

TEST_F(EffectsTest, DustFacesItsDriftAndPicksASideWhenStill)
{
    EXPECT_EQ(Dust(0, 0, -1, 0, 0).flipX, 1);
    EXPECT_EQ(Dust(0, 0, 3, 0, 0).flipX, 0);
    std::set<int> sides;
    for (int i = 0; i < 40; ++i)
        sides.insert(Dust(0, 0, 0, 0, 0).flipX);
    EXPECT_EQ(sides, (std::set<int>{0, 1}));
}

// Sheets made of one colour show exactly where a cell lands on the back buffer.
class EffectDrawTest : public EffectsTest {
protected:
    void SetUp() override
    {
        EffectsTest::SetUp();
        sheet = SDL_CreateRGBSurface(SDL_SWSURFACE, 400, 32, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        SDL_FillRect(sheet, nullptr, Red);
        SDL_FillRect(backBuffer, nullptr, 0);
    }
    void TearDown() override
    {
        SDL_FreeSurface(sheet);
        EffectsTest::TearDown();
    }

    u32 pixel(int px, int py) const { return static_cast<u32*>(backBuffer->pixels)[py * backBuffer->w + px]; }

    // The painted rectangle's corners are red and the pixels just outside them are not.
    void expectPainted(int left, int top, int width, int height)
    {
        EXPECT_EQ(pixel(left, top), Red);
        EXPECT_EQ(pixel(left + width - 1, top + height - 1), Red);
        EXPECT_NE(pixel(left - 1, top), Red);
        EXPECT_NE(pixel(left, top + height), Red);
        EXPECT_NE(pixel(left + width, top), Red);
    }

    static constexpr u32 Red = 0xFF0000;
    SDL_Surface* sheet = nullptr;
};

TEST_F(EffectDrawTest, BigBlastIsDrawnOneBoxHeightAboveItsBox)
{
    Blast blast(100, 100, true, 0);  // box (84, 84, 32, 32)
    blast.sheet = sheet;
    blast.draw(backBuffer);
    expectPainted(84, 52, 32, 32);
}

TEST_F(EffectDrawTest, SmallBlastIsDrawnOneBoxHeightAboveItsBox)
{
    Blast blast(100, 100, false, 0);  // box (92, 92, 16, 16)
    blast.sheet = sheet;
    blast.draw(backBuffer);
    expectPainted(92, 76, 16, 16);
}

TEST_F(EffectDrawTest, ExplosionCellRisesAboveItsBoxAndHidesWhileDelayed)
{
    Explosion waiting(100, 100, 2);
    waiting.sheet = sheet;
    waiting.draw(backBuffer);
    EXPECT_NE(pixel(95, 95), Red);
    Explosion burning(100, 100, 0);  // box (90, 90, 20, 20)
    burning.sheet = sheet;
    burning.draw(backBuffer);
    expectPainted(90, 78, 20, 32);
}

TEST_F(EffectDrawTest, DrawingFollowsTheScreenOffset)
{
    drawOffsetX = -50;
    drawOffsetY = -20;
    Ground_Burst burst(100, 100);  // box (92, 84, 16, 16)
    burst.sheet = sheet;
    burst.draw(backBuffer);
    drawOffsetX = 0;
    drawOffsetY = 0;
    expectPainted(42, 64, 16, 16);
}

// The channels in use count the sounds started.
class DeathBurstTest : public EffectsTest {
protected:
    void SetUp() override
    {
        EffectsTest::SetUp();
        holdSounds();
    }
};

TEST_F(DeathBurstTest, OneDeathSpraysTwentySixBurstsWithOneSound)
{
    add(new Death_Burst(160, 120, 0, 0, 0));
    std::map<u32, int> generationOf;
    for (int frame = 0; frame < 60; ++frame) {
        step();
        for (Death_Burst* burst : all<Death_Burst>())
            generationOf[burst->serial] = burst->generation;
    }
    EXPECT_TRUE(all<Death_Burst>().empty());
    ASSERT_EQ(generationOf.size(), 26u);
    std::map<int, int> perGeneration;
    for (auto& entry : generationOf)
        ++perGeneration[entry.second];
    EXPECT_EQ(perGeneration, (std::map<int, int>{{0, 1}, {1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}));
    EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(DeathBurstTest, StillRootWaitsFourUpdatesThenBursts)
{
    Death_Burst* root = add(new Death_Burst(160, 120, 0, 0, 0));
    step(5);  // the four delay updates
    EXPECT_EQ(root->x, 152);
    EXPECT_EQ(all<Death_Burst>().size(), 1u);
    step();
    std::vector<Death_Burst*> children = all<Death_Burst>();
    ASSERT_EQ(children.size(), 5u);
    for (Death_Burst* child : children)
        EXPECT_EQ(child->generation, 1);
}

TEST_F(DeathBurstTest, FragmentsSlowDownButNeverTurnBack)
{
    add(new Death_Burst(50, 50, 1, 0, 0));
    add(new Death_Burst(200, 50, 1, 3, -4));
    int descendants = 0;
    for (int frame = 0; frame < 40; ++frame) {
        step();
        for (Death_Burst* fragment : all<Death_Burst>()) {
            if (fragment->generation < 2)
                continue;
            ++descendants;
            if (fragment->x < 120) {
                EXPECT_EQ(fragment->velX, 0);
                EXPECT_EQ(fragment->velY, 0);
                EXPECT_EQ(fragment->x, 42);
                EXPECT_EQ(fragment->y, 42);
            } else {
                EXPECT_GE(fragment->velX, 0);
                EXPECT_LE(fragment->velX, 3);
                EXPECT_GE(fragment->velY, -4);
                EXPECT_LE(fragment->velY, 0);
                EXPECT_TRUE(fragment->x > 192 && fragment->y < 42) << "right and up of where it began";
            }
        }
    }
    EXPECT_GT(descendants, 8);
}

} // namespace
