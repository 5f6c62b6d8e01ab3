#include "tests/actors/beasts_fixture.h"

#include "actors/blood_particle.h"
#include "actors/creatures/bird.h"
#include "actors/creatures/feather.h"
#include "actors/water/water.h"

namespace {

// A floor across the view with its top at y 200.
class BirdTest : public BeastWorld {
protected:
    void SetUp() override
    {
        BeastWorld::SetUp();
        add(new Wall(-64, 200, 448, 16));
        step();
    }
};

TEST_F(BirdTest, PerchesWithinSixteenPixelsOfAFloorAndFliesHigher)
{
    Bird* low = add(new Bird(100, 180));    // feet at 184, 16 above the floor
    Bird* high = add(new Bird(140, 179));   // feet at 183, 17 above
    Bird* lost = add(new Bird(200, 20));    // no floor within 32 pixels
    EXPECT_EQ(low->flying, 0);
    EXPECT_EQ(low->y + low->h, 200);
    EXPECT_EQ(low->animFrame, 0);
    EXPECT_GE(low->timer, 100);
    EXPECT_LE(low->timer, 150);
    EXPECT_EQ(low->health, 2);

    EXPECT_EQ(high->flying, 1);
    EXPECT_EQ(high->y, 175);
    EXPECT_EQ(high->floorLimit, 200);
    EXPECT_GE(high->animFrame, 1);
    EXPECT_LE(high->animFrame, 3);
    EXPECT_GE(high->timer, 30);
    EXPECT_LE(high->timer, 60);

    EXPECT_EQ(lost->flying, 1);
    EXPECT_EQ(lost->floorLimit, 24 + 32);
    for (int i = 0; i < 400 && high->flying; ++i)
        step();
    EXPECT_EQ(high->flying, 0) << "calm, it sinks back onto the floor";
}

// A 16 x 8 cell: the column its wing beat, the row its plumage, six pixels left of its box.
TEST_F(BirdTest, DrawsTheCellOfItsWingBeatAndPlumageFacingItsWay)
{
    Bird* bird = add(new Bird(100, 100));
    const struct {
        u8 animFrame, variant, flip;
    } looks[] = {{0, 0, 0}, {2, 1, 1}, {3, 0, 1}};
    for (const auto& look : looks) {
        bird->animFrame = look.animFrame;
        bird->variant = look.variant;
        bird->flip = look.flip;
        const SDL_Rect cell = {i16(16 * look.animFrame), i16(8 * look.variant), 16, 8};
        EXPECT_TRUE(drawsCell(bird, bird->image, cell, bird->x - 6, bird->y, look.flip == 1))
            << int(look.animFrame) << " " << int(look.variant);
    }
}

TEST_F(BirdTest, TakesOffAtOnceWhenAThreatOfAnotherTeamComesNear)
{
    Bird* bird = add(new Bird(100, 196));  // perched, centre (100, 196)
    Bird* stranger = add(new Bird(120, 196));
    stranger->team = 1;                     // another team, but birds scare nobody
    add(new Target(110, 184, 4));           // of the birds' own team
    add(new Target(300, 184, 1));           // 208 pixels away
    add(new Target(192, 184, 1));           // centre (200, 192): 100 away across
    add(new Target(92, 88, 1));             // centre (100, 96): 100 away upward
    int turns = 0;
    for (int i = 0; i < 30; ++i) {
        const u8 facing = bird->flip;
        step();
        turns += bird->flip != facing;
    }
    ASSERT_EQ(bird->flying, 0);
    EXPECT_LE(turns, 3) << "a perched bird seldom turns round";

    Target* hunter = add(new Target(191, 100, 1));  // centre (199, 108): 99 away on both axes
    step();  // the hunter joins the level
    EXPECT_EQ(bird->flying, 0);
    step();
    EXPECT_EQ(bird->flying, 1);
    EXPECT_EQ(bird->velY, -2);
    EXPECT_EQ(bird->velX, bird->flip ? -1 : 1);
    EXPECT_GE(bird->timer, 100);
    EXPECT_NE(hunter->health, 0);
}

TEST_F(BirdTest, ShotDownItBurstsOnceIntoBloodAndEightFeathers)
{
    Bird* bird = add(new Bird(100, 120));
    step();
    bird->hurt(3, 2);  // one shot of the heroine's gun
    ASSERT_TRUE(bird->isDead());
    std::set<u32> feathers;
    std::set<u32> blobDroplets;  // every blood blob leaves one largest droplet as it is added
    step();
    EXPECT_EQ(bird->animFrame, 4);
    for (Feather* feather : all<Feather>()) {  // from within its 4 x 8 box, one pixel up and left
        EXPECT_GE(feather->x, bird->x - 1);
        EXPECT_LE(feather->x, bird->x + 3);
        EXPECT_GE(feather->y, bird->y - 1);
        EXPECT_LE(feather->y, bird->y + 7);
    }
    for (int i = 0; i < 80; ++i) {
        watch<Feather>(&feathers);
        for (Blood_Particle* p : all<Blood_Particle>()) {
            if (p->size == 0)
                blobDroplets.insert(p->serial);
        }
        step();
    }
    EXPECT_EQ(feathers.size(), 8u);
    EXPECT_EQ(blobDroplets.size(), 1u);
    EXPECT_EQ(bird->animFrame, 5);
    EXPECT_EQ(bird->y + bird->h, 200);
    EXPECT_EQ(bird->velX, 0);
}

// Walls stand at x 0..40 and 280..320; birds fly up along each, within a few pixels of it.
TEST_F(BirdTest, FlyingAlongAWallItTurnsAway)
{
    add(new Wall(0, 0, 40, 200));
    add(new Wall(280, 0, 40, 200));
    std::vector<Bird*> nearLeft, nearRight;
    for (int i = 0; i < 4; ++i) {
        nearLeft.push_back(add(new Bird(44, 60 + 30 * i)));    // box from x 42
        nearRight.push_back(add(new Bird(276, 60 + 30 * i)));  // box up to x 278
    }
    step(8);
    for (int i = 0; i < 4; ++i) {
        EXPECT_GT(nearLeft[i]->velX, 0) << i;
        EXPECT_LT(nearRight[i]->velX, 0) << i;
    }
}

TEST_F(BirdTest, WaterLiftsItAndKeepsItBusy)
{
    add(new Water(60, 100, 64, 16));
    step();
    Bird* bird = add(new Bird(90, 104));  // inside the water, flying
    step(2);
    EXPECT_EQ(bird->timer, 45);
    EXPECT_EQ(bird->flying, 1);
}

// The floor is looked for on odd frames only, so the feather is set where the first look finds it.
TEST_F(BirdTest, FeathersLeaveAtTheFloorBelowThemOrTheViewsBottom)
{
    alignFrame(2);
    Feather* onFloor = add(new Feather(100, 200, 0, 2, 0));  // box at y 199, a floor at 200
    EXPECT_TRUE(drawsCell(onFloor, onFloor->image, {96, 0, 16, 8}, onFloor->x - 7, onFloor->y - 3, false));
    step();                                                   // even: joins the level
    step();                                                   // odd: 199 + 2 passes the floor
    EXPECT_TRUE(all<Feather>().empty()) << onFloor->y;

    add(new Feather(420, 150, 0, 2, 1));  // beside the floor: nothing under it
    step();
    i32 lowest = 0;
    for (int i = 0; i < 200 && !all<Feather>().empty(); ++i) {
        lowest = all<Feather>()[0]->y;
        step();
    }
    EXPECT_TRUE(all<Feather>().empty());
    EXPECT_GT(lowest, 230);
    EXPECT_LE(lowest, 240 + 2);
}

} // namespace
