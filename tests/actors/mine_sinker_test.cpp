#include "tests/actors/beasts_fixture.h"

#include "actors/creatures/corpse_sinker.h"
#include "actors/creatures/mine.h"
#include "actors/effects/explosion.h"
#include "story/pause_menu.h"

namespace {

using MineTest = BeastWorld;

TEST_F(MineTest, ATouchOffTheBeatGoesOffAtTheNextMultipleOfThree)
{
    Mine* mine = add(new Mine(100, 100));  // box (97, 97, 6, 6)
    EXPECT_EQ(mine->typeFlags, 10u);
    EXPECT_EQ(mine->health, 1);
    EXPECT_TRUE(drawsCell(mine, mine->image, {0, 0, u16(mine->image->w), u16(mine->image->h)}, 96, 96, false));
    step();
    alignFrame(3);
    add(new Corpse(90, 90));  // dead, of any team: still a body on the mine
    step(3);                  // it joins in the frame it was added; the next two are off the beat
    EXPECT_EQ(all<Mine>().size(), 1u);
    EXPECT_TRUE(all<Explosion>().empty());
    step();
    EXPECT_TRUE(all<Mine>().empty());
    std::vector<Explosion*> explosions = all<Explosion>();
    ASSERT_EQ(explosions.size(), 1u);
    EXPECT_EQ(explosions[0]->x, 100 - 10);
    EXPECT_EQ(explosions[0]->y, 100 - 10);
    EXPECT_EQ(playing("resource/explosion.wav"), 1);
}

TEST_F(MineTest, EdgeContactIsNoTouchButAShotSetsItOff)
{
    Mine* mine = add(new Mine(100, 100));
    add(new Target(103, 81, 1));  // its left edge on the mine's right edge
    step(10);
    ASSERT_EQ(all<Mine>().size(), 1u);
    mine->hurt(3, 2);
    step();
    EXPECT_TRUE(all<Mine>().empty());
    EXPECT_EQ(all<Explosion>().size(), 1u);
}

// A strip (0, 100, 320, 2) with bodies lying across it.
class SinkerTest : public BeastWorld {
protected:
    void SetUp() override
    {
        BeastWorld::SetUp();
        add(new Corpse_Sinker(0, 100, 320, 2));
    }
};

TEST_F(SinkerTest, ADeadCreatureSinksFrozenAndVanishesOnceThroughTheStrip)
{
    Corpse* corpse = add(new Corpse(50, 90));  // top 90, bottom 106
    step();
    alignFrame(4);
    step();
    EXPECT_EQ(corpse->y, 91);
    EXPECT_EQ(corpse->frozenCount, 1);
    step(3);
    EXPECT_EQ(corpse->y, 91);
    // 11 more pixels, one every fourth frame; at y 102 its top is at the strip's bottom.
    step(4 * 10);
    ASSERT_EQ(all<Corpse>().size(), 1u);
    EXPECT_EQ(corpse->y, 101);
    step(4);
    EXPECT_TRUE(all<Corpse>().empty());
}

TEST_F(SinkerTest, TheLivingPlayersAndBossesAreLeftAlone)
{
    Target* living = add(new Target(10, 90, 2));
    Corpse* player = add(new Corpse(40, 90, FlagPlayer));
    Corpse* boss = add(new Corpse(70, 90, FlagBoss));
    Corpse* beside = add(new Corpse(330, 90));  // right of the strip
    step(40);
    for (Target* t : std::vector<Target*>{living, player, boss, beside}) {
        EXPECT_EQ(t->y, 90);
        EXPECT_EQ(t->frozenCount, 0);
    }
}

// The pause menu raises and lowers the same frozen count, so closing it leaves a sinking
// corpse frozen, and the corpse goes on sinking.
TEST_F(SinkerTest, ClosingThePauseMenuDoesNotWakeASinkingCorpse)
{
    Corpse* corpse = add(new Corpse(50, 90));
    step();
    alignFrame(4);
    step();
    ASSERT_EQ(corpse->frozenCount, 1);
    Pause_Menu* menu = add(new Pause_Menu());
    EXPECT_EQ(corpse->frozenCount, 2);
    step(8);
    EXPECT_EQ(corpse->y, 91) << "nothing sinks while the game is paused";
    menu->resume();
    step();
    EXPECT_EQ(corpse->frozenCount, 1);
    step(8);
    EXPECT_EQ(corpse->y, 93);
}

} // namespace
