#pragma once
#include "core/types.h"

#include <string>
#include <vector>

// One entry of "resource/resource.dir": where its body lies in "resource/resource.pack".
struct PackRecord {
    u32 offset;
    u32 size;
    std::string name;
};

// Records in file order. A record cut short (the end mark is one) ends the index.
std::vector<PackRecord> parsePackIndex(const std::string& bytes);
// The records as given, then the end mark.
std::string serialisePackIndex(const std::vector<PackRecord>& records);

constexpr u32 PackIndexEndMark = 0xFFFFFFFAu;
