#include "tests/editor/editor_fixture.h"

#include "core/platform.h"
#include "world/factory.h"
#include "world/levelrunner.h"
#include "world/systphysical.h"

#include <csignal>
#include <filesystem>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

class FilesTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        enterScratch();
    }
    // A small piece of work: a tile, an object and a camera path of 24 frames.
    void buildSomething()
    {
        click(1, 6 * 16 + 1, 4 * 16 + 1);  // tile 0x46
        toMode(ModeRoom);
        click(1, 40, 56);
        clickWith(SDLK_LALT, 1, 120, 80);
        toMode(ModeViewPath);
        fake_input::holdKey(SDLK_d);
        tick(3);
        fake_input::releaseKey(SDLK_d);
        tick();
        ASSERT_EQ(editor->viewLength(), 24);
    }
    std::vector<LevelObject*> records() const
    {
        std::vector<LevelObject*> all;
        editor->level().allObjects(all);
        return all;
    }
};

TEST_F(FilesTest, SaveAndLoadRoundTripThroughThePrompts)
{
    buildSomething();
    answer("mine.lvl");
    tap(SDLK_F2);
    EXPECT_EQ(lastMessageShown(), "Level was saved successfully.");
    ASSERT_TRUE(pathExists("mine.lvl"));

    // A fresh level replaces the work; loading brings it back.
    answer("1");
    answer("1");
    tap(SDLK_F4);
    ASSERT_EQ(editor->level().tileAt(2, 3, 1), 0);
    ASSERT_TRUE(editor->previews().empty());

    // F2 and F3 tapped together: the fresh level is saved (its message closed), then the work loaded.
    pressTogetherUntilTheWait(SDLK_F2, SDLK_F3);
    answer("fresh.lvl");
    answer("");
    answer("mine.lvl");
    tick();
    ASSERT_TRUE(pathExists("fresh.lvl"));
    const Level& level = editor->level();
    EXPECT_EQ(level.width(), 300);
    EXPECT_EQ(level.tileAt(2, 3, 1), 0x46);
    ASSERT_EQ(records().size(), 1u);
    EXPECT_EQ(records()[0]->type, 5);
    EXPECT_EQ(records()[0]->x, 120);
    ASSERT_EQ(editor->previews().size(), 1u);
    EXPECT_EQ(editor->previews().begin()->second, records()[0]);
    // The save stored a still step where the box stood, so the path ends there.
    EXPECT_EQ(level.panDX(24), 0);
    EXPECT_EQ(level.panDX(23), 1);
    EXPECT_EQ(editor->viewFrame(), 0);
    EXPECT_EQ(editor->viewLength(), 24 + 90);
    EXPECT_EQ(editor->autotileMarks().width(), 300);
}

TEST_F(FilesTest, LoadingSetsTheBoxOnTheStartCameraAndPlacesEveryObject)
{
    {
        Level stored(40, 30, 2, 0, "cytok");
        stored.setStartCamera(48, 32);
        stored.addPanStep(300, 1, 0);
        stored.addObject(28, 64, 64);
        stored.addObject(10, 200, 90);
        stored.addObject(4, 300, 100);
        ASSERT_EQ(stored.save("three.lvl"), SaveResult::Saved);
    }
    toMode(ModeViewPath);
    answer("three.lvl");
    tap(SDLK_F3);
    EXPECT_EQ(editor->level().width(), 40);
    EXPECT_EQ(editor->previews().size(), 3u);
    for (const auto& [object, record] : editor->previews()) {
        const std::unique_ptr<Physical> fresh(createObject(record->type, record->x, record->y));
        EXPECT_EQ(object->x, fresh->x) << "object " << record->type;
        EXPECT_EQ(object->y, fresh->y) << "object " << record->type;
    }
    EXPECT_EQ(editor->viewX(), 48);
    EXPECT_EQ(editor->viewY(), 32);
    EXPECT_EQ(editor->viewLength(), 390);
    EXPECT_EQ(editor->autotileMarks().width(), 40);
    EXPECT_EQ(editor->autotileMarks().height(), 30);
    // Walking to the end stops at the last step's frame + 90.
    fake_input::holdKey(SDLK_RIGHT);
    tick(30);
    fake_input::releaseKey(SDLK_RIGHT);
    tick();
    EXPECT_EQ(editor->viewFrame(), 390);
    EXPECT_EQ(editor->viewX(), 48 + 90);

    // The two-layer level keeps the room editor inside its layers.
    toMode(ModeRoom);
    tap(SDLK_PAGEUP);
    EXPECT_EQ(editor->layer(), 1);
}

