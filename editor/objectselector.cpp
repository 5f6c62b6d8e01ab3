// The object catalogue ("Dynamic Selector"): categories on the left, their objects on the right.
#include "editor/systeditor.h"

#include "core/draw.h"
#include "core/message.h"
#include "editor/editorinput.h"
#include "world/factory.h"
#include "world/physical.h"

using namespace editor_keys;

namespace {

constexpr i32 ObjectColumnX = 160;
constexpr i32 FirstLineTop = 10;
constexpr i32 LineHeight = 10;
constexpr i32 CursorHalf = 8;
constexpr u8 StyleNormal = 0;
constexpr u8 StyleSelected = 1;
constexpr u32 White = 0xFFFFFFFF;

i16 lineTop(size_t k)
{
    return i16(FirstLineTop + LineHeight * i32(k));
}

} // namespace

const CatalogueCategory& SystEditor::shownCategory() const
{
    return catalogueEntry(objects, category)->second;
}

void SystEditor::updateCatalogue()
{
    if (!mouseButtonReleased(LeftButton))
        return;
    if (mouseX() < ObjectColumnX) {
        i32 line = catalogueLineAt(mouseY(), objects.size());
        // A new category starts at its first object; the object to place stays what it was.
        if (line >= 0) {
            category = size_t(line);
            item = 0;
        }
        return;
    }
    const CatalogueCategory& shown = shownCategory();
    i32 line = catalogueLineAt(mouseY(), shown.size());
    if (line >= 0) {
        item = size_t(line);
        objectType = catalogueEntry(shown, item)->second;
    }
}

void SystEditor::drawCatalogue(SDL_Surface* target)
{
    SDL_FillRect(target, &target->clip_rect, 0);
    blitSurface(i16(mouseX() - CursorHalf), i16(mouseY() - CursorHalf), cursorImage, target, nullptr);
    drawText(0, 0, "SELECT CATEGORY AND OBJECT", 0, StyleNormal, target);

    size_t k = 0;
    for (const auto& [name, members] : objects) {
        drawText(0, lineTop(k), name, 0, k == category ? StyleSelected : StyleNormal, target);
        ++k;
    }
    const CatalogueCategory& shown = shownCategory();
    k = 0;
    for (const auto& [name, type] : shown) {
        drawText(ObjectColumnX, lineTop(k), name, 0, type == objectType ? StyleSelected : StyleNormal, target);
        ++k;
    }

    // The object under the mouse, live and blinking: shown 20 frames of 30, framed for 15.
    if (frameCounter % 30 >= 20 || mouseX() <= ObjectColumnX || mouseY() <= FirstLineTop)
        return;
    i32 hovered = catalogueHoverLine(mouseY(), shown.size());
    if (hovered < 0)
        return;
    Physical* preview = createObject(catalogueEntry(shown, size_t(hovered))->second, mouseX(), mouseY());
    if (!preview)
        return;
    if (frameCounter % 30 < 15)
        fillRect(target, i16(preview->x - 2), i16(preview->y - 2), u16(preview->w + 4), u16(preview->h + 4), White);
    preview->draw(target);
    delete preview;
}
