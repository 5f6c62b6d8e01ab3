#pragma once
#include "core/gamesystem.h"
#include "core/textblock.h"
#include "core/types.h"

#include <SDL/SDL.h>
#include <memory>
#include <string>

class NetClient;
class NetHost;
class SPF_Small;

// The online console: a title bar, a scrolling log and an input line. Lines that start with
// "/" are commands (those with "/host-" or "/client-" go to the host or the client); other
// lines are chat, offered to the host first and then to the client. The host and the client
// it owns poll the network from its update, once a frame.
class SystOstrenet : public GameSystem {
public:
    SystOstrenet();
    ~SystOstrenet() override;

    void update() override;
    void draw(SDL_Surface* target) override;

    // Runs one entered line; never called with an empty one.
    void handleLine(const std::string& line);
    // The host or the client asks to be deleted at the end of this frame's update.
    void hostEnded();
    void clientEnded();
    // Adds one line to the log.
    void print(const std::string& line);

    const std::string& logText() const { return log; }
    const std::string& inputLine() const { return input; }
    const TextBlock& logLines() const { return logBlock; }
    NetHost* currentHost() const { return host.get(); }
    NetClient* currentClient() const { return client.get(); }

private:
    void pollNetwork();
    void wrapLog();
    void typeCharacter(u8 character);
    void deleteEndedPeers();
    void handleCommand(const std::string& line);
    void handleChat(const std::string& line);
    void printHelp();
    void drawInputLine(SDL_Surface* target);

    u8 hostFinished = 0;
    u8 clientFinished = 0;
    std::unique_ptr<NetHost> host;
    std::unique_ptr<NetClient> client;
    std::string log;
    std::string input;
    std::unique_ptr<SPF_Small> font;
    TextBlock logBlock;
    u16 inputOwner = 0;
    bool networkStarted = false;
};
