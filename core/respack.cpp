#include "core/respack.h"

#include "core/filewrite.h"
#include "core/log.h"
#include "core/packlock.h"
#include "core/packindex.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

const char* const PackFolder = "resource";
const char* const PackIndexFile = "resource/resource.dir";
const char* const PackBodyFile = "resource/resource.pack";
const char* const PackKey = "q7_vodre4!kalm2#xet9*wupy-sn3+Hz";
const char* const PackNewIndexFile = "resource/resource.dir.new";
const char* const PackOldBodyFile = "resource/resource.pack.old";
const char* const PackInitFail = "init-fail";
const char* const PackReadFail = "pack-fail";

namespace {

bool packInitialised = false;
bool packPresent = false;
// Temporary copies extracted from the pack and not yet released.
std::set<std::string> extractedFiles;

bool canOpenForReading(const char* name)
{
    std::ifstream file(name, std::ios::binary);
    return file.is_open();
}

// Keeps the extension, so loaders that look at it still recognise the file.
std::string extensionOf(const std::string& name)
{
    std::size_t dot = name.find_last_of('.');
    std::size_t separator = name.find_last_of("\\/");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return std::string();
    std::string extension = name.substr(dot);
    bool plain = extension.size() <= 8 &&
                 std::all_of(extension.begin() + 1, extension.end(),
                             [](char c) { return std::isalnum(u8(c)) != 0; });
    return plain ? extension : std::string();
}

std::string temporaryFolder()
{
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    return error ? std::string("/tmp") : folder.string();
}

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += std::size_t(written);
    }
    return true;
}

// Extracted copies go to a private temporary file (created afresh, readable only by us), never
// over the packed name: a loose file of that name must survive.
std::string writeExtractedCopy(const std::string& packName, const std::string& bytes)
{
    std::string extension = extensionOf(packName);
    std::string pattern = temporaryFolder() + "/warden-XXXXXX" + extension;
    int fd = mkstemps(pattern.data(), int(extension.size()));
    if (fd < 0)
        return std::string();
    bool written = writeAll(fd, bytes);
    if (close(fd) != 0 || !written) {
        std::remove(pattern.c_str());
        return std::string();
    }
    return pattern;
}

std::string extractEntry(const PackRecord& record)
{
    std::string body;
    const int bodies = open(PackBodyFile, O_RDONLY | O_CLOEXEC);
    const bool read = bodies >= 0 && readPackedBody(bodies, record, body);
    if (bodies >= 0)
        close(bodies);
    if (!read)
        return PackReadFail;
    scrambleBuffer(reinterpret_cast<u8*>(body.data()), body.size(), PackKey);
    std::string copy = writeExtractedCopy(record.name, body);
    if (copy.empty())
        return PackReadFail;
    extractedFiles.insert(copy);
    return copy;
}

} // namespace

bool readWholeFile(const char* name, std::string& bytes)
{
    const int fd = open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bytes.clear();
    char chunk[65536];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            close(fd);
            return got == 0;
        }
        bytes.append(chunk, std::size_t(got));
    }
}

// A record pointing past the pack's end is corruption, and must not turn into a huge allocation
// or a short read.
bool readPackedBody(int bodies, const PackRecord& record, std::string& body)
{
    struct stat pack {};
    if (fstat(bodies, &pack) != 0 || u64(record.offset) + record.size > u64(pack.st_size))
        return false;
    body.resize(record.size);
    std::size_t done = 0;
    while (done < body.size()) {
        const ssize_t got = pread(bodies, body.data() + done, body.size() - done, off_t(record.offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += std::size_t(got);
    }
    return true;
}

bool settlePackLeftovers()
{
    if (access(PackOldBodyFile, F_OK) != 0)
        return true;
    // The new index goes last: once it stands, the new pair is whole and the old bodies can go.
    if (access(PackNewIndexFile, F_OK) != 0 && errno == ENOENT) {
        unlink(PackOldBodyFile);
        return true;
    }
    if (std::rename(PackOldBodyFile, PackBodyFile) != 0) {
        logLine(std::string("An earlier packaging run did not finish, and the old pack's bodies ") +
                "cannot be put back; they are kept in '" + PackOldBodyFile + "'.");
        return false;
    }
    // The unwritten index tells a later run what to put back, until the bodies are back for good.
    if (flushFolder(PackFolder))
        unlink(PackNewIndexFile);
    logLine("An earlier packaging run did not finish; the old pack is put back.");
    return true;
}

void scrambleBuffer(u8* data, std::size_t length, const char* key)
{
    const u8 mask = u8(~u8(key[0]));
    for (std::size_t i = 0; i < length; ++i)
        data[i] ^= mask;
}

std::string toPackName(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

void initResourcePack()
{
    // Decided once: files that appear or vanish later are not noticed. A packaging run at work
    // on the folder is waited for, so its files are never taken for the leftovers of a dead one.
    const PackLock lock(PackLock::Mode::Wait);
    packPresent = settlePackLeftovers() && canOpenForReading(PackIndexFile) && canOpenForReading(PackBodyFile);
    packInitialised = true;
}

std::string resolveResourcePath(std::string path)
{
    if (!packInitialised)
        return PackInitFail;
    if (!packPresent)
        return path;
    std::string index;
    if (!readWholeFile(PackIndexFile, index))
        return path;
    const std::string packName = toPackName(path);
    for (const PackRecord& record : parsePackIndex(index)) {
        if (record.name == packName)
            return extractEntry(record);
    }
    return path;
}

void releaseResourcePath(const std::string& file)
{
    if (extractedFiles.erase(file) != 0)
        std::remove(file.c_str());
}

void cleanupResourcePack()
{
    for (const std::string& file : extractedFiles)
        std::remove(file.c_str());
    extractedFiles.clear();
    packInitialised = false;
    packPresent = false;
}
