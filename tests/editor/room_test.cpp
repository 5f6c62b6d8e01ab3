#include "tests/editor/editor_fixture.h"

#include "core/font.h"
#include "tests/support/on_screen.h"
#include "world/factory.h"
#include "world/physical.h"

#include <vector>

namespace {

class RoomTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        click(1, 6 * 16 + 1, 4 * 16 + 1);  // tile 0x46
        toMode(ModeRoom);
    }
    void holdRight(int frames) { hold(SDLK_RIGHT, frames); }
    void hold(u16 key, int frames)
    {
        fake_input::holdKey(key);
        tick(frames);
        fake_input::releaseKey(key);
        tick();
    }
    std::vector<LevelObject*> records() const
    {
        std::vector<LevelObject*> all;
        editor->level().allObjects(all);
        return all;
    }
};

TEST_F(RoomTest, LeftButtonPaintsTheCurrentLayerUnderTheMouseAndRightErases)
{
    holdRight(10);  // camera 80 pixels right
    ASSERT_EQ(editor->cameraX(), 80);
    click(1, 37, 50);
    EXPECT_EQ(editor->level().tileAt((37 + 80) / 16, 50 / 16, 1), 0x46);
    EXPECT_EQ(editor->level().tileAt((37 + 80) / 16, 50 / 16, 0), 0);

    // A stroke paints every cell the mouse crosses while held.
    pointAt(100, 100);
    fake_input::holdMouseButton(1);
    tick();
    pointAt(116, 100);
    tick();
    pointAt(132, 100);
    tick();
    fake_input::releaseMouseButton(1);
    tick();
    for (i32 x = 180; x <= 212; x += 16)
        EXPECT_EQ(editor->level().tileAt(x / 16, 100 / 16, 1), 0x46);

    click(3, 116, 100);
    EXPECT_EQ(editor->level().tileAt(196 / 16, 100 / 16, 1), 0);
    EXPECT_EQ(editor->level().tileAt(212 / 16, 100 / 16, 1), 0x46);
}

TEST_F(RoomTest, ScrollingStopsAtTheLevelEdgesAndTabScrollsFaster)
{
    hold(SDLK_LEFT, 3);
    EXPECT_EQ(editor->cameraX(), 0);
    hold(SDLK_DOWN, 2);
    EXPECT_EQ(editor->cameraY(), 16);
    fake_input::holdKey(SDLK_TAB);
    hold(SDLK_DOWN, 1);
    EXPECT_EQ(editor->cameraY(), 56);
    hold(SDLK_UP, 1);
    EXPECT_EQ(editor->cameraY(), 16);
    hold(SDLK_DOWN, 100);
    EXPECT_EQ(editor->cameraY(), 30 * 16 - 240);
    hold(SDLK_RIGHT, 500);
    EXPECT_EQ(editor->cameraX(), 300 * 16 - 320);
    // Right against the far edge, painting under the mouse stays inside the level.
    click(1, 319, 239);
    EXPECT_EQ(editor->level().tileAt(299, 29, 1), 0x46);
}

TEST_F(RoomTest, PageKeysChangeTheLayerWithinTheLevelsLayers)
{
    tap(SDLK_PAGEUP);
    EXPECT_EQ(editor->layer(), 2);
    tap(SDLK_PAGEUP);
    EXPECT_EQ(editor->layer(), 2);
    tap(SDLK_PAGEDOWN);
    tap(SDLK_PAGEDOWN);
    tap(SDLK_PAGEDOWN);
    EXPECT_EQ(editor->layer(), 0);
    click(1, 20, 20);
    EXPECT_EQ(editor->level().tileAt(1, 1, 0), 0x46);
    EXPECT_EQ(editor->level().tileAt(1, 1, 1), 0);
}

TEST_F(RoomTest, ShiftMarksAndUnmarksCellsAndReturnTurnsThemIntoTheGroup)
{
    toMode(ModeTilePicker);
    click(3, 4 * 16, 6 * 16);  // group corner (4, 6)
    toMode(ModeRoom);
    fake_input::holdKey(SDLK_LSHIFT);
    for (i32 x = 2; x <= 5; ++x)
        click(1, x * 16 + 8, 3 * 16 + 8);
    click(3, 5 * 16 + 8, 3 * 16 + 8);
    fake_input::releaseKey(SDLK_LSHIFT);
    EXPECT_TRUE(editor->autotileMarks().get(2, 3, false));
    EXPECT_FALSE(editor->autotileMarks().get(5, 3, false));
    EXPECT_EQ(editor->level().tileAt(2, 3, 1), 0) << "marking paints nothing";

    // The Return that closes a help page is no press for the autotiler.
    modal_script::pushKey(SDLK_RETURN);
    tap(SDLK_F1);
    fake_input::releaseKey(SDLK_RETURN);
    tick();
    EXPECT_EQ(editor->level().tileAt(2, 3, 1), 0);
    EXPECT_TRUE(editor->autotileMarks().get(2, 3, false));

    tap(SDLK_RETURN);
    EXPECT_EQ(editor->level().tileAt(2, 3, 1), 6 * 16 + 4 + 1);  // left end of a row
    EXPECT_EQ(editor->level().tileAt(3, 3, 1), 6 * 16 + 4 + 2);
    EXPECT_EQ(editor->level().tileAt(4, 3, 1), 6 * 16 + 4 + 3);
    EXPECT_EQ(editor->level().tileAt(5, 3, 1), 0);
    EXPECT_FALSE(editor->autotileMarks().any());
}

