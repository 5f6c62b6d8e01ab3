#pragma once
#include <gtest/gtest.h>

#include "core/types.h"
#include "online/netbuffer.h"
#include "online/systostrenet.h"
#include "tests/support/sdl_env.h"

#include <SDL/SDL_net.h>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

// Only one test run on this machine may use the game's fixed ports at a time: the lock is a
// file lock, taken with a bounded wait, so parallel runs queue instead of failing each other.
class PortLock {
public:
    // False when another run held the ports for the whole wait.
    bool acquire();
    void release();

private:
    int fd = -1;
};

// A peer driven by hand over TCP, straight on SDL_net, for the messages that no well-behaved
// client or host sends. Everything goes to 127.0.0.1.
class RawTcp {
public:
    explicit RawTcp(TCPsocket socket);
    ~RawTcp();
    RawTcp(const RawTcp&) = delete;
    RawTcp& operator=(const RawTcp&) = delete;

    // Connects to the game's TCP port on this machine; null when nobody listens. The connect
    // itself waits while the listener's queue is full, so tests let each connection in first.
    static std::unique_ptr<RawTcp> connectToHost();

    bool sendBytes(const u8* bytes, int count);
    bool send(Netbuffer& message);
    // One whole message into `into` if one has arrived; never waits.
    bool tryReceive(Netbuffer& into);
    // True once the other side has closed the connection.
    bool closedByPeer();

    TCPsocket socket;

private:
    SDLNet_SocketSet set;
    PartialMessage partial;
};

// The entries of one received message, header by header, with their fields as numbers or text.
struct Entry {
    u16 header;
    u32 number = 0;
    std::string text{};
};
// CONN_UDPCONNECT has a field only when a client sends it.
std::vector<Entry> readEntries(Netbuffer& message, bool sentByHost);
// A message of the given entries and the end entry.
void buildMessage(Netbuffer& message, const std::vector<Entry>& entries, bool sentByHost);
// Null when no entry has the header.
const Entry* findEntry(const std::vector<Entry>& entries, u16 header);
// Sends one message of the entries by UDP from 127.0.0.2: another machine to the game, where a
// stranger on 127.0.0.1 differs from the peers only by its port.
void sendFromAnotherMachine(const IPaddress& to, const std::vector<Entry>& entries, bool sentByHost);

// Consoles with hosts and clients talking over loopback in one process. Every wait is a
// bounded number of frames.
class OnlineTest : public SdlTest {
protected:
    static constexpr int MaxFrames = 500;

    void SetUp() override;
    void TearDown() override;

    SystOstrenet& newConsole();
    // Runs frames of every console until `done` holds; false if it never did.
    bool pumpUntil(const std::function<bool()>& done, int frames = MaxFrames);
    void pump(int frames);
    // Starts a host on `console` and checks that it holds the ports.
    void startHost(SystOstrenet& console);
    void startClient(SystOstrenet& console);
    // Runs a host and a client until the client's handshake is complete.
    void connectClient(SystOstrenet& console);

    // Waits (running frames) for the next whole message on a raw connection.
    bool receive(RawTcp& raw, Netbuffer& into);
    // Sends one message of the entries from a raw peer.
    void sendEntries(RawTcp& raw, const std::vector<Entry>& entries, bool sentByHost);

    std::vector<std::unique_ptr<SystOstrenet>> consoles;
    PortLock ports;
    bool portsHeld = false;
};

// The port of an address as a number (addresses keep it in network order).
u16 portNumber(IPaddress address);

// How often the text stands in the log.
int countInLog(const SystOstrenet& console, const std::string& text);
bool logHas(const SystOstrenet& console, const std::string& text);
