#include "tests/actors/beasts_fixture.h"

#include "actors/blood_particle.h"
#include "actors/creatures/spit_shot.h"
#include "actors/creatures/wall_spitter.h"
#include "actors/effects/death_burst.h"

#include <map>
#include <type_traits>

namespace {

// A block (160, 96, 16, 16) for spitters to cling to.
class WallSpitterTest : public BeastWorld {
protected:
    void SetUp() override
    {
        BeastWorld::SetUp();
        block = add(new Wall(160, 96, 16, 16));
        step();
    }

    using Fan = std::vector<std::pair<int, int>>;  // the shots' speeds, in firing order

    // Every fan fired in the next frames, by the frame it was fired in.
    std::map<u32, Fan> volleys(int frames)
    {
        std::map<u32, Fan> byFrame;
        std::set<u32> seen;
        for (int i = 0; i < frames; ++i) {
            u32 frame = world->frame();
            step();
            for (SpitShot* s : all<SpitShot>()) {
                if (seen.insert(s->serial).second) {
                    byFrame[frame].emplace_back(s->velX, s->velY);
                    EXPECT_EQ(s->team, 4);
                }
            }
        }
        return byFrame;
    }

    Wall* block = nullptr;
};

TEST_F(WallSpitterTest, WithoutABlockUnderItItLeavesAtItsFirstUpdate)
{
    add(new WallSpitter(40, 40));
    step();
    EXPECT_EQ(all<WallSpitter>().size(), 1u) << "it waits for terrain added in the same pass";
    step();
    EXPECT_TRUE(all<WallSpitter>().empty());
}

// As in a level's first screen: the wall and the spitter join in one pass.
TEST_F(WallSpitterTest, AddedTogetherWithItsWallItStillClings)
{
    add(new Wall(40, 96, 16, 16));
    WallSpitter* spitter = add(new WallSpitter(44, 104));
    EXPECT_EQ(spitter->state, WallSpitter::Unattached);
    step(2);
    ASSERT_EQ(all<WallSpitter>().size(), 1u);
    EXPECT_EQ(spitter->state, WallSpitter::ChargeLit);
    EXPECT_EQ(spitter->faceLeft, 1);
    EXPECT_EQ(spitter->x, 32);
}

TEST_F(WallSpitterTest, ClingsToTheNearerSideAndFacesAway)
{
    WallSpitter* left = add(new WallSpitter(164, 101));   // centre 164: the block's left half
    WallSpitter* right = add(new WallSpitter(172, 107));  // centre 172: the right half
    EXPECT_EQ(left->faceLeft, 1);
    EXPECT_EQ(left->x, 152);
    EXPECT_EQ(left->y, 88);  // (101 - 8) with the low three bits cleared
    EXPECT_EQ(left->state, WallSpitter::ChargeLit);
    EXPECT_EQ(right->faceLeft, 0);
    EXPECT_EQ(right->x, 168);
    EXPECT_EQ(right->y, 96);
    EXPECT_EQ(left->wall.object, block);
    EXPECT_EQ(right->wall.serial, block->serial);
}

// Cells 0 to 3 on the sheet's top row, the dead ones on the row below; white when hurt.
TEST_F(WallSpitterTest, DrawsTheCellOfItsStateFacingAwayFromItsWall)
{
    WallSpitter* spitter = add(new WallSpitter(164, 101));
    const u32 white = 0xFFFFFF;
    const struct {
        u8 state, faceLeft, hurt;
        SDL_Rect cell;
    } looks[] = {{0, 1, 0, {0, 0, 16, 16}}, {3, 0, 0, {48, 0, 16, 16}}, {4, 1, 0, {0, 16, 16, 16}},
                 {5, 0, 0, {16, 16, 16, 16}}, {2, 1, 1, {32, 0, 16, 16}}};
    for (const auto& look : looks) {
        spitter->state = look.state;
        spitter->faceLeft = look.faceLeft;
        spitter->hurtThisFrame = look.hurt;
        EXPECT_TRUE(drawsCell(spitter, spitter->sheet, look.cell, spitter->x, spitter->y, look.faceLeft == 1,
                              look.hurt ? &white : nullptr))
            << int(look.state);
    }
}

TEST_F(WallSpitterTest, FansOfThreeOrFourEverySeventySevenFrames)
{
    WallSpitter* spitter = add(new WallSpitter(164, 104));  // faces left, centre (160, 96 + 8)
    std::map<u32, Fan> fired = volleys(330);
    ASSERT_EQ(fired.size(), 4u);
    std::vector<u32> frames;
    std::set<Fan> fans;
    for (auto& [frame, fan] : fired) {
        frames.push_back(frame);
        fans.insert(fan);
    }
    EXPECT_LE(frames[0], 1u + 60u) << "the first charge lasts 1 to 61 frames";
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], frames[i - 1] + 16 + 61);
    const Fan narrow{{-4, 0}, {-3, 2}, {-3, -2}};
    const Fan wide{{-3, -3}, {-4, -1}, {-4, 1}, {-3, 3}};
    for (const auto& fan : fans)
        EXPECT_TRUE(fan == narrow || fan == wide);
    EXPECT_EQ(playing("resource/multiblast.wav"), 4);
    EXPECT_EQ(spitter->faceLeft, 1);
}