TEST_F(RoomTest, BackspaceDropsEveryMarkWithoutTouchingTiles)
{
    click(1, 40, 40);
    fake_input::holdKey(SDLK_RSHIFT);
    click(1, 40, 40);
    click(1, 80, 40);
    fake_input::releaseKey(SDLK_RSHIFT);
    tap(SDLK_BACKSPACE);
    EXPECT_FALSE(editor->autotileMarks().any());
    EXPECT_EQ(editor->level().tileAt(2, 2, 1), 0x46);
    tap(SDLK_RETURN);
    EXPECT_EQ(editor->level().tileAt(2, 2, 1), 0x46);
}

TEST_F(RoomTest, AltClickPlacesOneObjectOnReleaseAtTheWorldPoint)
{
    holdRight(4);  // camera at 32
    hold(SDLK_DOWN, 2);  // and 16
    fake_input::holdKey(SDLK_LALT);
    pointAt(100, 120);
    // Before the click the object to place shows under the mouse, its black frame 4 frames in 16.
    const ObjectBounds& b = objectBounds(5);
    int framed = 0;
    for (int i = 0; i < 16; ++i) {
        tick();
        draw();
        framed += pixel(100 + b.right + 2, 120 + b.bottom + 2) == 0u;
    }
    EXPECT_EQ(framed, 4);
    fake_input::holdMouseButton(1);
    tick(6);
    EXPECT_TRUE(records().empty()) << "nothing is placed while the button is held";
    EXPECT_EQ(editor->level().tileAt(132 / 16, 120 / 16, 1), 0) << "Alt does not paint";
    fake_input::releaseMouseButton(1);
    tick(3);
    fake_input::releaseKey(SDLK_LALT);

    ASSERT_EQ(records().size(), 1u);
    EXPECT_EQ(records()[0]->type, 5);
    EXPECT_EQ(records()[0]->x, 132);
    EXPECT_EQ(records()[0]->y, 136);
    ASSERT_EQ(editor->previews().size(), 1u);
    EXPECT_EQ(editor->previews().begin()->second, records()[0]);

    // Placed, it shows where it stands under the camera, its black frame 4 frames in 32.
    const Physical& placed = *editor->previews().begin()->first;
    SDL_Surface* dummy = loadGraphic("resource/dummy.bmp", false, 0, 0, 0, false);
    pointAt(300, 20);
    framed = 0;
    for (int i = 0; i < 32; ++i) {
        tick();
        draw();
        framed += pixel(100 + b.right + 2, 120 + b.bottom + 2) == 0u;
        EXPECT_TRUE(imageShownAt(dummy, 0, 0, placed.x - 32, placed.y - 16));
    }
    EXPECT_EQ(framed, 4);
}

TEST_F(RoomTest, AltRightDeletesEveryObjectWhoseRectangleHoldsThePoint)
{
    fake_input::holdKey(SDLK_LALT);
    click(1, 100, 100);
    click(1, 104, 100);
    click(1, 250, 100);
    ASSERT_EQ(editor->previews().size(), 3u);
    // The bottom-right corner of the first object still hits it, and the second one lies under
    // that point as well.
    Physical* first = nullptr;
    for (const auto& [object, record] : editor->previews())
        if (record->x == 100)
            first = object;
    ASSERT_NE(first, nullptr);
    ASSERT_GE(first->w, 4);
    click(3, first->x + first->w, first->y + first->h);
    fake_input::releaseKey(SDLK_LALT);

    std::vector<LevelObject*> left = records();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0]->x, 250);
    ASSERT_EQ(editor->previews().size(), 1u);
    EXPECT_EQ(editor->previews().begin()->second, left[0]);
    // Right click without Alt erases tiles, not objects.
    click(3, 250, 100);
    EXPECT_EQ(records().size(), left.size());
}

