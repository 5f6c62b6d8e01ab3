#include "tests/actors/beasts_fixture.h"

#include "actors/blood_particle.h"
#include "actors/creatures/acid_puke.h"
#include "actors/creatures/fake_splecker.h"
#include "actors/creatures/floating_turret.h"
#include "actors/creatures/splecker.h"
#include "actors/dahlia_bullet.h"
#include "actors/effects/death_burst.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// A floor across the view with its top at y 200, and a splecker rooted on it at x 100.
class SpleckerTest : public BeastWorld {
protected:
    void SetUp() override
    {
        BeastWorld::SetUp();
        add(new Wall(-64, 200, 448, 16));
        step();
        splecker = add(new Splecker(100, 180));  // box (96, 172, 8, 12)
        step(2);
    }

    // A sturdy character of a team whose centre is (cx, cy).
    Target* foeAt(i32 cx, i32 cy, u8 team = 1)
    {
        Target* t = add(new Target(cx - 8, cy - 8, team));
        t->health = 30000;
        return t;
    }

    Splecker* splecker = nullptr;
};

TEST_F(SpleckerTest, RootsOnTheFloorBelowAndLeavesWithoutOneInReach)
{
    EXPECT_EQ(splecker->rootY, 200);
    EXPECT_EQ(all<Splecker>().size(), 1u);

    add(new Splecker(200, 50));  // feet at 54: the floor is 146 below
    step(2);
    EXPECT_EQ(all<Splecker>().size(), 1u) << "nothing to root on within 96 pixels";

    add(new Splecker(200, 101));  // feet at 105: the floor is 95 below
    step(3);
    EXPECT_EQ(all<Splecker>().size(), 2u);

    // The motionless picture roots the same way, when asked to.
    Fake_Splecker* fake = add(new Fake_Splecker(300, 101));  // box (296, 93, 8, 12)
    Fake_Splecker* floating = add(new Fake_Splecker(300, 50));
    step();
    EXPECT_EQ(fake->neck, 0);
    fake->takeRoot();
    floating->takeRoot();
    EXPECT_EQ(fake->rootY, 200);
    EXPECT_EQ(fake->neck, 107);
    EXPECT_EQ(fake->x, 296);
    EXPECT_EQ(fake->w, 8);
    step();
    ASSERT_EQ(all<Fake_Splecker>().size(), 1u) << "nothing to root on within 96 pixels";
    EXPECT_EQ(all<Fake_Splecker>().front(), fake);
    EXPECT_TRUE(drawsCell(fake, fake->sheet, {0, 40, 16, 8}, fake->rootX, fake->rootY - 8, false)) << "its neck";
}

TEST_F(SpleckerTest, HiddenItCannotBeHitAlertItCan)
{
    EXPECT_EQ(splecker->head, 6) << "asleep from the start";
    step(12);  // the neck sinks to its lowest
    EXPECT_EQ(splecker->neck, 32);
    EXPECT_EQ(splecker->y, 168);
    EXPECT_EQ(splecker->typeFlags, u32(FlagScenery));

    Target* shooter = add(new Target(300, 0, 1));  // too far to be noticed
    Dahlia_Bullet* passing = add(new Dahlia_Bullet(100, 174, 0, 0, shooter));
    step(12);
    EXPECT_EQ(splecker->health, 24);
    EXPECT_EQ(passing->spent, 0);
    world->remove(passing);

    foeAt(150, 192);
    step(8);
    EXPECT_EQ(splecker->typeFlags, u32(FlagDamagable | FlagCharacter));
    add(new Dahlia_Bullet(100, splecker->y + 4, 0, 0, shooter));
    step(3);
    EXPECT_EQ(splecker->health, 21);
}

TEST_F(SpleckerTest, WatchesTheNearestFoeButNeverWildlifeOrTheDead)
{
    foeAt(60, 150);       // 40 to the left
    foeAt(80, 150, 4);    // 20 to the left, of the wildlife team
    Target* dead = foeAt(110, 150);
    dead->dead = 1;
    foeAt(130, 150);      // 30 to the right: the nearest living foe
    step(8);
    EXPECT_EQ(splecker->hasFoe, 1);
    EXPECT_EQ(splecker->aimDx, 30);
    EXPECT_EQ(splecker->faceRight, 1);
    const SDL_Rect head = spleckerHeadCell(splecker->head);
    EXPECT_TRUE(drawsCell(splecker, splecker->sheet, head, splecker->x - 4, splecker->y, true)) << "turned to it";
    EXPECT_TRUE(showsCell(backBuffer, splecker->sheet, {0, 40, 16, 8}, splecker->rootX, splecker->rootY - 8, false));
}

TEST_F(SpleckerTest, WithoutFoesItHidesAgainAndTiesGoToTheFirstFound)
{
    Target* first = foeAt(70, 150);
    foeAt(130, 150);
    step(8);
    EXPECT_EQ(splecker->aimDx, -30);
    EXPECT_EQ(splecker->faceRight, 0);
    world->remove(first);
    step(8);
    EXPECT_EQ(splecker->aimDx, 30);
    for (Target* t : all<Target>())
        world->remove(t);
    step(8);
    EXPECT_EQ(splecker->hasFoe, 0);
    EXPECT_EQ(splecker->typeFlags, u32(FlagScenery));
}

