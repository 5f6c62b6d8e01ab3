#include <gtest/gtest.h>

#include "tests/support/captured_output.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sdl_env.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/media.h"
#include "core/message.h"
#include "core/respack.h"

#include <SDL/SDL_mixer.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

// A w x h BMP filled with one colour, written by SDL itself.
void writeBmp(const std::string& name, int w, int h, u32 rgb)
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(s, nullptr, rgb);
    SDL_SaveBMP(s, name.c_str());
    SDL_FreeSurface(s);
}

// A mono 16-bit PCM WAV in the mixer's own format: a steady tone longer than one mixed buffer.
std::string wavBytes()
{
    auto u32le = [](u32 v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16le = [](u16 v) { return std::string{char(v), char(v >> 8)}; };
    std::string samples;
    for (int i = 0; i < 4096; ++i)
        samples += u16le(0x1000);
    return "RIFF" + u32le(36 + u32(samples.size())) + "WAVE" + "fmt " + u32le(16) + u16le(1) +
           u16le(1) + u32le(22050) + u32le(44100) + u16le(2) + u16le(16) + "data" +
           u32le(u32(samples.size())) + samples;
}

// Plays the music until the mixer's output carries it (3 s at most). A wave music is read from
// its bytes while it plays, so the sanitizer also sees whether they are still there.
bool mixerPlays(Mix_Music* music)
{
    static std::atomic<bool> heard;
    heard = false;
    Mix_SetPostMix([](void*, Uint8* out, int length) {
        heard = heard || std::any_of(out, out + length, [](Uint8 byte) { return byte != 0; });
    }, nullptr);
    playMusic(music, -1);
    const bool started = Mix_PlayingMusic();
    for (int waited = 0; started && !heard && waited < 3000; waited += 10)
        SDL_Delay(10);
    Mix_HaltMusic();
    Mix_SetPostMix(nullptr, nullptr);
    return heard;
}

class MediaCache : public SdlTest {
protected:
    void SetUp() override
    {
        SdlTest::SetUp();
        // The message screen's font, so a reported failure brings up no second report.
        std::filesystem::create_directory("resource");
        std::filesystem::copy_file(repoRoot / FontImage, FontImage);
        initResourcePack();   // no pack in the scratch folder: names are loose files
    }
    void TearDown() override
    {
        freeAllSounds();
        freeAllMusic();
        freeAllSurfacesCaptured();
        cleanupResourcePack();
        if (audioOpen)
            Mix_CloseAudio();
        SdlTest::TearDown();
    }
    void openAudio()
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16LSB, 1, 1024), 0) << Mix_GetError();
        audioOpen = true;
    }

    static constexpr const char* FontImage = "resource/f_ice.gif";
    const std::filesystem::path repoRoot = std::filesystem::current_path();
    ScratchDir scratch;
    bool audioOpen = false;
};

} // namespace

TEST_F(MediaCache, FirstRequestOfANameDecidesItsColourKey)
{
    writeBmp("sprite.bmp", 4, 4, 0x00FF00);
    SDL_Surface* first = loadGraphic("sprite.bmp", true, 0, 255, 0, true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->format->BitsPerPixel, screenSurface->format->BitsPerPixel);
    EXPECT_TRUE(first->flags & SDL_SRCCOLORKEY);
    EXPECT_TRUE(first->flags & SDL_RLEACCELOK);
    EXPECT_EQ(first->format->colorkey, SDL_MapRGB(first->format, 0, 255, 0));

    SDL_Surface* again = loadGraphic("sprite.bmp", true, 255, 0, 255, false);
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->format->colorkey, SDL_MapRGB(first->format, 0, 255, 0));

    // The same file under another spelling is another entry.
    SDL_Surface* other = loadGraphic("./sprite.bmp", false, 0, 0, 0, false);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_FALSE(other->flags & SDL_SRCCOLORKEY);
}

TEST_F(MediaCache, FailedImageIsRememberedUntilFreedAsNull)
{
    EXPECT_EQ(loadGraphic("late.bmp", false, 0, 0, 0, false), nullptr);
    writeBmp("late.bmp", 2, 2, 0);
    // The failure is remembered: the file that appeared since is not looked at.
    EXPECT_EQ(loadGraphic("late.bmp", false, 0, 0, 0, false), nullptr);
    // Freeing null forgets the first remembered failure, so the next request loads.
    freeSurface(nullptr);
    SDL_Surface* loaded = loadGraphic("late.bmp", false, 0, 0, 0, false);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->w, 2);
}

