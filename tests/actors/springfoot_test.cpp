#include "actors/effects/death_burst.h"
#include "actors/effects/ground_burst.h"
#include "actors/springfoot/groundwave.h"
#include "actors/springfoot/springfoot.h"
#include "tests/actors/actor_fixture.h"

namespace {

// A character of any size, standing still.
class Body : public PhysicalCharacter {
public:
    Body(i32 x, i32 y, i32 w, i32 h, u8 team) : PhysicalCharacter(FlagDamagable | FlagCharacter, x, y, w, h, 0)
    {
        health = 100;
        this->team = team;
    }
};

class SpringfootTest : public ActorWorld {
protected:
    void SetUp() override
    {
        ActorWorld::SetUp();
        add(new Wall(-64, 200, 448, 16));
    }

    // A hopper on the floor (top 200) that does nothing of its own will.
    Springfoot* addStanding(i32 x)
    {
        Springfoot* hopper = add(new Springfoot(x, 192));
        stepHeld(hopper, 8);
        EXPECT_EQ(hopper->y + hopper->h, 200);
        return hopper;
    }

    void stepHeld(Actor* actor, int frames = 1)
    {
        for (int i = 0; i < frames; ++i) {
            actor->setControls(Controls());
            step();
        }
    }

    // Until the number of the next frame is a multiple of n.
    void alignHeld(Actor* actor, u32 n)
    {
        while (world->frame() % n != 0)
            stepHeld(actor);
    }
};

TEST_F(SpringfootTest, HomesInOnTheNearestLiveFoeOfAnotherTeam)
{
    Springfoot* hopper = addStanding(100);
    hopper->phase = 0;
    const i32 eyeX = hopper->x + 4;
    add(new Body(eyeX - 5, 150, 10, 10, 4));          // its own team, nearest of all
    Body* corpse = add(new Body(eyeX + 5, 150, 10, 10, 1));
    corpse->dead = 1;
    add(new Body(eyeX + 60, 150, 10, 20, 1));         // the one to head for: centre (eyeX + 65, 160)
    add(new Body(eyeX - 55, 130, 10, 10, 1));         // nearer to its crown, not to its eye 8 below
    add(new Body(eyeX + 50000, 192, 10, 10, 1));      // so far off that its square overflows 32 bits
    add(new Body(eyeX - 40000, -40000, 10, 10, 1));
    stepHeld(hopper);
    alignHeld(hopper, 15);
    stepHeld(hopper);
    EXPECT_EQ(hopper->targetX, eyeX + 65);
    EXPECT_EQ(hopper->targetY, 160);
    EXPECT_EQ(hopper->faceLeft, 0);
}

// Its 16 x 16 cell stands 4 pixels left of its box, mirrored facing left, light pink when hurt.
TEST_F(SpringfootTest, DrawsItsCellFacingItsWayAndPinkWhenHurt)
{
    Springfoot* hopper = addStanding(100);
    const u32 pink = 0xFFDDDD;
    const struct {
        u8 cell;
        u8 faceLeft;
        u8 hurt;
    } looks[] = {{0, 1, 0}, {3, 0, 0}, {7, 1, 1}};
    for (const auto& look : looks) {
        hopper->cell = look.cell;
        hopper->faceLeft = look.faceLeft;
        hopper->hurtThisFrame = look.hurt;
        const SDL_Rect cell = {i16(16 * look.cell), 0, 16, 16};
        EXPECT_TRUE(drawsCell(hopper, hopper->sheet, cell, hopper->x - 4, hopper->y, look.faceLeft == 1,
                              look.hurt ? &pink : nullptr))
            << int(look.cell);
    }
}

// A jump leaves the way it faces; in the air each frame of steering turns it by one, up to 2.
TEST_F(SpringfootTest, JumpsTheWayItFacesAndSteersInTheAirByOneAFrame)
{
    for (i8 way : {1, -1}) {
        Springfoot* hopper = addStanding(150 + 50 * way);
        hopper->faceLeft = way < 0;
        hopper->setControls(Controls(0, true));
        for (i8 expected : {4, 3, 2, 1, 0, -1, -2, -2}) {
            step();
            ASSERT_EQ(hopper->velX, expected * way);
            hopper->setControls(Controls(i8(-way), false));
        }
    }
}

TEST_F(SpringfootTest, WandersWhenNoFoeIsInSight)
{
    Springfoot* hopper = addStanding(100);
    hopper->phase = 0;
    add(new Body(hopper->x + 3200, hopper->y, 8, 8, 1));  // 3200 squared is beyond its sight
    stepHeld(hopper);
    alignHeld(hopper, 15);
    stepHeld(hopper);
    EXPECT_LE(std::abs(hopper->targetX - hopper->x), 64);
    EXPECT_LE(std::abs(hopper->targetY - hopper->y), 64);
}

TEST_F(SpringfootTest, HurtsByContactOnlyInTheAirOnEveryFourthFrameOfItsRhythm)
{
    Springfoot* hopper = addStanding(100);
    Body* foe = add(new Body(60, 0, 80, 200, 1));
    hopper->phase = 3;
    stepHeld(hopper, 12);
    EXPECT_EQ(foe->health, 100) << "no contact damage on the ground";

    hopper->y = 60;
    hopper->velX = 1;
    int contacts = 0;
    for (int i = 0; i < 12; ++i) {
        const i16 before = foe->health;
        const i8 speedBefore = hopper->velX;
        const bool rhythm = (world->frame() + hopper->phase) % 4 == 0;
        stepHeld(hopper);
        ASSERT_FALSE(hopper->y + hopper->h >= 200);
        if (rhythm) {
            EXPECT_EQ(foe->health, before - 5);
            EXPECT_EQ(hopper->velX, -speedBefore) << "it bounces off";
            ++contacts;
        } else {
            EXPECT_EQ(foe->health, before);
        }
    }
    EXPECT_EQ(contacts, 3);
}

TEST_F(SpringfootTest, DiesIntoABurstAndStaysAsACorpse)
{
    Springfoot* hopper = addStanding(100);
    const i32 centreX = hopper->x + 4;
    const i32 centreY = hopper->y + 8;
    hopper->hurt(12, 2);
    EXPECT_EQ(hopper->dead, 1);
    step();
    ASSERT_EQ(all<Death_Burst>().size(), 1u);
    EXPECT_EQ(all<Death_Burst>()[0]->x, centreX - 8) << "the 16 pixel burst is centred on the hopper";
    EXPECT_EQ(all<Death_Burst>()[0]->y, centreY - 8);
    hopper->hurt(5, 2);
    EXPECT_EQ(hopper->health, 0) << "a dead hopper takes no more damage";

    EXPECT_EQ(hopper->cell, 6);
    step(2);
    EXPECT_EQ(hopper->cell, 7);
    step(6);
    EXPECT_EQ(hopper->cell, 8);
    step(60);
    EXPECT_EQ(hopper->cell, 8);
    EXPECT_EQ(all<Springfoot>().size(), 1u);
}

TEST_F(SpringfootTest, APushMovesAFreshCorpseByHalfAndAnythingElseByAnEighth)
{
    Springfoot* hopper = addStanding(100);
    struct Case {
        u8 hurt, dead;
        i8 velX, velY;
    };
    const Case cases[] = {{1, 1, 4, -4}, {1, 0, 1, -1}, {0, 1, 1, -1}, {0, 0, 1, -1}};
    for (const Case& c : cases) {
        hopper->hurtThisFrame = c.hurt;
        hopper->dead = c.dead;
        hopper->velX = 3;
        hopper->velY = -3;
        hopper->push(9, -9);  // quotients truncated toward zero: -9 / 2 is -4, -9 / 8 is -1
        EXPECT_EQ(hopper->velX, 3 + c.velX) << int(c.hurt) << int(c.dead);
        EXPECT_EQ(hopper->velY, -3 + c.velY) << int(c.hurt) << int(c.dead);
    }
}

TEST_F(SpringfootTest, GroundWaveRunsAlongTheFloorLeavingBurstsAndHurtsFoes)
{
    Body* shooter = add(new Body(0, 0, 8, 8, 4));
    Body* friendOfShooter = add(new Body(140, 184, 16, 16, 4));
    Body* foe = add(new Body(196, 184, 16, 16, 1));
    step();
    GroundWave* wave = add(new GroundWave(100, 200, 6, shooter));
    EXPECT_EQ(wave->x, 96);
    EXPECT_EQ(wave->y + wave->h, 200);
    EXPECT_EQ(wave->team, 4);
    step();
    PhysicalRef ref;
    wave->makeRef(&ref);
    const i32 start = wave->x;
    step(2);
    EXPECT_EQ(wave->x, start + 12);
    EXPECT_EQ(all<Ground_Burst>().size(), 1u);
    step(2);
    EXPECT_EQ(all<Ground_Burst>().size(), 2u);
    step(14);
    EXPECT_EQ(friendOfShooter->health, 100);
    EXPECT_EQ(foe->health, 95);
    EXPECT_FALSE(world->isAlive(ref)) << "a wave that struck is gone";
}

TEST_F(SpringfootTest, GroundWaveDiesOfAgeWhenNothingStopsIt)
{
    world->cameraX = -1000;  // a long way to the window's edge
    GroundWave* wave = add(new GroundWave(-900, 200, 1, nullptr));
    PhysicalRef ref;
    wave->makeRef(&ref);
    step();  // joins the level
    step(100);
    EXPECT_TRUE(world->isAlive(ref));
    step();
    EXPECT_FALSE(world->isAlive(ref)) << "removed in its 101st update";
}

} // namespace
