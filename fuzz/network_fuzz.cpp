// Whole network messages as the host takes them from a client in any handshake state, and as the
// client takes them from the host. The first byte picks the side (bit 7) and, for the host, the
// client's handshake state (bits 0-2) and whether its UDP announcement is pending (bit 3); the
// rest is cut into messages, the last one padded with zeros.
//
// The host under test does not listen on the game's ports (other runs on this machine may hold
// them): the harness connects its clients over 127.0.0.1 through a listener of its own, so the
// host's answers go out on real sockets and are read away.
#include "core/random.h"
#include "fuzz/fuzz_support.h"
#include "online/netclient.h"
#include "online/nethost.h"
#include "online/systostrenet.h"

#include <SDL/SDL_net.h>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t LiveClients = 2;
constexpr size_t MaxMessages = 8;
constexpr u16 FirstHarnessPort = 41000;
constexpr int PortTries = 200;
// The console's log only grows while nobody updates it: start afresh now and then.
constexpr int RunsPerConsole = 4096;

struct Peer {
    TCPsocket end;  // the harness's side of a client connection
    u32 pid;
};

TCPsocket listener = nullptr;
IPaddress listenerAddress{};
std::unique_ptr<SystOstrenet> console;
std::unique_ptr<NetHost> host;
std::unique_ptr<NetClient> client;
std::vector<Peer> peers;
int runs = 0;

void openListener()
{
    for (int i = 0; i < PortTries && !listener; ++i) {
        IPaddress any;
        SDLNet_ResolveHost(&any, nullptr, u16(FirstHarnessPort + (getpid() + i) % 8000));
        listener = SDLNet_TCP_Open(&any);
        if (listener)
            SDLNet_ResolveHost(&listenerAddress, "127.0.0.1", SDLNet_Read16(&any.port));
    }
    if (!listener) {
        std::fprintf(stderr, "no port for the harness listener: %s\n", SDL_GetError());
        std::abort();
    }
}

bool hostHolds(u32 pid)
{
    const auto& records = host->clientRecords();
    return std::any_of(records.begin(), records.end(), [&](const auto& r) { return r->pid == pid && !r->removed; });
}

// Reads away everything the host sent, and lets go of the connections it has closed.
void drainPeers()
{
    for (Peer& peer : peers) {
        SDLNet_SocketSet set = SDLNet_AllocSocketSet(1);
        SDLNet_TCP_AddSocket(set, peer.end);
        std::array<u8, 4096> scratch;
        while (SDLNet_CheckSockets(set, 0) > 0 && SDLNet_TCP_Recv(peer.end, scratch.data(), int(scratch.size())) > 0) {
        }
        SDLNet_FreeSocketSet(set);
    }
    for (Peer& peer : peers) {
        if (!hostHolds(peer.pid)) {
            SDLNet_TCP_Close(peer.end);
            peer.end = nullptr;
        }
    }
    peers.erase(std::remove_if(peers.begin(), peers.end(), [](const Peer& p) { return !p.end; }), peers.end());
}

void connectPeers()
{
    while (peers.size() < LiveClients) {
        TCPsocket end = SDLNet_TCP_Open(&listenerAddress);
        TCPsocket accepted = end ? SDLNet_TCP_Accept(listener) : nullptr;
        require(accepted != nullptr, "the harness connects a client over 127.0.0.1");
        require(host->acceptClient(accepted), "the host takes a new client");
        peers.push_back({end, host->clientRecords().back()->pid});
    }
}

void restartConsole()
{
    // The host says goodbye to its clients before the harness lets go of their ends.
    client.reset();
    host.reset();
    for (Peer& peer : peers)
        SDLNet_TCP_Close(peer.end);
    peers.clear();
    console = std::make_unique<SystOstrenet>();
    host = std::make_unique<NetHost>(*console, NetHost::Ports::None);
    // A name that resolves nowhere: the client under test never reaches a real host.
    client = std::make_unique<NetClient>(*console, "");
}

// Before the program's own statics go: the console lets go of the text input it holds, and
// every socket and random stream is handed back.
void stopHarness()
{
    client.reset();
    host.reset();
    console.reset();
    for (Peer& peer : peers)
        SDLNet_TCP_Close(peer.end);
    peers.clear();
    SDLNet_TCP_Close(listener);
    releaseAllStreams();
}

ClientRecord& recordOf(u32 pid)
{
    for (const auto& record : host->clientRecords()) {
        if (record->pid == pid)
            return *record;
    }
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startFuzzTarget();
    SDLNet_Init();
    openListener();
    restartConsole();
    std::atexit(stopHarness);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size == 0)
        return 0;
    if (++runs % RunsPerConsole == 0)
        restartConsole();
    connectPeers();
    const bool toHost = !(data[0] & 0x80);
    ClientRecord& record = recordOf(peers.front().pid);
    record.state = u8(data[0] & 7);
    record.pending = u8(data[0] >> 3 & AnnounceClientPort);

    for (size_t at = 1, n = 0; at < size && n < MaxMessages; at += MessageSize, ++n) {
        std::array<u8, MessageSize> message{};
        std::copy(data + at, data + std::min(size, at + MessageSize), message.begin());
        if (!toHost) {
            client->takeMessage(message.data());
        } else if (!record.removed) {
            host->takeMessage(record, message.data());
        }
    }
    // Queued removals are carried out, as at the end of every frame's poll.
    host->poll();
    drainPeers();
    return 0;
}