TEST_F(MediaCache, FreeSurfaceFreesOnlyWhatTheCacheHolds)
{
    SDL_Surface* stranger = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0, 0, 0, 0);
    SDL_Surface* made = createSurface(3, 3);
    ASSERT_NE(made, nullptr);
    freeSurface(stranger);   // not ours: nothing happens (and it stays usable below)
    EXPECT_EQ(stranger->w, 1);
    SDL_FreeSurface(stranger);

    writeBmp("img.bmp", 1, 1, 0);
    SDL_Surface* image = loadGraphic("img.bmp", false, 0, 0, 0, false);
    freeSurface(image);
    // The entry is gone: the name loads anew into a new surface.
    SDL_Surface* reloaded = loadGraphic("img.bmp", false, 0, 0, 0, false);
    ASSERT_NE(reloaded, nullptr);
    std::vector<std::string> lines = splitLines(freeAllSurfacesCaptured());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], "2/2) Erasing img.bmp");
}

TEST_F(MediaCache, CreatedSurfaceMatchesTheWindowFormat)
{
    SDL_Surface* made = createSurface(17, 9);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->w, 17);
    EXPECT_EQ(made->h, 9);
    EXPECT_EQ(made->format->BitsPerPixel, screenSurface->format->BitsPerPixel);
    EXPECT_EQ(made->format->Rmask, screenSurface->format->Rmask);
    EXPECT_EQ(made->format->Bmask, screenSurface->format->Bmask);
    EXPECT_FALSE(made->flags & SDL_SRCCOLORKEY);
    // Without a window, tools get the window's usual 32-bit layout at the size asked for.
    SDL_Surface* window = screenSurface;
    screenSurface = nullptr;
    SDL_Surface* bare = createSurface(17, 9);
    screenSurface = window;
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->h, 9);
    EXPECT_EQ(bare->format->Rmask, 0xFF0000u);
}

TEST_F(MediaCache, DeallocationLogListsEveryEntryInByteOrder)
{
    writeBmp("a.bmp", 1, 1, 0);
    writeBmp("B.bmp", 1, 1, 0);
    writeBmp("_u.bmp", 1, 1, 0);
    loadGraphic("a.bmp", false, 0, 0, 0, false);
    loadGraphic("_u.bmp", false, 0, 0, 0, false);
    loadGraphic("B.bmp", false, 0, 0, 0, false);
    // Reporting the missing image brings up the message screen, which asks for its own font.
    loadGraphic("Missing.bmp", false, 0, 0, 0, false);
    EXPECT_EQ(splitLines(freeAllSurfacesCaptured()),
              (std::vector<std::string>{"SURFACE DEALLOCATION", "1/5) Erasing B.bmp",
                                        "2/5) Erasing Missing.bmp", "3/5) Erasing _u.bmp",
                                        "4/5) Erasing a.bmp", "5/5) Erasing resource/f_ice.gif"}));
    // Everything was freed and forgotten: a second shutdown pass has nothing left to free.
    EXPECT_EQ(splitLines(freeAllSurfacesCaptured()), (std::vector<std::string>{"SURFACE DEALLOCATION"}));
}

TEST_F(MediaCache, WrappedSurfaceCounterNeverReusesAHeldName)
{
    SDL_Surface* held = createSurface(1, 1);   // stands for the back buffer
    for (u32 i = 0; i < 0xFFFF; ++i)
        freeSurface(createSurface(1, 1));
    // The counter is back at the held surface's number; the new one must still be recorded.
    SDL_Surface* wrapped = createSurface(1, 1);
    ASSERT_NE(wrapped, nullptr);
    EXPECT_NE(wrapped, held);
    std::vector<std::string> lines = splitLines(freeAllSurfacesCaptured());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].substr(0, 14), "1/2) Erasing c");
    EXPECT_EQ(lines[2].substr(0, 14), "2/2) Erasing c");
    EXPECT_NE(lines[1].substr(5), lines[2].substr(5));
}

