#include "core/media.h"

#include "core/engine.h"
#include "core/log.h"
#include "core/message.h"
#include "core/respack.h"

#include <SDL/SDL_image.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Keys compare byte by byte, so "resource/a.gif" and "resource\a.gif" are different entries.
std::map<std::string, SDL_Surface*> surfaceCache;
std::map<std::string, Mix_Chunk*> soundCache;
std::map<std::string, Mix_Music*> musicCache;
u16 createdSurfaceCounter = 0;

// A music's file bytes and the stream the mixer was given over them. The mixer reads some
// formats (wave music) from the stream while they play and never closes it, so both are held
// until the music itself is freed.
struct MusicSource {
    std::vector<u8> bytes;
    SDL_RWops* stream = nullptr;
};
std::map<Mix_Music*, MusicSource> musicSources;

// Loads through the resource pack and converts to the screen's format, so later blits are
// same-format copies. Null when the file does not load or cannot be converted.
SDL_Surface* loadDisplayImage(const std::string& name)
{
    std::string file = resolveResourcePath(name);
    SDL_Surface* loaded = IMG_Load(file.c_str());
    releaseResourcePath(file);
    if (!loaded)
        return nullptr;
    SDL_Surface* converted = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    return converted;
}

// The counter is 16 bits wide; after it wraps, names still held (the back buffer is
// "created0") are skipped so a new surface never goes unrecorded. Empty when all are taken.
std::string nextCreatedName()
{
    for (u32 tries = 0; tries <= 0xFFFF; ++tries) {
        std::string name = "created" + std::to_string(createdSurfaceCounter++);
        if (surfaceCache.count(name) == 0)
            return name;
    }
    return std::string();
}

SDL_Surface* createScreenFormatSurface(i32 w, i32 h)
{
    // Tools and tests may work without a window: they get the window's usual 32-bit layout.
    if (!screenSurface)
        return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    const SDL_PixelFormat* format = screenSurface->format;
    return SDL_CreateRGBSurface(screenSurface->flags, w, h, format->BitsPerPixel, format->Rmask,
                                format->Gmask, format->Bmask, format->Amask);
}

// Sounds and music: a failed load is reported and not remembered, so the next request tries
// the file again.
template <typename T, typename LoadFile>
T* loadCachedAudio(std::map<std::string, T*>& cache, const std::string& name, const char* failure,
                   LoadFile loadFile)
{
    auto cached = cache.find(name);
    if (cached != cache.end())
        return cached->second;

    std::string file = resolveResourcePath(name);
    T* item = loadFile(file);
    releaseResourcePath(file);
    if (!item) {
        showMessageScreen(quotedFailure(failure, name));
        return nullptr;
    }
    cache[name] = item;
    return item;
}

// The whole file in one read: the mixer's own file loading reads a module piece by piece, which
// made starting a music cost a visible hitch in the frame that asked for it.
bool readFileBytes(const std::string& file, std::vector<u8>& bytes)
{
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    std::streamoff size = in.tellg();   // -1 when the file cannot be opened
    // A memory stream counts its size in an int.
    if (size < 0 || size > INT_MAX)
        return false;
    bytes.resize(size_t(size));
    in.seekg(0);
    return bool(in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size)));
}

Mix_Music* loadMusicFromMemory(const std::string& file)
{
    MusicSource source;
    if (!readFileBytes(file, source.bytes))
        return nullptr;
    source.stream = SDL_RWFromConstMem(source.bytes.data(), int(source.bytes.size()));
    if (!source.stream)
        return nullptr;
    Mix_Music* music = Mix_LoadMUS_RW(source.stream);
    if (!music) {
        SDL_RWclose(source.stream);
        return nullptr;
    }
    // Moving the vector keeps its buffer where the stream points.
    musicSources.emplace(music, std::move(source));
    return music;
}

// After the music is freed, so nothing reads the bytes any more.
void releaseMusicSource(Mix_Music* music)
{
    auto held = musicSources.find(music);
    if (held == musicSources.end())
        return;
    SDL_RWclose(held->second.stream);
    musicSources.erase(held);
}

template <typename T>
void eraseFirstHolding(std::map<std::string, T*>& table, T* item)
{
    for (auto entry = table.begin(); entry != table.end(); ++entry) {
        if (entry->second == item) {
            table.erase(entry);
            return;
        }
    }
}

} // namespace

