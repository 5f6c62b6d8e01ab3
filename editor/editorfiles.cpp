// The function keys: save, load, new level and test play.
#include "editor/systeditor.h"

#include "core/input.h"
#include "core/media.h"
#include "core/message.h"
#include "core/platform.h"
#include "editor/bitgrid.h"
#include "world/factory.h"
#include "world/level.h"
#include "world/physical.h"
#include "world/systphysical.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

namespace {

const char* const TestLevelFile = "INTERLEVEL.lvl";
constexpr u16 MaxScreens = 500;
constexpr u16 ScreenColumns = 20;
constexpr u16 ScreenRows = 15;
constexpr u8 NewLevelLayers = 3;
constexpr u8 NewLevelActiveLayer = 1;
const char* const NewLevelSet = "cytok";

const char* const SaveFailedText = "Failed to write the level file.\nLevel was not saved.";
const char* const InvalidNameText = "INVALID FILENAME!\nLevel was not saved.";
const char* const SavedText = "Level was saved successfully.";
const char* const WidthQuestion = "Enter the WIDTH of the new level, in screen-sizes.\nMaximum width/height is 500.  "
                                  "LARGE-SIZED LEVELS CAN MAKE BIG FILES...";
const char* const HeightQuestion = "Enter the HEIGHT of the new level, in screen-sizes.\nMaximum width/height is 500.  "
                                   "LARGE-SIZED LEVELS CAN MAKE BIG FILES...";

// A size in screens from the start of the answer: 0 counts as 1 and anything above 500 as 500.
// False when the answer does not start with a number.
bool readScreens(const std::string& answer, u16* screens)
{
    std::istringstream in(answer);
    u16 value = 0;
    if (!(in >> value))
        return false;
    *screens = std::min<u16>(std::max<u16>(value, 1), MaxScreens);
    return true;
}

// A plain file, or a link that ends at one or at nothing yet: what a level may be saved over.
// Found without opening anything, since a pipe would hold the editor until a writer came.
bool holdsALevelFile(const std::string& name)
{
    std::error_code ignored;
    const std::filesystem::file_type type = std::filesystem::status(name, ignored).type();
    return type == std::filesystem::file_type::regular || type == std::filesystem::file_type::not_found;
}

// What a failed save did to the file: only a save in place whose old bytes could not be put back
// did any harm.
std::string damageText(SaveResult saved, const std::string& name)
{
    return saved == SaveResult::Damaged ? "\nThe old file could not be put back:\n" + name + " is damaged." : "";
}

bool answeredYes(const std::string& answer)
{
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

// False when a terminate request cut the prompt short: the game is ending, and a half-typed
// answer must not be acted on.
bool ask(const char* question, std::string* answer)
{
    *answer = promptText(question);
    return !terminateRequested();
}

} // namespace

void SystEditor::functionKeys()
{
    using Action = void (SystEditor::*)();
    const std::pair<u16, Action> keys[] = {{SDLK_F2, &SystEditor::saveLevel},
                                           {SDLK_F3, &SystEditor::loadLevel},
                                           {SDLK_F4, &SystEditor::newLevel},
                                           {SDLK_F5, &SystEditor::testPlay}};
    for (const auto& [key, action] : keys) {
        // A prompt cut short by a terminate request: the game is ending, nothing more is done.
        if (terminateRequested())
            return;
        if (keyPressed(key))
            (this->*action)();
    }
}

void SystEditor::saveLevel()
{
    std::string name, overwrite;
    if (!ask("Enter a filename to save to then press enter.", &name))
        return;
    bool created = false;
    if (!fileExists(name)) {
        if (!ensureFileExists(name, &created)) {
            showMessageScreen(InvalidNameText);
            return;
        }
    } else if (!holdsALevelFile(name)) {
        showMessageScreen(InvalidNameText);
        return;
    } else if (!ask("This file already exists.  Overwrite it? (Y/N)", &overwrite)) {
        return;
    } else if (!answeredYes(overwrite)) {
        showMessageScreen("Level was not saved.");
        return;
    }
    // The path ends where the view box stands (a step already stored there stays).
    edited->addPanStep(u32(pathFrame), 0, 0);
    const SaveResult saved = edited->save(name);
    if (saved == SaveResult::Saved) {
        showMessageScreen(SavedText);
        return;
    }
    // The empty file made to try the name holds no level: leave nothing behind that F3 would
    // refuse. Whatever stood there before this save stays.
    if (created)
        std::remove(name.c_str());
    showMessageScreen(SaveFailedText + damageText(saved, name));
}

void SystEditor::loadLevel()
{
    std::string name;
    if (!ask("Enter a filename to load from then press enter.", &name))
        return;
    if (!fileExists(name)) {
        showMessageScreen("File does not exist.\nFailed to load the level file.");
        return;
    }
    // Only plain files are read: a device or a pipe would never end (or never begin).
    std::error_code ignored;
    std::unique_ptr<Level> loaded;
    if (std::filesystem::is_regular_file(name, ignored))
        loaded = std::make_unique<Level>(name);
    if (!loaded || loaded->loadFailed()) {
        showMessageScreen("File is invalid or corrupt.\nFailed to load the level file.");
        return;
    }
    const i32 length = i32(loaded->panLength());
    const i32 startX = i32(loaded->startCameraX());
    const i32 startY = i32(loaded->startCameraY());
    replaceLevel(std::move(loaded));
    pathLength = length;
    boxWorldX = startX;
    boxWorldY = startY;
}

void SystEditor::newLevel()
{
    // Both questions come before either answer is judged.
    std::string across, down;
    if (!ask(WidthQuestion, &across) || !ask(HeightQuestion, &down))
        return;
    u16 screensAcross = 0, screensDown = 0;
    if (!readScreens(across, &screensAcross) || !readScreens(down, &screensDown)) {
        showMessageScreen("Failed to create the level.  Your size input was incorrect.");
        return;
    }
    replaceLevel(std::make_unique<Level>(u16(screensAcross * ScreenColumns), u16(screensDown * ScreenRows),
                                         NewLevelLayers, NewLevelActiveLayer, NewLevelSet));
}

// The new level takes the old one's place with a live object for each of its records, a clear
// autotile grid of its size and the view box at the start of its path. The room editor's scroll,
// layer, tile, hotkeys and group stay; their limits apply at the next room-editor update.
void SystEditor::replaceLevel(std::unique_ptr<Level> level)
{
    edited = std::move(level);
    clearPreviews();
    std::vector<LevelObject*> records;
    edited->allObjects(records);
    for (LevelObject* record : records) {
        if (Physical* object = createObject(record->type, record->x, record->y))
            placed[object] = record;
    }
    autotileGrid = std::make_unique<BitGrid>(edited->width(), edited->height());
    pathFrame = 0;
    pathLength = 0;
    boxWorldX = 0;
    boxWorldY = 0;
}

// The level in memory goes to the play screen by way of the test file; without that file
// nothing is started, so the level is not lost with the editor.
void SystEditor::testPlay()
{
    const SaveResult saved = edited->save(TestLevelFile);
    if (saved != SaveResult::Saved) {
        showMessageScreen("Failed to write INTERLEVEL.lvl.\nTest mode was not started." +
                          damageText(saved, TestLevelFile));
        return;
    }
    showMessageScreen("Preparing to enter test mode.\nTemp file saved as INTERLEVEL.lvl");
    auto* play = new SystPhysical;
    play->startLevel(TestLevelFile);
    queueSystemAdd(play);
    queueSystemKill(this);
}
