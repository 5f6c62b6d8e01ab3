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
#include <iterator>
#include <limits>
#include <unistd.h>
#include <vector>

namespace {

// A list entry read into memory, its body already scrambled.
struct PackedSource {
    std::string sourcePath;
    std::string packName;
    std::string body;
};

const std::string NewIndexFile = std::string(PackIndexFile) + ".new";
const std::string NewBodyFile = std::string(PackBodyFile) + ".new";
// A second name for the old bodies, kept until the new index stands, to put them back by.
const std::string OldBodyFile = std::string(PackBodyFile) + ".old";

// How the pack's replacement ended.
enum class Replaced : u8 {
    Done,       // the new index and bodies stand
    Kept,       // the old index and bodies stand as they were
    Unsettled,  // the new bodies stand under the old index, the old bodies only at OldBodyFile
};

// List lines name files the Windows way; here '\' is no separator.
std::string toSourcePath(std::string line)
{
    std::replace(line.begin(), line.end(), '\\', '/');
    return line;
}

// A list entry that is one of the pack's own files would be deleted once packed: the new pack
// with it, or the old one the run falls back on.
bool isPackFile(const std::string& path)
{
    for (const std::string& own : {std::string(PackIndexFile), std::string(PackBodyFile), NewIndexFile,
                                   NewBodyFile, OldBodyFile}) {
        std::error_code error;
        if (std::filesystem::equivalent(path, own, error))
            return true;
    }
    return false;
}

bool readSource(const std::string& path, std::string& body)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) || isPackFile(path))
        return false;
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
        return false;
    body.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// Offsets and sizes are 32-bit in the index; a pack must stay below 4 GiB.
bool fitsInPack(const std::vector<PackedSource>& packed, const std::string& body)
{
    u64 total = body.size();
    for (const PackedSource& source : packed)
        total += source.body.size();
    return total <= std::numeric_limits<u32>::max();
}

void packListEntry(const std::string& line, std::vector<PackedSource>& packed)
{
    PackedSource source{toSourcePath(line), toPackName(line), std::string()};
    if (!readSource(source.sourcePath, source.body) || !fitsInPack(packed, source.body)) {
        logLine("'" + line + "': (fail)");
        return;
    }
    logLine(line);
    scrambleBuffer(reinterpret_cast<u8*>(source.body.data()), source.body.size(), PackKey);
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
    ::unlink(OldBodyFile.c_str());
    const bool hadOldBodies = ::link(PackBodyFile, OldBodyFile.c_str()) == 0;
    const bool ready = (hadOldBodies || errno == ENOENT) && writeNewFile(NewIndexFile, {&index}) &&
                       writeNewFile(NewBodyFile, bodies);
    Replaced outcome = Replaced::Kept;
    if (ready && std::rename(NewBodyFile.c_str(), PackBodyFile) == 0)
        outcome = placeNewIndex(hadOldBodies);
    ::unlink(NewIndexFile.c_str());
    ::unlink(NewBodyFile.c_str());
    if (outcome != Replaced::Unsettled)
        ::unlink(OldBodyFile.c_str());
    return outcome;
}

} // namespace

bool packResources(const char* listFile)
{
    std::ifstream list(listFile);
    if (!list.is_open()) {
        logLine(std::string("Cannot read the resource list '") + listFile + "'; the old pack is kept.");
        return false;
    }
    std::vector<PackedSource> packed;
    for (std::string line; std::getline(list, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        packListEntry(line, packed);
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
        logLine("Cannot put the old pack back; its bodies are kept in '" + OldBodyFile + "', and the sources too.");
        return false;
    }
    if (replaced == Replaced::Kept) {
        logLine("Cannot write the new pack; the old pack and its sources are kept.");
        return false;
    }
    if (!flushFolder(std::filesystem::path(PackIndexFile).parent_path().string())) {
        logLine("Cannot flush the new pack to the disk; its sources are kept.");
        return false;
    }
    // Only now that the pack holds them, on the disk, are the sources deleted.
    for (const PackedSource& source : packed)
        std::remove(source.sourcePath.c_str());
    return true;
}
