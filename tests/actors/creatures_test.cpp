#include "tests/actors/actor_fixture.h"

#include "actors/chaser.h"
#include "actors/dummy.h"
#include "actors/effects/explosion.h"
#include "actors/follower.h"
#include "world/factory.h"
#include "world/objects/breakblock.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

// A floor across the view at y 200.
class CreaturesTest : public ActorWorld {
protected:
    void SetUp() override
    {
        ActorWorld::SetUp();
        add(new Wall(-64, 200, 448, 16));
        step();
    }
};

TEST_F(CreaturesTest, DummySurvivesSixShotsAndALastPointOfHealthAndBurstsAtNone)
{
    Dummy* dummy = add(new Dummy(100, 192));
    step();
    for (int shot = 0; shot < 7; ++shot) {
        dummy->hurt(shot < 6 ? 3 : 1, 2);
        step();
    }
    ASSERT_EQ(all<Dummy>().size(), 1u);
    EXPECT_TRUE(all<Explosion>().empty());
    i32 centreX = dummy->x + 8;
    i32 centreY = dummy->y + 8;
    dummy->hurt(1, 2);
    step();
    EXPECT_TRUE(all<Dummy>().empty());
    std::vector<BreakBlock*> stones = all<BreakBlock>();
    ASSERT_EQ(stones.size(), 1u);
    EXPECT_EQ(stones[0]->x, 100 - 8) << "where the target stood";
    std::vector<Explosion*> explosions = all<Explosion>();
    ASSERT_EQ(explosions.size(), 20u);
    std::vector<int> delays;
    for (Explosion* explosion : explosions)
        delays.push_back(explosion->delay);
    std::sort(delays.begin(), delays.end());
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(delays[i], 4 * i + 10);
        Explosion* e = *std::find_if(explosions.begin(), explosions.end(),
                                     [&](Explosion* x) { return x->delay == 4 * i + 10; });
        EXPECT_LE(std::abs(e->x + 10 - centreX), 2 * i + 16);
        EXPECT_LE(std::abs(e->y + 10 - centreY), 2 * i + 16);
    }
}

TEST_F(CreaturesTest, DummyHopsFourFramesInFifteenAndComesBackDown)
{
    Dummy* dummy = add(new Dummy(100, 192));  // rests with its top at 184
    step(20);
    EXPECT_TRUE(drawsCell(dummy, dummy->image, {0, 0, 16, 16}, 100 - 8, 184, false));
    i32 highest = dummy->y;
    i32 lowest = dummy->y;
    // A ceiling two pixels above the second one's head cuts its hop short.
    add(new Wall(200, 150, 32, 32));
    Dummy* capped = add(new Dummy(216, 192));
    i32 cappedHighest = capped->y;
    for (int i = 0; i < 45; ++i) {
        bool hopFrame = world->frame() % 15 > 10;
        i32 before = dummy->y;
        step();
        EXPECT_EQ(dummy->y < before, hopFrame) << "frame " << world->frame() - 1;
        highest = std::min(highest, dummy->y);
        lowest = std::max(lowest, dummy->y);
        cappedHighest = std::min(cappedHighest, capped->y);
    }
    EXPECT_EQ(lowest, 184);
    EXPECT_EQ(highest, 184 - 11) << "four rises of 3, less a pixel of fall between them";
    EXPECT_EQ(cappedHighest, 182);
}

TEST_F(CreaturesTest, ReleasedFollowerSlidesToAStop)
{
    Follower* follower = add(new Follower(100, 192));
    step(10);
    EXPECT_EQ(follower->y, 184) << "a 16 pixel tall body on the floor";
    for (i8 dir : {1, -1}) {
        for (int i = 0; i < 6; ++i) {
            follower->setControls(Controls(dir, false));
            step();
        }
        EXPECT_EQ(follower->velX, 2 * dir);
        EXPECT_EQ(follower->flip, dir > 0 ? 1 : 0);
        EXPECT_GE(follower->animFrame, 1);
        step();
        EXPECT_GE(follower->velX * dir, 1);  // slows on even frames only
        step(3);
        EXPECT_EQ(follower->velX, 0);
        EXPECT_EQ(follower->animFrame, 0);
    }
}

