// The whole demo, played from the title's new game to the credits with the controls alone, as a
// player would: every object of the level stays, the tutorial boxes are answered with the jump
// key, deaths bring her back at the last marker. Each run draws its randomness from its own seed.
#include "tests/story/demo_level_fixture.h"

#include "actors/bossfight.h"
#include "actors/springfoot/groundwave.h"
#include "actors/springfoot/springfoot.h"
#include "actors/springfoot/springfoot_boss.h"
#include "core/random.h"
#include "story/credits.h"
#include "world/objects/pillar_bosslock.h"
#include "world/speechflag.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

constexpr int FrameBudget = 12000;  // under seven minutes of play: a finished run takes about half
constexpr u32 CiSeeds = 8;          // WARDEN_DEMO_SEEDS asks for more
constexpr i32 CloseQuarters = 48;   // she backs off from a foe whose middle is nearer than this
constexpr i32 WaveDodge = 40;       // she jumps a ground wave coming at her from this near
constexpr i32 LingerX = 5180;       // outside the arena's gate
constexpr int LingerFrames[] = {0, 45, 120, 240};

u32 seedCount()
{
    const char* asked = std::getenv("WARDEN_DEMO_SEEDS");
    return asked && std::atoi(asked) > 0 ? u32(std::atoi(asked)) : CiSeeds;
}

// What the player is doing, read from the level each frame.
enum class Stage : u8 {
    Road,   // the road script, up to the arena
    Fight,  // the boss fight runs: face the nearest foe, fire, back off, jump the waves
    Climb,  // the boss is finished: hold right and jump whenever she stands, up to the ending
};

