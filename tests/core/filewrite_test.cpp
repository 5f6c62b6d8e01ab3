#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"
#include "core/filewrite.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dlfcn.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// The saves' file calls as they happen: the call, the inode and mode of its file at that moment,
// and for a folder, the inode then standing at "saved.lvl".
using Seen = std::tuple<char, ino_t, mode_t, ino_t>;
std::vector<Seen> seen;
int fsyncFailures = 0;     // how many of the next flushes fail, as on a disk that takes no more
int folderFsyncError = 0;  // what flushing a folder answers, when not 0
int fallocateError = 0;    // what reserving space answers, when not 0
// A full disk: past its first 4,096 bytes a file is written only into the room reserved for it,
// and a cut gives back the room past the cut.
bool diskFull = false;
off_t room = 0;

void see(char call, int fd)
{
    const int error = errno;  // the saves look at errno after their calls, not after ours
    struct stat file {}, saved {};
    const bool folder = ::fstat(fd, &file) == 0 && S_ISDIR(file.st_mode) && ::fstatat(fd, "saved.lvl", &saved, 0) == 0;
    seen.emplace_back(call, file.st_ino, file.st_mode & 07777, folder ? saved.st_ino : 0);
    errno = error;
}

std::vector<u8> bytes(const std::string& text) { return {text.begin(), text.end()}; }
bool saved(const std::string& name, const std::string& text)
{
    return replaceFile(name, bytes(text)) == SaveResult::Saved;
}

struct stat statusOf(const std::string& name)
{
    struct stat status {};
    ::stat(name.c_str(), &status);
    return status;
}

} // namespace

extern "C" int fsync(int fd)
{
    see('s', fd);
    struct stat file {};
    const bool folder = ::fstat(fd, &file) == 0 && S_ISDIR(file.st_mode);
    if (fsyncFailures > 0 || (folder && folderFsyncError)) {
        errno = fsyncFailures > 0 ? (--fsyncFailures, EIO) : folderFsyncError;
        return -1;
    }
    return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"))(fd);
}

extern "C" int fallocate(int fd, int mode, off_t offset, off_t length)
{
    if (fallocateError) {
        errno = fallocateError;
        return -1;
    }
    room = std::max(room, offset + length);
    return reinterpret_cast<int (*)(int, int, off_t, off_t)>(dlsym(RTLD_NEXT, "fallocate"))(fd, mode, offset, length);
}

extern "C" int ftruncate(int fd, off_t length)
{
    room = std::min(room, length);
    return reinterpret_cast<int (*)(int, off_t)>(dlsym(RTLD_NEXT, "ftruncate"))(fd, length);
}

extern "C" ssize_t pwrite(int fd, const void* data, size_t size, off_t offset)
{
    if (diskFull && offset + off_t(size) > std::max<off_t>(4096, room)) {
        errno = ENOSPC;
        return -1;
    }
    using Pwrite = ssize_t (*)(int, const void*, size_t, off_t);
    return reinterpret_cast<Pwrite>(dlsym(RTLD_NEXT, "pwrite"))(fd, data, size, offset);
}

extern "C" int fchmod(int fd, mode_t mode)
{
    see('m', fd);
    return reinterpret_cast<int (*)(int, mode_t)>(dlsym(RTLD_NEXT, "fchmod"))(fd, mode);
}

TEST(FileReplacement, TheNewFileHasTheOldOnesRightsFromTheStartAndIsFlushedWithItsFolder)
{
    ScratchDir scratch;
    ASSERT_EQ(::chmod(".", 0777), 0);
    writeFile("saved.lvl", "old");
    ASSERT_EQ(::chown("saved.lvl", 0, 65534), 0);
    ASSERT_EQ(::chmod("saved.lvl", 0440), 0);  // read-only, which root writes all the same
    const mode_t umaskBefore = ::umask(0);
    seen.clear();
    EXPECT_TRUE(saved("saved.lvl", "new"));
    ::umask(umaskBefore);
    const ino_t file = statusOf("saved.lvl").st_ino;
    const ino_t folder = statusOf(".").st_ino;
    EXPECT_EQ(seen, (std::vector<Seen>{{'m', file, 0440, 0}, {'s', file, 0440, 0}, {'s', folder, 0777, file}}));
    EXPECT_EQ(readFile("saved.lvl"), "new");
    EXPECT_EQ(statusOf("saved.lvl").st_gid, 65534u);

    // A failed save says so and leaves the file as it was.
    fsyncFailures = 1;
    EXPECT_EQ(replaceFile("saved.lvl", bytes("lost")), SaveResult::Failed);
    EXPECT_EQ(readFile("saved.lvl"), "new");
    // A folder that cannot be flushed at all is no failure; a folder whose flush fails is.
    folderFsyncError = EINVAL;
    EXPECT_TRUE(saved("saved.lvl", "flat"));
    folderFsyncError = EIO;
    EXPECT_EQ(replaceFile("saved.lvl", bytes("unflushed")), SaveResult::Failed);
    folderFsyncError = 0;
    EXPECT_EQ(readFile("saved.lvl"), "unflushed");  // the rename stands; only its flush failed

    // A relative link points from its own folder.
    ASSERT_EQ(::mkdir("sub", 0755) | ::symlink("saved.lvl", "sub/link.lvl"), 0);
    EXPECT_TRUE(saved("sub/link.lvl", "linked"));
    EXPECT_EQ(readFile("sub/saved.lvl"), "linked");
    EXPECT_EQ(readFile("saved.lvl"), "unflushed");

    // The longest name a folder takes, new and then replaced.
    const std::string longest = std::string(251, 'n') + ".lvl";
    EXPECT_TRUE(saved(longest, "new") && saved(longest, "again"));
    EXPECT_EQ(readFile(longest), "again");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 3);
}

