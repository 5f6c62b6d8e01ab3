#pragma once
#include "core/types.h"
#include "online/netbuffer.h"
#include "online/protocol.h"

#include <SDL/SDL_net.h>
#include <string>

class SystOstrenet;

// Sends the client repeats every frame until the host answers them.
enum ClientPending : u8 {
    AnnounceUdpPath = 0x01,  // CONN_UDPCONNECT with the PID to the host's UDP listen port
    ConfirmUdpPath = 0x02,   // CONN_UDP_DONE to the port the host opened for this client
    SendUnused0107 = 0x80,   // CONN_UNUSED_0107 by TCP; the game has no use for it yet
};

// The half of the online system that connects to a host: it answers the greeting (version,
// challenge, PID), sets up a UDP path to a port the host opens for it, then chats and renames.
// Owned by the console, which polls it once a frame; it reports to the console's log.
class NetClient {
public:
    // Connects to the game's server; another name serves harnesses that must reach no host.
    explicit NetClient(SystOstrenet& console, const char* server = OnlineServer);
    ~NetClient();
    NetClient(const NetClient&) = delete;
    NetClient& operator=(const NetClient&) = delete;

    void poll();
    // Chat and "/client-" lines; false when the line is refused.
    bool handleCommand(const std::string& line);

    const std::string& nickname() const { return name; }
    u32 givenPid() const { return pid; }
    u8 pendingSends() const { return pending; }
    // The send goes out at every poll from now on, until its answer clears it.
    void requestSend(ClientPending send) { pending |= send; }
    bool hasTcp() const { return tcp != nullptr; }
    bool hasUdp() const { return udp != nullptr; }
    // The UDP address the client sends to: the listen port first, then its own port at the host.
    const IPaddress& udpTarget() const { return serverUDP; }

private:
    bool setUp(const char* server);
    void fail(const std::string& message);
    void receiveTcpMessages();
    void receiveUdpMessages();
    void loseConnection();
    void readMessage();
    bool readEntry(u16 header);
    void checkVersion(u16 version);
    void takePid(u32 given);
    void openUdp();
    void flushPending();
    // Every message sent: begin, the fields, then one finish that ends and sends it.
    void begin(u16 header);
    void finishTcp();
    void finishUdp();
    void chat(const std::string& line);
    void requestName(const std::string& line);

    std::string name = "Nameless";
    SystOstrenet& console;
    Netbuffer inBuffer;
    Netbuffer outBuffer;
    IPaddress serverTCP{};
    IPaddress serverUDP{};
    TCPsocket tcp = nullptr;
    UDPsocket udp = nullptr;
    SDLNet_SocketSet socketSet = nullptr;
    PartialMessage partial;
    u32 pid = 0;
    u8 pending = 0;
};
