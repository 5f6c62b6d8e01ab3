#pragma once
#include "core/types.h"

#include <string>
#include <vector>

// How a save ended.
enum class SaveResult : u8 {
    Saved,    // the new bytes stand at the name
    Failed,   // the save failed and damaged nothing: the old file stands whole
    Damaged,  // the save in place failed and the old bytes could not be put back
};

// Puts `bytes` in the file `name` as a whole or not at all. They are written to a new file beside
// the target, which takes the target's place only once every byte is written and flushed, and the
// folder is flushed after, so a failed write (full disk, file size limit, I/O error) leaves what
// was there byte for byte and no stray file, and a power loss after success keeps the new bytes.
// The new file keeps the old one's mode (never wider, not even while written), owner and group.
// A symbolic link is followed: what it points to is replaced, the link stays. Only a plain file
// the saver may write, or a free name, is replaced.
// Where the folder takes no new file from the saver (no write permission, or the sticky bit and
// another's file), or the new file could not be given the old one's owner and group (only root
// gives a file away), a file the saver may read and write is written over in place, so its owner,
// group, mode and links stay: only once the disk has room for the longer of the old and the new
// bytes, and a write that fails all the same puts the old bytes back (Damaged where even that
// fails). A save in place is not whole if the machine stops in the middle of it.
SaveResult replaceFile(const std::string& name, const std::vector<u8>& bytes);

// A new or renamed entry lasts through a power loss only once its folder is flushed; false when
// the folder cannot be opened (errno tells why) or flushing it fails. A file system that cannot
// flush folders at all counts as flushed.
bool flushFolder(const std::string& folder);