TEST(FileReplacement, AUserWritesInPlaceWhereNoNewFileMayGoOrKeepTheOwnerAndSaysWhenTheOldBytesAreLost)
{
    ScratchDir scratch;
    ASSERT_EQ(::chmod(".", 0777) | ::mkdir("shut", 0755) | ::mkdir("sticky", 0) | ::chmod("sticky", 01777), 0);
    ASSERT_EQ(::mkdir("unlisted", 0) | ::chmod("unlisted", 0333), 0);  // a folder that cannot be read (nor flushed)
    const std::tuple<const char*, mode_t, gid_t> files[] = {
        {"shut/open.lvl", 0666, 0}, {"sticky/theirs.lvl", 0666, 0}, {"unlisted/level.lvl", 0666, 0},
        {"read-only.lvl", 0444, 0}, {"closed.lvl", 0000, 0},         {"shared.lvl", 0660, 65533},
        {"shut/write-only.lvl", 0222, 0}};  // in place, its old bytes could not be put back
    for (const auto& [name, mode, group] : files) {
        writeFile(name, "old level");
        ASSERT_EQ(::chown(name, 0, group) | ::chmod(name, mode), 0);
    }
    writeFile("shut/long.lvl", std::string(4096, 'o'));  // then holes: it holds one block
    ASSERT_EQ(::truncate("shut/long.lvl", 18303) | ::chmod("shut/long.lvl", 0666), 0);
    const ino_t shut = statusOf("shut/open.lvl").st_ino, sticky = statusOf("sticky/theirs.lvl").st_ino;
    const struct stat shared = statusOf("shared.lvl");
    EXPECT_TRUE(asNobody(
        [] {
            // In place, past a size limit and on a full disk: the old bytes stay each time.
            const std::vector<u8> level(6000, 'n');
            const rlimit small{4096, RLIM_INFINITY}, unlimited{RLIM_INFINITY, RLIM_INFINITY};
            std::signal(SIGXFSZ, SIG_IGN);
            bool kept = ::setrlimit(RLIMIT_FSIZE, &small) == 0 &&
                        replaceFile("shut/open.lvl", level) == SaveResult::Failed;
            ::setrlimit(RLIMIT_FSIZE, &unlimited);
            fallocateError = ENOSPC;
            kept = kept && replaceFile("shut/open.lvl", level) == SaveResult::Failed &&
                   readFile("shut/open.lvl") == "old level";
            // The first flush fails on a full disk: a shorter level is cut only once flushed, so
            // the old bytes all go back into room the file still holds.
            const std::string before = readFile("shut/long.lvl");
            fallocateError = 0;
            std::tie(diskFull, room, fsyncFailures) = std::make_tuple(true, 0, 1);
            kept = kept && replaceFile("shut/long.lvl", std::vector<u8>(2715, 'n')) == SaveResult::Failed &&
                   readFile("shut/long.lvl") == before;
            diskFull = false;
            seen.clear();
            kept = kept && saved("shut/long.lvl", "new") && seen.size() == 2;  // flushed before and after the cut
            // Where nothing could be reserved and no flush succeeds, putting the old bytes back fails too.
            fallocateError = EOPNOTSUPP;
            fsyncFailures = 2;
            kept = kept && replaceFile("shut/open.lvl", level) == SaveResult::Damaged;
            return kept && replaceFile("shut/write-only.lvl", {}) == SaveResult::Failed &&
                   saved("shut/open.lvl", "new") && saved("sticky/theirs.lvl", "new") && !saved("read-only.lvl", "new") &&
                   !saved("closed.lvl", "new") && saved("shared.lvl", "new") && saved("unlisted/level.lvl", "new");
        },
        {65533}));
    for (const char* name : {"shut/open.lvl", "sticky/theirs.lvl", "unlisted/level.lvl", "shared.lvl"})
        EXPECT_EQ(readFile(name), "new") << name;
    EXPECT_EQ(std::make_pair(statusOf("shut/open.lvl").st_ino, statusOf("sticky/theirs.lvl").st_ino),
              std::make_pair(shut, sticky));  // written in place
    EXPECT_EQ(readFile("read-only.lvl") + readFile("closed.lvl") + readFile("shut/write-only.lvl"),
              "old levelold levelold level");
    // Only root gives a file away: the shared level was written in place and stays its owner's.
    const struct stat after = statusOf("shared.lvl");
    EXPECT_EQ(std::make_tuple(after.st_ino, after.st_uid, after.st_gid, after.st_mode),
              std::make_tuple(shared.st_ino, 0u, 65533u, shared.st_mode));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 6);  // no file of the saves' own
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("sticky"), {}), 1);
}
