#include "core/respack.h"

#include "core/filewrite.h"
#include "core/log.h"
#include "core/packindex.h"
#include "core/packlock.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sys/stat.h>
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
// A copy of the old bodies is written here and renamed to OldBodyFile once whole, so that name
// never holds a copy cut short.
const std::string OldBodyCopyFile = OldBodyFile + ".new";

// How the pack's replacement ended.
enum class Replaced : u8 {
    Done,       // the new index and bodies stand
    Kept,       // the old index and bodies stand as they were
    Unsettled,  // the new bodies stand under the old index, the old bodies only at OldBodyFile and
                // the new index beside, which tells the next run to put the old bodies back
};

bool isControl(char c)
{
    return u8(c) < 0x20 || c == 0x7F;
}

// A list line names a resource file under "resource/", by '\' or '/'. Its plain form (no "."
// parts, no doubled separators, ".." folded) is the name the game asks for. False for a line the
// game never asks for: one with a control character (a NUL would end its index name early), or
// one whose plain form is absolute or lies outside "resource/" (levels are read from the disk, so
// packing one would only lose it).
bool toSourcePath(std::string line, std::string& path)
{
    if (std::any_of(line.begin(), line.end(), isControl))
        return false;
    std::replace(line.begin(), line.end(), '\\', '/');
    const fs::path plain = fs::path(line).lexically_normal();
    if (plain.empty() || *plain.begin() != PackFolder)
        return false;
    path = plain.string();
    return true;
}

// Whether the file, with every link on the way followed, lies inside "resource/" (itself perhaps
// a link to a shared folder): a link leading elsewhere must neither be packed nor deleted.
bool liesInResourceFolder(const std::string& path)
{
    std::error_code error;
    const fs::path folder = fs::canonical(PackFolder, error);
    const fs::path file = error ? fs::path() : fs::canonical(path, error);
    if (error)
        return false;
    return std::mismatch(folder.begin(), folder.end(), file.begin(), file.end()).first == folder.end();
}

// A list entry that is one of the pack's own files would be deleted once packed: the new pack
// with it, or the old one the run falls back on.
bool isPackFile(const std::string& path)
{
    for (const std::string& own : {std::string(PackIndexFile), std::string(PackBodyFile), NewIndexFile,
                                   NewBodyFile, OldBodyFile, OldBodyCopyFile}) {
        std::error_code error;
        if (fs::equivalent(path, own, error))
            return true;
    }
    return false;
}

// The pack that stands when the run starts, to take resources from whose files an earlier run
// deleted: its index read once and its bodies opened once, so that both stay one pair whatever
// takes their names later.
class OldPack {
public:
    OldPack() : bodies(::open(PackBodyFile, O_RDONLY | O_CLOEXEC))
    {
        std::string bytes;
        if (bodies >= 0 && readWholeFile(PackIndexFile, bytes))
            index = parsePackIndex(bytes);
    }
    ~OldPack()
    {
        if (bodies >= 0)
            ::close(bodies);
    }
    OldPack(const OldPack&) = delete;
    OldPack& operator=(const OldPack&) = delete;

    bool read(const std::string& packName, std::string& body) const
    {
        const auto record = std::find_if(index.begin(), index.end(),
                                         [&](const PackRecord& r) { return r.name == packName; });
        return record != index.end() && readPackedBody(bodies, *record, body);
    }

    // Every body byte, for a copy to put back; a bodies file past the index's 4 GiB is none of ours.
    bool readAll(std::string& all) const
    {
        struct stat file {};
        return ::fstat(bodies, &file) == 0 && u64(file.st_size) <= std::numeric_limits<u32>::max() &&
               readPackedBody(bodies, {0, u32(file.st_size), {}}, all);
    }

private:
    int bodies;
    std::vector<PackRecord> index;
};

