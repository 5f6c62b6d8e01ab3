#pragma once
#include <string>
#include <vector>

// Frees every cached surface and answers what the cache printed while doing it; tests that do
// not look at the report drop the answer, which keeps it out of the test output.
std::string freeAllSurfacesCaptured();

// The text's lines without their line ends.
std::vector<std::string> splitLines(const std::string& text);
