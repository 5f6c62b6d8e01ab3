#pragma once
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// A fresh private folder that becomes the working directory for the scratch's lifetime, so
// tests that write "resource/..." files never touch the repository. Removed with everything
// in it afterwards, and the previous working directory is restored.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return root; }

private:
    std::string root;
    std::string previous;
};

// Small file helpers for tests; paths are relative to the working directory.
void writeFile(const std::string& name, const std::string& bytes);
std::string readFile(const std::string& name);   // empty when missing
bool pathExists(const std::string& name);

// Runs `work` in a child process as the ordinary user nobody (uid and gid 65534, and `groups`
// besides) and tells whether it returned true. Tests run as root; this shows what a user sees.
bool asNobody(const std::function<bool()>& work, const std::vector<gid_t>& groups = {});
