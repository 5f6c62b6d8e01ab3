#include "tests/support/captured_output.h"

#include "core/media.h"

#include <gtest/gtest.h>
#include <sstream>

std::string freeAllSurfacesCaptured()
{
    testing::internal::CaptureStdout();
    freeAllSurfaces();
    return testing::internal::GetCapturedStdout();
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