TEST_F(CreaturesTest, FollowerScriptedWalkCyclesFromFourToTen)
{
    Follower* follower = add(new Follower(100, 192));
    step(10);
    follower->stepFrame();
    EXPECT_EQ(follower->animFrame, 4);
    std::vector<int> frames;
    std::vector<int> columns;  // the sheet column drawn, found among row 32's first three
    for (int i = 0; i < 16; ++i) {
        alignFrame(2);
        follower->stepFrame();
        frames.push_back(follower->animFrame);
        step();
        int drawn = -1;
        for (int column = 0; column < 3; ++column) {
            const SDL_Rect cell = {i16(16 * column), 32, 16, 16};
            if (drawsCell(follower, follower->image, cell, follower->x - 4, follower->y, follower->flip == 1))
                drawn = column;
        }
        columns.push_back(drawn);
    }
    std::vector<int> expected = {5, 6, 7, 8, 9, 10, 4, 5, 6, 7, 8, 9, 10, 4, 5, 6};
    EXPECT_EQ(frames, expected);
    EXPECT_EQ(columns, (std::vector<int>{1, 2, 1, 0, 0, 0, 0, 1, 2, 1, 0, 0, 0, 0, 1, 2}));
}

TEST_F(CreaturesTest, FollowerJumpsOnlyFromTheGround)
{
    Follower* follower = add(new Follower(100, 192));
    step(10);
    follower->setControls(Controls(0, true));
    step();
    EXPECT_EQ(follower->velY, -6);
    follower->setControls(Controls(0, true));
    step();
    EXPECT_GT(follower->velY, -6);
}

TEST_F(CreaturesTest, ChaserRunsThroughEightCellsAndShotDownStaysAsACorpse)
{
    Chaser* chaser = add(new Chaser(100, 100));  // falls onto the floor
    step(3);
    EXPECT_EQ(chaser->animFrame, 1);  // falling
    step(40);
    // Running, it shows the cells 1 to 8 in turn, each for two frames.
    std::vector<int> cells;
    for (int i = 0; i < 36; ++i) {
        chaser->setControls(Controls(1, false));
        step();
        if (cells.empty() || cells.back() != chaser->animFrame)
            cells.push_back(chaser->animFrame);
    }
    EXPECT_EQ(cells, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8, 1, 2}));
    // Its cell, 16 x 24 from row 8 of the sheet, stands 4 pixels left of its box; leftward mirrored.
    for (u8 flip : {0, 1}) {
        chaser->flip = flip;
        const SDL_Rect cell = {i16(16 * chaser->animFrame), 8, 16, 24};
        EXPECT_TRUE(drawsCell(chaser, chaser->image, cell, chaser->x - 4, chaser->y, flip == 1));
    }
    chaser->hurt(100, 2);
    step();
    EXPECT_EQ(chaser->animFrame, 9);
    step(40);
    EXPECT_EQ(all<Chaser>().size(), 1u);
    EXPECT_EQ(chaser->y + chaser->h, 200);
}

TEST_F(CreaturesTest, ChaserThatFallsOutOfTheLevelRemovesItself)
{
    add(new Chaser(500, 100));  // beyond the floor's right end, still in view
    world->cameraX = 200;
    step(60);
    EXPECT_TRUE(all<Chaser>().empty());
}

} // namespace

namespace {

template <class T> bool createsA(u16 id, i32 x, i32 y)
{
    std::unique_ptr<Physical> object(createObject(id, x, y));
    return dynamic_cast<T*>(object.get()) != nullptr;
}

TEST_F(CreaturesTest, FactoryMakesTheCreaturesAndADummyForUnknownIds)
{
    EXPECT_TRUE(createsA<Chaser>(1, 100, 100));
    EXPECT_TRUE(createsA<Follower>(2, 100, 100));
    EXPECT_TRUE(createsA<Dummy>(5, 100, 100));
    for (u16 unknown : {3, 25, 27, 29, 40000})
        EXPECT_TRUE(createsA<Dummy>(unknown, 100, 100)) << unknown;
    std::unique_ptr<Physical> chaser(createObject(1, 100, 100));
    EXPECT_EQ(chaser->x, 96);
    EXPECT_EQ(chaser->y, 88);
}

} // namespace
