#include <gtest/gtest.h>

#include "tests/support/captured_output.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/sdl_env.h"

#include "core/media.h"
#include "core/respack.h"

#include <cerrno>
#include <chrono>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

int linkError = 0;         // what making a hard link answers, when not 0
ino_t failingReads = 0;    // reads of this file fail (EIO) past its first 2 bytes, when not 0
bool oldBodiesStuck = false;  // the old bodies cannot be renamed back
std::vector<std::string> atOldBodies;  // the pack's folder when the old bodies got their name

std::string scrambled(std::string bytes)
{
    for (char& c : bytes)
        c = char(u8(c) ^ 0x8E);
    return bytes;
}

// Stands for another process at work on the pack: a lock of its own on the folder.
int lockAsAnotherRun()
{
    const int folder = ::open("resource", O_RDONLY | O_DIRECTORY);
    EXPECT_EQ(::flock(folder, LOCK_EX), 0);
    return folder;
}

std::vector<std::string> folderContents(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs in a scratch folder with its own "resource/" and its own temporary folder, so what
// the resolver extracts can be watched and nothing of the repository is touched.
class ResourcePack : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory("resource");
        fs::create_directory("tmp");
        const char* oldTmp = getenv("TMPDIR");
        hadTmp = oldTmp != nullptr;
        savedTmp = hadTmp ? oldTmp : "";
        setenv("TMPDIR", (scratch.path() + "/tmp").c_str(), 1);
    }
    void TearDown() override
    {
        cleanupResourcePack();
        linkError = 0;
        failingReads = 0;
        oldBodiesStuck = false;
        atOldBodies.clear();
        if (hadTmp)
            setenv("TMPDIR", savedTmp.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

    bool pack(const std::string& listText, std::vector<std::string>* log = nullptr)
    {
        writeFile("list.txt", listText);
        testing::internal::CaptureStdout();
        bool packed = packResources("list.txt");
        std::string output = testing::internal::GetCapturedStdout();
        if (log)
            *log = splitLines(output);
        return packed;
    }

    // Index of two entries written by hand: a.gif "GIF-A" then the empty e.txt.
    void writeSmallPack()
    {
        writeFile("resource/resource.dir",
                  "\0\0\0\0\5\0\0\0resource\\a.gif\0"s +
                      "\5\0\0\0\0\0\0\0resource\\e.txt\0"s + "\xFA\xFF\xFF\xFF");
        writeFile("resource/resource.pack", scrambled("GIF-A"));
    }

    ScratchDir scratch;
    bool hadTmp = false;
    std::string savedTmp;
};

} // namespace

extern "C" int link(const char* from, const char* to)
{
    if (linkError) {
        errno = linkError;
        return -1;
    }
    return reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "link"))(from, to);
}

extern "C" int rename(const char* from, const char* to)
{
    if (oldBodiesStuck && std::string(from) == "resource/resource.pack.old") {
        errno = EACCES;
        return -1;
    }
    if (std::string(to) == "resource/resource.pack.old")
        atOldBodies = folderContents("resource");
    return reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"))(from, to);
}

extern "C" ssize_t read(int fd, void* buffer, size_t count)
{
    struct stat file {};
    if (failingReads && ::fstat(fd, &file) == 0 && file.st_ino == failingReads) {
        if (::lseek(fd, 0, SEEK_CUR) >= 2) {
            errno = EIO;
            return -1;
        }
        count = std::min<size_t>(count, 2);
    }
    return reinterpret_cast<ssize_t (*)(int, void*, size_t)>(dlsym(RTLD_NEXT, "read"))(fd, buffer, count);
}

