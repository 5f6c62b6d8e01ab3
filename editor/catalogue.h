#pragma once
#include "core/types.h"

#include <iterator>
#include <map>
#include <string>

// The editor's object catalogue: category name -> object name -> object type id. Both levels
// are ordered byte by byte, which is the order the screen lists them in.
using CatalogueCategory = std::map<std::string, u16>;
using Catalogue = std::map<std::string, CatalogueCategory>;

Catalogue buildCatalogue();

// The catalogue's lines start at y = 10 and are 10 pixels apart. The line a click at mouse y
// picks among `count` lines, or -1 for none (above the first line, or below the last).
i32 catalogueLineAt(i32 mouseY, size_t count);
// The line whose band strictly holds the mouse y (for the hover preview), or -1.
i32 catalogueHoverLine(i32 mouseY, size_t count);

// The n-th entry of a map in its order; the map must hold more than n entries.
template <class Map> typename Map::const_iterator catalogueEntry(const Map& map, size_t n)
{
    auto it = map.begin();
    std::advance(it, n);
    return it;
}
