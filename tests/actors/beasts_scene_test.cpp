#include "tests/actors/beasts_fixture.h"

#include "actors/actor.h"
#include "actors/creatures/acid_puke.h"
#include "actors/creatures/double_shot.h"
#include "actors/creatures/spit_shot.h"
#include "actors/creatures/splecker.h"
#include "actors/creatures/wall_spitter.h"
#include "actors/water/splash.h"
#include "core/engine.h"
#include "world/factory.h"
#include "world/terrain/terrainblocks.h"

namespace {

// A character of the heroine's team that paces to and fro.
class Walker : public Actor {
public:
    Walker(i32 x, i32 y) : Actor(x, y)
    {
        w = 8;
        h = 16;
        team = 1;
        health = 30000;
    }
    Controls think() override { return Controls(owner->frame() % 240 < 120 ? 1 : -1, false); }
};

// Every creature of the family on real terrain, with a walker among them, drawn every frame.
TEST_F(BeastWorld, TheWholeFamilyLivesTogetherOnRealTerrain)
{
    SDL_Surface* tiles = loadGraphic("resource/cytok-tiles.gif", false, 0, 0, 0, false);
    SDL_Rect cell{16, 16, 16, 16};
    for (i32 x = -32; x < 352; x += 16)
        add(new FullBlock(x, 208, -1, tiles, cell));
    for (i32 y = 144; y < 208; y += 16)
        add(new FullBlock(272, y, -1, tiles, cell));
    add(new ThroughBlock(16, 160, -1, tiles, cell));
    step();
    const std::pair<u16, std::pair<i32, i32>> placements[] = {
        {4, {130, 200}},   // water on the ground
        {7, {200, 80}},    // turret
        {9, {268, 160}},   // wall spitter on the column's left side
        {10, {60, 204}},   // mine
        {12, {180, 196}},  // splecker on the ground
        {12, {24, 150}},   // splecker on the platform
        {28, {230, 200}},  // bird perched
        {31, {160, 190}},  // corpse sinker across the ground
    };
    for (const auto& [id, at] : placements)
        add(createObject(id, at.first, at.second));
    Walker* walker = add(new Walker(140, 192));
    step();
    ASSERT_EQ(all<WallSpitter>().size(), 1u);
    EXPECT_EQ(all<WallSpitter>()[0]->faceLeft, 1);

    std::set<u32> splashes, acid, spit, bolts;
    for (int i = 0; i < 900; ++i) {
        step();
        world->draw(backBuffer);
        watch<Splash>(&splashes);
        watch<AcidPuke>(&acid);
        watch<SpitShot>(&spit);
        watch<DoubleShot>(&bolts);
    }
    EXPECT_FALSE(splashes.empty());
    EXPECT_FALSE(acid.empty());
    EXPECT_FALSE(spit.empty());
    EXPECT_FALSE(bolts.empty());
    EXPECT_LT(walker->health, 30000);
    for (Splecker* s : all<Splecker>())
        EXPECT_TRUE(s->rootY == 208 || s->rootY == 160) << s->rootY;
}

} // namespace
