#include "story/cutaway.h"
#include "tests/story/story_fixture.h"

#include "core/message.h"

namespace {

// Paints every screen pixel with a colour made from the world point it shows.
class WorldPattern : public Physical {
public:
    WorldPattern() : Physical(0, 0, 0, 0, 0, 100) {}
    static u32 colourAt(i32 wx, i32 wy) { return u32(0x400000 | (wx & 0xFF) << 8 | (wy & 0xFF)); }
    void draw(SDL_Surface* screen) override
    {
        SDL_LockSurface(screen);
        for (i32 y = 0; y < 240; ++y)
            for (i32 x = 0; x < 320; ++x)
                putPixel(screen, u32(x), u32(y), colourAt(x - drawOffsetX, y - drawOffsetY));
        SDL_UnlockSurface(screen);
    }
};

// Drawn between the trigger and the cutaway: what the cutaway hides.
class Hidden : public Physical {
public:
    Hidden() : Physical(0, 0, 0, 0, 0, -10) {}
    void draw(SDL_Surface* screen) override { fillRectOffset(screen, 0, 0, 400, 300, Red); }
    static constexpr u32 Red = 0xFF0000u;
};

class CutawayTest : public StoryTest {
protected:
    void drawLevel()
    {
        SDL_FillRect(backBuffer, nullptr, Backdrop);
        world->draw(backBuffer);
    }
    std::vector<CaptureTrigger*> triggers() { return all<CaptureTrigger>(); }
};

TEST_F(CutawayTest, CentresItsMaskOnThePoint)
{
    Cutaway normal(0);
    ASSERT_NE(normal.mask, nullptr);
    EXPECT_EQ(normal.mask->w, 48);
    EXPECT_EQ(normal.x, -24);
    EXPECT_EQ(normal.y, -24);
    normal.setPosition(100, 50);
    EXPECT_EQ(normal.x, 76);
    EXPECT_EQ(normal.y, 26);
    Cutaway secret(1);
    EXPECT_EQ(secret.mask->w, 64);
    EXPECT_EQ(secret.anchorX, 32);
    EXPECT_EQ(secret.typeFlags, u32(FlagEffect));
    EXPECT_EQ(secret.depth, -11);
}

TEST_F(CutawayTest, ShowsThePictureFromBeforeTheHiddenDepthsInsideItsMask)
{
    add(new WorldPattern());
    add(new Hidden());
    Cutaway* cut = add(new Cutaway(0));
    cut->setPosition(130, 90);
    world->cameraX = 30;
    world->cameraY = 20;
    step();  // all join
    drawLevel();
    EXPECT_EQ(pixel(100, 70), Hidden::Red) << "no trigger yet: the cutaway draws nothing";

    step();  // the cutaway's first update makes its trigger
    ASSERT_EQ(triggers().size(), 1u);
    EXPECT_EQ(cut->trigger, triggers()[0]);
    drawLevel();
    SDL_Surface* mask = cut->mask;
    int window = 0, outside = 0, rim = 0;
    for (i32 my = 0; my < mask->h; ++my) {
        for (i32 mx = 0; mx < mask->w; ++mx) {
            i32 sx = cut->x + mx - world->cameraX, sy = cut->y + my - world->cameraY;
            u32 m = getPixel(mask, u32(mx), u32(my)) & 0xFFFFFF;
            u32 expected = m == 0 ? WorldPattern::colourAt(cut->x + mx, cut->y + my)
                         : m == 0x00FF00 ? Hidden::Red
                                         : m;
            ASSERT_EQ(pixel(sx, sy), expected) << mx << "," << my;
            (m == 0 ? window : m == 0x00FF00 ? outside : rim) += 1;
        }
    }
    EXPECT_GT(window, 0);
    EXPECT_GT(outside, 0);
    EXPECT_GT(rim, 0);
    EXPECT_EQ(pixel(cut->x - 31, cut->y - 21), Hidden::Red) << "the hidden object is seen around the cutaway";
}

TEST_F(CutawayTest, OutsideALevelItMakesNoTriggerAndDrawsNothing)
{
    Cutaway cut(0);
    cut.update();
    EXPECT_EQ(cut.trigger, nullptr);
    SDL_FillRect(backBuffer, nullptr, Backdrop);
    drawOffsetX = drawOffsetY = 0;
    cut.setPosition(100, 100);
    cut.draw(backBuffer);
    EXPECT_EQ(pixel(100, 100), Backdrop);

    const u32 shown = messagesShownCount();
    cut.kill();
    EXPECT_EQ(messagesShownCount(), shown + 1);
    EXPECT_EQ(lastMessageShown(), "Killing systemless cutaway");
}

TEST_F(CutawayTest, EitherSideGoingUnlinksTheOther)
{
    Cutaway* cut = add(new Cutaway(1));
    step(2);
    ASSERT_EQ(triggers().size(), 1u);
    cut->kill();
    step();  // the cutaway is deleted after this pass
    ASSERT_EQ(triggers().size(), 1u);
    EXPECT_EQ(triggers()[0]->cutaway, nullptr);
    drawLevel();  // a trigger without its cutaway draws nothing
    step();
    EXPECT_TRUE(triggers().empty()) << "the trigger removed itself";

    Cutaway* second = add(new Cutaway(0));
    step(2);
    ASSERT_EQ(triggers().size(), 1u);
    triggers()[0]->removeSelf();
    step();
    EXPECT_EQ(second->trigger, nullptr);
    step();
    EXPECT_EQ(triggers().size(), 1u) << "the cutaway makes itself a new trigger";
}

} // namespace
