// The whole demo, played from the title's new game to the credits with the controls alone, as a
// player would: every object of the level stays, the tutorial boxes are answered with the jump
// key, deaths bring her back at the last marker. Each run draws its randomness from its own seed.
#include "tests/story/demo_level_fixture.h"

#include "actors/bossfight.h"
#include "actors/springfoot/groundwave.h"
#include "actors/springfoot/springfoot.h"
#include "actors/springfoot/springfoot_boss.h"
#include "core/lang.h"
#include "core/random.h"
#include "core/settings.h"
#include "story/credits.h"
#include "story/demo_ending.h"
#include "story/systmenu.h"
#include "world/objects/pillar_bosslock.h"
#include "world/speechflag.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int FrameBudget = 12000;  // under seven minutes of play: a finished run takes about half
constexpr u32 CiSeeds = 8;          // WARDEN_DEMO_SEEDS asks for more
constexpr i32 CloseQuarters = 48;   // she backs off from a foe whose middle is nearer than this
constexpr i32 WaveDodge = 40;       // she jumps a ground wave coming at her from this near
constexpr i32 LingerX = 5180;       // outside the arena's gate
constexpr int LingerFrames[] = {0, 45, 120, 240};

u32 seedCount()
{
    const char* asked = std::getenv("WARDEN_DEMO_SEEDS");
    return asked && std::atoi(asked) > 0 ? u32(std::atoi(asked)) : CiSeeds;
}

// What the player is doing, read from the level each frame.
enum class Stage : u8 {
    Road,   // the road script, up to the arena
    Fight,  // the boss fight runs: face the nearest foe, fire, back off from it, jump the waves
    Climb,  // the boss is finished: hold right and jump whenever she stands, up to the ending
};

