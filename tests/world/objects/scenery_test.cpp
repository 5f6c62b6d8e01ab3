#include <gtest/gtest.h>

#include "core/draw.h"
#include "core/engine.h"
#include "core/media.h"
#include "core/random.h"
#include "core/respack.h"
#include "tests/support/sdl_env.h"
#include "world/objects/backclouds.h"
#include "world/objects/looper.h"
#include "world/factory.h"
#include "world/systphysical.h"

#include <vector>

namespace {

class Plain : public Physical {
public:
    Plain(i32 x, i32 y) : Physical(0, x, y, 4, 4, 0) {}
};

// A screen-sized picture whose every pixel names its own place: (px << 8) | py.
SDL_Surface* coordinatePicture()
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    for (u32 py = 0; py < 240; ++py)
        for (u32 px = 0; px < 320; ++px)
            static_cast<u32*>(s->pixels)[py * s->pitch / 4 + px] = (px << 8) | py;
    return s;
}

u32 pixelAt(SDL_Surface* s, int px, int py)
{
    return static_cast<u32*>(s->pixels)[py * s->pitch / 4 + px];
}

// Where the picture's corner landed, given what shows at screen pixel (px, py).
void expectCorner(SDL_Surface* screen, int px, int py, int cornerX, int cornerY)
{
    const u32 shown = pixelAt(screen, px, py);
    EXPECT_EQ(i32(shown >> 8), px - cornerX) << "at (" << px << ", " << py << ")";
    EXPECT_EQ(i32(shown & 0xFF), py - cornerY) << "at (" << px << ", " << py << ")";
}

class BackCloudsTest : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        initResourcePack();
        picture = coordinatePicture();
    }
    void TearDown() override
    {
        SDL_FreeSurface(picture);
        drawOffsetX = drawOffsetY = 0;
        freeAllSurfaces();
        releaseAllStreams();
        cleanupResourcePack();
        SdlTest::TearDown();
    }

    // Draws only the given layer, as the picture, with the camera at (cx, cy).
    void drawLayerOnly(BackClouds& clouds, int layer, i32 cx, i32 cy)
    {
        for (auto& l : clouds.layers)
            l = nullptr;
        clouds.layers[layer] = picture;
        SDL_FillRect(backBuffer, nullptr, 0xFFFFFFFF);
        drawOffsetX = -cx;
        drawOffsetY = -cy;
        clouds.draw(backBuffer);
    }

    SDL_Surface* picture = nullptr;
};

} // namespace

TEST_F(BackCloudsTest, StartsSomewhereInTheFirstThousandPixelsAndDrifts)
{
    BackClouds clouds;
    EXPECT_EQ(clouds.typeFlags, u32(FlagScenery));
    EXPECT_EQ(clouds.depth, 1000);
    EXPECT_GE(clouds.x, 0);
    EXPECT_LE(clouds.x, 1000);
    const i32 start = clouds.x;
    clouds.update();
    clouds.update();
    EXPECT_EQ(clouds.x, start + 6);
}

TEST_F(BackCloudsTest, FarLayerMovesAtASixthOfTheCamera)
{
    BackClouds clouds;
    clouds.x = 30;
    drawLayerOnly(clouds, 0, 600, 0);
    // (-600 + 30) / 6 = -95: copies at -415, -95 and 225 across.
    expectCorner(backBuffer, 0, 0, -95, 0);
    expectCorner(backBuffer, 224, 100, -95, 0);
    expectCorner(backBuffer, 225, 100, 225, 0);
    expectCorner(backBuffer, 319, 239, 225, 0);
}

TEST_F(BackCloudsTest, NearerLayersMoveFasterAndFollowTheCameraVertically)
{
    BackClouds clouds;
    clouds.x = 0;
    drawLayerOnly(clouds, 1, 30, 90);
    // Divisor 3: x phase -10, y phase -30.
    expectCorner(backBuffer, 0, 0, -10, -30);
    expectCorner(backBuffer, 309, 209, -10, -30);
    expectCorner(backBuffer, 310, 210, 310, 210);

    drawLayerOnly(clouds, 2, -100, -60);
    // Divisor 2: the camera left of and above the origin moves the sky right and down.
    expectCorner(backBuffer, 49, 29, 50 - 320, 30 - 240);
    expectCorner(backBuffer, 50, 30, 50, 30);

    // A copy that starts on the screen's last column and row still shows its corner there.
    drawLayerOnly(clouds, 1, 3, 3);
    expectCorner(backBuffer, 318, 238, -1, -1);
    expectCorner(backBuffer, 319, 239, 319, 239);
}

