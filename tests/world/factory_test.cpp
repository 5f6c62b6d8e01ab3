#include <gtest/gtest.h>

#include "core/random.h"
#include "world/factory.h"
#include "world/physical.h"

#include <vector>

namespace {

std::vector<ObjectArgs> made;

// Stands in for the real classes: records what the factory hands it.
class Placed : public Physical {
public:
    // Draws as a creature draws its random phase.
    explicit Placed(const ObjectArgs& a) : Physical(0, a.x, a.y, a.w ? a.w : 10, a.h ? a.h : 20, 0) { randomDraw(); }
};

Physical* recordingCreator(const ObjectArgs& a)
{
    made.push_back(a);
    return new Placed(a);
}

// Registers the recording creator for some ids and as the default, restoring everything after.
class FactoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        made.clear();
        previousDefault = registerDefaultObject(recordingCreator);
        for (u16 id : {u16(0), u16(4), u16(6), u16(12), u16(22), u16(31), u16(33), u16(33003)})
            saved.push_back({id, registerObjectClass(id, recordingCreator)});
        forgetObjectBounds();
    }
    void TearDown() override
    {
        for (auto [id, creator] : saved)
            registerObjectClass(id, creator);
        registerDefaultObject(previousDefault);
        forgetObjectBounds();
    }

    ObjectArgs argsOf(u16 id, i32 x, i32 y)
    {
        made.clear();
        delete createObject(id, x, y);
        EXPECT_EQ(made.size(), 1u);
        return made.empty() ? ObjectArgs{} : made.back();
    }

    ObjectCreator previousDefault = nullptr;
    std::vector<std::pair<u16, ObjectCreator>> saved;
};

} // namespace

TEST_F(FactoryTest, WorksOutConstructorArgumentsPerTable)
{
    ObjectArgs a = argsOf(6, 21, 30);  // rounded down to multiples of 8
    EXPECT_EQ(a.x, 8);
    EXPECT_EQ(a.y, 16);
    EXPECT_EQ(a.param, 0);
    a = argsOf(6, 3, 3);
    EXPECT_EQ(a.x, -8);
    EXPECT_EQ(a.y, -8);

    a = argsOf(31, -17, 40);  // rounded toward zero to multiples of 16
    EXPECT_EQ(a.x, -176);
    EXPECT_EQ(a.y, 46);
    EXPECT_EQ(a.w, 320);
    EXPECT_EQ(a.h, 2);

    a = argsOf(4, 100, 50);
    EXPECT_EQ((std::vector<i32>{a.x, a.y, a.w, a.h}), (std::vector<i32>{68, 42, 64, 16}));
    a = argsOf(33, 100, 50);
    EXPECT_EQ((std::vector<i32>{a.x, a.y, a.w, a.h}), (std::vector<i32>{36, 34, 128, 32}));

    EXPECT_EQ(argsOf(0, 5, 6).param, 0);
    EXPECT_EQ(argsOf(22, 5, 6).param, 3);
    EXPECT_EQ(argsOf(33003, 5, 6).param, 3);
    a = argsOf(12, 7, 9);
    EXPECT_EQ(a.x, 7);
    EXPECT_EQ(a.y, 9);
    EXPECT_EQ(a.id, 12);
}

TEST_F(FactoryTest, IdsWithoutAClassMakeTheDefaultObject)
{
    for (u16 id : {u16(27), u16(40000), u16(65535)}) {
        ObjectArgs a = argsOf(id, 11, 12);
        EXPECT_EQ(a.id, id);
        EXPECT_EQ(a.x, 11);
        EXPECT_EQ(a.y, 12);
    }
}

TEST_F(FactoryTest, WithoutAnyDefaultAnUnknownIdMakesNothing)
{
    registerDefaultObject(nullptr);
    EXPECT_EQ(createObject(27, 0, 0), nullptr);
    Physical* known = createObject(6, 0, 0);
    EXPECT_NE(known, nullptr);
    delete known;
}

TEST_F(FactoryTest, BoundsAreMeasuredAtTheOrigin)
{
    seedStream(0, 5);
    buildObjectBounds();
    const u32 drawn = randomDraw();
    seedStream(0, 5);
    EXPECT_EQ(drawn, randomDraw()) << "measuring drew from the game's stream";
    const ObjectBounds& stone = objectBounds(6);  // made at (-8, -8), 10 x 20
    EXPECT_EQ((std::vector<i16>{stone.left, stone.top, stone.right, stone.bottom}),
              (std::vector<i16>{-8, -8, 2, 12}));
    const ObjectBounds& sinker = objectBounds(31);
    EXPECT_EQ((std::vector<i16>{sinker.left, sinker.top, sinker.right, sinker.bottom}),
              (std::vector<i16>{-160, 14, 160, 16}));
    const ObjectBounds& high = objectBounds(40000);  // no table entry: the default's bounds
    EXPECT_EQ((std::vector<i16>{high.left, high.top, high.right, high.bottom}), (std::vector<i16>{0, 0, 10, 20}));

    // Built once: a later registration change is not measured until the table is forgotten.
    made.clear();
    buildObjectBounds();
    EXPECT_TRUE(made.empty());
}

TEST(FactoryNames, CatalogueNames)
{
    EXPECT_STREQ(objectEditorName(0), "Dahlia");
    EXPECT_STREQ(objectEditorName(13), ":Crushfoot");
    EXPECT_STREQ(objectEditorName(24), "Multiplayer #5");
    EXPECT_STREQ(objectEditorName(34), "Dahlia [sitting]");
    EXPECT_STREQ(objectEditorName(33006), "6: boss-warn");
    EXPECT_STREQ(objectEditorName(3), "");
    EXPECT_STREQ(objectEditorName(35), "");
    EXPECT_STREQ(objectEditorName(33007), "");
}
