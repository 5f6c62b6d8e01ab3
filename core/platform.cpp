#include "core/platform.h"

#include "core/log.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

volatile std::sig_atomic_t terminateFlag = 0;
fs::path buildFolder;
fs::path sourceFolder;

void onTerminateSignal(int)
{
    terminateFlag = 1;
}

bool holdsData(const fs::path& folder)
{
    std::error_code error;
    return !folder.empty() && fs::is_directory(folder / "resource", error);
}

fs::path executableFolder()
{
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : executable.parent_path();
}

// The source tree, for the executable still in the folder its build put it in; else nothing.
fs::path sourceTreeFor(const fs::path& ownFolder)
{
    std::error_code error;  // an empty or vanished folder is no match
    return fs::equivalent(ownFolder, buildFolder, error) ? sourceFolder : fs::path();
}

std::string quotedList(const std::vector<fs::path>& folders)
{
    std::string list;
    for (const fs::path& folder : folders)
        list += (list.empty() ? "\"" : ", \"") + folder.string() + "\"";
    return list;
}

} // namespace

void installTerminateHandlers()
{
    // Installed before SDL starts, SDL leaves them in place instead of turning the signals into
    // quit events, which a message screen would take as its dismissal.
    struct sigaction action = {};
    action.sa_handler = onTerminateSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    ignoreFileSizeSignal();
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

bool terminateRequested()
{
    return terminateFlag != 0;
}

void clearTerminateRequest()
{
    terminateFlag = 0;
}

bool enterDataFolder()
{
    std::error_code error;
    const fs::path start = fs::current_path(error);
    if (holdsData(start))
        return true;
    const fs::path own = executableFolder();
    std::vector<fs::path> looked = {start};
    for (const fs::path& folder : {own, own.parent_path(), sourceTreeFor(own)}) {
        if (folder.empty() || std::find(looked.begin(), looked.end(), folder) != looked.end())
            continue;
        looked.push_back(folder);
        if (!holdsData(folder))
            continue;
        fs::current_path(folder, error);
        if (!error) {
            logLine("No resource folder in " + quotedList({start}) + "; reading the game's data from " +
                    quotedList({folder}));
            return true;
        }
    }
    logLine("FAILED TO FIND THE GAME'S DATA: no resource folder in " + quotedList(looked));
    return false;
}

void rememberBuild(const char* builtIn, const char* builtFrom)
{
    buildFolder = builtIn;
    sourceFolder = builtFrom;
}
