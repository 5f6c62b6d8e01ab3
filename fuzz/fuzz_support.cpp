#include "fuzz/fuzz_support.h"

#include "core/modal.h"
#include "core/respack.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string scratchFolder;

ModalPoll noModalEvents(SDL_Event*)
{
    return ModalPoll::Ended;
}

void removeScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder, ignored);
}

} // namespace

void startFuzzTarget()
{
    // In memory where the machine offers it: every save flushes its file to the disk, and a
    // target saves millions of them.
    std::string folder = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    folder += "/warden-fuzz-XXXXXX";
    if (!mkdtemp(folder.data()) || chdir(folder.c_str()) != 0) {
        std::perror("scratch folder");
        std::abort();
    }
    scratchFolder = folder;
    std::atexit(removeScratchFolder);
    mkdir("resource", 0700);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setModalEventSource(noModalEvents);
    SDL_Init(SDL_INIT_VIDEO);
    SDL_SetVideoMode(320, 240, 32, 0);
    initResourcePack();
}

void writeScratchFile(const std::string& name, const u8* data, std::size_t size)
{
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) {
        std::perror(name.c_str());
        std::abort();
    }
}

std::string readScratchFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void require(bool property, const char* what)
{
    if (property)
        return;
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

u16 InputCursor::u16le()
{
    const u8 low = byte();
    return u16(low | byte() << 8);
}

u32 InputCursor::u32le()
{
    const u16 low = u16le();
    return low | u32(u16le()) << 16;
}

std::string InputCursor::text(std::size_t longest)
{
    std::string text(byte() % (longest + 1), ' ');
    for (char& c : text)
        c = char(std::max<u8>(byte(), 1));
    return text;
}
