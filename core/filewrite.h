#pragma once
#include "core/types.h"

#include <string>
#include <vector>

// Puts `bytes` in the file `name` as a whole or not at all. They are written to a new file beside
// the target, which takes the target's place only once every byte is written, flushed and closed,
// so a failed write (full disk, file size limit, I/O error) leaves what was there byte for byte
// and no stray file. A symbolic link is followed: what it points to is replaced, the link stays.
// Only a plain file or a free name is replaced; false for anything else and on every failure.
bool replaceFile(const std::string& name, const std::vector<u8>& bytes);