TEST_F(MediaCache, SoundsAndMusicAreSharedAndFailuresRetried)
{
    openAudio();
    EXPECT_EQ(loadSound("beep.wav"), nullptr);
    EXPECT_EQ(loadMusic("resource/tune.wav"), nullptr);
    writeFile("beep.wav", wavBytes());
    writeFile("resource/tune.wav", wavBytes());
    // Failures are not remembered: the files that appeared since are loaded now.
    Mix_Chunk* chunk = loadSound("beep.wav");
    ASSERT_NE(chunk, nullptr);
    EXPECT_EQ(loadSound("beep.wav"), chunk);
    playSound(chunk, -1);
    EXPECT_EQ(Mix_Playing(-1), 1) << "the sound took a free channel";
    Mix_HaltChannel(-1);
    Mix_Music* music = loadMusic("resource/tune.wav");
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(loadMusic("resource/tune.wav"), music);
    EXPECT_TRUE(mixerPlays(music));

    freeSound(chunk);
    freeMusic(music);
    // Freed and forgotten: the next request reads the file again.
    std::remove("beep.wav");
    EXPECT_EQ(loadSound("beep.wav"), nullptr);
    writeFile("beep.wav", wavBytes());
    Mix_Chunk* chunkAgain = loadSound("beep.wav");
    EXPECT_NE(chunkAgain, nullptr);
    freeSound(nullptr);
    freeMusic(nullptr);
    EXPECT_EQ(loadSound("beep.wav"), chunkAgain);

    // Packed, the music plays just the same; the packager takes the loose file away.
    writeFile("list.txt", "resource\\tune.wav\n");
    ASSERT_TRUE(packResources("list.txt"));
    initResourcePack();
    Mix_Music* packed = loadMusic("resource/tune.wav");
    ASSERT_NE(packed, nullptr);
    EXPECT_TRUE(mixerPlays(packed));

    // Freeing everything cuts a fade still running instead of waiting for it to run out; the
    // mixer's hook tells only of music that ran out.
    static std::atomic<bool> ranOut;
    ranOut = false;
    Mix_HookMusicFinished([] { ranOut = true; });
    playMusic(packed, -1);
    fadeOutMusic();
    freeAllMusic();
    Mix_HookMusicFinished(nullptr);
    EXPECT_FALSE(ranOut) << "the fade was waited out";
}

TEST_F(MediaCache, EnsureFileExistsCreatesOnlyWhatIsMissing)
{
    writeFile("kept.lvl", "level bytes");
    bool created = true;
    EXPECT_TRUE(fileExists("kept.lvl"));
    EXPECT_TRUE(ensureFileExists("kept.lvl", &created));
    EXPECT_FALSE(created);
    EXPECT_EQ(readFile("kept.lvl"), "level bytes");
    // A dangling link is something there, though it opens for nothing: nothing is made where it points.
    std::filesystem::create_symlink("target.lvl", "link.lvl");
    EXPECT_TRUE(fileExists("link.lvl") && ensureFileExists("link.lvl", &created));
    EXPECT_FALSE(created || pathExists("target.lvl"));

    EXPECT_FALSE(fileExists("new.lvl"));
    EXPECT_TRUE(ensureFileExists("new.lvl", &created));
    EXPECT_TRUE(created);
    EXPECT_TRUE(fileExists("new.lvl"));
    EXPECT_EQ(readFile("new.lvl"), "");

    EXPECT_FALSE(ensureFileExists("no-such-folder/new.lvl"));
    EXPECT_FALSE(fileExists("no-such-folder/new.lvl"));
}

TEST_F(MediaCache, FailedLoadsAreReportedOnTheMessageScreen)
{
    u32 shown = messagesShownCount();
    int waits = modal_script::eventsServed();
    EXPECT_EQ(loadGraphic("gone.gif", true, 0, 0, 0, false), nullptr);
    EXPECT_EQ(messagesShownCount(), shown + 1);
    EXPECT_EQ(lastMessageShown(), "ERROR: FAILED TO LOAD GRAPHIC: \n'gone.gif'");
    EXPECT_GT(modal_script::eventsServed(), waits);   // it waited to be dismissed
    // A failed image is reported once.
    EXPECT_EQ(loadGraphic("gone.gif", true, 0, 0, 0, false), nullptr);
    EXPECT_EQ(messagesShownCount(), shown + 1);

    // Sounds and music are tried, and reported, at every request.
    openAudio();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(loadSound("gone.wav"), nullptr);
    EXPECT_EQ(messagesShownCount(), shown + 4);
    EXPECT_EQ(lastMessageShown(), "ERROR: FAILED TO LOAD AUDIO: \n'gone.wav'");
    EXPECT_EQ(loadMusic("gone.it"), nullptr);
    EXPECT_EQ(loadMusic("gone.it"), nullptr);
    EXPECT_EQ(messagesShownCount(), shown + 6);
    EXPECT_EQ(lastMessageShown(), "ERROR: FAILED TO LOAD MUSIC: \n'gone.it'");
    // A file the mixer cannot make music of fails the same way.
    writeFile("noise.it", "no module in here");
    EXPECT_EQ(loadMusic("noise.it"), nullptr);
    EXPECT_EQ(lastMessageShown(), "ERROR: FAILED TO LOAD MUSIC: \n'noise.it'");
}

TEST_F(MediaCache, AMissingMessageFontIsReportedOnce)
{
    std::filesystem::remove(FontImage);
    u32 shown = messagesShownCount();
    // The report asks for the very image that failed; that request must find the failure
    // already remembered instead of loading and reporting it a second time.
    EXPECT_EQ(loadGraphic(FontImage, true, 0, 0, 0, false), nullptr);
    EXPECT_EQ(messagesShownCount(), shown + 1);
    EXPECT_EQ(lastMessageShown(), std::string("ERROR: FAILED TO LOAD GRAPHIC: \n'") + FontImage + "'");
}