TEST_F(WallSpitterTest, ItBlinksEveryFourFramesWhileCharging)
{
    WallSpitter* spitter = add(new WallSpitter(172, 104));
    spitter->timer = 60;
    step();
    std::vector<int> states;
    for (int i = 0; i < 12; ++i) {
        step();
        states.push_back(spitter->state);
    }
    // Bit 2 of the timer picks the cell: 60 lit, 59 to 56 dim, 55 to 52 lit, 51 to 49 dim.
    EXPECT_EQ(states, (std::vector<int>{1, 2, 2, 2, 2, 1, 1, 1, 1, 2, 2, 2}));
}

// The wall is held by a weak reference: a block that the level despawns cannot dangle.
TEST_F(WallSpitterTest, ItOutlivesItsDespawnedWall)
{
    static_assert(std::is_same_v<decltype(WallSpitter::wall), PhysicalRef>);
    WallSpitter* spitter = add(new WallSpitter(172, 104));
    step();
    ASSERT_TRUE(world->isAlive(spitter->wall));
    world->remove(block);
    step();
    EXPECT_FALSE(world->isAlive(spitter->wall));
    std::map<u32, Fan> fired = volleys(160);
    EXPECT_GE(fired.size(), 2u);
    EXPECT_EQ(all<WallSpitter>().size(), 1u);
}

TEST_F(WallSpitterTest, ItBleedsThirtyOneFramesAndStays)
{
    WallSpitter* spitter = add(new WallSpitter(164, 104));
    step(3);
    spitter->hurt(18, 2);
    std::set<u32> blobs;  // each blood blob leaves one largest droplet
    for (int i = 0; i < 60; ++i) {
        step();
        for (Blood_Particle* p : all<Blood_Particle>()) {
            if (p->size == 0) {
                blobs.insert(p->serial);
                EXPECT_LT(p->velX, 0) << "the blood sprays away from the wall";
            }
        }
    }
    EXPECT_EQ(blobs.size(), 31u);
    EXPECT_EQ(spitter->state, WallSpitter::Dead);
    EXPECT_EQ(all<Death_Burst>().size(), 0u) << "the burst has long burnt out";
    EXPECT_EQ(all<WallSpitter>().size(), 1u);
}

TEST_F(WallSpitterTest, AShotHurtsByFiveOrSplashesOnAWall)
{
    Target* victim = add(new Target(100, 40, 1));
    step();
    add(new SpitShot(90, 48, 4, 0, nullptr));
    step(5);
    EXPECT_EQ(victim->health, 95);

    SpitShot* shot = add(new SpitShot(140, 104, 4, 0, nullptr));
    std::vector<std::pair<int, int>> splash;
    for (int i = 0; i < 20; ++i) {
        step();
        if (all<SpitShot>().empty())
            break;
        if (shot->spent)
            splash.emplace_back(shot->frame.x, shot->frame.y);
    }
    EXPECT_EQ(splash, (std::vector<std::pair<int, int>>{{0, 32}, {16, 32}, {32, 32}, {48, 32}}));
}

} // namespace
