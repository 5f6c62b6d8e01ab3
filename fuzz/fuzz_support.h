#pragma once
#include "core/types.h"

#include <cstddef>
#include <string>

// Shared start of every fuzz target: SDL on its dummy drivers with a 320x240 screen, the resource
// pack, and modal screens that end at once (nobody is there to press Return). The working
// directory becomes a private scratch folder holding "resource/", so the files a target writes
// never meet the repository or another worker; resource loads fail there and are reported, as
// for a player whose files are missing. Corpus and artifact paths given to a target must
// therefore be absolute (fuzz/run.sh gives them so).
void startFuzzTarget();

// Writes the bytes to a file in the scratch folder.
void writeScratchFile(const std::string& name, const u8* data, std::size_t size);
std::string readScratchFile(const std::string& name);

// The fuzzer stops at the first failed property and keeps the input that broke it.
void require(bool property, const char* what);

// Reads an input as numbers and texts; past its end every byte is 0, so any input is a whole one.
class InputCursor {
public:
    InputCursor(const u8* data, std::size_t size) : at(data), end(data + size) {}
    bool done() const { return at == end; }
    u8 byte() { return done() ? 0 : *at++; }
    u16 u16le();
    u32 u32le();
    // Up to `longest` characters and never a NUL, which would end it early.
    std::string text(std::size_t longest);

private:
    const u8* at;
    const u8* end;
};
