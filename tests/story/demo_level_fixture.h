#pragma once
#include "actors/creatures/floating_turret.h"
#include "actors/creatures/mine.h"
#include "actors/creatures/splecker.h"
#include "actors/dahlia.h"
#include "tests/story/level_fixture.h"
#include "world/objects/marker.h"

#include <cstdlib>
#include <vector>

// The demo level started as the title menu's new game does, with its heroine at hand.
class DemoLevelTest : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        world->startLevel("demo.lvl");
        frame(2);
        std::vector<Dahlia*> found = all<Dahlia>();
        ASSERT_EQ(found.size(), 1u);
        heroine = found[0];
    }

    i32 feet() const { return heroine->y + heroine->h; }

    // Sets her down standing still with her feet at feetY.
    void place(i32 x, i32 feetY)
    {
        heroine->x = x;
        heroine->y = feetY - heroine->h;
        heroine->velX = 0;
        heroine->velY = 0;
    }

    template <class T> void removeAll()
    {
        for (T* object : all<T>())
            world->remove(object);
    }

    // The road script: what a player who does what the tutorial texts ask does on the road. Run
    // right, jump what stops her and every gap, aim up at turrets, jump at Spleckers' heads.
    static constexpr int StuckFrames = 6;        // frames without headway before she jumps
    static constexpr i32 GapProbeAhead = 4;      // how far past her leading edge she looks for ground
    static constexpr i32 MineJumpDistance = 36;  // a running jump from here clears the mine
    static constexpr i32 SpleckerStand = 96;     // she stops this far from a living Splecker and jumps to fire
    static constexpr i32 TurretReach = 40;       // a turret this close on either side is shot from below

    i32 centreX() const { return heroine->x + heroine->w / 2; }

    template <class T> T* nearestAhead(i32 within, bool (*alive)(T*))
    {
        T* best = nullptr;
        for (T* t : all<T>()) {
            const i32 ahead = t->x + t->w / 2 - centreX();
            if (alive(t) && ahead > -8 && ahead < within && (!best || t->x < best->x))
                best = t;
        }
        return best;
    }

    bool groundAhead()
    {
        Marker probe;
        probe.setBox(heroine->x + heroine->w + GapProbeAhead, feet(), 4, 12);
        return probe.isBlocked(world.get(), true);
    }

    bool turretOverhead()
    {
        for (Floating_Turret* t : all<Floating_Turret>())
            if (!t->dead && std::abs(t->x + 8 - centreX()) < TurretReach && t->y < heroine->y)
                return true;
        return false;
    }

    // The script's controls for this frame.
    struct Intent {
        bool right = true;
        bool up = false;
        bool jump = false;
    };

    Intent decide(int framesWithoutHeadway)
    {
        Intent intent;
        const bool standing = heroine->velY == 0 && feet() >= heroine->floorLimit;
        Splecker* splecker =
            nearestAhead<Splecker>(SpleckerStand + 8, [](Splecker* s) { return !s->dead && s->neck != 0; });
        Mine* mine = nearestAhead<Mine>(MineJumpDistance, [](Mine* m) { return m->health > 0; });
        intent.right = !splecker || splecker->x - centreX() > SpleckerStand;
        intent.up = turretOverhead();
        intent.jump = standing && (framesWithoutHeadway >= StuckFrames || !groundAhead() || mine ||
                                   (splecker && heroine->velX == 0));
        return intent;
    }

    void setControl(u8 control, bool held)
    {
        if (held)
            fake_input::holdControl(0, control);
        else
            fake_input::releaseControl(0, control);
    }

    Dahlia* heroine = nullptr;
};
