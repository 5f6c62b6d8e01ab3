#pragma once
#include <string>

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