class DemoPlaythroughTest : public DemoLevelTest, public testing::WithParamInterface<u32> {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        setSpeechBoxOpen(false);
        seedStream(0, GetParam());
        world->startLevel("demo.lvl");
        manageWorld();
    }
    void TearDown() override
    {
        if (managed)
            world.release();  // the manager deletes it, or deleted it for the credits
        deleteAllGameSystems();
        madeMenus.clear();
        managed = false;
        setSpeechBoxOpen(false);
        LevelTest::TearDown();
    }

    bool creditsRolling() const
    {
        for (GameSystem* s : activeSystemList())
            if (dynamic_cast<Credits*>(s))
                return true;
        return false;
    }

    // The heroine the pad steers: a dead one stays as a corpse once her replacement is made.
    Dahlia* livingHeroine()
    {
        for (Dahlia* d : all<Dahlia>())
            if (d->typeFlags & FlagPlayer)
                return d;
        return nullptr;
    }

    Stage stage()
    {
        std::vector<Springfoot_Boss*> bosses = all<Springfoot_Boss>();
        if (!bosses.empty() && bosses[0]->isFinished())
            return Stage::Climb;
        std::vector<BossFight*> fights = all<BossFight>();
        return !fights.empty() && fights[0]->started ? Stage::Fight : Stage::Road;
    }

    bool standing() const { return heroine->velY == 0 && feet() >= heroine->floorLimit; }

    // The living foe whose middle is nearest hers: the boss or a Springfoot it called.
    Actor* nearestFoe()
    {
        Actor* best = nullptr;
        auto consider = [&](Actor* a) {
            if (!a->dead && (!best || std::abs(a->x + a->w / 2 - centreX()) < std::abs(best->x + best->w / 2 - centreX())))
                best = a;
        };
        for (Springfoot_Boss* b : all<Springfoot_Boss>())
            consider(b);
        for (Springfoot* s : all<Springfoot>())
            consider(s);
        return best;
    }

    bool waveComing()
    {
        for (GroundWave* w : all<GroundWave>()) {
            const i32 ahead = w->x - centreX();
            if (!w->spent && std::abs(ahead) < WaveDodge && (ahead > 0) == (w->velX < 0))
                return true;
        }
        return false;
    }

    // Held controls for the fight: -1 left, +1 right, 0 none.
    i8 fightDirection(bool* jump, bool* up)
    {
        Actor* foe = nearestFoe();
        *jump = standing() && waveComing();
        if (!foe)
            return 0;
        const i32 ahead = foe->x + foe->w / 2 - centreX();
        const i8 toward = ahead < 0 ? -1 : 1;
        *up = std::abs(ahead) < 16 && foe->y + foe->h < heroine->y;
        if (std::abs(ahead) < CloseQuarters) {
            // Back off; cornered, jump over it.
            *jump = *jump || (standing() && withoutHeadway >= StuckFrames);
            return i8(-toward);
        }
        return heroine->facing == toward ? 0 : toward;
    }

    void setDirection(i8 dir)
    {
        setControl(ControlLeft, dir < 0);
        setControl(ControlRight, dir > 0);
    }

    // This frame's controls, pressed before the frame runs.
    void steer()
    {
        setControl(ControlB, true);
        bool jump = false, up = false;
        i8 dir = 0;
        switch (stage()) {
        case Stage::Road: {
            const Intent intent = decide(withoutHeadway);
            // Outside the arena's gate she lingers a while, as long as the run's seed says.
            const bool lingering = heroine->x >= LingerX && lingered < LingerFrames[GetParam() % 4];
            lingered += lingering;
            dir = intent.right && !lingering ? 1 : 0;
            jump = intent.jump;
            up = intent.up;
            break;
        }
        case Stage::Fight:
            dir = fightDirection(&jump, &up);
            break;
        case Stage::Climb:
            dir = 1;
            jump = standing() && heroine->y == lastY;
            break;
        }
        setDirection(dir);
        setControl(ControlUp, up);
        // A fresh press each time: a held jump key does not jump again.
        setControl(ControlA, jump && !jumpHeld);
        jumpHeld = jump && !jumpHeld;
    }

    // The tutorial boxes turn their pages on a fresh press of the jump key.
    void answerSpeechBox()
    {
        fake_input::releaseAll();
        if (boxPresses++ % 2 == 0)
            fake_input::holdControl(0, ControlA);
    }

    struct Run {
        bool finished = false;
        int frames = 0;
        int deaths = 0;
        std::string bossAtLock;  // where the boss first stood in or on the rising lock-in pillar, or
                                 // stood outside the arena when it had risen
    };

    // While the lock-in pillar rises the boss never stands in or on it, and once it has risen the
    // boss is inside the arena: right of the pillar and clear of it.
    void watchTheLock(Run* run)
    {
        std::vector<Pillar_BossLock*> locks = all<Pillar_BossLock>();
        std::vector<Springfoot_Boss*> bosses = all<Springfoot_Boss>();
        if (locks.empty() || bosses.empty() || locks[0]->targetHeight <= 1 || lockWatched)
            return;
        const Pillar_BossLock* lock = locks[0];
        const Springfoot_Boss* boss = bosses[0];
        const bool over = boss->x < lock->x + lock->w && boss->x + boss->w > lock->x;
        const bool inOrOn = over && boss->y < lock->y + lock->h && boss->y + boss->h >= lock->y;
        lockWatched = lock->h == lock->targetHeight;
        if (run->bossAtLock.empty() && (inOrOn || (lockWatched && boss->x < lock->x + lock->w)))
            run->bossAtLock = "(" + std::to_string(boss->x) + ", " + std::to_string(boss->y) + ") at pillar height " +
                               std::to_string(lock->h);
        if (lockWatched)
            bossWhenLocked = {boss->x, boss->y};
    }

    Run play()
    {
        Run run;
        for (; run.frames < FrameBudget; ++run.frames) {
            if (creditsRolling()) {
                run.finished = true;
                break;
            }
            watchTheLock(&run);
            Dahlia* now = livingHeroine();
            if (now && now != heroine) {
                run.deaths += heroine != nullptr;
                heroine = now;
            }
            if (speechBoxOpen())
                answerSpeechBox();
            else if (heroine && !heroine->dead)
                steer();
            else
                fake_input::releaseAll();
            const i32 bestBefore = bestX;
            lastY = heroine ? heroine->y : 0;
            frame();
            if (heroine && !creditsRolling()) {
                bestX = std::max(bestX, heroine->x);
                withoutHeadway = bestX > bestBefore || stage() != Stage::Road ? 0 : withoutHeadway + 1;
                if (stage() == Stage::Fight)
                    withoutHeadway = heroine->x == lastX ? withoutHeadway + 1 : 0;
                lastX = heroine->x;
            }
        }
        fake_input::releaseAll();
        return run;
    }

    std::string whereSheStood()
    {
        std::string where = heroine ? "x " + std::to_string(heroine->x) + ", y " + std::to_string(heroine->y) : "nowhere";
        for (Springfoot_Boss* b : all<Springfoot_Boss>())
            where += "; the boss at x " + std::to_string(b->x) + ", y " + std::to_string(b->y) + ", health " +
                     std::to_string(b->health);
        return where;
    }

    int withoutHeadway = 0;
    i32 bestX = 0, lastX = 0, lastY = 0;
    bool jumpHeld = false;
    int boxPresses = 0;
    int lingered = 0;
    bool lockWatched = false;
    std::pair<i32, i32> bossWhenLocked{0, 0};
};

} // namespace

TEST_P(DemoPlaythroughTest, AHeadlessPlayerFinishesTheDemo)
{
    const Run run = play();
    EXPECT_EQ(run.bossAtLock, "") << "seed " << GetParam() << ": the boss at the lock-in pillar";
    std::printf("seed %u: %s after %d frames, %d deaths; the boss at (%d, %d) when the lock-in pillar had risen\n",
                GetParam(), run.finished ? "credits" : "NOT FINISHED", run.frames, run.deaths, bossWhenLocked.first,
                bossWhenLocked.second);
    EXPECT_TRUE(run.finished) << "seed " << GetParam() << ": no credits after " << run.frames << " frames ("
                              << run.deaths << " deaths); she stood at " << whereSheStood();
}

INSTANTIATE_TEST_SUITE_P(Seeds, DemoPlaythroughTest, testing::Range(1u, seedCount() + 1));
