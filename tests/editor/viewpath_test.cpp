#include "tests/editor/editor_fixture.h"
#include "tests/support/mixed_level.h"

#include "world/physical.h"

namespace {

class ViewPathTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        toMode(ModeViewPath);
    }
    // Holds the key for that many updates, then lets it go for one.
    void hold(u16 key, int frames)
    {
        fake_input::holdKey(key);
        tick(frames);
        fake_input::releaseKey(key);
        tick();
    }
    const Level& level() { return editor->level(); }
};

TEST_F(ViewPathTest, TheFirstPressOnANewLevelAddsStillFramesThenTheDirectionMoves)
{
    ASSERT_EQ(level().panStepCount(), 1u);
    fake_input::holdKey(SDLK_d);
    tick();
    EXPECT_EQ(editor->viewFrame(), 8);
    EXPECT_EQ(editor->viewLength(), 8);
    EXPECT_EQ(editor->viewX(), 0);
    EXPECT_EQ(level().panDX(0), 0) << "the step already at frame 0 stays";
    tick();
    EXPECT_EQ(editor->viewFrame(), 16);
    EXPECT_EQ(editor->viewX(), 8);
    EXPECT_EQ(level().panDX(8), 1);
    // The step is stored once; the path keeps growing with it.
    tick(3);
    fake_input::releaseKey(SDLK_d);
    tick();
    EXPECT_EQ(editor->viewLength(), 40);
    EXPECT_EQ(editor->viewX(), 32);
    EXPECT_EQ(level().panStepCount(), 2u);
}

TEST_F(ViewPathTest, TheReturnThatClosesAHelpPageDoesNotCutThePath)
{
    hold(SDLK_d, 5);
    hold(SDLK_LEFT, 1);
    ASSERT_EQ(editor->viewFrame(), 24);
    ASSERT_EQ(editor->viewLength(), 40);
    modal_script::pushKey(SDLK_RETURN);
    tap(SDLK_F1);
    fake_input::releaseKey(SDLK_RETURN);
    tick();
    EXPECT_EQ(editor->viewLength(), 40);
    EXPECT_EQ(level().panStepCount(), 2u);
}

TEST_F(ViewPathTest, GrowthStopsAtTheLevelEdges)
{
    // The level is 30 rows: the camera goes down at most 240 pixels, and back up to 0.
    hold(SDLK_s, 40);
    EXPECT_EQ(editor->viewY(), 240);
    const i32 length = editor->viewLength();
    EXPECT_EQ(length, 8 + 240);
    hold(SDLK_s, 5);
    EXPECT_EQ(editor->viewY(), 240);
    EXPECT_EQ(editor->viewLength(), length);
    hold(SDLK_w, 40);
    EXPECT_EQ(editor->viewY(), 0);
    EXPECT_EQ(editor->viewLength(), length + 240);
    // Pointing out of the top or the left edge at the end stores nothing.
    hold(SDLK_w, 2);
    hold(SDLK_a, 2);
    EXPECT_EQ(editor->viewLength(), length + 240);
    EXPECT_EQ(level().panStepCount(), 3u);
}

