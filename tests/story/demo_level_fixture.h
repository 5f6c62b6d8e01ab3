#pragma once
#include "actors/dahlia.h"
#include "tests/story/level_fixture.h"

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

    Dahlia* heroine = nullptr;
};