TEST_F(FilesTest, OverwritingAsksFirstAndOnlyYesOverwrites)
{
    writeFile("old.lvl", "keep me");
    buildSomething();
    for (const char* refusal : {"n", "", "ok", " y"}) {
        answer("old.lvl");
        answer(refusal);
        tap(SDLK_F2);
        EXPECT_EQ(lastMessageShown(), "Level was not saved.") << refusal;
        EXPECT_EQ(readFile("old.lvl"), "keep me");
    }
    for (const char* consent : {"yes", "Y"}) {
        writeFile("old.lvl", "keep me");
        answer("old.lvl");
        answer(consent);
        tap(SDLK_F2);
        EXPECT_EQ(lastMessageShown(), "Level was saved successfully.") << consent;
        Level written("old.lvl");
        EXPECT_FALSE(written.loadFailed()) << consent;
        EXPECT_EQ(written.tileAt(2, 3, 1), 0x46) << consent;
    }
}

TEST_F(FilesTest, ANameThatCannotBeCreatedIsRefused)
{
    answer("nowhere/level.lvl");
    tap(SDLK_F2);
    EXPECT_EQ(lastMessageShown(), "INVALID FILENAME!\nLevel was not saved.");
    EXPECT_FALSE(pathExists("nowhere"));
    answer("");
    tap(SDLK_F2);
    EXPECT_EQ(lastMessageShown(), "INVALID FILENAME!\nLevel was not saved.");
}