TEST_F(ViewPathTest, AtTheStartAnOutwardDirectionMovesTheStartPoint)
{
    hold(SDLK_d, 1);  // path of 8 still frames
    hold(SDLK_LEFT, 1);
    ASSERT_EQ(editor->viewFrame(), 0);
    // Mid-path at frame 0 the keys move the start point, eight pixels a frame, kept in the level.
    hold(SDLK_s, 3);
    EXPECT_EQ(editor->viewY(), 24);
    EXPECT_EQ(level().startCameraY(), 24u);
    hold(SDLK_z, 10);  // Z steers up like W
    EXPECT_EQ(editor->viewY(), 0);
    EXPECT_EQ(level().startCameraY(), 0u);
    EXPECT_EQ(editor->viewLength(), 8) << "the path itself is untouched";

    // On an empty path the box is at its end; pointing out of the level moves the start instead.
    tap(SDLK_RETURN);
    ASSERT_EQ(editor->viewLength(), 0);
    hold(SDLK_a, 2);
    EXPECT_EQ(editor->viewX(), 0);
    EXPECT_EQ(editor->viewLength(), 0);
    hold(SDLK_q, 1);
    EXPECT_EQ(editor->viewLength(), 0);

    // A pixel from the right and top edges one step up and right still fits: after the still
    // frames the path takes it and stops on the edges; further out the start point stays put.
    enterScratch();
    Level made(40, 30, 3, 1, "cytok");
    made.setStartCamera(319, 1);
    ASSERT_EQ(made.save("edge.lvl"), SaveResult::Saved);
    answer("edge.lvl");
    tap(SDLK_F3);
    fake_input::releaseKey(SDLK_RETURN);  // the one that closed the prompt
    tick();
    auto upAndAcrossFromTheStart = [&](u16 across) {
        tap(SDLK_RETURN);
        fake_input::holdKey(SDLK_w);
        hold(across, 2);
        fake_input::releaseKey(SDLK_w);
    };
    upAndAcrossFromTheStart(SDLK_d);
    EXPECT_EQ(editor->viewLength(), 9);
    EXPECT_EQ(editor->viewX(), 320);
    EXPECT_EQ(editor->viewY(), 0);
    EXPECT_EQ(level().startCameraX(), 319u);
    hold(SDLK_a, 1);
    EXPECT_EQ(editor->viewLength(), 17);
    hold(SDLK_LEFT, 1);
    ASSERT_EQ(editor->viewFrame(), 1);
    hold(SDLK_q, 1);  // mid-path the keys do nothing
    hold(SDLK_LEFT, 1);
    EXPECT_EQ(editor->viewFrame(), 0);
    EXPECT_EQ(editor->viewX(), 319);
    EXPECT_EQ(editor->viewY(), 1);
    hold(SDLK_q, 1);
    EXPECT_EQ(level().startCameraX(), 311u);
    // Up and left from there the top edge comes first and ends the growth.
    upAndAcrossFromTheStart(SDLK_q);
    EXPECT_EQ(editor->viewLength(), 9);
    EXPECT_EQ(editor->viewX(), 310);
    EXPECT_EQ(editor->viewY(), 0);
    // Right along the top the path stops at the level's right edge.
    hold(SDLK_d, 2);
    EXPECT_EQ(editor->viewLength(), 19);
    EXPECT_EQ(editor->viewX(), 320);
}

TEST_F(ViewPathTest, LeftAndRightWalkTheBoxAlongThePath)
{
    hold(SDLK_d, 6);  // 8 still frames, then 40 frames right
    hold(SDLK_s, 2);  // then 16 frames down
    ASSERT_EQ(editor->viewLength(), 64);
    ASSERT_EQ(editor->viewX(), 40);
    ASSERT_EQ(editor->viewY(), 16);

    hold(SDLK_LEFT, 1);
    EXPECT_EQ(editor->viewFrame(), 48);
    EXPECT_EQ(editor->viewY(), 0);
    EXPECT_EQ(editor->viewX(), 40);
    hold(SDLK_LEFT, 10);
    EXPECT_EQ(editor->viewFrame(), 0);
    EXPECT_EQ(editor->viewX(), 0);
    hold(SDLK_RIGHT, 2);
    EXPECT_EQ(editor->viewFrame(), 32);
    EXPECT_EQ(editor->viewX(), 24);
    hold(SDLK_RIGHT, 10);
    EXPECT_EQ(editor->viewFrame(), 64);
    EXPECT_EQ(editor->viewX(), 40);
    EXPECT_EQ(editor->viewY(), 16);
}

