#include "core/packlock.h"

#include "core/respack.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

PackLock::PackLock(Mode mode)
{
    folder = ::open(PackFolder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    const int operation = mode == Mode::Try ? LOCK_EX | LOCK_NB : LOCK_EX;
    int result;
    do
        result = ::flock(folder, operation);
    while (result != 0 && errno == EINTR);
    heldElsewhere = result != 0 && errno == EWOULDBLOCK;
}

PackLock::~PackLock()
{
    // Closing the folder drops the lock.
    if (folder >= 0)
        ::close(folder);
}
