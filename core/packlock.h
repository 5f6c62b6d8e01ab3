#pragma once
#include "core/types.h"

// Only one packaging run, or one game start, works on a folder's pack at a time. The lock is
// taken on the "resource/" folder itself, so a game installed where it may not write needs no new
// file for it, and the system drops it when the process ends, so a killed run never leaves it held.
class PackLock {
public:
    // Whether a second comer waits for the lock or gives up at once.
    enum class Mode : u8 {
        Try,   // a packaging run: another one working on the folder is an error
        Wait,  // the game's start: it waits for a run to finish
    };

    explicit PackLock(Mode mode);
    ~PackLock();
    PackLock(const PackLock&) = delete;
    PackLock& operator=(const PackLock&) = delete;

    // True where another process holds the lock and this one would not wait. A folder that cannot
    // be opened holds no pack to guard, so it is never busy.
    bool busy() const { return heldElsewhere; }

private:
    int folder = -1;
    bool heldElsewhere = false;
};
