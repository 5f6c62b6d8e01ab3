// Network messages as the host takes them from its clients and as the client takes them from a
// host. Every input starts from a fresh console, host and client, so a saved input replays alone.
//
// The first byte picks the side. For the client (bit 7 set) the rest is cut into whole messages,
// the last one padded with zeros. For the host, two clients connect over 127.0.0.1 through a
// listener of the harness (the host does not listen on the game's ports: other runs on this
// machine may hold them), and the rest is a list of steps: entries the clients put into their
// messages, raw bytes, sends and polls (see HostStep). Afterwards the host must have kept these
// promises, checked against what the harness sent and what each client's socket received:
// - a record has passed the challenge only if its client sent the right answer, and has
//   confirmed its PID only if its client sent that PID;
// - a wrong answer, a wrong PID or a disconnect that the host surely read has removed the record;
// - a message reaches only a client it is meant for: a rename or a challenge answer only the
//   client that asked, the order to open UDP only a client that sent the right answer and its
//   PID, chat only if another client sent some, a disconnect only a client whose record is gone.
#include "core/random.h"
#include "fuzz/fuzz_support.h"
#include "online/netclient.h"
#include "online/nethost.h"
#include "online/systostrenet.h"

#include <SDL/SDL_net.h>
#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <pthread.h>
#include <string>
#include <unistd.h>

namespace {

constexpr size_t MaxMessages = 8;
constexpr size_t LongestText = 48;
constexpr u16 FirstHarnessPort = 41000;
constexpr int PortTries = 200;
// Other runs on this machine may hold every free port for a moment, and on a busy machine the
// connection may reach the listener's queue, and bytes sent on one end the other end, a moment
// after the call that sent them returns.
constexpr int ConnectTries = 50;
constexpr u32 ConnectRetryMs = 20;
constexpr int AcceptTries = 1000;
constexpr u32 ReceiveLimitMs = 2000;
constexpr u32 ChallengeSeed = 1;

using Message = std::array<u8, MessageSize>;

// What a client may put into its next message, or do. Bits 0-6 of a step byte pick one (modulo
// their number), bit 7 the client; the fields follow.
enum class HostStep : u8 {
    RightAnswer,   // the answer to its challenge
    WrongAnswer,   // u32: any other answer
    RightPid,      // the PID it was given
    WrongPid,      // u32: any other PID
    Challenge,     // u32: a challenge for the host
    Rename,        // text: a new name
    Text,          // text: chat
    Said,          // text: a line only a host should send
    UdpDone,
    Disconnect,
    Raw,           // u16 header, a count and that many bytes: the host may read them any way
    Send,          // the message goes to the host
    Poll,          // the host polls, and carries out the removals it queued
    Count
};

TCPsocket listener = nullptr;
IPaddress listenerAddress{};

// libFuzzer's timeout is a timer signal. One that lands in a connect makes the connect report
// failure although the connection goes on being made and waits at the listener, which would
// hand it to the next accept in place of the connection opened next, whose greeting then never
// comes. The signal is held off while a connection is opened and taken when the connect is over.
class TimerSignalHeldOff {
public:
    TimerSignalHeldOff()
    {
        sigset_t timer;
        sigemptyset(&timer);
        sigaddset(&timer, SIGALRM);
        pthread_sigmask(SIG_BLOCK, &timer, &previous);
    }
    ~TimerSignalHeldOff() { pthread_sigmask(SIG_SETMASK, &previous, nullptr); }
    TimerSignalHeldOff(const TimerSignalHeldOff&) = delete;
    TimerSignalHeldOff& operator=(const TimerSignalHeldOff&) = delete;

private:
    sigset_t previous;
};

// Little-endian, as on the wire.
std::string wireU16(u16 value)
{
    return {char(value & 0xFF), char(value >> 8)};
}

std::string entry(u16 header, u32 field)
{
    return wireU16(header) + wireU16(u16(field)) + wireU16(u16(field >> 16));
}

u16 readU16(const u8* at)
{
    return u16(at[0] | at[1] << 8);
}

u32 readU32(const u8* at)
{
    return readU16(at) | u32(readU16(at + 2)) << 16;
}

// A client of the host, as the harness plays it.
struct Peer {
    TCPsocket end = nullptr;  // the harness's side of the connection
    u32 pid = 0;              // as the greeting gave it
    u32 rightAnswer = 0;      // to the greeting's challenge
    std::string building;     // the entries of its next message
    bool opaque = false;      // raw bytes in the message: what follows may be read any way
    std::string sent;         // every message the host took from it, back to back
    std::string received;     // every byte the host sent it after the greeting
    // A wrong answer, a wrong PID or a disconnect the host surely read: the property its record
    // breaks if it stays.
    const char* mustBeGone = nullptr;

