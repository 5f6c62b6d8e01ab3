#include "tests/editor/editor_fixture.h"

namespace {

using TilePickerTest = EditorTest;

TEST_F(TilePickerTest, LeftClickPicksTheTileAndMovesTheBoxOntoItsCell)
{
    click(1, 5 * 16 + 3, 2 * 16 + 9);
    EXPECT_EQ(editor->currentTile(), 0x25);
    EXPECT_EQ(editor->pickBoxX(), 80);
    EXPECT_EQ(editor->pickBoxY(), 32);

    // The side panel holds the last row of the set, four cells a row.
    click(1, 256 + 2 * 16 + 1, 3 * 16 + 15);
    EXPECT_EQ(editor->currentTile(), 240 + 4 * 3 + 2);
    EXPECT_EQ(editor->pickBoxX(), 288);
    EXPECT_EQ(editor->pickBoxY(), 48);
}

TEST_F(TilePickerTest, TileZeroAndTheEmptyCornerPickNothing)
{
    click(1, 40, 40);
    const u8 picked = editor->currentTile();
    click(1, 3, 3);        // tile 0
    click(1, 300, 100);    // under the panel
    click(1, 256, 64);
    EXPECT_EQ(editor->currentTile(), picked);
    EXPECT_EQ(editor->pickBoxX(), 32);
    EXPECT_EQ(editor->pickBoxY(), 32);
}

TEST_F(TilePickerTest, DraggingFollowsTheMouseOverTheTiles)
{
    pointAt(20, 20);
    fake_input::holdMouseButton(1);
    tick();
    EXPECT_EQ(editor->currentTile(), 0x11);
    pointAt(52, 20);
    tick();
    EXPECT_EQ(editor->currentTile(), 0x13);
}

TEST_F(TilePickerTest, CtrlClickCyclesTheKindOncePerClick)
{
    const Tile t(4, 2);
    EXPECT_EQ(editor->level().kind(t), 1);
    fake_input::holdKey(SDLK_LCTRL);
    pointAt(4 * 16 + 8, 2 * 16 + 8);
    fake_input::holdMouseButton(1);
    tick(5);  // held, not clicked again
    EXPECT_EQ(editor->level().kind(t), 2);
    EXPECT_EQ(editor->currentTile(), 1) << "a Ctrl click does not pick the tile";
    fake_input::releaseMouseButton(1);
    tick();
    for (u8 expected : {3, 4, 5, 1, 2}) {
        click(1, 4 * 16 + 8, 2 * 16 + 8);
        EXPECT_EQ(editor->level().kind(t), expected);
    }
    // Tile 0 keeps its empty kind.
    click(1, 8, 8);
    EXPECT_EQ(editor->level().kind(Tile(0)), 0);
}

TEST_F(TilePickerTest, CtrlShowsTheKindOverlayWhileHeldAndOneFrameAfter)
{
    fake_input::holdKey(SDLK_RCTRL);
    tick();
    EXPECT_EQ(editor->kindOverlayFrames(), 2);
    fake_input::releaseKey(SDLK_RCTRL);
    tick();
    EXPECT_EQ(editor->kindOverlayFrames(), 1);
    tick(2);
    EXPECT_EQ(editor->kindOverlayFrames(), 0);
}

TEST_F(TilePickerTest, RightClickChoosesTheAutotileGroupKeptInsideTheSet)
{
    EXPECT_FALSE(editor->groupChosen());
    click(3, 6 * 16, 9 * 16);
    EXPECT_TRUE(editor->groupChosen());
    EXPECT_EQ(editor->groupColumn(), 6);
    EXPECT_EQ(editor->groupRow(), 9);
    click(3, 14 * 16 + 4, 13 * 16 + 4);
    EXPECT_EQ(editor->groupColumn(), 11);
    EXPECT_EQ(editor->groupRow(), 11);
    // Tile 0 marks the group as chosen but leaves it where it is.
    click(3, 2, 2);
    EXPECT_EQ(editor->groupColumn(), 11);
    EXPECT_EQ(editor->groupRow(), 11);
}

TEST_F(TilePickerTest, NumberKeysStoreTheTileAndTheRoomEditorRecallsIt)
{
    click(1, 7 * 16, 3 * 16);
    tap(SDLK_4);
    click(1, 2 * 16, 5 * 16);
    tap(SDLK_KP9);
    EXPECT_EQ(editor->hotkey(4), 0x37);
    EXPECT_EQ(editor->hotkey(9), 0x52);
    EXPECT_EQ(editor->hotkey(0), 0);

    toMode(ModeRoom);
    tap(SDLK_KP4);
    EXPECT_EQ(editor->currentTile(), 0x37);
    tap(SDLK_9);
    EXPECT_EQ(editor->currentTile(), 0x52);
    tap(SDLK_KP_PERIOD);  // the key after 9 on the pad is no hotkey
    EXPECT_EQ(editor->currentTile(), 0x52);
    // An empty hotkey gives the empty tile, which paints as an eraser.
    tap(SDLK_1);
    EXPECT_EQ(editor->currentTile(), 0);
}

TEST_F(TilePickerTest, DrawsTheSetThePanelAndTheKindOverlay)
{
    pointAt(300, 200);
    tick();
    draw();
    // Tile (5, 3) at its own place, the set's last row folded into the panel.
    EXPECT_TRUE(tileShownAt(0x35, 5 * 16, 3 * 16));
    EXPECT_TRUE(tileShownAt(240 + 9, 256 + 16, 2 * 16));
    EXPECT_EQ(pixel(280, 150), 0x00FF00u) << "green under the panel";

    // A hotkey's number is written over its tile; the group frame blinks 10 frames in 20.
    click(1, 5 * 16 + 1, 3 * 16 + 1);
    tap(SDLK_4);
    click(1, 40, 40);
    click(3, 10 * 16, 2 * 16);
    pointAt(300, 200);
    SDL_Surface* grouper = loadGraphic("resource/editor_grouper.bmp", true, 128, 128, 128, false);
    SDL_Surface* box = loadGraphic("resource/editor_cursor.bmp", true, 128, 128, 128, false);
    int framed = 0;
    for (int i = 0; i < 20; ++i) {
        tick();
        draw();
        const bool grouped = imageShownAt(grouper, 0, 0, 10 * 16, 2 * 16);
        EXPECT_NE(imageShownAt(box, 0, 0, 32, 32), grouped) << "the picked cell's box takes the other turn";
        EXPECT_TRUE(imageShownAt(box, 0, 0, 300 - 8, 200 - 8, true)) << "the pointer, upside down, on the mouse";
        framed += grouped;
        EXPECT_FALSE(tileShownAt(0x35, 5 * 16, 3 * 16));
    }
    EXPECT_EQ(framed, 10);

    fake_input::holdKey(SDLK_LCTRL);
    tick();
    draw();
    SDL_Surface* symbols = loadGraphic("resource/editor_symbols.bmp", true, 0, 0, 0, false);
    // A scenery tile shows icon 1, the empty tile icon 0.
    EXPECT_TRUE(imageShownAt(symbols, 16, 0, 9 * 16, 12 * 16));
    EXPECT_TRUE(imageShownAt(symbols, 0, 0, 0, 0));
    EXPECT_TRUE(imageShownAt(symbols, 16 * editor->level().kind(Tile(240)), 0, 256, 0)) << "the panel's first tile";
    fake_input::releaseKey(SDLK_LCTRL);
    tick();
    draw();
    EXPECT_TRUE(imageShownAt(symbols, 0, 0, 0, 0)) << "the frame after Ctrl";
}

} // namespace
