#pragma once
#include <string>

void showMessageScreen(const std::string& text);
