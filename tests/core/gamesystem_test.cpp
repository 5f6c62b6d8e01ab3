#include <gtest/gtest.h>

#include "tests/support/captured_output.h"
#include "tests/support/fake_input.h"
#include "tests/support/sdl_env.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/gamesystem.h"
#include "core/input.h"
#include "core/lang.h"
#include "core/media.h"

#include <SDL/SDL_mixer.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> journal;

// Records its updates, draws and destruction; can run a scripted action during its update and
// another one while it is destroyed.
class RecordingSystem : public GameSystem {
public:
    RecordingSystem(const std::string& name, i16 depth) : GameSystem(depth), name(name) {}
    ~RecordingSystem() override
    {
        journal.push_back("~" + name);
        if (onDestroy)
            onDestroy();
    }
    void update() override
    {
        journal.push_back("u:" + name);
        if (onUpdate) {
            auto action = onUpdate;
            onUpdate = nullptr;
            action();
        }
    }
    void draw(SDL_Surface*) override { journal.push_back("d:" + name); }

    std::string name;
    std::function<void()> onUpdate;
    std::function<void()> onDestroy;
};

class GameSystemManager : public ::testing::Test {
protected:
    // The manager reads F2: a key left down by an earlier test must not mute.
    void SetUp() override
    {
        journal.clear();
        resetInputState();
    }
    void TearDown() override { deleteAllGameSystems(); }

    void frame()
    {
        updateGameSystems();
        drawGameSystems(nullptr);
    }
};

// Whether a visible pixel of the marker, drawn at the corner, lands on a visible pixel of the part
// `from` of a picture that the game draws at (left, top) with the colour key `key`.
bool markerHides(SDL_Surface* marker, const char* picture, SDL_Color key, SDL_Rect from, i32 left, i32 top)
{
    SDL_Surface* part = loadGraphic(picture, true, key.r, key.g, key.b, false);
    for (i32 y = 0; y < from.h && top + y < marker->h; ++y)
        for (i32 x = 0; x < from.w && left + x < marker->w; ++x)
            if (getPixel(marker, u32(left + x), u32(top + y)) != marker->format->colorkey &&
                getPixel(part, u32(from.x + x), u32(from.y + y)) != part->format->colorkey)
                return true;
    return false;
}

} // namespace

TEST_F(GameSystemManager, OrdersByDepthThenAge)
{
    queueSystemAdd(new RecordingSystem("front", -1000));
    queueSystemAdd(new RecordingSystem("old", 0));
    queueSystemAdd(new RecordingSystem("back", 5));
    queueSystemAdd(new RecordingSystem("young", 0));
    frame();
    // Systems queued before a frame join after its update pass: drawn, not yet updated.
    EXPECT_EQ(journal, (std::vector<std::string>{"d:back", "d:old", "d:young", "d:front"}));
    journal.clear();
    frame();
    EXPECT_EQ(journal, (std::vector<std::string>{"u:back", "u:old", "u:young", "u:front",
                                                 "d:back", "d:old", "d:young", "d:front"}));
}

TEST_F(GameSystemManager, SwitchDuringUpdateDrawsOnlyTheNewScreen)
{
    auto* menu = new RecordingSystem("menu", 0);
    auto* fader = new RecordingSystem("fader", -10);
    queueSystemAdd(menu);
    queueSystemAdd(fader);
    frame();
    journal.clear();
    fader->onUpdate = [menu] {
        queueSystemKill(menu);
        queueSystemAdd(new RecordingSystem("level", 0));
    };
    frame();
    // The doomed menu still completes its update (it came before the requester), then is deleted;
    // the new screen is drawn in the same frame, before its first update.
    EXPECT_EQ(journal, (std::vector<std::string>{"u:menu", "u:fader", "~menu", "d:level", "d:fader"}));
}