TEST_F(BackCloudsTest, DrawsTheLayersFarToNear)
{
    BackClouds clouds;
    SDL_Surface* near = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(near, nullptr, 0x123456);
    clouds.layers[0] = picture;
    clouds.layers[1] = nullptr;
    clouds.layers[2] = near;
    drawOffsetX = drawOffsetY = 0;
    clouds.draw(backBuffer);
    EXPECT_EQ(pixelAt(backBuffer, 100, 100), 0x123456u);
    SDL_FreeSurface(near);
}

TEST(LooperTest, SnapsToTheGridTowardZeroAndSpansTheScreenHeight)
{
    Looper looper(1003, 300);
    EXPECT_EQ(looper.x, 1000);
    EXPECT_EQ(looper.y, 180);
    EXPECT_EQ(looper.w, 5);
    EXPECT_EQ(looper.h, 240);
    EXPECT_EQ(looper.typeFlags, 0u);
    EXPECT_EQ(Looper(-13, 0).x, -8);

    // Red in world coordinates: a camera at (990, 170) puts its corner at (10, 10).
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 32, 32, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    drawOffsetX = -990;
    drawOffsetY = -170;
    looper.draw(s);
    drawOffsetX = drawOffsetY = 0;
    EXPECT_EQ(pixelAt(s, 10, 10) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(pixelAt(s, 14, 31) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(pixelAt(s, 15, 10) & 0xFFFFFF, 0u);
    EXPECT_EQ(pixelAt(s, 10, 9) & 0xFFFFFF, 0u);
    SDL_FreeSurface(s);
}

namespace {

// Updates before the looper (as the level runner does) and adds a block at the screen's new
// edge in the frame it is told to.
class EdgeBuilder : public Physical {
public:
    EdgeBuilder() : Physical(0, 0, 0, 0, 0, 10000) {}
    void update() override
    {
        if (buildNow)
            owner->add(built = new Plain(owner->cameraX + 384, 7));
        buildNow = false;
    }
    bool buildNow = false;
    Plain* built = nullptr;
};

} // namespace

TEST(LooperTest, WrapsTheCameraAndEverythingElseWhenTheScreenReachesIt)
{
    SystPhysical sys;
    auto* looper = new Looper(1000, 120);
    auto* other = new Plain(1100, 7);
    auto* builder = new EdgeBuilder();
    sys.add(looper);
    sys.add(other);
    sys.add(builder);
    sys.update();

    sys.cameraX = 679;  // 679 + 320 = 999: not there yet
    sys.update();
    EXPECT_EQ(sys.cameraX, 679);
    EXPECT_EQ(other->x, 1100);

    sys.cameraX = 680;  // the screen's right edge is on the looper
    builder->buildNow = true;
    sys.update();
    EXPECT_EQ(sys.cameraX, -320);
    EXPECT_EQ(other->x, 100);
    EXPECT_EQ(other->y, 7);
    EXPECT_EQ(looper->x, 1000);
    EXPECT_EQ(builder->built->x, 680 + 384 - 1000) << "what joins in the frame of the wrap moves too";

    sys.cameraX = 683;  // past it: the camera keeps its remainder modulo 8
    sys.update();
    EXPECT_EQ(sys.cameraX, -317);
    EXPECT_EQ(other->x, -900);
}

TEST(LooperTest, KeepsTheCameraRemainderForANegativeCamera)
{
    SystPhysical sys;
    auto* looper = new Looper(-16, 0);
    auto* other = new Plain(0, 0);
    sys.add(looper);
    sys.add(other);
    sys.update();

    sys.cameraX = -13;  // -13 / 8 * 8 = -8, so the shift is 8 - 320
    sys.update();
    EXPECT_EQ(sys.cameraX, -13 - 312);
    EXPECT_EQ(other->x, -312);
}

TEST(LooperTest, IsMadeByTheFactory)
{
    Physical* p = createObject(30, 1003, 300);
    ASSERT_NE(dynamic_cast<Looper*>(p), nullptr);
    EXPECT_EQ(p->x, 1000);
    EXPECT_EQ(p->y, 180);
    delete p;
}