TEST_F(ViewPathTest, ReturnCutsThePathAtTheBoxAndBackspaceTakesTheEndBack)
{
    hold(SDLK_d, 6);
    hold(SDLK_s, 2);
    hold(SDLK_LEFT, 2);  // frame 32, before the downward step at 48
    tap(SDLK_RETURN);
    EXPECT_EQ(editor->viewLength(), 32);
    EXPECT_EQ(level().panStepCount(), 2u);
    EXPECT_EQ(level().panDY(100), 0);
    EXPECT_EQ(level().panDX(100), 1);

    // Backspace works only at the end, 16 frames an update, never below frame 0.
    fake_input::holdKey(SDLK_BACKSPACE);
    tick();
    EXPECT_EQ(editor->viewFrame(), 16);
    EXPECT_EQ(editor->viewLength(), 16);
    EXPECT_EQ(editor->viewX(), 8);
    EXPECT_EQ(level().panStepCount(), 2u) << "the step at frame 8 is before the box";
    tick(5);
    fake_input::releaseKey(SDLK_BACKSPACE);
    tick();
    EXPECT_EQ(editor->viewFrame(), 0);
    EXPECT_EQ(editor->viewLength(), 0);
    EXPECT_EQ(editor->viewX(), 0);
    EXPECT_EQ(level().panStepCount(), 1u) << "the step at frame 0 stays";
}

TEST_F(ViewPathTest, CtrlHoldsTheSteeringButNotTheOtherKeys)
{
    hold(SDLK_d, 4);
    const i32 length = editor->viewLength();
    fake_input::holdKey(SDLK_RCTRL);
    hold(SDLK_d, 3);
    hold(SDLK_w, 3);
    EXPECT_EQ(editor->viewLength(), length);
    hold(SDLK_LEFT, 1);
    EXPECT_EQ(editor->viewFrame(), length - 16);
    tap(SDLK_RETURN);
    EXPECT_EQ(editor->viewLength(), length - 16);
    fake_input::releaseKey(SDLK_RCTRL);
}

TEST_F(ViewPathTest, DrawsTheMiniMapAndTheBlinkingBox)
{
    toMode(ModeRoom);
    click(1, 3 * 16 + 1, 2 * 16 + 1);  // tile 1 (scenery) at cell (3, 2)
    toMode(ModeViewPath);
    hold(SDLK_s, 1);  // still frames; the box stays at (0, 0)
    SDL_Surface* viewbox = loadGraphic("resource/editor_viewbox.bmp", true, 128, 128, 128, false);
    std::string startBlink, boxOutline;
    for (int i = 0; i < 20; ++i) {
        tick();
        draw();
        startBlink += pixel(3, 2) == 0x00FF00u ? 'G' : pixel(3, 2) == 0x777777u ? '.' : '?';
        boxOutline += imageShownAt(viewbox, 0, 0, 0, 0) ? 'B' : '-';
    }
    EXPECT_EQ(boxOutline, std::string(20, 'B')) << "the view box shows over the blink";
    // The box is at the end of an 8-frame path: green for 10 frames of 20; between them the
    // mini-map shows the scenery tile through the box.
    EXPECT_EQ(std::count(startBlink.begin(), startBlink.end(), 'G'), 10) << startBlink;
    EXPECT_EQ(std::count(startBlink.begin(), startBlink.end(), '.'), 10) << startBlink;
    EXPECT_EQ(pixel(25, 20), 0u) << "an empty cell of the mini-map";
    EXPECT_EQ(pixel(310, 200), 0x777777u) << "grey beyond the 300 columns of the map";
}