    bool hasSent(const std::string& bytes) const { return sent.find(bytes) != std::string::npos; }
};

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

// The connection the listener holds for the end just opened: with the timer signal kept off the
// connect, no other can be waiting before it. A connection once made is never given up.
TCPsocket acceptWaiting()
{
    TCPsocket accepted = nullptr;
    for (int i = 0; i < AcceptTries && !accepted; ++i) {
        accepted = SDLNet_TCP_Accept(listener);
        if (!accepted)
            SDL_Delay(1);
    }
    require(accepted != nullptr, "the harness connects a client over 127.0.0.1");
    return accepted;
}

// The next whole message at the harness's end of a connection, waited for up to a limit.
bool receiveMessage(TCPsocket end, Message& message)
{
    SDLNet_SocketSet set = SDLNet_AllocSocketSet(1);
    SDLNet_TCP_AddSocket(set, end);
    int at = 0;
    for (const u32 start = SDL_GetTicks(); at < int(MessageSize) && SDL_GetTicks() - start < ReceiveLimitMs;) {
        if (SDLNet_CheckSockets(set, ReceiveLimitMs) <= 0)
            continue;
        const int got = SDLNet_TCP_Recv(end, message.data() + at, int(MessageSize) - at);
        if (got <= 0)
            break;
        at += got;
    }
    SDLNet_FreeSocketSet(set);
    return at == int(MessageSize);
}

// Whatever has arrived at the harness's end of a connection.
std::string receiveWaiting(TCPsocket end)
{
    std::string bytes;
    SDLNet_SocketSet set = SDLNet_AllocSocketSet(1);
    SDLNet_TCP_AddSocket(set, end);
    std::array<char, 4096> chunk;
    int got = 0;
    while (SDLNet_CheckSockets(set, 0) > 0 && (got = SDLNet_TCP_Recv(end, chunk.data(), int(chunk.size()))) > 0)
        bytes.append(chunk.data(), size_t(got));
    SDLNet_FreeSocketSet(set);
    return bytes;
}

// One console with its host and client, and two clients connected to the host.
class Session {
public:
    Session()
    {
        seedStream(defaultStream, ChallengeSeed);
        console = std::make_unique<SystOstrenet>();
        host = std::make_unique<NetHost>(*console, NetHost::Ports::None);
        // A name that resolves nowhere: the client under test never reaches a real host.
        client = std::make_unique<NetClient>(*console, "");
    }

    // The host says goodbye to its clients before the harness lets go of their ends.
    ~Session()
    {
        client.reset();
        host.reset();
        for (Peer& peer : peers)
            SDLNet_TCP_Close(peer.end);
        console.reset();
    }

    void feedClient(InputCursor& in)
    {
        for (size_t n = 0; n < MaxMessages && !in.done(); ++n) {
            Message message;
            for (u8& byte : message)
                byte = in.byte();
            client->takeMessage(message.data());
        }
    }

    void feedHost(InputCursor& in)
    {
        for (Peer& peer : peers)
            connect(peer);
        while (!in.done()) {
            const u8 step = in.byte();
            takeStep(HostStep((step & 0x7F) % u8(HostStep::Count)), peers[step >> 7], in);
        }
        for (Peer& peer : peers)
            send(peer);
        host->poll();
        for (Peer& peer : peers)
            peer.received += receiveWaiting(peer.end);
    }

    void checkHost() const
    {
        for (size_t i = 0; i < peers.size(); ++i) {
            checkRecord(peers[i]);
            checkReceived(peers[i], peers[1 - i]);
        }
    }

private:
    void connect(Peer& peer)
    {
        for (int i = 0; i < ConnectTries && !peer.end; ++i) {
            if (i > 0)
                SDL_Delay(ConnectRetryMs);
            TimerSignalHeldOff held;
            peer.end = SDLNet_TCP_Open(&listenerAddress);
        }
        require(peer.end != nullptr, "the harness connects a client over 127.0.0.1");
        require(host->acceptClient(acceptWaiting()), "the host takes a new client");
        Message greeting;
        require(receiveMessage(peer.end, greeting), "the host greets a new client");
        const u8* g = greeting.data();
        require(readU16(g) == CONN_VERSION && readU16(g + 2) == ProtocolVersion && readU16(g + 4) == CONN_CHALLENGE
                    && readU16(g + 10) == CONN_PID && readU16(g + 16) == PACK_END,
                "the greeting holds the version, a challenge and a PID");
        peer.rightAnswer = challengeAnswer(readU32(g + 6));
        peer.pid = readU32(g + 12);
    }