SDL_Surface* loadGraphic(const std::string& name, bool colourKey, u8 r, u8 g, u8 b, bool rle)
{
    auto cached = surfaceCache.find(name);
    if (cached != surfaceCache.end())
        return cached->second;

    SDL_Surface* image = loadDisplayImage(name);
    if (image && colourKey) {
        u32 flags = rle ? SDL_SRCCOLORKEY | SDL_RLEACCEL : SDL_SRCCOLORKEY;
        SDL_SetColorKey(image, flags, SDL_MapRGB(image->format, r, g, b));
    }
    // Remembered before the message is shown: the message screen's own font comes through
    // here, and a missing font image must not bring the message up again.
    surfaceCache[name] = image;
    if (!image)
        showMessageScreen(quotedFailure("ERROR: FAILED TO LOAD GRAPHIC: ", name));
    return image;
}

Mix_Chunk* loadSound(const std::string& name)
{
    return loadCachedAudio(soundCache, name, "ERROR: FAILED TO LOAD AUDIO: ", [](const std::string& file) {
        SDL_RWops* stream = SDL_RWFromFile(file.c_str(), "rb");
        return stream ? Mix_LoadWAV_RW(stream, 1) : nullptr;
    });
}

Mix_Music* loadMusic(const std::string& name)
{
    return loadCachedAudio(musicCache, name, "ERROR: FAILED TO LOAD MUSIC: ", loadMusicFromMemory);
}

SDL_Surface* createSurface(i32 w, i32 h)
{
    SDL_Surface* surface = createScreenFormatSurface(w, h);
    std::string name = nextCreatedName();
    if (name.empty()) {
        SDL_FreeSurface(surface);
        return nullptr;
    }
    surfaceCache[name] = surface;
    return surface;
}

size_t createdSurfaceCount()
{
    return size_t(std::count_if(surfaceCache.begin(), surfaceCache.end(),
                                [](const auto& entry) { return entry.first.rfind("created", 0) == 0; }));
}

void freeSurface(SDL_Surface* surface)
{
    for (auto entry = surfaceCache.begin(); entry != surfaceCache.end(); ++entry) {
        if (entry->second == surface) {
            SDL_FreeSurface(surface);
            surfaceCache.erase(entry);
            return;
        }
    }
}

void freeSound(Mix_Chunk* chunk)
{
    if (!chunk)
        return;
    Mix_FreeChunk(chunk);
    eraseFirstHolding(soundCache, chunk);
}

void freeMusic(Mix_Music* music)
{
    if (!music)
        return;
    Mix_FreeMusic(music);
    releaseMusicSource(music);
    eraseFirstHolding(musicCache, music);
}

void freeAllSurfaces()
{
    u16 count = u16(surfaceCache.size());
    logLine("SURFACE DEALLOCATION");
    u16 index = 1;
    for (const auto& entry : surfaceCache) {
        logLine(std::to_string(index) + "/" + std::to_string(count) + ") Erasing " + entry.first);
        SDL_FreeSurface(entry.second);
        ++index;
    }
    // The pointers are gone; an entry left behind would be freed twice by a second call.
    surfaceCache.clear();
}

void freeAllSounds()
{
    for (const auto& entry : soundCache)
        Mix_FreeChunk(entry.second);
    soundCache.clear();
}

void freeAllMusic()
{
    // The mixer will not free a music that is fading out until the fade has run its course;
    // the Quit choice asks for a four-second fade, which would hold the program up that long.
    Mix_HaltMusic();
    for (const auto& entry : musicCache) {
        Mix_FreeMusic(entry.second);
        releaseMusicSource(entry.second);
    }
    musicCache.clear();
}

bool fileExists(const std::string& name)
{
    // Nothing is opened: a FIFO would hold the game until a writer came.
    struct stat entry {};
    return ::lstat(name.c_str(), &entry) == 0;
}

bool ensureFileExists(const std::string& name, bool* created)
{
    // Exclusive creation never truncates a file it cannot read, nor follows a link.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    const bool made = fd >= 0;
    if (made)
        ::close(fd);
    if (created)
        *created = made;
    return made || errno == EEXIST;
}