TEST_F(GameSystemManager, SelfKillFinishesPassIsNeverDrawnAgainAndItsHeirJoinsAtOnce)
{
    auto* a = new RecordingSystem("a", 1);
    auto* b = new RecordingSystem("b", 0);
    queueSystemAdd(a);
    queueSystemAdd(b);
    frame();
    journal.clear();
    b->onUpdate = [a, b] {
        queueSystemKill(b);
        queueSystemKill(b);
        EXPECT_TRUE(systemKillQueued(b));
        EXPECT_FALSE(systemKillQueued(a));
    };
    // Deletions come before additions: an heir queued while b is destroyed joins in this frame.
    b->onDestroy = [] { queueSystemAdd(new RecordingSystem("heir", 0)); };
    frame();
    EXPECT_EQ(journal, (std::vector<std::string>{"u:a", "u:b", "~b", "d:a", "d:heir"}));
    EXPECT_EQ(activeSystemCount(), 2);
}

TEST_F(GameSystemManager, KillOfPendingAdditionNeverInsertsFreedSystem)
{
    auto* host = new RecordingSystem("host", 0);
    queueSystemAdd(host);
    frame();
    journal.clear();
    host->onUpdate = [] {
        auto* ghost = new RecordingSystem("ghost", 3);
        queueSystemAdd(ghost);
        queueSystemKill(ghost);
    };
    frame();
    EXPECT_EQ(journal, (std::vector<std::string>{"u:host", "~ghost", "d:host"}));
    EXPECT_EQ(activeSystemCount(), 1);
}

TEST_F(GameSystemManager, DepthChangeTakesEffectAfterThePass)
{
    auto* a = new RecordingSystem("a", 2);
    auto* b = new RecordingSystem("b", 1);
    queueSystemAdd(a);
    queueSystemAdd(b);
    frame();
    journal.clear();
    a->onUpdate = [a] { setSystemDepth(a, -5); };
    frame();
    // a keeps its old place for the rest of this frame's update, then draws in front.
    EXPECT_EQ(journal, (std::vector<std::string>{"u:a", "u:b", "d:b", "d:a"}));
}

TEST_F(GameSystemManager, DepthChangeBesideKillsAndAddsKeepsTheSetWhole)
{
    std::vector<RecordingSystem*> five;
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        five.push_back(new RecordingSystem(name, 0));
        queueSystemAdd(five.back());
    }
    RecordingSystem *a = five[0], *b = five[1], *c = five[2], *d = five[3], *e = five[4];
    frame();
    journal.clear();
    // Another system leaves in the frame of the depth change.
    c->onUpdate = [a, b] { setSystemDepth(b, 10); queueSystemKill(a); };
    frame();
    EXPECT_EQ(journal, (std::vector<std::string>{"u:a", "u:b", "u:c", "u:d", "u:e", "~a", "d:b", "d:c", "d:d",
                                                 "d:e"}));
    EXPECT_EQ(activeSystemCount(), 4);

    // The moved system itself leaves in the frame of its depth change.
    journal.clear();
    d->onUpdate = [c] { setSystemDepth(c, -10); queueSystemKill(c); };
    frame();
    EXPECT_EQ(activeSystemCount(), 3);
    journal.clear();
    // A newcomer takes its new depth as it joins; one not yet queued does not join by it.
    auto* g = new RecordingSystem("g", 0);
    e->onUpdate = [g] {
        auto* f = new RecordingSystem("f", -20);
        queueSystemAdd(f);
        setSystemDepth(f, 20);
        setSystemDepth(g, 30);
    };
    frame();
    EXPECT_EQ(journal, (std::vector<std::string>{"u:b", "u:d", "u:e", "d:f", "d:b", "d:d", "d:e"}));
    EXPECT_EQ(activeSystemCount(), 4);
    queueSystemAdd(g);
    journal.clear();
    frame();
    EXPECT_EQ(journal.at(4), "d:g");
}

TEST_F(GameSystemManager, DeleteAllDestroysActiveAndPending)
{
    queueSystemAdd(new RecordingSystem("active", 0));
    frame();
    queueSystemAdd(new RecordingSystem("pending", 0));
    journal.clear();
    deleteAllGameSystems();
    EXPECT_EQ(journal.size(), 2u);
    EXPECT_EQ(activeSystemCount(), 0);
}

