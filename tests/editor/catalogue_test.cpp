#include "tests/editor/editor_fixture.h"
#include "tests/support/on_screen.h"

#include "world/factory.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(CatalogueTest, ListsEveryNamedObjectOfTheFactoryOnceInByteOrder)
{
    const Catalogue expected = {
        {"Bad guys",
         {{"Dummy", 5}, {"Floating Turret", 7}, {"Ikan Foot Soldier", 1}, {"Splecker", 12}, {"Springfoot", 8},
          {"Wallspitter", 9}}},
        {"Boss Fights",
         {{"::BOSS BATTLE", 14}, {":Crushfoot", 13}, {"Corpse Sinker", 31}, {"Escape Pillar", 19},
          {"Lock-In Pillar", 18}}},
        {"Demo",
         {{"# ENDING", 32}, {"1: motion", 33001}, {"2: shooting", 33002}, {"3: stones", 33003},
          {"4: enemies", 33004}, {"5: splecker", 33005}, {"6: boss-warn", 33006}}},
        {"Good Guys",
         {{"Dahlia", 0}, {"Dahlia [sitting]", 34}, {"Multiplayer #1", 20}, {"Multiplayer #2", 21},
          {"Multiplayer #3", 22}, {"Multiplayer #4", 23}, {"Multiplayer #5", 24}, {"Ostrevanian Gunner", 2},
          {"Play-Crushfoot", 15}}},
        {"Scenery",
         {{">>LOOPER<<", 30}, {"Bird", 28}, {"Land Mine", 10}, {"Pillar", 16}, {"Pillar (wall)", 17},
          {"Stone (falls)", 6}, {"Stone (stays)", 11}, {"Water - 128x32", 33}, {"Water - 64x16", 4}}}};
    const Catalogue c = buildCatalogue();
    EXPECT_EQ(c, expected);
    // The catalogue and the factory agree on every name.
    for (const auto& [category, members] : c)
        for (const auto& [name, id] : members)
            EXPECT_EQ(objectEditorName(id), name) << id;
}

TEST(CatalogueTest, LinesOwnTheirTenPixelsBelowTheirTop)
{
    EXPECT_EQ(catalogueLineAt(10, 5), -1);
    EXPECT_EQ(catalogueLineAt(11, 5), 0);
    EXPECT_EQ(catalogueLineAt(20, 5), 0);
    EXPECT_EQ(catalogueLineAt(21, 5), 1);
    EXPECT_EQ(catalogueLineAt(59, 5), 4);
    // The last line's lowest pixel row and everything below pick nothing.
    EXPECT_EQ(catalogueLineAt(60, 5), -1);
    EXPECT_EQ(catalogueLineAt(200, 5), -1);

    EXPECT_EQ(catalogueHoverLine(20, 5), -1) << "a line's own top row is not inside it";
    EXPECT_EQ(catalogueHoverLine(21, 5), 1);
    EXPECT_EQ(catalogueHoverLine(29, 5), 1);
    EXPECT_EQ(catalogueHoverLine(55, 5), 4);
    EXPECT_EQ(catalogueHoverLine(65, 5), -1);
}

class SelectorTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        toMode(ModeCatalogue);
    }
    static i32 lineY(int k) { return 10 + 10 * k + 5; }
};

TEST_F(SelectorTest, ChoosingACategoryKeepsTheObjectToPlace)
{
    click(1, 40, lineY(3));  // "Good Guys"
    EXPECT_EQ(editor->selectedCategory(), 3u);
    EXPECT_EQ(editor->selectedItem(), 0u);
    EXPECT_EQ(editor->currentType(), 5);

    click(1, 200, lineY(7));  // "Ostrevanian Gunner"
    EXPECT_EQ(editor->selectedItem(), 7u);
    EXPECT_EQ(editor->currentType(), 2);

    click(1, 40, lineY(4));  // "Scenery"
    EXPECT_EQ(editor->currentType(), 2);
    click(1, 160, lineY(8));  // "Water - 64x16", clicked at x = 160 exactly
    EXPECT_EQ(editor->currentType(), 4);

    // Under the title, the chosen category and object (both last in their lists) stand out.
    draw();
    SPF_CoGra plain(0), chosen(1);
    EXPECT_TRUE(showsText(backBuffer, &plain, 0, 0, u"SELECT CATEGORY AND OBJECT", 0));
    EXPECT_TRUE(showsText(backBuffer, &chosen, 0, 50, u"Scenery", 0));
    EXPECT_TRUE(showsText(backBuffer, &chosen, 160, 90, u"Water - 64x16", 0));
}

