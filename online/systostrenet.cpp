#include "online/systostrenet.h"

#include "core/draw.h"
#include "core/engine.h"
#include "core/font.h"
#include "core/input.h"
#include "core/message.h"
#include "core/text.h"
#include "online/netclient.h"
#include "online/nethost.h"
#include "online/protocol.h"
#include "story/level_exit.h"

#include <SDL/SDL_net.h>
#include <algorithm>

namespace {

constexpr SDL_Rect LogBox = {0, 12, 320, 220};
constexpr i16 InputBarY = 230;
constexpr i16 InputY = 232;
constexpr u32 BackgroundColour = 0xFF000013u;
constexpr u32 TitleBarColour = 0xFF281D45u;
constexpr u32 InputBarColour = 0xFF393B52u;
constexpr u16 BarHeight = 10;
constexpr u8 Backspace = 8;

// Every log line wraps into at least one line of the text block, so the oldest lines, beyond the
// last `keep` of them, would all be cut away line by line anyway; dropping them in one go keeps
// a flood of network lines from costing a rewrap per line.
void dropLinesAbove(std::string& log, size_t keep)
{
    size_t newlines = 0;
    for (size_t i = log.size(); i-- > 0;) {
        if (log[i] == '\n' && ++newlines > keep) {
            log.erase(0, i + 1);
            return;
        }
    }
}

} // namespace

SystOstrenet::SystOstrenet()
    : GameSystem(0), font(std::make_unique<SPF_Small>(0)), logBlock(LogBox, font.get(), u"")
{
    networkStarted = SDLNet_Init() != -1;
    if (!networkStarted) {
        showMessageScreen("Failed to initialize the network.  Aborting Program...");
        quitGame();
    }
    inputOwner = beginTextInput();
    print("Ostrenet Initialized.");
    print("Enter '/help' for help.");
}

SystOstrenet::~SystOstrenet()
{
    endTextInput(inputOwner);
    host.reset();
    client.reset();
    if (networkStarted)
        SDLNet_Quit();
}

void SystOstrenet::print(const std::string& line)
{
    log += line;
    log += '\n';
}

void SystOstrenet::hostEnded()
{
    hostFinished = 1;
}

void SystOstrenet::clientEnded()
{
    clientFinished = 1;
}

void SystOstrenet::update()
{
    pollNetwork();
    wrapLog();
    typeCharacter(u8(typedCharFor(inputOwner)));
    if (keyPressed(SDLK_RETURN) && !input.empty()) {
        std::string line;
        line.swap(input);
        handleLine(line);
    }
    if (keyPressed(SDLK_ESCAPE))
        handleLine("/quit");
    deleteEndedPeers();
}

void SystOstrenet::pollNetwork()
{
    if (host)
        host->poll();
    if (client)
        client->poll();
}

void SystOstrenet::wrapLog()
{
    u16 perLine = logBlock.charsPerLine();
    dropLinesAbove(log, size_t(logBlock.linesPerPage()) + 2);
    logBlock.setText(toWideString(log));
    // The wrapped text always ends in an empty line after the last newline; that one is free.
    while (int(logBlock.lineCount()) - 1 > int(logBlock.linesPerPage())) {
        size_t newline = log.find('\n');
        size_t cut = (newline == std::string::npos || newline > perLine) ? perLine : newline + 1;
        log.erase(0, cut);
        logBlock.setText(toWideString(log));
    }
}

void SystOstrenet::typeCharacter(u8 character)
{
    if (character == Backspace) {
        if (!input.empty())
            input.pop_back();
        return;
    }
    if (character == 0 || (character >= 10 && character <= 13))
        return;
    input += char(character);
}

void SystOstrenet::deleteEndedPeers()
{
    if (hostFinished) {
        hostFinished = 0;
        host.reset();
        print("Host process terminated.");
    }
    if (clientFinished) {
        clientFinished = 0;
        client.reset();
        print("Client process terminated.");
    }
}

void SystOstrenet::handleLine(const std::string& line)
{
    if (startsWith(line, "/"))
        handleCommand(line);
    else
        handleChat(line);
}

void SystOstrenet::handleCommand(const std::string& line)
{
    if (startsWith(line, "/host-")) {
        if (!host)
            print("No host is present.  Create a host with '/host'.");
        else if (!host->handleCommand(line))
            print("Invalid command given to host.  Try '/host-help'.");
    } else if (startsWith(line, "/client-")) {
        if (!client)
            print("No client is present.  Create a client with '/client'.");
        else if (!client->handleCommand(line))
            print("Invalid command given to client.  Try '/client-help'.");
    } else if (startsWith(line, "/host")) {
        if (host)
            print("Cannot instantiate host: Host already exists!");
        else
            host = std::make_unique<NetHost>(*this);
    } else if (startsWith(line, "/client")) {
        if (client)
            print("Cannot instantiate client: Client already exists!");
        else
            client = std::make_unique<NetClient>(*this);
    } else if (startsWith(line, "/quit")) {
        if (GameSystem* menu = newTitleMenu())
            queueSystemAdd(menu);
        queueSystemKill(this);
    } else if (startsWith(line, "/help")) {
        printHelp();
    } else {
        print("INVALID COMMAND.");
    }
}

void SystOstrenet::handleChat(const std::string& line)
{
    if (host && host->handleCommand(line))
        return;
    if (client && client->handleCommand(line))
        return;
    print("(Input was not handled)");
}

void SystOstrenet::printHelp()
{
    print("Commands:");
    print("/host - start server");
    print(std::string("/client - connect to ") + OnlineServer + " server");
    print("/quit - quit to menu");
    print("/help - this info");
    print("Anything without a foreslash is passed to host/client");
}

void SystOstrenet::draw(SDL_Surface* target)
{
    const SDL_Rect& clip = target->clip_rect;
    fillRect(target, clip.x, BarHeight, clip.w, u16(std::max(0, target->h - BarHeight)), BackgroundColour);
    fillRect(target, clip.x, 0, clip.w, BarHeight, TitleBarColour);
    fillRect(target, clip.x, InputBarY, clip.w, BarHeight, InputBarColour);
    drawString(font.get(), target, 0, 2, u"Ostrenet - Online Gameplay System", 0);
    logBlock.draw(target, 0);
    drawInputLine(target);
}

void SystOstrenet::drawInputLine(SDL_Surface* target)
{
    // A line wider than the screen keeps its end in view. Characters wholly left of the screen
    // are skipped, so the start stays within one character of x 0 however long the line grows.
    i32 width = font->charWidth();
    i32 x = std::min<i32>(0, ScreenWidth - width * i32(input.size()));
    size_t hidden = size_t(-x / width);
    x += i32(hidden) * width;
    drawString(font.get(), target, i16(x), InputY, toWideString(input.substr(hidden)), 0);
}
