#include "tests/actors/beasts_fixture.h"

#include "actors/creatures/bird.h"
#include "actors/creatures/corpse_sinker.h"
#include "actors/creatures/floating_turret.h"
#include "actors/creatures/mine.h"
#include "actors/creatures/splecker.h"
#include "actors/creatures/wall_spitter.h"
#include "actors/water/water.h"
#include "world/factory.h"

#include <memory>

namespace {

using BeastFactoryTest = BeastWorld;

// The class an id makes, and its box for a placement at (200, 100).
template <class T> void expectMade(u16 id, i32 x, i32 y, i32 w, i32 h)
{
    std::unique_ptr<Physical> made(createObject(id, 200, 100));
    ASSERT_NE(dynamic_cast<T*>(made.get()), nullptr) << id;
    EXPECT_EQ(made->x, x) << id;
    EXPECT_EQ(made->y, y) << id;
    EXPECT_EQ(made->w, w) << id;
    EXPECT_EQ(made->h, h) << id;
}

TEST_F(BeastFactoryTest, EachPlacedClassComesFromItsTypeId)
{
    expectMade<Water>(4, 168, 92, 64, 16);
    expectMade<Floating_Turret>(7, 192, 92, 16, 16);
    expectMade<WallSpitter>(9, 192, 88, 16, 16);
    expectMade<Mine>(10, 197, 97, 6, 6);
    expectMade<Splecker>(12, 196, 92, 8, 12);
    expectMade<Bird>(28, 198, 96, 4, 8);
    expectMade<Corpse_Sinker>(31, 192 - 160, 96 + 14, 320, 2);
    expectMade<Water>(33, 136, 84, 128, 32);
}

} // namespace