    void takeStep(HostStep step, Peer& peer, InputCursor& in)
    {
        switch (step) {
        case HostStep::RightAnswer:
            add(peer, entry(CONN_CHALLENGE_ANSWER, peer.rightAnswer));
            break;
        case HostStep::WrongAnswer: {
            u32 answer = in.u32le();
            addRemoving(peer, entry(CONN_CHALLENGE_ANSWER, answer == peer.rightAnswer ? ~answer : answer),
                        "a wrong challenge answer removes the record");
            break;
        }
        case HostStep::RightPid:
            add(peer, entry(CONN_PID_CONFIRM, peer.pid));
            break;
        case HostStep::WrongPid: {
            u32 pid = in.u32le();
            addRemoving(peer, entry(CONN_PID_CONFIRM, pid == peer.pid ? ~pid : pid),
                        "a wrong PID confirmation removes the record");
            break;
        }
        case HostStep::Challenge:
            add(peer, entry(CONN_CHALLENGE, in.u32le()));
            break;
        case HostStep::Rename:
            add(peer, wireU16(CONN_RENAME) + in.text(LongestText) + '\0');
            break;
        case HostStep::Text:
            add(peer, wireU16(MASSAGE_TEXT) + in.text(LongestText) + '\0');
            break;
        case HostStep::Said:
            add(peer, wireU16(MASSAGE_SAID) + in.text(LongestText) + '\0');
            break;
        case HostStep::UdpDone:
            add(peer, wireU16(CONN_UDP_DONE));
            break;
        case HostStep::Disconnect:
            addRemoving(peer, wireU16(CONN_DISCONNECT), "a disconnect removes the record");
            break;
        case HostStep::Raw: {
            std::string bytes = wireU16(in.u16le());
            for (u8 n = in.byte(); n > 0 && !in.done(); --n)
                bytes += char(in.byte());
            add(peer, bytes);
            peer.opaque = true;
            break;
        }
        case HostStep::Send:
            send(peer);
            break;
        case HostStep::Poll:
            host->poll();
            break;
        case HostStep::Count:
            break;
        }
    }

    // An entry that no longer fits goes into the next message, cut if it fits no message. The
    // end entry always fits.
    void add(Peer& peer, const std::string& bytes)
    {
        const size_t room = MessageSize - 2;
        if (peer.building.size() + bytes.size() > room)
            send(peer);
        peer.building += bytes.substr(0, room);
    }

    void addRemoving(Peer& peer, const std::string& bytes, const char* property)
    {
        add(peer, bytes);
        if (!peer.opaque && !peer.mustBeGone)
            peer.mustBeGone = property;
    }

    // A client whose record is gone has no connection left to send on.
    void send(Peer& peer)
    {
        Message message{};
        peer.building += wireU16(PACK_END);
        std::copy(peer.building.begin(), peer.building.end(), message.begin());
        peer.building.clear();
        peer.opaque = false;
        if (ClientRecord* record = liveRecord(peer.pid)) {
            peer.sent.append(message.begin(), message.end());
            host->takeMessage(*record, message.data());
        }
    }

    ClientRecord* liveRecord(u32 pid) const
    {
        for (const auto& record : host->clientRecords()) {
            if (record->pid == pid && !record->removed)
                return record.get();
        }
        return nullptr;
    }

    void checkRecord(const Peer& peer) const
    {
        const ClientRecord* record = liveRecord(peer.pid);
        if (!record)
            return;
        require(!peer.mustBeGone, peer.mustBeGone);
        require(!(record->state & ChallengePassed) || peer.hasSent(entry(CONN_CHALLENGE_ANSWER, peer.rightAnswer)),
                "a record passes the challenge only with the right answer");
        require(!(record->state & PidConfirmed) || peer.hasSent(entry(CONN_PID_CONFIRM, peer.pid)),
                "a record confirms its PID only with its own");
    }

    // Every message the host sends after the greeting holds one entry.
    void checkReceived(const Peer& peer, const Peer& other) const
    {
        for (size_t at = 0; at + MessageSize <= peer.received.size(); at += MessageSize) {
            switch (readU16(reinterpret_cast<const u8*>(peer.received.data() + at))) {
            case CONN_RENAME:
                require(peer.hasSent(wireU16(CONN_RENAME)), "a rename is confirmed only to the client that asked");
                break;
            case CONN_CHALLENGE_ANSWER:
                require(peer.hasSent(wireU16(CONN_CHALLENGE)), "a challenge is answered only to the client that sent it");
                break;
            case CONN_OPEN_UDP:
                require(peer.hasSent(entry(CONN_CHALLENGE_ANSWER, peer.rightAnswer))
                            && peer.hasSent(entry(CONN_PID_CONFIRM, peer.pid)),
                        "only a client that passed the challenge and confirmed its PID opens UDP");
                break;
            case MASSAGE_TEXT:
                require(other.hasSent(wireU16(MASSAGE_TEXT)) || other.hasSent(wireU16(CONN_RENAME)),
                        "chat and renames are passed on only to the other clients");
                break;
            case CONN_DISCONNECT:
                require(!liveRecord(peer.pid), "a disconnect goes only to a client whose record is gone");
                break;
            default:
                require(false, "the host sends a client nothing else");
            }
        }
    }

    std::unique_ptr<SystOstrenet> console;
    std::unique_ptr<NetHost> host;
    std::unique_ptr<NetClient> client;
    std::array<Peer, 2> peers;
};

// Before the program's own statics go: every random stream is handed back.
void stopHarness()
{
    SDLNet_TCP_Close(listener);
    releaseAllStreams();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startFuzzTarget();
    SDLNet_Init();
    openListener();
    std::atexit(stopHarness);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size == 0)
        return 0;
    InputCursor in(data + 1, size - 1);
    Session session;
    if (data[0] & 0x80) {
        session.feedClient(in);
    } else {
        session.feedHost(in);
        session.checkHost();
    }
    return 0;
}