TEST(Scramble, FlipsEveryByteWithTheKeysFirstCharacterOnly)
{
    std::vector<u8> data(70);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = u8(i * 7);
    std::vector<u8> original = data;
    scrambleBuffer(data.data(), data.size(), PackKey);
    for (std::size_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(data[i], u8(original[i] ^ 0x8E)) << "byte " << i;
    scrambleBuffer(data.data(), data.size(), PackKey);
    EXPECT_EQ(data, original);
}

TEST_F(ResourcePack, PackagerWritesTheExactFormatAndRemovesSources)
{
    fs::create_directory("resource/sub");
    writeFile("resource/a.gif", "GIF-A");
    writeFile("resource/sub/b.wav", "WAVDATA");
    writeFile("resource/c.txt", "");
    writeFile("resource/bad.gif", "BAD-DISK");
    struct stat bad {};
    ASSERT_EQ(::stat("resource/bad.gif", &bad), 0);
    failingReads = bad.st_ino;
    // What a run cut off may leave: a link at the new file's name is replaced, not written through.
    writeFile("outside.bin", "KEEP");
    fs::create_symlink("../outside.bin", "resource/resource.pack.new");
    // A CRLF line, a missing file, an empty entry, a file the disk fails to read and a last line
    // without a line break.
    std::vector<std::string> log;
    ASSERT_TRUE(pack("resource\\a.gif\r\nresource\\missing.gif\nresource\\c.txt\nresource\\bad.gif\n"
                     "resource\\sub\\b.wav", &log));
    EXPECT_EQ(log, (std::vector<std::string>{"resource\\a.gif", "'resource\\missing.gif': (fail)", "resource\\c.txt",
                                             "'resource\\bad.gif': (fail)", "resource\\sub\\b.wav"}));

    std::string expectedIndex = "\0\0\0\0\5\0\0\0resource\\a.gif\0"s +
                                "\5\0\0\0\0\0\0\0resource\\c.txt\0"s +
                                "\5\0\0\0\7\0\0\0resource\\sub\\b.wav\0"s +
                                "\xFA\xFF\xFF\xFF";
    EXPECT_EQ(readFile("resource/resource.dir"), expectedIndex);
    EXPECT_EQ(readFile("resource/resource.pack"), scrambled("GIF-AWAVDATA"));
    EXPECT_FALSE(pathExists("resource/a.gif"));
    EXPECT_FALSE(pathExists("resource/c.txt"));
    EXPECT_FALSE(pathExists("resource/sub/b.wav"));
    EXPECT_EQ(folderContents("resource"),
              (std::vector<std::string>{"bad.gif", "resource.dir", "resource.pack", "sub"}));
    EXPECT_EQ(readFile("outside.bin"), "KEEP");

    // Packed again with a line more: the resources whose files the first run deleted come from
    // the pack; one the list no longer names is dropped.
    writeFile("resource/new.gif", "NEW");
    ASSERT_TRUE(pack("resource\\a.gif\nresource\\missing.gif\nresource\\c.txt\nresource\\new.gif\n", &log));
    EXPECT_EQ(log, (std::vector<std::string>{"resource\\a.gif", "'resource\\missing.gif': (fail)",
                                             "resource\\c.txt", "resource\\new.gif"}));
    EXPECT_EQ(readFile("resource/resource.pack"), scrambled("GIF-ANEW"));
}

TEST_F(ResourcePack, ListLinesArePackedUnderThePlainNameTheGameAsksFor)
{
    fs::create_directory("resource/sub");
    writeFile("resource/a.gif", "GIF-A");
    writeFile("resource/b.gif", "B");
    writeFile("resource/c.gif", "C");
    writeFile("outside.gif", "OUT");
    writeFile("demo.lvl", "LEVEL");
    fs::create_directory("shared");
    writeFile("shared/x.gif", "SHARED");
    fs::create_symlink("../shared", "resource/shared");
    fs::create_symlink("../outside.gif", "resource/evil.gif");
    fs::create_directory_symlink("resource", "art");
    const std::string outOfFolder = "../" + fs::path(scratch.path()).filename().string() + "/outside.gif";
    // Lines the game never asks for fail: outside "resource/" by their spelling or by a link, or
    // holding a control character. A name already packed adds nothing.
    const std::vector<std::string> failing{scratch.path() + "/outside.gif", outOfFolder, "demo.lvl", "resource",
                                           "art/b.gif", "resource/shared/x.gif", "resource/evil.gif"};
    std::string list = "./resource/a.gif\nresource//b.gif\nresource\\sub\\..\\c.gif\nresource\\a.gif\n";
    std::vector<std::string> expectedLog{"./resource/a.gif", "resource//b.gif", "resource\\sub\\..\\c.gif",
                                         "resource\\a.gif"};
    for (const std::string& line : failing) {
        list += line + "\n";
        expectedLog.push_back("'" + line + "': (fail)");
    }
    list += "resource/a.gif\0junk\nresource/\tb\x7F.gif\n"s;
    expectedLog.insert(expectedLog.end(), {"'resource/a.gif?junk': (fail)", "'resource/?b?.gif': (fail)"});
    std::vector<std::string> log;
    ASSERT_TRUE(pack(list, &log));
    EXPECT_EQ(log, expectedLog);
    EXPECT_EQ(readFile("resource/resource.dir"),
              "\0\0\0\0\5\0\0\0resource\\a.gif\0"s + "\5\0\0\0\1\0\0\0resource\\b.gif\0"s +
                  "\6\0\0\0\1\0\0\0resource\\c.gif\0\xFA\xFF\xFF\xFF"s);
    EXPECT_EQ(folderContents("resource"),
              (std::vector<std::string>{"evil.gif", "resource.dir", "resource.pack", "shared", "sub"}));
    EXPECT_EQ(readFile("outside.gif") + readFile("shared/x.gif") + readFile("demo.lvl"), "OUTSHAREDLEVEL");
}

TEST_F(ResourcePack, FailedPackagerRunsKeepTheOldPackAndSources)
{
    writeSmallPack();
    const std::string oldIndex = readFile("resource/resource.dir");
    const std::string oldBodies = readFile("resource/resource.pack");
    auto oldPackKept = [&] {
        return readFile("resource/resource.dir") == oldIndex &&
               readFile("resource/resource.pack") == oldBodies;
    };

    // Another run holds the folder: this one touches nothing.
    writeFile("resource/new.gif", "NEW");
    const int otherRun = lockAsAnotherRun();
    std::vector<std::string> log;
    EXPECT_FALSE(pack("resource\\new.gif\n", &log));
    ::close(otherRun);
    EXPECT_EQ(log, (std::vector<std::string>{
                       "Another packaging run is working on this folder; this one touches nothing."}));
    EXPECT_TRUE(oldPackKept());

    testing::internal::CaptureStdout();
    EXPECT_FALSE(packResources("no-such-list.txt"));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("no-such-list.txt"), std::string::npos);
    EXPECT_TRUE(oldPackKept());

    EXPECT_FALSE(pack("resource\\gone.gif\n", &log));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "'resource\\gone.gif': (fail)");
    EXPECT_TRUE(oldPackKept());
    EXPECT_FALSE(pack(""));
    EXPECT_TRUE(oldPackKept());

    // The new pack cannot be written: the source stays, as does the old pack.
    fs::create_directory("resource/resource.dir.new");
    EXPECT_FALSE(pack("resource\\new.gif\n"));
    EXPECT_TRUE(oldPackKept());
    EXPECT_EQ(readFile("resource/new.gif"), "NEW");
    EXPECT_FALSE(pathExists("resource/resource.pack.new"));

    // The new index cannot take the old one's place: the old bodies go back under it, from a copy
    // where no link can be made (another user's pack under protected hard links).
    // The copy takes their name only once whole, and never beside an index a cut-off repair left.
    linkError = EPERM;
    fs::remove("resource/resource.dir.new");
    writeFile("resource/resource.dir.new", "LEFT BY A REPAIR");
    fs::rename("resource/resource.dir", "index.old");
    fs::create_directories("resource/resource.dir/held");
    // Where they cannot go back either, they stay beside for the next run to put back first.
    oldBodiesStuck = true;
    EXPECT_FALSE(pack("resource\\new.gif\n"));
    EXPECT_EQ(atOldBodies,
              (std::vector<std::string>{"new.gif", "resource.dir", "resource.pack", "resource.pack.old.new"}));
    oldBodiesStuck = false;
    EXPECT_FALSE(pack("resource\\new.gif\n", &log));
    EXPECT_EQ(log[0], "An earlier packaging run did not finish; the old pack is put back.");
    EXPECT_EQ(readFile("resource/resource.pack"), oldBodies);
    EXPECT_EQ(folderContents("resource"), (std::vector<std::string>{"new.gif", "resource.dir", "resource.pack"}));

    // An entry naming the pack itself is refused, so the run never deletes the pack it made.
    fs::remove_all("resource/resource.dir");
    fs::rename("index.old", "resource/resource.dir");
    ASSERT_TRUE(pack("resource/resource.pack\nresource\\new.gif\nresource/resource.dir\n", &log));
    EXPECT_EQ(log[0] + log[2], "'resource/resource.pack': (fail)'resource/resource.dir': (fail)");
    EXPECT_EQ(readFile("resource/resource.pack"), scrambled("NEW"));
    EXPECT_EQ(folderContents("resource"), (std::vector<std::string>{"resource.dir", "resource.pack"}));
}

