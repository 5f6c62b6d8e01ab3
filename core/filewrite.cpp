#include "core/filewrite.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int MaxLinkHops = 40;  // the kernel's own limit; a longer chain is a loop
constexpr int MaxTemporaryTries = 100;

// How a write beside the target ended.
enum class Beside : u8 {
    Replaced,  // the new file stands at the name, flushed with its folder
    Failed,    // the name holds what it held before
    Refused,   // the folder takes no new file at the name from this saver; nothing was changed
};

// Where a chain of links ends, dangling or not; empty for a loop or an unreadable link.
fs::path linkTarget(fs::path path)
{
    std::error_code error;  // a name that is not there yet is no link
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        if (!fs::is_symlink(fs::symlink_status(path, error)))
            return path;
        const fs::path next = fs::read_symlink(path, error);
        if (error)
            return {};
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return {};
}

// Repeats a read or a write until `size` bytes have moved: each may move fewer or be interrupted.
template <typename Step>
bool moveAll(size_t size, Step step)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t moved = step(done);
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved <= 0)
            return false;
        done += size_t(moved);
    }
    return true;
}

// Writes the bytes from the file's start.
bool writeAll(int fd, const std::vector<u8>& bytes)
{
    return moveAll(bytes.size(), [&](size_t done) {
        return ::pwrite(fd, bytes.data() + done, bytes.size() - done, off_t(done));
    });
}

// A name of our own beside the target. The target's name is cut short where the two together
// would pass the longest name a folder takes. The file is made with `mode` under the umask.
int createTemporary(const fs::path& target, mode_t mode, std::string* name)
{
    const std::string base = target.filename().string();
    for (int attempt = 0; attempt < MaxTemporaryTries; ++attempt) {
        const std::string suffix = ".saving-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        *name = (target.parent_path() / (base.substr(0, NAME_MAX - suffix.size()) + suffix)).string();
        const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Writes the bytes to a new file beside the target and renames it over the target. `old` is
// the status of the file being replaced, null for a new name: the new file never allows more
// than the old one did, not even while it is being written.
Beside writeBeside(const fs::path& target, const struct stat* old, const std::vector<u8>& bytes)
{
    std::string temporary;
    const int fd = createTemporary(target, old ? old->st_mode & 0777 : 0666, &temporary);
    if (fd < 0)
        return errno == EACCES || errno == EPERM ? Beside::Refused : Beside::Failed;
    // The new file takes the old one's owner and group. Only root gives a file away, and others
    // give only a group of their own: a new file they could not give would take the old one
    // from its owner.
    const bool owned = !old || ::fchown(fd, old->st_uid, old->st_gid) == 0;
    const bool givenAway = !owned && errno == EPERM;
    // Then exactly the old mode: the umask narrowed the mode the file was made with, and a change
    // of owner or a write drops the set-id bits.
    bool ok = owned && writeAll(fd, bytes) && (!old || ::fchmod(fd, old->st_mode & 07777) == 0) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    // A folder the saver may not read cannot be flushed, only used.
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    if (ok && std::rename(temporary.c_str(), target.c_str()) == 0)
        return flushFolder(folder) || errno == EACCES ? Beside::Replaced : Beside::Failed;
    // In a folder with the sticky bit only a file's owner may put another file in its place.
    const Beside outcome = givenAway || (ok && errno == EPERM) ? Beside::Refused : Beside::Failed;
    ::unlink(temporary.c_str());
    return outcome;
}

// Reads the whole file from its start; false where the saver may not read it.
bool readAll(int fd, std::vector<u8>* bytes)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return false;
    bytes->resize(size_t(status.st_size));
    return moveAll(bytes->size(), [&](size_t done) {
        return ::pread(fd, bytes->data() + done, bytes->size() - done, off_t(done));
    });
}

// Takes the disk space for `length` bytes before a byte of the file changes. The size stays as it
// is: the file must read as before until it is written. A file system that cannot reserve ahead
// is trusted to have room; the old bytes are put back if it had not.
bool reserve(int fd, size_t length)
{
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && length > limit.rlim_cur) {
        errno = EFBIG;
        return false;
    }
    if (length == 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(length)) == 0)
        return true;
    return errno == EOPNOTSUPP;
}

// Writes the bytes over a file of at most `longest` bytes and flushes them; only then is the file
// cut to their length. Until the bytes are safe the file keeps all the room it held.
bool writeOver(int fd, const std::vector<u8>& bytes, size_t longest)
{
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        return false;
    return bytes.size() >= longest || (::ftruncate(fd, off_t(bytes.size())) == 0 && ::fsync(fd) == 0);
}

// Writes over the old file itself, the only way left where no new file can take its place. The
// old bytes are read first, and room is reserved for the longer of the two, so a write that still
// fails can put them back.
SaveResult writeInPlace(int fd, const std::vector<u8>& bytes)
{
    std::vector<u8> old;
    if (!readAll(fd, &old))
        return SaveResult::Failed;
    const size_t longest = std::max(old.size(), bytes.size());
    if (!reserve(fd, longest))
        return SaveResult::Failed;
    if (writeOver(fd, bytes, old.size()))
        return SaveResult::Saved;
    const int error = errno;
    const SaveResult outcome = writeOver(fd, old, longest) ? SaveResult::Failed : SaveResult::Damaged;
    errno = error;
    return outcome;
}

} // namespace

bool flushFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some file systems (network and shared folders) cannot flush a folder at all and say so
    // with EINVAL or EBADF: there the rename is as lasting as it will get.
    const bool flushed = ::fsync(fd) == 0 || errno == EINVAL || errno == EBADF;
    return ::close(fd) == 0 && flushed;
}

SaveResult replaceFile(const std::string& name, const std::vector<u8>& bytes)
{
    const fs::path target = linkTarget(name);
    if (target.empty())
        return SaveResult::Failed;
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0)
        return writeBeside(target, nullptr, bytes) == Beside::Replaced ? SaveResult::Saved : SaveResult::Failed;
    if (!S_ISREG(old.st_mode))
        return SaveResult::Failed;
    // Only a file the saver could write into is replaced. Opening it for writing changes nothing
    // yet and lets the system judge, so root still saves over a read-only mode as a write would.
    // It is read too where it may be, for the in-place write to fall back on.
    const int flags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int existing = ::open(target.c_str(), O_RDWR | flags);
    if (existing < 0 && errno == EACCES)
        existing = ::open(target.c_str(), O_WRONLY | flags);
    if (existing < 0)
        return SaveResult::Failed;
    const Beside beside = writeBeside(target, &old, bytes);
    SaveResult outcome = beside == Beside::Replaced ? SaveResult::Saved : SaveResult::Failed;
    if (beside == Beside::Refused)
        outcome = writeInPlace(existing, bytes);
    // The old file was only read, or written through and flushed: closing it changes nothing.
    ::close(existing);
    return outcome;
}