TEST_F(SelectorTest, ClicksOffTheListsSelectNothing)
{
    click(1, 40, lineY(1));  // "Boss Fights": 5 objects
    click(1, 200, lineY(2));
    EXPECT_EQ(editor->currentType(), 31);
    click(1, 200, 10);
    click(1, 200, 10 + 10 * 5);  // lowest row of the last line
    click(1, 200, lineY(6));
    click(1, 40, lineY(5));  // below the five categories
    pointAt(40, lineY(3));   // pointing without a click
    tick(2);
    EXPECT_EQ(editor->selectedCategory(), 1u);
    EXPECT_EQ(editor->selectedItem(), 2u);
    EXPECT_EQ(editor->currentType(), 31);

    // The cursor stands centred on the mouse.
    pointAt(100, 150);
    tick();
    draw();
    EXPECT_TRUE(imageShownAt(loadGraphic("resource/editor_cursor.bmp", true, 128, 128, 128, false), 0, 0, 92, 142));
    EXPECT_EQ(pixel(319, 239), 0u) << "the page is black, not what was drawn before";
}

TEST_F(SelectorTest, TheChosenObjectIsWhatAltClickPlaces)
{
    click(1, 40, lineY(4));
    click(1, 200, lineY(1));  // "Bird"
    toMode(ModeRoom);
    clickWith(SDLK_LALT, 1, 150, 90);
    std::vector<LevelObject*> records;
    editor->level().allObjects(records);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->type, 28);
}

TEST_F(SelectorTest, TheHoverPreviewBlinksWithAWhiteFrame)
{
    click(1, 40, lineY(0));  // "Bad guys"; line 2 is the "Ikan Foot Soldier", taller than wide
    const i32 mx = 230, my = lineY(2);
    pointAt(mx, my);
    // The frame's bottom-right pixel lies outside the object itself; the frame ends there.
    const ObjectBounds& b = objectBounds(1);
    const int frameX = mx + b.right + 1, frameY = my + b.bottom + 1;
    std::string seen;
    for (int i = 0; i < 60; ++i) {
        tick();
        draw();
        seen += pixel(frameX, frameY) == 0xFFFFFFu && pixel(frameX + 1, frameY) != 0xFFFFFFu ? 'W' : '.';
    }
    // 15 framed frames, then 15 without, over and over.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 'W'), 30) << seen;
    EXPECT_NE(seen.find(std::string(15, 'W')), std::string::npos) << seen;
    EXPECT_NE(seen.find(std::string(15, '.')), std::string::npos) << seen;
    EXPECT_EQ(seen.find(std::string(16, 'W')), std::string::npos) << seen;
}

TEST_F(SelectorTest, EveryCatalogueObjectPreviewsOutsideAnyLevel)
{
    // Each object is made, drawn and deleted without ever joining a world.
    for (size_t c = 0; c < editor->catalogue().size(); ++c) {
        click(1, 40, lineY(int(c)));
        size_t count = catalogueEntry(editor->catalogue(), c)->second.size();
        for (size_t k = 0; k < count; ++k) {
            pointAt(200, lineY(int(k)));
            for (int i = 0; i < 20; ++i) {
                tick();
                draw();
            }
        }
    }
    EXPECT_EQ(editor->mode(), ModeCatalogue);
}

} // namespace