class DemoPlaythroughTest : public DemoLevelTest, public testing::WithParamInterface<u32> {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        setSpeechBoxOpen(false);
        seedStream(0, GetParam());
        world->startLevel("demo.lvl");
        manageWorld();
    }
    void TearDown() override
    {
        if (managed)
            world.release();  // the manager deletes it, or deleted it for the credits
        deleteAllGameSystems();
        madeMenus.clear();
        managed = false;
        setSpeechBoxOpen(false);
        LevelTest::TearDown();
    }

    bool creditsRolling() const
    {
        for (GameSystem* s : activeSystemList())
            if (dynamic_cast<Credits*>(s))
                return true;
        return false;
    }

    // What the player looks at, from one walk over the level's objects.
    struct Scene {
        Dahlia* heroine = nullptr;  // the one the pad steers: a dead one stays as a corpse
        Springfoot_Boss* boss = nullptr;
        BossFight* fight = nullptr;
        Pillar_BossLock* lock = nullptr;
        std::vector<Actor*> foes;  // living: the boss and the Springfoots it calls
        std::vector<GroundWave*> waves;
        bool ending = false;  // the scripted ending has begun
    };

    Scene look()
    {
        Scene scene;
        for (Physical* p = world->firstOfType(FlagAll); world->hasMoreOfType(); p = world->nextOfType()) {
            if (auto* d = dynamic_cast<Dahlia*>(p); d && (d->typeFlags & FlagPlayer))
                scene.heroine = d;
            else if (auto* b = dynamic_cast<Springfoot_Boss*>(p))
                scene.boss = b;
            else if (auto* f = dynamic_cast<BossFight*>(p))
                scene.fight = f;
            else if (auto* l = dynamic_cast<Pillar_BossLock*>(p))
                scene.lock = l;
            else if (dynamic_cast<Demo_Ending*>(p))
                scene.ending = true;
            else if (auto* w = dynamic_cast<GroundWave*>(p); w && !w->spent)
                scene.waves.push_back(w);
            if (auto* s = dynamic_cast<Springfoot*>(p); s && !s->dead)
                scene.foes.push_back(s);
        }
        if (scene.boss && !scene.boss->dead)
            scene.foes.insert(scene.foes.begin(), scene.boss);  // first: the nearest on a tie
        return scene;
    }

    static Stage stageOf(const Scene& scene)
    {
        if (scene.boss && scene.boss->isFinished())
            return Stage::Climb;
        return scene.fight && scene.fight->started ? Stage::Fight : Stage::Road;
    }

    bool standing() const { return heroine->velY == 0 && feet() >= heroine->floorLimit; }
    i32 aheadOf(const Physical* p) const { return p->x + p->w / 2 - centreX(); }

    // Held controls for the fight: -1 left, +1 right, 0 none.
    i8 fightDirection(const Scene& scene, bool* jump, bool* up)
    {
        *jump = standing() && std::any_of(scene.waves.begin(), scene.waves.end(), [&](GroundWave* w) {
                    const i32 ahead = w->x - centreX();
                    return std::abs(ahead) < WaveDodge && (ahead > 0) == (w->velX < 0);
                });
        if (scene.foes.empty())
            return 0;
        const Actor* foe = *std::min_element(scene.foes.begin(), scene.foes.end(), [&](Actor* a, Actor* b) {
            return std::abs(aheadOf(a)) < std::abs(aheadOf(b));
        });
        const i32 ahead = aheadOf(foe);
        const i8 toward = ahead < 0 ? -1 : 1;
        *up = std::abs(ahead) < 16 && foe->y + foe->h < heroine->y;
        if (std::abs(ahead) < CloseQuarters)
            return i8(-toward);  // back off
        return heroine->facing == toward ? 0 : toward;
    }

    // This frame's controls, pressed before the frame runs.
    void steer(const Scene& scene, Stage stage)
    {
        bool jump = false, up = false;
        i8 dir = 0;
        if (stage == Stage::Road) {
            const Intent intent = decide(withoutHeadway);
            // Outside the arena's gate she lingers a while, as long as the run's seed says.
            const bool lingering = heroine->x >= LingerX && lingered < LingerFrames[GetParam() % 4];
            lingered += lingering;
            dir = intent.right && !lingering ? 1 : 0;
            jump = intent.jump;
            up = intent.up;
        } else if (stage == Stage::Fight) {
            dir = fightDirection(scene, &jump, &up);
        } else {
            dir = 1;
            jump = standing() && heroine->y == lastY;
        }
        setControl(ControlB, true);
        setControl(ControlLeft, dir < 0);
        setControl(ControlRight, dir > 0);
        setControl(ControlUp, up);
        // A fresh press each time: a held jump key does not jump again.
        setControl(ControlA, jump && !jumpHeld);
        jumpHeld = jump && !jumpHeld;
    }

    // While the lock-in pillar rises the boss never stands in or on it, and once it has risen the
    // boss is inside the arena: right of the pillar and clear of it. Names where it first was not.
    void watchTheLock(const Scene& scene)
    {
        const Pillar_BossLock* lock = scene.lock;
        const Springfoot_Boss* boss = scene.boss;
        if (!lock || !boss || lock->targetHeight <= 1 || lockRisen)
            return;
        const bool over = boss->x < lock->x + lock->w && boss->x + boss->w > lock->x;
        const bool inOrOn = over && boss->y < lock->y + lock->h && boss->y + boss->h >= lock->y;
        lockRisen = lock->h == lock->targetHeight;
        if (bossAtLock.empty() && (inOrOn || (lockRisen && boss->x < lock->x + lock->w)))
            bossAtLock = "(" + std::to_string(boss->x) + ", " + std::to_string(boss->y) + ") at pillar height " +
                         std::to_string(lock->h);
        if (lockRisen)
            where = "the boss at (" + std::to_string(boss->x) + ", " + std::to_string(boss->y) +
                    ") when the lock-in pillar had risen";
    }

    virtual void playFrame() { frame(); }

    // Plays until the credits roll or the budget is spent; true when they roll.
    bool play()
    {
        for (; frames < FrameBudget; ++frames) {
            if (creditsRolling())
                return true;
            const Scene scene = look();
            const Stage stage = stageOf(scene);
            watchTheLock(scene);
            if (scene.heroine && scene.heroine != heroine) {
                deaths += heroine != nullptr;
                heroine = scene.heroine;
            }
            fake_input::releaseAll();
            if (speechBoxOpen()) {
                // The tutorial boxes turn their pages on a fresh press of the jump key.
                if (boxPresses++ % 2 == 0)
                    fake_input::holdControl(0, ControlA);
            } else if (heroine && !heroine->dead) {
                steer(scene, stage);
            }
            const i32 bestBefore = bestX;
            lastY = heroine ? heroine->y : 0;
            playFrame();
            if (!heroine || creditsRolling())
                continue;
            bestX = std::max(bestX, heroine->x);
            withoutHeadway = stage != Stage::Road || bestX > bestBefore ? 0 : withoutHeadway + 1;
        }
        return false;
    }

    int frames = 0, deaths = 0;
    std::string bossAtLock;  // where the boss first stood in or on the lock-in pillar, or outside
    std::string where;       // where the boss was once the lock-in pillar had risen
    int withoutHeadway = 0, boxPresses = 0, lingered = 0;
    i32 bestX = 0, lastY = 0;
    bool jumpHeld = false, lockRisen = false;
};

} // namespace