TEST_F(FilesTest, AWriteThatFailsIsNotReportedAsSavedAndCostsNothing)
{
    // A folder or a pipe at the name is no level file: nothing is asked, opened or written.
    std::filesystem::create_directory("taken.lvl");
    ASSERT_EQ(mkfifo("pipe.lvl", 0600), 0);
    for (const char* name : {"taken.lvl", "pipe.lvl"}) {
        answer(name);
        tap(SDLK_F2);
        EXPECT_EQ(lastMessageShown(), "INVALID FILENAME!\nLevel was not saved.") << name;
    }
    buildSomething();
    answer("kept.lvl");
    tap(SDLK_F2);
    const std::string kept = readFile("kept.lvl");
    ASSERT_GT(kept.size(), 4096u);
    std::filesystem::create_symlink("pointed.lvl", "link.lvl");

    // Writes that break off at the file size limit, as on a full disk: over a level, under a new
    // name, through a dangling link. Each leaves everything as it was, and no file of its own.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small{4096, saved.rlim_max};
    installTerminateHandlers();  // the game's own, which let a write fail at the limit
    setrlimit(RLIMIT_FSIZE, &small);
    const std::vector<std::string> saves[] = {{"kept.lvl", "y"}, {"full.lvl"}, {"link.lvl", "y"}};
    for (const std::vector<std::string>& answers : saves) {
        for (const std::string& text : answers)
            answer(text);
        tap(SDLK_F2);
        EXPECT_EQ(lastMessageShown(), "Failed to write the level file.\nLevel was not saved.") << answers[0];
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    for (int signal : {SIGINT, SIGTERM, SIGXFSZ})
        std::signal(signal, SIG_DFL);
    EXPECT_EQ(readFile("kept.lvl"), kept);
    EXPECT_TRUE(std::filesystem::is_symlink("link.lvl"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 5);  // resource, taken, pipe, kept, link

    // A link that points nowhere yet still takes the name: it is asked about, and a save through
    // it writes the level where it points and keeps the link.
    answer("link.lvl");
    answer("n");
    tap(SDLK_F2);
    EXPECT_EQ(lastMessageShown(), "Level was not saved.");
    answer("link.lvl");
    answer("y");
    tap(SDLK_F2);
    EXPECT_TRUE(std::filesystem::is_symlink("link.lvl"));
    EXPECT_EQ(readFile("pointed.lvl"), kept);
}

TEST_F(FilesTest, AMissingOrBrokenFileLeavesTheLevelAlone)
{
    buildSomething();
    answer("absent.lvl");
    tap(SDLK_F3);
    EXPECT_EQ(lastMessageShown(), "File does not exist.\nFailed to load the level file.");

    writeFile("broken.lvl", std::string("\x03\x00\x00\x00" "cytok\0", 10) + std::string(100, '\x01'));
    ASSERT_EQ(Level(1, 15, 3, 1, "cytok").save("empty.lvl"), SaveResult::Saved);
    std::string zeroWide = readFile("empty.lvl");
    zeroWide[4 + 6 + 256 + 6] = 0;  // the width the reader takes: no tile at all
    writeFile("empty.lvl", zeroWide);
    std::filesystem::create_directory("folder.lvl");
    ASSERT_EQ(mkfifo("pipe.lvl", 0600), 0);
    // Only plain files are opened: a device never ends, a pipe waits for a writer.
    for (const char* name : {"broken.lvl", "empty.lvl", "folder.lvl", "/dev/zero", "pipe.lvl"}) {
        answer(name);
        tap(SDLK_F3);
        EXPECT_EQ(lastMessageShown(), "File is invalid or corrupt.\nFailed to load the level file.") << name;
    }

    EXPECT_EQ(editor->level().width(), 300);
    EXPECT_EQ(editor->level().tileAt(2, 3, 1), 0x46);
    EXPECT_EQ(records().size(), 1u);
    EXPECT_EQ(editor->previews().size(), 1u);
    EXPECT_EQ(editor->viewLength(), 24);
    EXPECT_EQ(editor->level().panDX(20), 1);
}

TEST_F(FilesTest, NewLevelSizesAreCountedInScreens)
{
    answer("0");
    answer("3 screens");
    tap(SDLK_F4);
    EXPECT_EQ(editor->level().width(), 20);
    EXPECT_EQ(editor->level().height(), 45);
    EXPECT_EQ(editor->level().layers(), 3);
    EXPECT_EQ(editor->level().activeLayer(), 1);
    EXPECT_EQ(editor->level().panStepCount(), 1u);
    EXPECT_EQ(editor->autotileMarks().height(), 45);

    answer("600");
    answer("1");
    tap(SDLK_F4);
    EXPECT_EQ(editor->level().width(), 10000);
    EXPECT_EQ(editor->level().height(), 15);
}

TEST_F(FilesTest, ASizeThatIsNoNumberFailsAfterBothQuestions)
{
    buildSomething();
    answer("abc");
    answer("2");
    const int served = modal_script::eventsServed();
    tap(SDLK_F4);
    EXPECT_EQ(lastMessageShown(), "Failed to create the level.  Your size input was incorrect.");
    // Both prompts (every key down and up, then Return), then the message.
    EXPECT_EQ(modal_script::eventsServed() - served, 7 + 3 + 1);
    answer("2");
    answer("");
    tap(SDLK_F4);
    EXPECT_EQ(lastMessageShown(), "Failed to create the level.  Your size input was incorrect.");
    EXPECT_EQ(editor->level().width(), 300);
    EXPECT_EQ(editor->viewLength(), 24);
    EXPECT_EQ(records().size(), 1u);
}

// A terminate request cuts each prompt short: what was half typed is not acted on, and the game
// ends after the frame.
TEST_F(FilesTest, ATerminateRequestInAPromptActsOnNothingAndEndsTheGame)
{
    installTerminateHandlers();
    buildSomething();
    writeFile("old.lvl", "keep me");
    ASSERT_EQ(Level(20, 15, 3, 1, "cytok").save("small.lvl"), SaveResult::Saved);
    const std::pair<u16, std::vector<std::string>> prompts[] = {{SDLK_F2, {"new.lvl"}},  {SDLK_F2, {"old.lvl", "y"}},
                                                                {SDLK_F3, {"small.lvl"}}, {SDLK_F4, {"2"}},
                                                                {SDLK_F4, {"2", "3"}}};
    for (const auto& [key, answers] : prompts) {
        const u32 shown = messagesShownCount();
        for (size_t i = 0; i + 1 < answers.size(); ++i)
            answer(answers[i]);
        type(answers.back());
        modal_script::pushSignal(SIGTERM);
        fake_input::holdKey(key);
        fake_input::holdKey(SDLK_F5);  // a later function key of the same update
        running = 1;
        EXPECT_EQ(runOneFrame(false), FrameResult::Quit) << answers.back();
        clearTerminateRequest();
        EXPECT_EQ(messagesShownCount(), shown) << answers.back();
        EXPECT_FALSE(pathExists("new.lvl") || pathExists("INTERLEVEL.lvl"));
        EXPECT_EQ(readFile("old.lvl"), "keep me");
        EXPECT_EQ(editor->level().width(), 300);
        EXPECT_TRUE(editorAlive);
        fake_input::releaseKey(SDLK_F5);
        fake_input::releaseKey(key);
        tick();
    }
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
}

TEST_F(FilesTest, TestPlayWritesTheTestFileAndHandsOverToTheLevel)
{
    buildSomething();
    tap(SDLK_F5);
    EXPECT_EQ(lastMessageShown(), "Preparing to enter test mode.\nTemp file saved as INTERLEVEL.lvl");
    EXPECT_FALSE(editorAlive);
    EXPECT_EQ(activeSystemCount(), 1);

    // No still step is added for test play: the file holds the path as drawn.
    Level played("INTERLEVEL.lvl");
    ASSERT_FALSE(played.loadFailed());
    EXPECT_EQ(played.tileAt(2, 3, 1), 0x46);
    EXPECT_EQ(played.panStepCount(), 2u);
    std::vector<LevelObject*> objects;
    played.allObjects(objects);
    EXPECT_EQ(objects.size(), 1u);

    // The level runs: its tile shows where the editor put it.
    tick(2);
    draw();
    EXPECT_TRUE(tileShownAt(0x46, 2 * 16, 3 * 16));
}

TEST_F(FilesTest, TestPlayStaysInTheEditorWhenTheTestFileCannotBeWritten)
{
    buildSomething();
    std::filesystem::create_directory("INTERLEVEL.lvl");
    tap(SDLK_F5);
    EXPECT_EQ(lastMessageShown(), "Failed to write INTERLEVEL.lvl.\nTest mode was not started.");
    ASSERT_TRUE(editorAlive);
    EXPECT_EQ(activeSystemCount(), 1);
    EXPECT_EQ(editor->level().tileAt(2, 3, 1), 0x46);
}

} // namespace
