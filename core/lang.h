#pragma once
#include <string>

// On-screen texts looked up by category and item in the loaded language pack,
// "resource/<name>.lang", read through the resource pack.
void loadLangPack(const std::string& name);   // replaces the loaded pack; missing file: empty pack
void unloadLangPack();
// The item's text, or a visible marker: "NOLNG-" (no pack loaded), "NOCAT-" (no such
// category) or "NOITM-" (no such item), followed by category, ":" and item.
std::u16string langText(const std::u16string& category, const std::u16string& item);
