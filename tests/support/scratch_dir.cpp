#include "tests/support/scratch_dir.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <grp.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

ScratchDir::ScratchDir()
{
    previous = fs::current_path().string();
    std::string pattern = (fs::temp_directory_path() / "warden-test-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        root = pattern;
    fs::current_path(root);
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(root, ignored);
}

void writeFile(const std::string& name, const std::string& bytes)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string readFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool pathExists(const std::string& name)
{
    std::error_code ignored;
    return fs::exists(name, ignored);
}

bool asNobody(const std::function<bool()>& work, const std::vector<gid_t>& groups)
{
    constexpr uid_t Nobody = 65534;
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgroups(groups.size(), groups.data()) == 0 && setgid(Nobody) == 0 && setuid(Nobody) == 0;
        _exit(dropped && work() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
