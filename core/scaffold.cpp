// Temporary weak fallbacks so the program links while the engine services are being written.
// Each real definition replaces its fallback; this file goes away once all of them exist.
#include "core/draw.h"
#include "core/engine.h"
#include "core/lang.h"
#include "core/media.h"
#include "core/message.h"
#include "core/respack.h"

#define WEAK __attribute__((weak))

WEAK SDL_Surface* loadGraphic(const std::string&, bool, u8, u8, u8, bool) { return nullptr; }
WEAK Mix_Chunk* loadSound(const std::string&) { return nullptr; }
WEAK Mix_Music* loadMusic(const std::string&) { return nullptr; }
static SDL_Surface* scaffoldSurface = nullptr;
WEAK SDL_Surface* createSurface(i32 w, i32 h) { return scaffoldSurface = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0, 0, 0, 0); }
WEAK void freeSurface(SDL_Surface*) {}
WEAK void freeAllSurfaces() { SDL_FreeSurface(scaffoldSurface); scaffoldSurface = nullptr; }
WEAK void freeAllSounds() {}
WEAK void freeAllMusic() {}
WEAK void initResourcePack() {}
WEAK std::string resolveResourcePath(std::string path) { return path; }
WEAK void releaseResourcePath(const std::string&) {}
WEAK void cleanupResourcePack() {}
WEAK bool packResources(const char*) { return false; }
WEAK void loadLangPack(const std::string&) {}
WEAK void unloadLangPack() {}
WEAK std::u16string langText(const std::u16string&, const std::u16string&) { return u""; }