TEST_P(DemoPlaythroughTest, AHeadlessPlayerFinishesTheDemo)
{
    const bool finished = play();
    fake_input::releaseAll();
    std::printf("seed %u: %s after %d frames, %d deaths; %s\n", GetParam(), finished ? "credits" : "NOT FINISHED",
                frames, deaths, where.c_str());
    EXPECT_EQ(bossAtLock, "") << "seed " << GetParam() << ": the boss at the lock-in pillar";
    EXPECT_TRUE(finished) << "seed " << GetParam() << ": no credits after " << frames << " frames (" << deaths
                          << " deaths); she stood at x " << (heroine ? heroine->x : 0) << ", y "
                          << (heroine ? heroine->y : 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, DemoPlaythroughTest, testing::Range(1u, seedCount() + 1));

namespace {

constexpr u32 RecordSeed = 3;
const char* const RecordFile = "tests/story/demo_record.txt";
constexpr int AfterCreditsBudget = 6000;  // frames for the credits and the title again
constexpr int TitleFramesAfter = 60;      // the title again, for this long
const char* const PageNames[] = {"intro", "title", "options", "controls"};

// The title's pages on the way in: the options, the controls of players 0 and 1, back to the
// title, new game. Each control is held for the one frame named.
constexpr std::pair<int, u8> MenuScript[] = {{180, ControlDown}, {200, ControlA},    {290, ControlDown},
                                             {300, ControlA},    {390, ControlDown}, {400, ControlRight},
                                             {410, ControlLeft}, {420, ControlB},    {440, ControlB},
                                             {460, ControlUp},   {480, ControlA}};

// A PNG of the back buffer: 8-bit RGB, its data in stored (uncompressed) deflate blocks.
void saveFramePng(const std::string& path)
{
    auto bigEndian = [](u32 v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
    auto chunk = [&](const std::string& typed) {
        u32 crc = ~0u;
        for (u8 byte : typed) {
            crc ^= byte;
            for (int bit = 0; bit < 8; ++bit)
                crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        return bigEndian(u32(typed.size() - 4)) + typed + bigEndian(~crc);
    };
    std::string raw, zlib("\x78\x01", 2);
    for (u32 y = 0; y < u32(backBuffer->h); ++y) {
        raw += '\0';  // no filter
        for (u32 x = 0; x < u32(backBuffer->w); ++x)
            raw += bigEndian(getPixel(backBuffer, x, y) << 8).substr(0, 3);  // 0x00RRGGBB
    }
    u32 a = 1, b = 0;
    for (u8 c : raw)
        b = (b + (a = (a + c) % 65521)) % 65521;
    for (size_t at = 0; at < raw.size(); at += 65535) {
        const u32 n = u32(std::min<size_t>(65535, raw.size() - at));
        zlib += std::string{char(at + n == raw.size()), char(n), char(n >> 8), char(~n), char(~n >> 8)};
        zlib += raw.substr(at, n);
    }
    const std::string size = bigEndian(u32(backBuffer->w)) + bigEndian(u32(backBuffer->h));
    std::ofstream(path, std::ios::binary) << std::string("\x89PNG\r\n\x1a\n", 8)
                                          << chunk("IHDR" + size + std::string("\x08\x02\0\0\0", 5))  // 8-bit RGB
                                          << chunk("IDAT" + zlib + bigEndian(b << 16 | a)) << chunk("IEND");
}

// The demo from the title to the title again, every frame run and drawn as the game does: each
// frame's picture and the frames where each step hands over are checked against the record.
class DemoRecordTest : public DemoPlaythroughTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        setSpeechBoxOpen(false);
        seedStream(0, GetParam());
        loadLangPack("english");
        gameSettings = SettingsStore();
        setTitleMenuMaker(createTitleMenu);
        world.reset();  // the title's new game makes the level
        SystPhysical::restartSerials();  // as the game starts, whatever ran before in this process
        queueSystemAdd(createTitleMenu());
        std::ifstream in(RecordFile);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind('#', 0) == 0)
                ++headerLines;  // the recorder writes them all first
            else
                record.push_back(line);
        }
    }
    void TearDown() override
    {
        Mix_HaltMusic();
        DemoPlaythroughTest::TearDown();
        unloadLangPack();
    }

    void playFrame() override
    {
        runOneFrame(false);
        // A fade-out ends at once: the mixer runs on the wall clock, the record counts frames.
        if (Mix_FadingMusic() == MIX_FADING_OUT)
            Mix_HaltMusic();
        for (GameSystem* s : activeSystemList())
            if (auto* level = dynamic_cast<SystPhysical*>(s); level && !world)
                world.reset(level), managed = true;
        if (creditsRolling())
            world.release();  // the manager deleted the level
        const std::string now = step() + (Mix_PlayingMusic() ? "" : ", silent");  // what is heard hands over too
        if (now != lastStep)
            note(std::to_string(shown) + " step " + now);
        lastStep = now;
        // FNV-1a over every pixel's colour: each step is one to one, so no single pixel changes unseen.
        u64 digest = 14695981039346656037ull;
        for (u32 y = 0; y < u32(backBuffer->h); ++y)
            for (u32 x = 0; x < u32(backBuffer->w); ++x)
                digest = (digest ^ (getPixel(backBuffer, x, y) & 0xFFFFFFu)) * 1099511628211ull;
        char text[40];
        std::snprintf(text, sizeof text, "%d %016llx", shown, static_cast<unsigned long long>(digest));
        note(text);
        ++shown;
    }

    std::string step()
    {
        if (creditsRolling())
            return "credits";
        if (!world) {
            for (GameSystem* s : activeSystemList())
                if (auto* menu = dynamic_cast<SystMenu*>(s))
                    return PageNames[menu->currentPage()];
            return "none";
        }
        const Scene scene = look();
        if (!scene.heroine)
            return "level start";
        if (scene.heroine->serial != lifeSerial)
            lifeSerial = scene.heroine->serial, ++lives;
        const char* stages[] = {"road", "boss fight", "boss finished"};
        const std::string dead = scene.heroine->dead ? ", dead" : "";
        return scene.ending ? "ending" : stages[int(stageOf(scene))] + dead + ", life " + std::to_string(lives);
    }

    // The first line that differs from the record names its frame and step, and leaves the frame
    // as a picture beside the test binary.
    void note(const std::string& line)
    {
        lines.push_back(line);
        const size_t at = lines.size() - 1;
        if (recording || !difference.empty() || (at < record.size() && record[at] == line))
            return;
        const std::filesystem::path build = std::filesystem::read_symlink("/proc/self/exe").parent_path();
        const std::string picture = (build / ("demo_record_frame_" + std::to_string(shown) + ".png")).string();
        saveFramePng(picture);
        difference = "frame " + std::to_string(shown) + " (step " + lastStep + "): '" + line + "', recorded '" +
                     (at < record.size() ? record[at] : "(the record ends)") + "' on line " +
                     std::to_string(headerLines + at + 1) + " of " + RecordFile + "; the frame is in " + picture;
    }

    // Only an explicit 1 records: any other value, empty or 0 included, checks against the record.
    const bool recording = [] {
        const char* asked = std::getenv("WARDEN_RECORD");
        return asked && std::string(asked) == "1";
    }();
    std::vector<std::string> record, lines;
    std::string lastStep, difference;
    int shown = 0, lives = 0, headerLines = 0;
    u32 lifeSerial = 0;
};

} // namespace

