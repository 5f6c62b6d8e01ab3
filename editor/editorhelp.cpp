// The help screens: one for getting started and one for each of the editor's screens.
#include "editor/systeditor.h"

#include "core/message.h"

#include <initializer_list>

namespace {

std::string joinLines(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines) {
        if (!text.empty())
            text += "\n";
        text += line;
    }
    return text;
}

std::string header()
{
    return joinLines({"OSTREVAN LEVEL EDITOR-", "Press F1 at any time to see this screen."}) + "\n\n";
}

std::string gettingStarted()
{
    return joinLines({
               "----------------GETTING STARTED:",
               " This is the WARDEN OF OSTREVAN level editor.  It consists of four screens:",
               "   1) Tile Picker - Used for selecting and manipulating scenery tiles which make up most of the "
               "game environment.",
               "   2) Level Editor - Used for modifying the level itself and its various parts.  You'll spend most "
               "of your time here.",
               "   3) Dynamic Selector - Used for picking Dynamic Objects [characters, teleporters etc] to put in "
               "the room.",
               "   4) View Editor - Used for choreographing the path the camera takes through the room.",
               " A few basic pointers on using the level editor:",
               "   1) USE THIS F1 MENU.",
               "        It's specially programmed to give you help on WHICHEVER SCREEN YOU ARE CURRENTLY USING.",
               "   2) DON'T FORGET TO SAVE.",
               "        When you test your level it will not autosave for you.  Save first with F2.",
               "   3) USE THIS F1 MENU.",
               "        It's really rather simple.",
               " Good Luck!",
           }) +
           "\n\n";
}

std::string tilePickerHelp()
{
    return joinLines({
               "----------------TILESET VIEWER:",
               "   Left-Click a tile to select it for use.",
               "     -You can hotkey a selected tile by pressing a number key after selecting it.",
               "   Right-click the top-left tile in a 4x4 autotiling group to set that as the set for autotiling.",
               "   Hold <CONTROL> and Left-Click tiles to change their collision types.",
               "     -Grey means no collision, blue is jumpthrough, and yellow is solid-object collision.",
           }) +
           "\n\n";
}

std::string roomEditorHelp()
{
    return joinLines({
               "----------------LEVEL EDITOR:",
               "   Use the arrow keys to scroll your view of the room, and TAB to quick-scroll.",
               "   Left-Click to place the selected tile in the level editor.",
               "   Right-Click to delete any tile in the current layer.",
               "   Use the number keys to switch quickly to your hotkeyed tiles.",
               "   Change the layer being edited with <PAGE UP> and <PAGE DOWN>.",
               "     -NOTE: blocks only generate collisions in the active layer.  Text at the top of this screen "
               "indicates",
               "            which layer you're editing.",
               "   Use the <END> key to hide layers you're not editing.",
               "   Use the <CONTROL> key to preview the collision mask of the current layer.  Remember only the "
               "active layer matters.",
               "   <SHIFT> is the autotiler key.  <SHIFT> + Left-Click to place Autotiler blocks.",
               "   <SHIFT> + Right-Click to delete Autotiler Blocks.  Pressing <BACKSPACE> deletes them all.",
               "   Press <ENTER> to turn autotiler blocks into tiles of the currently selected group.",
               "   <ALT> is the Dynamics key.  <ALT> + Left-Click to place the current dynamic object.",
               "   <ALT> + Right-Click to delete dynamic objects.",
           }) +
           "\n\n";
}

std::string catalogueHelp()
{
    return joinLines({
               "----------------DYNAMIC SELECTOR:",
               "   Left-Click one of the categories on the left to browse its objects.",
               "   Left-Click one of the Dynamic Items on the right to pick it for use in the Editor.",
               "     --When you mouse-over a Dynamic Item it will display a blinking preview.",
           }) +
           "\n\n";
}

std::string viewEditorHelp()
{
    return joinLines({
               "----------------VIEW EDITOR:",
               "   WARNING: Unusual yet clever controls lie ahead.",
               "   Use the <LEFT> and <RIGHT> keys to move the viewer forward and backward in the view pattern.",
               "       --For scrolling diagonally, hold <CONTROL> to ignore arrow keys.  EG [Press+hold Control] "
               "[Press+hold left,right] [release control to start scrolling]",
               "   If the viewbox is at the beginning of the path, [indicated by a blinking red box]",
               "       You can use the <WASD> or <ZQSD> keys [european keyboards] to shift the view's starting "
               "point.",
               "   If the viewbox is at the end of the path, [indicated by a blinking green box]",
               "       You can use the <WASD> or <ZQSD> keys to add to the view path.",
               "   If you wish to change the path midway, you can cut off the viewpath after that point with "
               "<ENTER> [scroll to the midway point with <LEFT> and <RIGHT>]",
               "   If you wish to delete the last part of the path, go to the end and use <BACKSPACE>.",
           }) +
           "\n\n";
}

std::string generalControls()
{
    return joinLines({
        "----------------GENERAL CONTROLS:",
        "   F1 - Show the helpscreen for the current part of the Editor.  [EG, go to the room editor then press "
        "F1 to see room editor help]",
        "   F2 - Save a level to a file. [type the desired filename then press enter].",
        "   F3 - Load a level from a file.",
        "   F4 - Create a new level, and choose its size, in screens.",
        "   F5 - Test your created level.",
        "       ---If you test your level and forget to save, there's still hope!  Load from \"INTERLEVEL.lvl\"",
        "   SPACE - Go to Tile Picker / Level Editor.",
        "   ALT+SPACE - Go to Dynamic Selector / Level Editor.",
        "   SHIFT+SPACE - Go to View Controller / Level Editor.",
        "   END - Safely quits the game at any time.  Unless it's locked up.",
        "",
        "Press <ENTER> to exit this screen...",
    });
}

std::string pageText(u8 page)
{
    switch (page) {
    case 0: return gettingStarted();
    case 1: return tilePickerHelp();
    case 2: return roomEditorHelp();
    case 3: return catalogueHelp();
    case 4: return viewEditorHelp();
    default: return std::string();
    }
}

} // namespace

std::string SystEditor::helpText(u8 page)
{
    return header() + pageText(page) + generalControls();
}

void SystEditor::showHelp(u8 page)
{
    showMessageScreen(helpText(page));
}
