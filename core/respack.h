#pragma once
#include "core/packindex.h"
#include "core/types.h"

#include <cstddef>
#include <string>

// Resources are named by '/'-separated paths under "resource/". They lie loose on disk or are
// packed into "resource/resource.dir" (the index) and "resource/resource.pack" (the bodies).
// A loader asks resolveResourcePath for the file to load, loads it, and hands that name to
// releaseResourcePath right after, whether or not the load worked.

extern const char* const PackFolder;  // "resource": the folder of the pack and of every resource
extern const char* const PackIndexFile;
extern const char* const PackBodyFile;
extern const char* const PackKey;
// A packaging run writes its new index beside the old one, and keeps the old bodies under a second
// name until the new index stands.
extern const char* const PackNewIndexFile;
extern const char* const PackOldBodyFile;

// Names the resolver returns for files that do not exist, so the loader's load fails.
extern const char* const PackInitFail;   // "init-fail": resolved before initResourcePack
extern const char* const PackReadFail;   // "pack-fail": a listed entry could not be read

// A packaging run renames its new bodies into place, then its new index; one cut off between them
// leaves new bodies under the old index. This puts the last whole pair back, and runs before
// anything reads or replaces the pack, under the pack's lock; false where the old bodies cannot
// be put back.
bool settlePackLeftovers();

void initResourcePack();
// A packed entry is extracted into a private temporary file whose name is returned; a name
// that is not packed (or no pack at all) gives the path back unchanged.
std::string resolveResourcePath(std::string path);
// Deletes the file only when it is a copy the resolver extracted; loose files are never touched.
void releaseResourcePath(const std::string& file);
// Deletes whatever extracted copies are still around.
void cleanupResourcePack();

// Packs the files named in the list; false (and the old pack untouched) when nothing was packed.
bool packResources(const char* listFile);

// The pack's scrambling, its own inverse. The key pointer stays on the key's first character,
// so every byte is XORed with NOT of that character (0x8E for the pack key).
void scrambleBuffer(u8* data, std::size_t length, const char* key);

// The whole file, read with plain reads; false where it cannot be opened or a read fails.
bool readWholeFile(const char* name, std::string& bytes);
// The scrambled body of an index record from the open bodies file; false where it cannot hold it.
bool readPackedBody(int bodies, const PackRecord& record, std::string& body);

// Index names use '\' where the resource name has '/'.
std::string toPackName(std::string path);