TEST_P(DemoRecordTest, EveryFrameFromTheTitleToTheTitleAgainMatchesTheRecord)
{
    for (const auto& [frame, control] : MenuScript) {
        while (shown < frame)
            playFrame();
        fake_input::holdControl(0, control);
        playFrame();
        fake_input::releaseControl(0, control);
    }
    for (int wait = 0; !world && wait < TitleFramesAfter; ++wait)
        playFrame();
    ASSERT_TRUE(world) << "no level after the title's new game; " << difference;
    const bool finished = play();
    for (int frame = 0, title = 0; finished && frame < AfterCreditsBudget && title < TitleFramesAfter; ++frame)
        title += (playFrame(), lastStep.rfind("title", 0) == 0);
    ASSERT_TRUE(finished) << "no credits after " << frames << " frames; " << difference;
    if (recording) {
        std::ofstream out(RecordFile);
        out << "# The demo from the title to the title again under seed " << GetParam() << ": each frame's number "
            << "and the digest of its picture, and a step line where what shows or is heard hands over.\n"
            << "# Record again (tools/record_demo.sh) only after a change meant to change the game.\n";
        for (const std::string& line : lines)
            out << line << '\n';
        out.close();  // a full disk shows only once the last block is written
        ASSERT_FALSE(out.fail()) << "the record could not be written to " << RecordFile;
        return;
    }
    if (difference.empty() && lines.size() < record.size())
        difference = "the record goes on past frame " + std::to_string(shown - 1);
    EXPECT_EQ(difference, "") << "If the change is meant to change the game, record again with tools/record_demo.sh "
                                 "(it runs this test with WARDEN_RECORD=1) and say why in the commit.";
}

INSTANTIATE_TEST_SUITE_P(Recorded, DemoRecordTest, testing::Values(RecordSeed));