// Pixel for pixel at the origin, in the middle and at the level's right and bottom edges, with
// objects on and just off every edge of each window.
TEST_F(ViewPathTest, ShowsTheWindowOfTheWholeMiniMapThatTheBoxScrollsTo)
{
    enterScratch();
    Level made(340, 255, 3, 1, "cytok");  // 17 x 17 screens: 20 columns and 15 rows of scroll
    paintMixedKinds(made);
    // The box and its caption stand in the middle of the screen, over the map, until the window
    // meets the level's right and bottom edges.
    const struct { int sx, sy, boxColumn, boxRow; } windows[] = {
        {0, 0, 160, 120}, {10, 7, 170, 127}, {20, 15, 320, 240}};
    for (auto [sx, sy, boxColumn, boxRow] : windows) {
        for (int edge : {-1, 0, 319, 320})
            made.addObject(5, (sx + edge) * 16 + 15, (sy + 100) * 16);
        for (int edge : {-1, 0, 239, 240})
            made.addObject(5, (sx + 100) * 16, (sy + edge) * 16 + 15);
    }
    SDL_Surface* whole = made.miniMap(true);
    ASSERT_NE(whole, nullptr);
    for (auto [sx, sy, boxColumn, boxRow] : windows) {
        made.setStartCamera(u32(boxColumn * 16), u32(boxRow * 16));
        ASSERT_EQ(made.save("window.lvl"), SaveResult::Saved);
        answer("window.lvl");
        tap(SDLK_F3);
        ASSERT_EQ(editor->viewX(), boxColumn * 16);
        draw();
        const int boxX = boxColumn - sx, boxY = boxRow - sy;
        int wrong = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const bool underBox = x >= boxX && x < boxX + 80 && y >= boxY && y < boxY + 48;
                wrong += !underBox && pixel(x, y) != (getPixel(whole, u32(sx + x), u32(sy + y)) & 0xFFFFFFu);
            }
        EXPECT_EQ(wrong, 0) << "scrolled to " << sx << ", " << sy;
    }
}

// Each change to the level's tiles, kinds or objects, and each new level, shows in the next frame.
TEST_F(ViewPathTest, TheMiniMapShowsEveryChangeToTheLevel)
{
    hold(SDLK_s, 40);  // the box goes down to row 15, clear of the cells looked at
    ASSERT_EQ(editor->viewY(), 240);
    auto mapAt = [&](int c, int r) {
        draw();
        return pixel(c, r);
    };
    EXPECT_EQ(mapAt(5, 3), 0u) << "an empty cell";

    toMode(ModeRoom);
    click(1, 5 * 16 + 1, 3 * 16 + 1);  // tile 1, scenery
    toMode(ModeViewPath);
    EXPECT_EQ(mapAt(5, 3), 0x777777u) << "a painted tile";

    toMode(ModeTilePicker);
    clickWith(SDLK_LCTRL, 1, 16 + 8, 8);  // tile 1 becomes a platform
    toMode(ModeViewPath);
    EXPECT_EQ(mapAt(5, 3), 0xFFFF00u) << "a tile of another kind";

    toMode(ModeRoom);
    clickWith(SDLK_LALT, 1, 7 * 16 + 4, 3 * 16 + 4);
    ASSERT_EQ(editor->previews().size(), 1u);
    const Physical& placed = *editor->previews().begin()->first;
    toMode(ModeViewPath);
    EXPECT_EQ(mapAt(7, 3), 0xFF0000u) << "a placed object";
    toMode(ModeRoom);
    clickWith(SDLK_LALT, 3, placed.x + 1, placed.y + 1);
    ASSERT_TRUE(editor->previews().empty());
    toMode(ModeViewPath);
    EXPECT_EQ(mapAt(7, 3), 0u) << "a deleted object";

    // Two new levels in a row, neither of them touched.
    answer("1");
    answer("1");
    tap(SDLK_F4);
    EXPECT_EQ(mapAt(5, 3), 0u);
    EXPECT_EQ(mapAt(25, 3), 0x777777u) << "grey beyond a level one screen wide";
    answer("2");
    answer("1");
    tap(SDLK_F4);
    EXPECT_EQ(mapAt(25, 3), 0u) << "a level two screens wide";
}

} // namespace