// Started as the game starts, with the mixer open that muting turns down. This binary holds the
// whole game: an empty first screen keeps the title menu out.
class MuteTest : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        fake_input::install();
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16LSB, 1, 1024), 0) << Mix_GetError();
        registerFirstScreen(100, [] { return new GameSystem(0); });
        // A screen of the same priority registered later does not replace the first.
        registerFirstScreen(100, [] { return static_cast<GameSystem*>(nullptr); });
        ASSERT_NE(std::unique_ptr<GameSystem>(createFirstScreen()), nullptr);
        setFrameDelay(0);
        unloadLangPack();
        ASSERT_TRUE(initGameSystems());
        EXPECT_EQ(frameDelayMs, 1000u / 30) << "the game runs at 30 frames a second";
        EXPECT_EQ(langText(u"general", u"yes"), u"Yes") << "the game starts in English";
    }
    void TearDown() override
    {
        deleteAllGameSystems();
        freeAllSurfacesCaptured();
        Mix_CloseAudio();
        drawOffsetX = drawOffsetY = 0;
        fake_input::uninstall();
        SdlTest::TearDown();
    }
};

TEST_F(MuteTest, F2TogglesOncePerPressAndTheMarkerShowsClearOfTheDisplaysMeanwhile)
{
    SDL_Surface* marker = loadGraphic("resource/mute.gif", true, 0, 255, 0, false);
    ASSERT_NE(marker, nullptr);
    EXPECT_FALSE(markerHides(marker, "resource/hpbar.gif", {255, 255, 255, 0}, {0, 0, 100, 32}, 0, 0)) << "the HUD";
    EXPECT_FALSE(markerHides(marker, "resource/boss-hpbar.gif", {0, 255, 0, 0}, {0, 0, 91, 24}, 229, 0)) << "boss bar";
    EXPECT_FALSE(markerHides(marker, "resource/title.gif", {0, 0, 0, 0}, {0, 0, 320, 29}, 0, 3)) << "the title";
    const u32 key = SDL_MapRGB(marker->format, 0, 255, 0), backdrop = 0x123456;
    drawOffsetX = drawOffsetY = 4;  // the view's scroll does not carry the marker
    for (bool muted : {true, false}) {
        fake_input::holdKey(SDLK_F2);
        runFrames(4);
        ASSERT_EQ(isSoundMuted(), muted) << "one toggle per press, however long F2 is held";
        EXPECT_EQ(Mix_VolumeMusic(-1), muted ? 0 : MIX_MAX_VOLUME);
        SDL_FillRect(backBuffer, nullptr, backdrop);
        drawGameSystems(backBuffer);
        u32 shown = 0;
        for (u32 y = 0; y <= u32(marker->h) && y < u32(backBuffer->h); ++y)
            for (u32 x = 0; x < u32(backBuffer->w); ++x) {
                const u32 mark = x < u32(marker->w) && y < u32(marker->h) && muted ? getPixel(marker, x, y) : key;
                ASSERT_EQ(getPixel(backBuffer, x, y), mark == key ? backdrop : mark) << x << ", " << y;
                shown += getPixel(backBuffer, x, y) != backdrop;
            }
        EXPECT_EQ(shown >= 100, muted) << "a speaker, not a speck, and only while muted";
        fake_input::releaseKey(SDLK_F2);
        runFrames(1);
    }
    // Closing the subsystems frees every surface the game held, the back buffer among them.
    SDL_FreeSurface(backBuffer);
    backBuffer = createSurface(ScreenWidth, ScreenHeight);  // from the cache, as the game makes it
    ASSERT_TRUE(closeSubsystems());
    EXPECT_EQ(backBuffer, nullptr);
    EXPECT_EQ(screenSurface, nullptr);
    EXPECT_EQ(splitLines(freeAllSurfacesCaptured()), std::vector<std::string>{"SURFACE DEALLOCATION"});
}

TEST(GameSystemIds, CountUpFromConstruction)
{
    GameSystem first(0);
    GameSystem second(0);
    EXPECT_EQ(u16(first.getId() + 1), second.getId());
}
