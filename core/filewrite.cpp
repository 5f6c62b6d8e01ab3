#include "core/filewrite.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int MaxLinkHops = 40;  // the kernel's own limit; a longer chain is a loop
constexpr int MaxTemporaryTries = 100;

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

bool writeAll(int fd, const std::vector<u8>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += size_t(wrote);
    }
    return true;
}

// A name of our own beside the target; the umask gives a new file its usual permissions.
int createTemporary(const fs::path& target, std::string* name)
{
    for (int attempt = 0; attempt < MaxTemporaryTries; ++attempt) {
        *name = target.string() + ".saving-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

bool replaceFile(const std::string& name, const std::vector<u8>& bytes)
{
    const fs::path target = linkTarget(name);
    if (target.empty())
        return false;
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode))
        return false;
    std::string temporary;
    const int fd = createTemporary(target, &temporary);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes) && (!replacing || ::fchmod(fd, old.st_mode & 07777) == 0) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}