TEST_F(RoomTest, DeletingFarBeyondSixteenBitsHitsTheObjectThere)
{
    // A level 150 screens wide reaches past 32767 pixels; positions there must not wrap.
    answer("150");
    answer("1");
    tap(SDLK_F4);
    ASSERT_EQ(editor->level().width(), 3000);
    fake_input::holdKey(SDLK_TAB);
    hold(SDLK_RIGHT, 110);  // 40 pixels a frame
    fake_input::releaseKey(SDLK_TAB);
    ASSERT_EQ(editor->cameraX(), 110 * 40);
    hold(SDLK_RIGHT, 3565);
    ASSERT_GT(editor->cameraX(), 32767);

    fake_input::holdKey(SDLK_LALT);
    click(1, 100, 100);
    ASSERT_EQ(records().size(), 1u);
    EXPECT_EQ(records()[0]->x, editor->cameraX() + 100);
    click(3, 100 + 2, 100 + 2);
    fake_input::releaseKey(SDLK_LALT);
    EXPECT_TRUE(records().empty());
    EXPECT_TRUE(editor->previews().empty());
}

TEST_F(RoomTest, DrawsTilesUnderTheCameraWithTheStatusLine)
{
    click(1, 5 * 16 + 1, 5 * 16 + 1);
    holdRight(2);  // camera 16 right: the tile shows one cell to the left
    pointAt(300, 20);
    tick();
    draw();
    EXPECT_TRUE(tileShownAt(0x46, 4 * 16, 5 * 16));
    // The status line says which layer is painted and that it is the level's active one.
    SPF_CoGra font(0);
    EXPECT_TRUE(showsText(backBuffer, &font, 0, 230, u"CURRENT LAYER (ACTIVE): 1", 0));

    // Marking with Shift shows the cursor alone, centred on the mouse.
    fake_input::holdKey(SDLK_LSHIFT);
    pointAt(200, 100);
    tick();
    draw();
    fake_input::releaseKey(SDLK_LSHIFT);
    SDL_Surface* cursor = loadGraphic("resource/editor_cursor.bmp", true, 128, 128, 128, false);
    EXPECT_TRUE(imageShownAt(cursor, 0, 0, 192, 92));
    int blinks = 0;  // painting, it blinks over the tile 10 frames in 20
    for (int i = 0; i < 20; ++i) {
        tick();
        draw();
        blinks += imageShownAt(cursor, 0, 0, 192, 92);
    }
    EXPECT_EQ(blinks, 10);

    // Ctrl shows the kind icons of the current layer in place of the picture.
    SDL_Surface* symbols = loadGraphic("resource/editor_symbols.bmp", true, 0, 0, 0, false);
    fake_input::holdKey(SDLK_LCTRL);
    tick();
    draw();
    fake_input::releaseKey(SDLK_LCTRL);
    EXPECT_TRUE(imageShownAt(symbols, 16, 0, 4 * 16, 5 * 16)) << "scenery";
    EXPECT_TRUE(imageShownAt(symbols, 0, 0, 5 * 16, 5 * 16)) << "empty";
}

TEST_F(RoomTest, TilesFarAlongAWideLevelDoNotWrapOntoTheScreen)
{
    answer("210");
    answer("1");
    tap(SDLK_F4);
    ASSERT_EQ(editor->level().width(), 4200);
    fake_input::holdKey(SDLK_TAB);
    hold(SDLK_RIGHT, 1639);
    ASSERT_EQ(editor->cameraX(), 65560);
    click(1, 20, 50);  // column 4098, 8 pixels from the screen's left edge
    ASSERT_EQ(editor->level().tileAt(4098, 3, 1), 0x46);
    pointAt(300, 200);  // the cursor shows the tile too: keep it away
    tick();
    draw();
    EXPECT_TRUE(tileShownAt(0x46, 8, 48));

    // Back at the start, 65536 pixels to the left of that tile, it must not show.
    hold(SDLK_LEFT, 1639);
    fake_input::releaseKey(SDLK_TAB);
    ASSERT_EQ(editor->cameraX(), 0);
    tick();
    draw();
    EXPECT_FALSE(tileShownAt(0x46, 16 * 4098 - 65536, 48));
}

TEST_F(RoomTest, HiddenLayersFlashUpTenFramesInThirty)
{
    tap(SDLK_PAGEDOWN);  // paint layer 0
    click(1, 5 * 16 + 1, 5 * 16 + 1);
    tap(SDLK_PAGEUP);
    tap(SDLK_END);
    pointAt(300, 20);
    EXPECT_FALSE(editor->showAllLayers());
    int shown = 0;
    for (int i = 0; i < 30; ++i) {
        tick();
        draw();
        shown += tileShownAt(0x46, 5 * 16, 5 * 16);
    }
    EXPECT_EQ(shown, 10);

    // End again brings every layer back for good.
    tap(SDLK_END);
    shown = 0;
    for (int i = 0; i < 30; ++i) {
        tick();
        draw();
        shown += tileShownAt(0x46, 5 * 16, 5 * 16);
    }
    EXPECT_EQ(shown, 30);
}

} // namespace