TEST_F(SpleckerTest, ItSpitsThirtyDropsOneAFrameWithOneRetch)
{
    foeAt(170, 192);  // 70 to the right: aimDx 70
    std::map<u32, u32> firedIn;
    std::map<u32, i8> swayOf;  // each drop's sideways speed as it left the mouth
    for (int i = 0; i < 120 && !splecker->spitting; ++i)
        step();
    ASSERT_EQ(splecker->spitting, 1);
    EXPECT_EQ(splecker->head, 1);
    auto gather = [&](u32 frame) {
        for (AcidPuke* drop : all<AcidPuke>()) {
            firedIn.emplace(drop->serial, frame);
            swayOf.emplace(drop->serial, drop->velX);
        }
    };
    gather(world->frame() - 1);  // the first drop flew in the frame the spit began
    for (int i = 0; i < 40; ++i) {
        u32 frame = world->frame();
        step();
        gather(frame);
    }
    ASSERT_EQ(firedIn.size(), 30u);
    std::vector<u32> frames;
    for (auto& entry : firedIn)
        frames.push_back(entry.second);
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], frames[i - 1] + 1);
    // Facing right the stream sways with +2 sin(timer / 3) about 70 / 14, the timer counting down.
    int t = 29;
    for (auto& entry : swayOf) {
        EXPECT_EQ(entry.second, 5 + int(std::trunc(2.0 * std::sin(t / 3.0)))) << "timer " << t;
        --t;
    }
    EXPECT_EQ(playing("resource/puke.wav"), 1);
    EXPECT_EQ(splecker->spitting, 0) << "the mouth has closed";
    EXPECT_EQ(splecker->head, 0);
    EXPECT_GE(splecker->timer, 80);
    EXPECT_LE(splecker->timer, 130);
}

TEST_F(SpleckerTest, AcidHurtsByThreeButNotTheTurret)
{
    Target* victim = foeAt(0, 0);
    Floating_Turret* turret = add(new Floating_Turret(0, 0));
    AcidPuke drop(0, 0, 0, 0, splecker);
    EXPECT_EQ(drop.w, 8);
    EXPECT_EQ(drop.depth, -5);
    drop.hitTarget(victim);
    drop.hitTarget(turret);
    EXPECT_EQ(victim->health, 30000 - 3);
    EXPECT_EQ(turret->health, 30);
}

TEST_F(SpleckerTest, TheNeckStaysBetween32And96)
{
    foeAt(130, 20);  // far above: the neck grows from its rooted 28
    for (int i = 0; i < 40 && splecker->neck < 32; ++i)
        step();
    int highest = 0, lowest = 255;
    for (int i = 0; i < 600; ++i) {
        step();
        highest = std::max<int>(highest, splecker->neck);
        lowest = std::min<int>(lowest, splecker->neck);
        EXPECT_EQ(splecker->y, 200 - splecker->neck);
    }
    EXPECT_EQ(highest, 96);
    EXPECT_EQ(lowest, 32);
}

TEST_F(SpleckerTest, TheNeckGrowsOnlyWhileThereIsHeadroom)
{
    add(new Wall(90, 120, 24, 16));  // a ceiling 64 above the root
    foeAt(130, 20);
    int highest = 0;
    for (int i = 0; i < 300; ++i) {
        step();
        highest = std::max<int>(highest, splecker->neck);
    }
    EXPECT_GE(highest, 60);
    EXPECT_LE(highest, 65);
}

TEST_F(SpleckerTest, TheCorpseBleedsFifteenFramesAndStays)
{
    foeAt(150, 192);
    step(8);
    ASSERT_EQ(splecker->typeFlags, u32(FlagDamagable | FlagCharacter));
    splecker->faceRight = 1;
    splecker->hurt(24, 2);
    std::set<u32> blobs;  // each blood blob leaves one largest droplet
    step();
    EXPECT_EQ(splecker->head, 5);
    EXPECT_EQ(splecker->w, 2);
    EXPECT_LT(splecker->velX, 0) << "thrown away from where it looked";
    EXPECT_EQ(all<Death_Burst>().size(), 1u);
    for (int i = 0; i < 60; ++i) {
        for (Blood_Particle* p : all<Blood_Particle>()) {
            if (p->size == 0)
                blobs.insert(p->serial);
        }
        step();
    }
    EXPECT_EQ(blobs.size(), 15u);
    EXPECT_EQ(all<Splecker>().size(), 1u);
    EXPECT_EQ(splecker->y + splecker->h, 200) << "the corpse lies on the floor";
    EXPECT_TRUE(drawsCell(splecker, splecker->sheet, spleckerHeadCell(5), splecker->x - 7, splecker->y, true));
}

} // namespace
