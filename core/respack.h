#pragma once
#include <string>

void initResourcePack();
std::string resolveResourcePath(std::string path);
void releaseResourcePath(const std::string& file);
void cleanupResourcePack();
// Packs the files named in the list; false (and the old pack untouched) when nothing was packed.
bool packResources(const char* listFile);
