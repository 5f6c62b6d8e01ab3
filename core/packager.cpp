#include "core/respack.h"

#include "core/filewrite.h"
#include "core/log.h"
#include "core/packindex.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <limits>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A list entry read into memory, its body already scrambled.
struct PackedSource {
    std::string sourcePath;  // empty for a body taken from the old pack: no file to delete
    std::string packName;
    std::string body;
};

const std::string NewIndexFile = PackNewIndexFile;
const std::string NewBodyFile = std::string(PackBodyFile) + ".new";
const std::string OldBodyFile = PackOldBodyFile;

// How the pack's replacement ended.
enum class Replaced : u8 {
    Done,       // the new index and bodies stand
    Kept,       // the old index and bodies stand as they were
    Unsettled,  // the new bodies stand under the old index, the old bodies only at OldBodyFile and
                // the new index beside, which tells the next run to put the old bodies back
};

// A list line names a file in the game's folder, by '\' or '/'. Its plain form (no "." parts, no
// doubled separators, ".." folded) is the name the game asks for; false for a line that is
// absolute or leads out of the folder.
bool toSourcePath(std::string line, std::string& path)
{
    std::replace(line.begin(), line.end(), '\\', '/');
    const fs::path plain = fs::path(line).lexically_normal();
    if (plain.empty() || plain.is_absolute() || *plain.begin() == "..")
        return false;
    path = plain.string();
    return true;
}

// A list entry that is one of the pack's own files would be deleted once packed: the new pack
// with it, or the old one the run falls back on.
bool isPackFile(const std::string& path)
{
    for (const std::string& own : {std::string(PackIndexFile), std::string(PackBodyFile), NewIndexFile,
                                   NewBodyFile, OldBodyFile}) {
        std::error_code error;
        if (fs::equivalent(path, own, error))
            return true;
    }
    return false;
}

// The records of the pack that stands, to take resources from whose files an earlier run deleted.
std::vector<PackRecord> readOldIndex()
{
    std::string bytes;
    return readWholeFile(PackIndexFile, bytes) ? parsePackIndex(bytes) : std::vector<PackRecord>();
}

bool readFromOldPack(const std::vector<PackRecord>& oldIndex, const std::string& packName, std::string& body)
{
    for (const PackRecord& record : oldIndex) {
        if (record.name == packName)
            return readPackedBody(record, body);
    }
    return false;
}

// The entry's scrambled body: from its file, or where no file is there, from the old pack.
bool readEntry(PackedSource& source, const std::vector<PackRecord>& oldIndex)
{
    std::error_code error;
    if (!fs::exists(source.sourcePath, error) && !error) {
        source.sourcePath.clear();
        return readFromOldPack(oldIndex, source.packName, source.body);
    }
    if (!fs::is_regular_file(source.sourcePath, error) || isPackFile(source.sourcePath) ||
        !readWholeFile(source.sourcePath.c_str(), source.body))
        return false;
    scrambleBuffer(reinterpret_cast<u8*>(source.body.data()), source.body.size(), PackKey);
    return true;
}

// Offsets and sizes are 32-bit in the index; a pack must stay below 4 GiB.
bool fitsInPack(const std::vector<PackedSource>& packed, const std::string& body)
{
    u64 total = body.size();
    for (const PackedSource& source : packed)
        total += source.body.size();
    return total <= std::numeric_limits<u32>::max();
}

void packListEntry(const std::string& line, const std::vector<PackRecord>& oldIndex, std::vector<PackedSource>& packed)
{
    PackedSource source;
    const bool named = toSourcePath(line, source.sourcePath);
    source.packName = toPackName(source.sourcePath);
    if (!named || !readEntry(source, oldIndex) || !fitsInPack(packed, source.body)) {
        logLine("'" + line + "': (fail)");
        return;
    }
    logLine(line);
    packed.push_back(std::move(source));
}

std::vector<PackRecord> layOutIndex(const std::vector<PackedSource>& packed)
{
    std::vector<PackRecord> records;
    u32 offset = 0;
    for (const PackedSource& source : packed) {
        records.push_back({offset, u32(source.body.size()), source.packName});
        offset += u32(source.body.size());
    }
    return records;
}

