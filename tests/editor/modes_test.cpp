#include "tests/editor/editor_fixture.h"
#include "tests/support/captured_output.h"

namespace {

using ModesTest = EditorTest;

TEST_F(ModesTest, StartsOnTheTilePickerAfterTheGettingStartedPage)
{
    EXPECT_EQ(helpShownAtStart, 1u);
    EXPECT_EQ(splitLines(lastMessageShown()).at(3), "----------------GETTING STARTED:");
    EXPECT_EQ(editor->mode(), ModeTilePicker);
    EXPECT_EQ(editor->currentTile(), 1);
    EXPECT_EQ(editor->currentType(), 5);  // "Bad guys", "Dummy"
    EXPECT_EQ(editor->level().width(), 300);
    EXPECT_EQ(editor->level().height(), 30);
    EXPECT_EQ(editor->level().layers(), 3);
    EXPECT_EQ(editor->level().activeLayer(), 1);
    EXPECT_EQ(editor->level().setName(), "cytok");
    EXPECT_EQ(editor->autotileMarks().width(), 300);
    EXPECT_EQ(editor->autotileMarks().height(), 30);
}

TEST_F(ModesTest, SpaceTogglesEachScreenWithTheRoomEditor)
{
    tap(SDLK_SPACE);
    EXPECT_EQ(editor->mode(), ModeRoom);
    tap(SDLK_SPACE);
    EXPECT_EQ(editor->mode(), ModeTilePicker);

    // From any screen but the catalogue, Alt + Space opens the catalogue.
    tapWith(SDLK_RALT, SDLK_SPACE);
    EXPECT_EQ(editor->mode(), ModeCatalogue);
    tapWith(SDLK_LALT, SDLK_SPACE);
    EXPECT_EQ(editor->mode(), ModeRoom);

    tapWith(SDLK_RSHIFT, SDLK_SPACE);
    EXPECT_EQ(editor->mode(), ModeViewPath);
    tapWith(SDLK_LALT, SDLK_SPACE);
    EXPECT_EQ(editor->mode(), ModeCatalogue);
    tapWith(SDLK_LSHIFT, SDLK_SPACE);
    EXPECT_EQ(editor->mode(), ModeViewPath);
    tapWith(SDLK_LSHIFT, SDLK_SPACE);
    EXPECT_EQ(editor->mode(), ModeRoom);
}

TEST_F(ModesTest, F1ShowsTheHelpOfTheCurrentScreen)
{
    const std::pair<EditorMode, const char*> pages[] = {{ModeTilePicker, "----------------TILESET VIEWER:"},
                                                        {ModeRoom, "----------------LEVEL EDITOR:"},
                                                        {ModeCatalogue, "----------------DYNAMIC SELECTOR:"},
                                                        {ModeViewPath, "----------------VIEW EDITOR:"}};
    for (const auto& [mode, heading] : pages) {
        toMode(mode);
        u32 before = messagesShownCount();
        tap(SDLK_F1);
        EXPECT_EQ(messagesShownCount(), before + 1);
        EXPECT_EQ(splitLines(lastMessageShown()).at(3), heading) << int(mode);
    }
    // Space tapped with F1 still switches once the help page is closed.
    toMode(ModeRoom);
    pressTogetherUntilTheWait(SDLK_F1, SDLK_SPACE);
    tick();
    EXPECT_EQ(splitLines(lastMessageShown()).at(3), "----------------LEVEL EDITOR:");
    EXPECT_EQ(editor->mode(), ModeTilePicker);
    const std::string room = SystEditor::helpText(2);
    EXPECT_EQ(room.rfind("OSTREVAN LEVEL EDITOR-\nPress F1 at any time to see this screen.\n\n"
                         "----------------LEVEL EDITOR:\n",
                         0),
              0u);
    EXPECT_NE(room.find("   <ALT> + Right-Click to delete dynamic objects.\n\n----------------GENERAL CONTROLS:\n"),
              std::string::npos);
    EXPECT_NE(room.find("Load from \"INTERLEVEL.lvl\"\n"), std::string::npos);
    const std::string ending = "Unless it's locked up.\n\nPress <ENTER> to exit this screen...";
    EXPECT_EQ(room.substr(room.size() - ending.size()), ending);
}

TEST_F(ModesTest, HoldingAMouseButtonRunsTheProgramAtAHundredFramesASecond)
{
    tick();
    EXPECT_EQ(frameDelayMs, 1000u / 30);
    fake_input::holdMouseButton(3);
    tick();
    EXPECT_EQ(frameDelayMs, 1000u / 100);
    fake_input::releaseMouseButton(3);
    fake_input::holdMouseButton(1);
    tick();
    EXPECT_EQ(frameDelayMs, 1000u / 100);
    fake_input::releaseMouseButton(1);
    tick();
    EXPECT_EQ(frameDelayMs, 1000u / 30);
}

TEST_F(ModesTest, EscapeHandsOverToTheTitleMenuFromAnyScreen)
{
    toMode(ModeViewPath);
    fake_input::holdKey(SDLK_ESCAPE);
    tick();
    EXPECT_FALSE(editorAlive);
    EXPECT_EQ(menusMade, 1);
    EXPECT_EQ(activeSystemCount(), 1);
}

} // namespace