TEST_F(ResourcePack, ARunCutOffBetweenItsRenamesIsPutRightBeforeThePackIsUsed)
{
    // Killed after the bodies' rename: new bodies under the old index, the old ones beside.
    auto cutOff = [this] {
        writeSmallPack();
        fs::rename("resource/resource.pack", "resource/resource.pack.old");
        writeFile("resource/resource.pack", scrambled("NEW-BODIES"));
        writeFile("resource/resource.dir.new", "NEW-INDEX");
    };
    const std::vector<std::string> wholePair{"resource.dir", "resource.pack"};
    // While a run holds the pack, what looks left over may be its work: the game's start waits.
    cutOff();
    const int run = lockAsAnotherRun();
    testing::internal::CaptureStdout();
    std::thread start(initResourcePack);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(pathExists("resource/resource.pack.old"));
    ::close(run);
    start.join();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "An earlier packaging run did not finish; the old pack is put back.\n");
    EXPECT_EQ(readFile(resolveResourcePath("resource/a.gif")), "GIF-A");
    EXPECT_EQ(folderContents("resource"), wholePair);

    cutOff();
    writeFile("resource/b.gif", "B");
    ASSERT_TRUE(pack("resource/a.gif\nresource/b.gif\n"));
    EXPECT_EQ(readFile("resource/resource.pack"), scrambled("GIF-AB"));

    // Killed after the index's rename: the new pair stands, and the old bodies go.
    writeFile("resource/resource.pack.old", "OLD");
    initResourcePack();
    EXPECT_EQ(folderContents("resource"), wholePair);
    EXPECT_EQ(readFile("resource/resource.pack"), scrambled("GIF-AB"));

    // Old bodies that cannot go back stay, and neither the packer nor the game uses the pair.
    cutOff();
    oldBodiesStuck = true;
    EXPECT_FALSE(pack("resource/a.gif\n"));
    EXPECT_EQ(readFile("resource/resource.pack.old"), scrambled("GIF-A"));
    testing::internal::CaptureStdout();
    initResourcePack();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(resolveResourcePath("resource/a.gif"), "resource/a.gif");
}