// The entry's scrambled body: from its file, or where no file is there, from the old pack.
bool readEntry(PackedSource& source, const OldPack& oldPack)
{
    std::error_code error;
    if (!fs::exists(source.sourcePath, error) && !error) {
        source.sourcePath.clear();
        return oldPack.read(source.packName, source.body);
    }
    if (!fs::is_regular_file(source.sourcePath, error) || !liesInResourceFolder(source.sourcePath) ||
        isPackFile(source.sourcePath) || !readWholeFile(source.sourcePath.c_str(), source.body))
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

bool isPacked(const std::vector<PackedSource>& packed, const std::string& packName)
{
    return std::any_of(packed.begin(), packed.end(),
                       [&](const PackedSource& source) { return source.packName == packName; });
}

void packListEntry(const std::string& line, const OldPack& oldPack, std::vector<PackedSource>& packed)
{
    PackedSource source;
    const bool named = toSourcePath(line, source.sourcePath);
    source.packName = toPackName(source.sourcePath);
    // A later line of a name already packed adds nothing: the game finds only the first record.
    if (named && isPacked(packed, source.packName)) {
        logLine(line);
        return;
    }
    if (!named || !readEntry(source, oldPack) || !fitsInPack(packed, source.body)) {
        // A NUL would end the log line early, and other control characters garble a terminal.
        std::string shown = line;
        std::replace_if(shown.begin(), shown.end(), isControl, '?');
        logLine("'" + shown + "': (fail)");
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
// whole copy flushed to the disk serves. False where neither can be made.
bool keepOldBodies(const OldPack& oldPack, bool& hadOldBodies)
{
    // Old bodies beside a new index are put back by the next start: an index that a cut-off repair
    // left must be gone from the disk before they are.
    if (::unlink(NewIndexFile.c_str()) == 0 && !flushFolder(PackFolder))
        return false;
    ::unlink(OldBodyFile.c_str());
    hadOldBodies = ::link(PackBodyFile, OldBodyFile.c_str()) == 0;
    if (hadOldBodies || errno == ENOENT)
        return true;
    hadOldBodies = true;
    std::string bodies;
    return oldPack.readAll(bodies) && writeNewFile(OldBodyCopyFile, {&bodies}) &&
           std::rename(OldBodyCopyFile.c_str(), OldBodyFile.c_str()) == 0;
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
Replaced replacePack(const std::vector<PackedSource>& packed, const OldPack& oldPack)
{
    std::string index = serialisePackIndex(layOutIndex(packed));
    std::vector<const std::string*> bodies;
    for (const PackedSource& source : packed)
        bodies.push_back(&source.body);
    bool hadOldBodies = false;
    const bool ready = keepOldBodies(oldPack, hadOldBodies) && writeNewFile(NewIndexFile, {&index}) &&
                       writeNewFile(NewBodyFile, bodies);
    Replaced outcome = Replaced::Kept;
    if (ready && std::rename(NewBodyFile.c_str(), PackBodyFile) == 0)
        outcome = placeNewIndex(hadOldBodies);
    ::unlink(NewBodyFile.c_str());
    ::unlink(OldBodyCopyFile.c_str());
    // The index not renamed tells the next run that the old bodies are to go back; the old bodies
    // of a new pack go once it is on the disk for good.
    if (outcome == Replaced::Kept) {
        ::unlink(NewIndexFile.c_str());
        ::unlink(OldBodyFile.c_str());
    }
    return outcome;
}

// Reads every list line into `packed`; false where the list cannot be read.
bool readList(const char* listFile, const OldPack& oldPack, std::vector<PackedSource>& packed)
{
    std::ifstream list(listFile);
    if (!list.is_open()) {
        logLine(std::string("Cannot read the resource list '") + listFile + "'; the old pack is kept.");
        return false;
    }
    for (std::string line; std::getline(list, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        packListEntry(line, oldPack, packed);
    }
    if (list.bad()) {
        logLine(std::string("Reading the resource list '") + listFile + "' failed; the old pack is kept.");
        return false;
    }
    return true;
}

// Says why the new pack does not stand; false unless it does.
bool reportReplacement(Replaced replaced)
{
    if (replaced == Replaced::Unsettled) {
        const bool oldBodiesKept = ::access(OldBodyFile.c_str(), F_OK) == 0;
        logLine(oldBodiesKept ? "Cannot put the old pack back; its bodies are kept in '" + OldBodyFile +
                                    "' for the next run to put back, and the sources too."
                              : std::string("Cannot put the old pack back; the sources are kept."));
        return false;
    }
    if (replaced == Replaced::Kept) {
        logLine("Cannot write the new pack; the old pack and its sources are kept.");
        return false;
    }
    if (!flushFolder(PackFolder)) {
        logLine("Cannot flush the new pack to the disk; its sources are kept.");
        return false;
    }
    return true;
}

} // namespace

bool packResources(const char* listFile)
{
    // Held for the whole run: a second run, or the game's start, would take this run's files
    // for the leftovers of a dead one.
    const PackLock lock(PackLock::Mode::Try);
    if (lock.busy()) {
        logLine("Another packaging run is working on this folder; this one touches nothing.");
        return false;
    }
    if (!settlePackLeftovers())
        return false;
    const OldPack oldPack;
    std::vector<PackedSource> packed;
    if (!readList(listFile, oldPack, packed))
        return false;
    if (packed.empty()) {
        logLine("Nothing was packed; the old pack is kept.");
        return false;
    }
    if (!reportReplacement(replacePack(packed, oldPack)))
        return false;
    // Only now that the pack holds them, on the disk, are the old bodies and the sources deleted.
    ::unlink(OldBodyFile.c_str());
    for (const PackedSource& source : packed) {
        if (!source.sourcePath.empty())
            std::remove(source.sourcePath.c_str());
    }
    return true;
}
