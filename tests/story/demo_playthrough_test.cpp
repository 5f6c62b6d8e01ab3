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

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

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
    Fight,  // the boss fight runs: face the nearest foe, fire, back off from it, jump the waves
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

    // What the player looks at, from one walk over the level's objects.
    struct Scene {
        Dahlia* heroine = nullptr;  // the one the pad steers: a dead one stays as a corpse
        Springfoot_Boss* boss = nullptr;
        BossFight* fight = nullptr;
        Pillar_BossLock* lock = nullptr;
        std::vector<Actor*> foes;  // living: the boss and the Springfoots it calls
        std::vector<GroundWave*> waves;
    };

    Scene look()
    {
        Scene scene;
        for (Physical* p = world->firstOfType(FlagAll); world->hasMoreOfType(); p = world->nextOfType()) {
            if (auto* d = dynamic_cast<Dahlia*>(p); d && (d->typeFlags & FlagPlayer))
                scene.heroine = d;
            else if (auto* b = dynamic_cast<Springfoot_Boss*>(p))
                scene.boss = b;
            else if (auto* f = dynamic_cast<BossFight*>(p))
                scene.fight = f;
            else if (auto* l = dynamic_cast<Pillar_BossLock*>(p))
                scene.lock = l;
            else if (auto* w = dynamic_cast<GroundWave*>(p); w && !w->spent)
                scene.waves.push_back(w);
            if (auto* s = dynamic_cast<Springfoot*>(p); s && !s->dead)
                scene.foes.push_back(s);
        }
        if (scene.boss && !scene.boss->dead)
            scene.foes.insert(scene.foes.begin(), scene.boss);  // first: the nearest on a tie
        return scene;
    }

    static Stage stageOf(const Scene& scene)
    {
        if (scene.boss && scene.boss->isFinished())
            return Stage::Climb;
        return scene.fight && scene.fight->started ? Stage::Fight : Stage::Road;
    }

    bool standing() const { return heroine->velY == 0 && feet() >= heroine->floorLimit; }
    i32 aheadOf(const Physical* p) const { return p->x + p->w / 2 - centreX(); }

    // Held controls for the fight: -1 left, +1 right, 0 none.
    i8 fightDirection(const Scene& scene, bool* jump, bool* up)
    {
        *jump = standing() && std::any_of(scene.waves.begin(), scene.waves.end(), [&](GroundWave* w) {
                    const i32 ahead = w->x - centreX();
                    return std::abs(ahead) < WaveDodge && (ahead > 0) == (w->velX < 0);
                });
        if (scene.foes.empty())
            return 0;
        const Actor* foe = *std::min_element(scene.foes.begin(), scene.foes.end(), [&](Actor* a, Actor* b) {
            return std::abs(aheadOf(a)) < std::abs(aheadOf(b));
        });
        const i32 ahead = aheadOf(foe);
        const i8 toward = ahead < 0 ? -1 : 1;
        *up = std::abs(ahead) < 16 && foe->y + foe->h < heroine->y;
        if (std::abs(ahead) < CloseQuarters)
            return i8(-toward);  // back off
        return heroine->facing == toward ? 0 : toward;
    }

    // This frame's controls, pressed before the frame runs.
    void steer(const Scene& scene, Stage stage)
    {
        bool jump = false, up = false;
        i8 dir = 0;
        if (stage == Stage::Road) {
            const Intent intent = decide(withoutHeadway);
            // Outside the arena's gate she lingers a while, as long as the run's seed says.
            const bool lingering = heroine->x >= LingerX && lingered < LingerFrames[GetParam() % 4];
            lingered += lingering;
            dir = intent.right && !lingering ? 1 : 0;
            jump = intent.jump;
            up = intent.up;
        } else if (stage == Stage::Fight) {
            dir = fightDirection(scene, &jump, &up);
        } else {
            dir = 1;
            jump = standing() && heroine->y == lastY;
        }
        setControl(ControlB, true);
        setControl(ControlLeft, dir < 0);
        setControl(ControlRight, dir > 0);
        setControl(ControlUp, up);
        // A fresh press each time: a held jump key does not jump again.
        setControl(ControlA, jump && !jumpHeld);
        jumpHeld = jump && !jumpHeld;
    }

    // While the lock-in pillar rises the boss never stands in or on it, and once it has risen the
    // boss is inside the arena: right of the pillar and clear of it. Names where it first was not.
    void watchTheLock(const Scene& scene)
    {
        const Pillar_BossLock* lock = scene.lock;
        const Springfoot_Boss* boss = scene.boss;
        if (!lock || !boss || lock->targetHeight <= 1 || lockRisen)
            return;
        const bool over = boss->x < lock->x + lock->w && boss->x + boss->w > lock->x;
        const bool inOrOn = over && boss->y < lock->y + lock->h && boss->y + boss->h >= lock->y;
        lockRisen = lock->h == lock->targetHeight;
        if (bossAtLock.empty() && (inOrOn || (lockRisen && boss->x < lock->x + lock->w)))
            bossAtLock = "(" + std::to_string(boss->x) + ", " + std::to_string(boss->y) + ") at pillar height " +
                         std::to_string(lock->h);
        if (lockRisen)
            where = "the boss at (" + std::to_string(boss->x) + ", " + std::to_string(boss->y) +
                    ") when the lock-in pillar had risen";
    }

    // Plays until the credits roll or the budget is spent; true when they roll.
    bool play()
    {
        for (; frames < FrameBudget; ++frames) {
            if (creditsRolling())
                return true;
            const Scene scene = look();
            const Stage stage = stageOf(scene);
            watchTheLock(scene);
            if (scene.heroine && scene.heroine != heroine) {
                deaths += heroine != nullptr;
                heroine = scene.heroine;
            }
            fake_input::releaseAll();
            if (speechBoxOpen()) {
                // The tutorial boxes turn their pages on a fresh press of the jump key.
                if (boxPresses++ % 2 == 0)
                    fake_input::holdControl(0, ControlA);
            } else if (heroine && !heroine->dead) {
                steer(scene, stage);
            }
            const i32 bestBefore = bestX;
            lastY = heroine ? heroine->y : 0;
            frame();
            if (!heroine || creditsRolling())
                continue;
            bestX = std::max(bestX, heroine->x);
            withoutHeadway = stage != Stage::Road || bestX > bestBefore ? 0 : withoutHeadway + 1;
        }
        return false;
    }

    int frames = 0, deaths = 0;
    std::string bossAtLock;  // where the boss first stood in or on the lock-in pillar, or outside
    std::string where;       // where the boss was once the lock-in pillar had risen
    int withoutHeadway = 0, boxPresses = 0, lingered = 0;
    i32 bestX = 0, lastY = 0;
    bool jumpHeld = false, lockRisen = false;
};

} // namespace

TEST_P(DemoPlaythroughTest, AHeadlessPlayerFinishesTheDemo)
{
    const bool finished = play();
    fake_input::releaseAll();
    std::printf("seed %u: %s after %d frames, %d deaths; %s\n", GetParam(), finished ? "credits" : "NOT FINISHED",
                frames, deaths, where.c_str());
    EXPECT_EQ(bossAtLock, "") << "seed " << GetParam() << ": the boss at the lock-in pillar";
    EXPECT_TRUE(finished) << "seed " << GetParam() << ": no credits after " << frames << " frames (" << deaths
                          << " deaths); she stood at x " << (heroine ? heroine->x : 0) << ", y "
                          << (heroine ? heroine->y : 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, DemoPlaythroughTest, testing::Range(1u, seedCount() + 1));