TEST_F(ResourcePack, ResolverFallsBackToLooseFilesWithoutACompletePack)
{
    cleanupResourcePack();
    EXPECT_EQ(resolveResourcePath("resource/splash.gif"), "init-fail");

    initResourcePack();   // no pack files at all
    EXPECT_EQ(resolveResourcePath("resource/splash.gif"), "resource/splash.gif");

    writeSmallPack();
    fs::remove("resource/resource.pack");
    initResourcePack();   // the index alone is no pack
    EXPECT_EQ(resolveResourcePath("resource/a.gif"), "resource/a.gif");

    writeSmallPack();
    fs::remove("resource/resource.dir");
    initResourcePack();
    EXPECT_EQ(resolveResourcePath("resource/a.gif"), "resource/a.gif");
    EXPECT_TRUE(folderContents("tmp").empty());
}

TEST_F(ResourcePack, PackedEntriesAreExtractedAsidePrivatelyAndReleased)
{
    writeSmallPack();
    writeFile("resource/a.gif", "LOOSE");
    writeFile("resource\\a.gif", "LOOSE TOO");   // the name as stored, as a Linux file name
    initResourcePack();

    std::string copy = resolveResourcePath("resource/a.gif");
    EXPECT_EQ(fs::path(copy).parent_path(), fs::path(scratch.path()) / "tmp");
    EXPECT_EQ(fs::path(copy).extension(), ".gif");
    EXPECT_EQ(readFile(copy), "GIF-A");
    EXPECT_EQ(fs::status(copy).permissions() & (fs::perms::group_all | fs::perms::others_all),
              fs::perms::none);
    std::string empty = resolveResourcePath("resource/e.txt");
    EXPECT_TRUE(pathExists(empty));
    EXPECT_EQ(readFile(empty), "");

    releaseResourcePath(copy);
    EXPECT_FALSE(pathExists(copy));
    // Not in the pack: the loose name comes back unchanged and is never deleted.
    EXPECT_EQ(resolveResourcePath("resource/b.gif"), "resource/b.gif");
    releaseResourcePath("resource/a.gif");
    releaseResourcePath("resource\\a.gif");
    releaseResourcePath("pack-fail");
    EXPECT_EQ(readFile("resource/a.gif"), "LOOSE");
    EXPECT_EQ(readFile("resource\\a.gif"), "LOOSE TOO");

    // Shutdown removes the copy that was never released.
    cleanupResourcePack();
    EXPECT_FALSE(pathExists(empty));
    EXPECT_TRUE(folderContents("tmp").empty());
    writeFile(empty, "someone else's");  // a later file at the copy's name is not the copy
    cleanupResourcePack();
    EXPECT_TRUE(pathExists(empty));
}

