#pragma once
#include <string>

// One log line on standard output, flushed at once so a pipe sees it immediately.
void logLine(const std::string& line);