// The parts in a file of that name made anew and flushed to the disk. What an earlier run that was
// cut off left at the name goes first, so no write ever lands where a link there points.
bool writeNewFile(const std::string& name, const std::vector<const std::string*>& parts)
{
    ::unlink(name.c_str());
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        return false;
    }
    bool written = true;
    for (const std::string* part : parts)
        written = written && std::fwrite(part->data(), 1, part->size(), file) == part->size();
    written = written && std::fflush(file) == 0 && ::fsync(fd) == 0;
    return std::fclose(file) == 0 && written;
}

// The old bodies get a second name to put them back by until the new index stands. Where no link
// can be made (another user's file under protected hard links, a file system without links), a
// copy flushed to the disk serves. False where neither can be made.
bool keepOldBodies(bool& hadOldBodies)
{
    ::unlink(OldBodyFile.c_str());
    hadOldBodies = ::link(PackBodyFile, OldBodyFile.c_str()) == 0;
    if (hadOldBodies || errno == ENOENT)
        return true;
    hadOldBodies = true;
    std::string bodies;
    return readWholeFile(PackBodyFile, bodies) && writeNewFile(OldBodyFile, {&bodies});
}

// Moves the new index into place; where it cannot go, the old bodies go back, so the two files
// always belong together.
Replaced placeNewIndex(bool hadOldBodies)
{
    if (std::rename(NewIndexFile.c_str(), PackIndexFile) == 0)
        return Replaced::Done;
    const bool restored = hadOldBodies ? std::rename(OldBodyFile.c_str(), PackBodyFile) == 0
                                       : ::unlink(PackBodyFile) == 0;
    return restored ? Replaced::Kept : Replaced::Unsettled;
}

// Both files are written and flushed beside the old pack and renamed over it only once complete,
// so a failed run (full disk, file size limit) leaves the old pack as it was. The two renames
// cannot be one step: only a run cut off between them leaves new bodies under the old index.
Replaced replacePack(const std::vector<PackedSource>& packed)
{
    std::string index = serialisePackIndex(layOutIndex(packed));
    std::vector<const std::string*> bodies;
    for (const PackedSource& source : packed)
        bodies.push_back(&source.body);
    bool hadOldBodies = false;
    const bool ready = keepOldBodies(hadOldBodies) && writeNewFile(NewIndexFile, {&index}) &&
                       writeNewFile(NewBodyFile, bodies);
    Replaced outcome = Replaced::Kept;
    if (ready && std::rename(NewBodyFile.c_str(), PackBodyFile) == 0)
        outcome = placeNewIndex(hadOldBodies);
    ::unlink(NewBodyFile.c_str());
    // The index not renamed tells the next run that the old bodies are to go back; the old bodies
    // of a new pack go once it is on the disk for good.
    if (outcome == Replaced::Kept) {
        ::unlink(NewIndexFile.c_str());
        ::unlink(OldBodyFile.c_str());
    }
    return outcome;
}

} // namespace

bool packResources(const char* listFile)
{
    if (!settlePackLeftovers())
        return false;
    std::ifstream list(listFile);
    if (!list.is_open()) {
        logLine(std::string("Cannot read the resource list '") + listFile + "'; the old pack is kept.");
        return false;
    }
    const std::vector<PackRecord> oldIndex = readOldIndex();
    std::vector<PackedSource> packed;
    for (std::string line; std::getline(list, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        packListEntry(line, oldIndex, packed);
    }
    if (list.bad()) {
        logLine(std::string("Reading the resource list '") + listFile + "' failed; the old pack is kept.");
        return false;
    }
    if (packed.empty()) {
        logLine("Nothing was packed; the old pack is kept.");
        return false;
    }
    const Replaced replaced = replacePack(packed);
    if (replaced == Replaced::Unsettled) {
        logLine("Cannot put the old pack back; its bodies are kept in '" + OldBodyFile +
                "' for the next run to put back, and the sources too.");
        return false;
    }
    if (replaced == Replaced::Kept) {
        logLine("Cannot write the new pack; the old pack and its sources are kept.");
        return false;
    }
    if (!flushFolder(fs::path(PackIndexFile).parent_path().string())) {
        logLine("Cannot flush the new pack to the disk; its sources are kept.");
        return false;
    }
    // Only now that the pack holds them, on the disk, are the old bodies and the sources deleted.
    ::unlink(OldBodyFile.c_str());
    for (const PackedSource& source : packed) {
        if (!source.sourcePath.empty())
            std::remove(source.sourcePath.c_str());
    }
    return true;
}
