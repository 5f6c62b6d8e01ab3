// The frame-time overlay: phase shares of the frame period as text, and a scrolling graph of
// the time used and the total share along the window's bottom edge.
#include "core/draw.h"
#include "core/engine.h"
#include "core/message.h"
#include "core/pixels.h"

#include <array>
#include <cstring>
#include <iomanip>
#include <sstream>

namespace {

constexpr int PanelW = 640, PanelH = 50;
constexpr u32 Transparent = 0x777777;
constexpr u32 Red = 0xFF0000, Black = 0x000000, White = 0xFFFFFF;
constexpr u32 DarkGrey = 0x333333, LightGrey = 0xAAAAAA;

// Phases in the order they are listed on screen.
enum Phase { Input, Logic, Draw, Stretch, Flip, Total, PhaseCount };
const char* const phaseNames[PhaseCount] = {"Input: ", "Logic: ", "Draw: ", "Stretch: ", "Flip: ", "Total: "};

struct Overlay {
    SDL_Surface* panel = nullptr;  // the graph, kept for the whole run
    std::array<double, PhaseCount> shares{};
    u32 calls = 0;
};
Overlay overlay;

SDL_Surface* createPanel(const SDL_Surface* screen)
{
    const SDL_PixelFormat* f = screen->format;
    SDL_Surface* panel = SDL_CreateRGBSurface(SDL_SWSURFACE, PanelW, PanelH, 32, f->Rmask, f->Gmask,
                                              f->Bmask, f->Amask);
    if (!panel)
        return nullptr;
    setColorKey(panel, true, 119, 119, 119);
    SDL_FillRect(panel, nullptr, Transparent);
    return panel;
}

std::string overlayText(u32 period, u32 lastDelay)
{
    std::ostringstream text;
    text << "Delay: " << period << " / Used: " << (period - lastDelay);
    text << std::fixed << std::setprecision(2);
    for (int phase = 0; phase < PhaseCount; ++phase)
        text << "\n" << phaseNames[phase] << overlay.shares[phase] << "%";
    return text.str();
}

// A marker row with a row of another colour just above and just below it.
void markRow(u32* column, int row, u32 colour, u32 edges)
{
    if (row - 1 >= 0 && row - 1 < PanelH)
        column[row - 1] = edges;
    if (row + 1 >= 0 && row + 1 < PanelH)
        column[row + 1] = edges;
    if (row >= 0 && row < PanelH)
        column[row] = colour;
}

void scrollPanel(u32 period, u32 lastDelay)
{
    SurfaceLock lock(overlay.panel);
    if (!lock.ok())
        return;
    u32 column[PanelH];
    double total = overlay.shares[Total];
    for (u32& pixel : column)
        pixel = total > 100 ? Red : Transparent;
    column[0] = column[PanelH - 1] = Red;
    markRow(column, PanelH - int((period - lastDelay) * PanelH / period), Black, White);
    markRow(column, PanelH - int(total / 2), DarkGrey, LightGrey);
    for (int y = 0; y < PanelH; ++y) {
        u32* row = pixelRow(overlay.panel, y);
        std::memmove(row, row + 1, (PanelW - 1) * sizeof(u32));
        row[PanelW - 1] = column[y];
    }
}

} // namespace

void drawProfiler(SDL_Surface* screen, u32 lastTotal, u32 logic, u32 draw, u32 input, u32 stretch,
                  u32 flip, u32 period, u32 lastDelay)
{
    if (!screen || period == 0)
        return;
    std::array<u32, PhaseCount> phases = {input, logic, draw, stretch, flip, lastTotal};
    if (!overlay.panel) {
        overlay.panel = createPanel(screen);
        for (int phase = 0; phase < PhaseCount; ++phase)
            overlay.shares[phase] = 100.0 * phases[phase] / period;
    }
    // A running average whose steady value is the phase's percentage of the period.
    for (int phase = 0; phase < PhaseCount; ++phase)
        overlay.shares[phase] = 0.95 * overlay.shares[phase] + 5.0 * phases[phase] / period;

    // The text is cleared only every other stretch of 8 frames, so it flickers less.
    if (overlay.calls++ % 16 < 8)
        fillRect(screen, 400, 0, 240, 100, 0);
    drawText(400, 0, overlayText(period, std::min(lastDelay, period)), 0, 0, screen);

    scrollPanel(period, std::min(lastDelay, period));
    i16 panelX = i16(ScreenWidth * i32(scaleX) - PanelW);
    i16 panelY = i16(ScreenHeight * i32(scaleY) - PanelH);
    blitSurface(panelX, panelY, overlay.panel, screen, nullptr);
    drawText(0, panelY, "Overhead", 0, 0, screen);
}