TEST_F(ResourcePack, DamagedPacksGivePackFailNeverGarbage)
{
    auto record = [](u32 offset, u32 size, const std::string& name) {
        std::string bytes;
        for (u32 v : {offset, size})
            for (int shift = 0; shift < 32; shift += 8)
                bytes.push_back(char(u8(v >> shift)));
        return bytes + name + '\0';
    };
    writeFile("resource/resource.pack", scrambled("0123456789"));
    writeFile("resource/resource.dir", record(0, 10, "resource\\whole.bin") +
                                           record(8, 3, "resource\\past-end.bin") +
                                           record(0xFFFFFFF0u, 0x20, "resource\\wraps.bin") +
                                           record(0, 0xFFFFFFFFu, "resource\\huge.bin") +
                                           record(2, 3, "resource\\cut.bin").substr(0, 20));
    initResourcePack();
    std::string whole = resolveResourcePath("resource/whole.bin");
    EXPECT_EQ(readFile(whole), "0123456789");
    EXPECT_EQ(resolveResourcePath("resource/past-end.bin"), "pack-fail");
    EXPECT_EQ(resolveResourcePath("resource/wraps.bin"), "pack-fail");
    EXPECT_EQ(resolveResourcePath("resource/huge.bin"), "pack-fail");
    // A record cut off by the file's end is no record.
    EXPECT_EQ(resolveResourcePath("resource/cut.bin"), "resource/cut.bin");

    // The bodies vanish after start-up: listed names fail, others stay loose.
    fs::remove("resource/resource.pack");
    EXPECT_EQ(resolveResourcePath("resource/whole.bin"), "pack-fail");
    EXPECT_EQ(resolveResourcePath("resource/other.bin"), "resource/other.bin");
    releaseResourcePath(whole);
    EXPECT_TRUE(folderContents("tmp").empty());
}

class PackedMedia : public SdlTest {
protected:
    ScratchDir scratch;
};

TEST_F(PackedMedia, ImagesLoadFromThePackAndLeaveNoCopyBehind)
{
    // A game whose data folder is a link to a shared one.
    fs::create_directory("shared");
    fs::create_directory_symlink("shared", "resource");
    SDL_Surface* picture = SDL_CreateRGBSurface(SDL_SWSURFACE, 5, 3, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_SaveBMP(picture, "resource/pic.bmp");
    SDL_FreeSurface(picture);
    writeFile("list.txt", "resource\\pic.bmp\n");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(packResources("list.txt"));
    EXPECT_FALSE(pathExists("resource/pic.bmp"));
    EXPECT_TRUE(packResources("list.txt"));  // again: the picture now comes from the pack
    testing::internal::GetCapturedStdout();

    initResourcePack();
    std::string tmp = fs::temp_directory_path().string();
    auto leftovers = [&] {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(tmp))
            count += entry.path().filename().string().rfind("warden-", 0) == 0 &&
                     entry.path().extension() == ".bmp";
        return count;
    };
    int before = leftovers();
    SDL_Surface* loaded = loadGraphic("resource/pic.bmp", false, 0, 0, 0, false);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->w, 5);
    EXPECT_EQ(loaded->h, 3);
    EXPECT_EQ(leftovers(), before);
    EXPECT_EQ(folderContents("resource"), (std::vector<std::string>{"resource.dir", "resource.pack"}));
    freeAllSurfacesCaptured();
    cleanupResourcePack();
}
