#pragma once
#include <string>

void loadLangPack(const std::string& name);
void unloadLangPack();
std::u16string langText(const std::u16string& category, const std::u16string& item);
