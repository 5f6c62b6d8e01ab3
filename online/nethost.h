#pragma once
#include "core/types.h"
#include "online/netbuffer.h"

#include <SDL/SDL_net.h>
#include <memory>
#include <string>
#include <vector>

class SystOstrenet;

// How far a client has come through the handshake.
enum ClientState : u8 {
    PidConfirmed = 0x01,     // it echoed the PID it was given
    UdpComplete = 0x02,      // its UDP path works both ways
    ChallengePassed = 0x04,  // it answered the challenge rightly
};

// What the host repeats to a client every poll until it answers.
enum HostPending : u8 {
    AnnounceClientPort = 0x01,  // CONN_UDPCONNECT from the client's own UDP port
};

// One accepted connection.
struct ClientRecord {
    u32 pid = 0;
    std::string name;
    TCPsocket tcp = nullptr;
    UDPsocket udp = nullptr;
    // The TCP peer at first, then the UDP address the client announced (on the same machine).
    IPaddress address{};
    u8 state = 0;
    u32 expectedAnswer = 0;
    u8 pending = 0;
    // Queued for deletion at the end of the poll: its sockets are closed and nothing more is
    // sent to it or read from it.
    bool removed = false;
    PartialMessage partial;
};

// The server half of the online system: it listens on the TCP and UDP ports, greets each client
// with the version, a challenge and a PID, checks the answers, opens a UDP port for each client,
// relays chat and sends the host's own lines to everyone. Owned by the console, which polls it
// once a frame; it reports to the console's log.
class NetHost {
public:
    // No more clients than this are taken: every client holds two sockets, and the socket
    // waits cannot watch descriptors numbered beyond 1023.
    static constexpr size_t MaxClients = 256;

    // Listening on the game's ports, or not at all: a host that does not listen is only ever
    // handed connections and messages by a harness, so it can run beside a real one.
    enum class Ports : u8 {
        Listen,  // the game's TCP and UDP ports
        None     // no listening socket
    };
    explicit NetHost(SystOstrenet& console, Ports ports = Ports::Listen);
    ~NetHost();
    NetHost(const NetHost&) = delete;
    NetHost& operator=(const NetHost&) = delete;

    void poll();
    // "/host-" lines and chat ("&" and the text); false when the line is refused.
    bool handleCommand(const std::string& line);
    // Says goodbye to the client, closes its sockets and queues it for deletion.
    void removeClient(u32 pid);
    // Greets a new connection and keeps it as a client; false (the socket closed) when it
    // cannot be taken.
    bool acceptClient(TCPsocket socket);
    // Reads one whole message as if the client had just sent it.
    void takeMessage(ClientRecord& record, const u8* message);

    const std::vector<std::unique_ptr<ClientRecord>>& clientRecords() const { return clients; }
    u16 socketSetCapacity() const { return socketCapacity; }
    u16 socketsInSet() const { return socketCount; }

private:
    bool setUp();
    void fail(const std::string& message);
    bool addSocket(TCPsocket socket);
    bool rebuildSocketSet();
    void acceptWaiting();
    size_t liveClients() const;
    ClientRecord* findClient(u32 pid);
    void pollClient(ClientRecord& record);
    void receiveTcpMessages(ClientRecord& record);
    void receiveUdpMessages(ClientRecord& record);
    void readMessage(ClientRecord& record);
    bool readEntry(ClientRecord& record, u16 header);
    bool readConnEntry(ClientRecord& record, u16 header);
    void rename(ClientRecord& record, const std::string& newName);
    void confirmPid(ClientRecord& record, u32 echoed);
    void checkAnswer(ClientRecord& record, u32 answer);
    void completeUdp(ClientRecord& record);
    void relayText(ClientRecord& record, const std::string& text);
    void checkListenPort();
    void openClientPort(u32 pid);
    void deleteRemoved();
    void query();
    void say(const std::string& text);
    // Every message sent: begin, the fields, then one send that ends it; a failed send
    // removes the client.
    void begin(u16 header);
    bool sendTcp(ClientRecord& record);
    bool sendUdp(ClientRecord& record);
    void sendText(ClientRecord& record, u16 header, const std::string& text);

    SystOstrenet& console;
    Netbuffer inBuffer;
    Netbuffer outBuffer;
    IPaddress listenAddress{};
    TCPsocket listenTCP = nullptr;
    UDPsocket listenUDP = nullptr;
    SDLNet_SocketSet socketSet = nullptr;
    u16 socketCount = 0;
    u16 socketCapacity = 32;
    std::vector<std::unique_ptr<ClientRecord>> clients;
    u32 nextPID = 0;
};
