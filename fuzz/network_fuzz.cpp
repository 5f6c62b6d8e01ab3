// Network messages as the host takes them from its clients and as the client takes them from a
// host. Every input starts from a fresh console with its host or client, so a saved input
// replays alone. Neither listens on or connects to the game's ports (other runs on this machine
// may hold them): every connection goes through a listener of the harness on 127.0.0.1.
//
// The first byte picks the side. For the client (bit 7 set) the rest is cut into a byte naming a
// path (bit 0: TCP or UDP) and a whole message, again and again, the last message padded with
// zeros, and the harness plays its host: each message goes over the path it names, by TCP on the
// client's connection or by UDP to the port the client last sent from (a message for UDP before
// the client has shown a UDP port goes nowhere). After each message the client must have
// answered over its connection exactly what the message asks for, in order (the answer to each
// challenge, the confirmation of each PID), and be in the state the protocol's table gives it
// for a message on that path, read by the harness on its own: its name, its PID, its UDP socket
// and its pending sends, whatever wrong, foreign or cut-off entries the message holds.
//
// For the host, two clients connect, and the rest is a list of steps: entries the clients put
// into their messages, raw bytes, sends and polls (see HostStep). Afterwards the host must have
// kept these promises, checked against what the harness sent and what each client's socket
// received:
// - a record has passed the challenge only if its client sent the right answer, and has
//   confirmed its PID only if its client sent that PID;
// - a wrong answer, a wrong PID or a disconnect that the host surely read has removed the record;
// - a record's name is the last rename the host surely read from its client, cut to what a
//   message can carry back, and every rename it surely read is confirmed to that client in order;
// - a message reaches only a client it is meant for: a rename, with the name asked for, or a
//   challenge answer only the client that asked, the order to open UDP only a client that sent
//   the right answer and its PID, chat only if another client sent some, a disconnect only a
//   client whose record is gone.
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
#include <cstring>
#include <memory>
#include <pthread.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t MaxMessages = 8;
constexpr size_t LongestText = 48;
// A rename may ask for more than a message holds: its entry is then cut where the message ends.
constexpr size_t LongestRename = MessageSize;
// The longest name a message carries back: the rest of it is the entry's header and NUL and the
// end entry.
constexpr size_t LongestName = MessageSize - 5;
// Follows every message to the client, which has read the message once it has answered this.
constexpr u32 MarkerChallenge = 0x5EA1ED;
constexpr u16 FirstHarnessPort = 41000;
constexpr int PortTries = 200;
// Other runs on this machine may hold every free port for a moment, and on a busy machine the
// connection may reach the listener's queue, and bytes sent on one end the other end, a moment
// after the call that sent them returns.
constexpr int ConnectTries = 50;
constexpr u32 ConnectRetryMs = 20;
constexpr int AcceptTries = 1000;
constexpr u32 ReceiveLimitMs = 2000;
constexpr int LossTries = 1000;
constexpr u32 ChallengeSeed = 1;
// The client under test asks for its server by this name (see __wrap_SDLNet_ResolveHost).
constexpr char HarnessServer[] = "warden-fuzz-harness";

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
// On the listener's port number: the client's UDP sends reach it, and the messages the input
// names for UDP leave from it.
UDPsocket harnessUdp = nullptr;
UDPpacket* datagram = nullptr;

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

// The text from `at` to its NUL.
std::string textAt(const std::string& bytes, size_t at)
{
    return bytes.substr(at, bytes.find('\0', at) - at);
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
    // The renames in its next message that the host surely reads, and those it surely read.
    std::vector<std::string> renamesBuilding;
    std::vector<std::string> renamesRead;
    // A wrong answer, a wrong PID or a disconnect the host surely read: the property its record
    // breaks if it stays.
    const char* mustBeGone = nullptr;
    // The name its record must have: its PID, then the last rename the host surely read. Not
    // known after raw bytes, which may hold a rename, until the next rename read surely.
    std::string name;
    bool nameKnown = true;

    bool hasSent(const std::string& bytes) const { return sent.find(bytes) != std::string::npos; }
};

void openListener()
{
    for (int i = 0; i < PortTries && !harnessUdp; ++i) {
        const u16 port = u16(FirstHarnessPort + (getpid() + i) % 8000);
        IPaddress any;
        SDLNet_ResolveHost(&any, nullptr, port);
        listener = SDLNet_TCP_Open(&any);
        if (!listener)
            continue;
        harnessUdp = SDLNet_UDP_Open(port);
        if (harnessUdp) {
            SDLNet_ResolveHost(&listenerAddress, "127.0.0.1", port);
        } else {
            SDLNet_TCP_Close(listener);
            listener = nullptr;
        }
    }
    datagram = SDLNet_AllocPacket(MessageSize);
    if (!listener || !datagram) {
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

// How a message from the host reaches the client: only one that came by UDP may point the
// client's UDP path.
enum class Path : u8 {
    Tcp,
    Udp
};

// The client as the protocol's table leaves it after the messages it has read, and the answers
// it must have sent by TCP for the last one, each in a message of its own.
struct ClientModel {
    std::string name = "Nameless";
    u32 pid = 0;
    u8 pending = 0;
    bool udp = false;
    std::vector<std::string> answers;
    bool reopened = false;  // the last message had the client open a new UDP socket

    // Entry after entry, up to the end entry or the first one whose fields the message cuts off.
    void read(const Message& message, Path path)
    {
        answers.clear();
        reopened = false;
        size_t at = 0;
        auto has = [&](size_t bytes) { return at + bytes <= message.size(); };
        // The text from `at` to its NUL, if the message holds one.
        auto readText = [&](std::string& into) {
            const auto nul = std::find(message.begin() + at, message.end(), 0);
            into.assign(message.begin() + at, nul);
            at = size_t(nul - message.begin()) + 1;
            return nul != message.end();
        };
        std::string text;
        while (has(2)) {
            const u16 header = readU16(&message[at]);
            at += 2;
            switch (header) {
            case PACK_END:
                return;
            case CONN_VERSION:
                // A wrong version ends the client, which the harness cannot see; reading goes on.
                if (!has(2))
                    return;
                at += 2;
                break;
            case CONN_PID:
            case CONN_CHALLENGE:
            case CONN_CHALLENGE_ANSWER:
                if (!has(4))
                    return;
                readNumber(header, readU32(&message[at]));
                at += 4;
                break;
            case CONN_OPEN_UDP:
                udp = reopened = true;
                pending |= AnnounceUdpPath;
                break;
            case CONN_UDPCONNECT:
                if (path == Path::Udp && (pending & AnnounceUdpPath))
                    pending = u8((pending & ~AnnounceUdpPath) | ConfirmUdpPath);
                break;
            case CONN_UDP_DONE:
                pending &= u8(~ConfirmUdpPath);
                break;
            case CONN_RENAME:
                if (!readText(text))
                    return;
                name = text;
                break;
            case MASSAGE_SAID:
            case MASSAGE_TEXT:
                if (!readText(text))
                    return;
                break;
            default:
                break;
            }
        }
    }

    // A PID is taken as the name and confirmed, a challenge answered; an answer to a challenge
    // the client never sent is passed over.
    void readNumber(u16 header, u32 number)
    {
        if (header == CONN_PID) {
            pid = number;
            name = std::to_string(pid);
            answers.push_back(entry(CONN_PID_CONFIRM, pid));
        } else if (header == CONN_CHALLENGE) {
            answers.push_back(entry(CONN_CHALLENGE_ANSWER, challengeAnswer(number)));
        }
    }
};

// One console with the host and two clients connected to it, or with the client and the
// harness as its host.
class Session {
public:
    Session()
    {
        seedStream(defaultStream, ChallengeSeed);
        console = std::make_unique<SystOstrenet>();
    }

    // The host says goodbye to its clients before the harness lets go of their ends.
    ~Session()
    {
        client.reset();
        host.reset();
        for (Peer& peer : peers)
            SDLNet_TCP_Close(peer.end);
        SDLNet_TCP_Close(hostEnd);
        console.reset();
    }

    void feedClient(InputCursor& in)
    {
        connectClient();
        // What the client of an earlier input sent shows no socket of this one.
        findClientUdp();
        clientUdpKnown = false;
        ClientModel model;
        for (size_t n = 0; n < MaxMessages && !in.done(); ++n) {
            const Path path = Path(in.byte() & 1);
            Message message;
            for (u8& byte : message)
                byte = in.byte();
            findClientUdp();
            if (path == Path::Udp && !clientUdpKnown)
                continue;
            model.read(message, path);
            deliver(message, path);
            awaitAnswers(model, path);
            checkClient(model);
            if (model.reopened)
                clientUdpKnown = false;
        }
        require(receiveWaiting(hostEnd).empty(), "a client sends by TCP only what its messages ask for");
        loseClient();
    }

    void feedHost(InputCursor& in)
    {
        host = std::make_unique<NetHost>(*console, NetHost::Ports::None);
        for (Peer& peer : peers)
            connect(peer);
        while (!in.done()) {
            const u8 step = in.byte();
            takeStep(HostStep((step & 0x7F) % u8(HostStep::Count)), peers[step >> 7], in);
        }
        for (Peer& peer : peers)
            send(peer);
        host->poll();
        for (Peer& peer : peers) {
            peer.received += receiveWaiting(peer.end);
            awaitConfirmations(peer);
        }
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
        peer.name = std::to_string(peer.pid);
    }

    // A client that fails to connect says so and has no connection; another one is made.
    void connectClient()
    {
        for (int i = 0; i < ConnectTries && !(client && client->hasTcp()); ++i) {
            if (i > 0)
                SDL_Delay(ConnectRetryMs);
            TimerSignalHeldOff held;
            client = std::make_unique<NetClient>(*console, HarnessServer);
        }
        require(client->hasTcp(), "the client connects to the harness over 127.0.0.1");
        hostEnd = acceptWaiting();
    }

    // The client's UDP sends all come to the harness: the last one shows where its socket is.
    void findClientUdp()
    {
        while (SDLNet_UDP_Recv(harnessUdp, datagram) > 0) {
            clientUdp = datagram->address;
            clientUdpKnown = true;
        }
    }

    // The message over its path, then the marker by TCP, in one send with a message by TCP (a
    // second small send would wait for the client to acknowledge the first).
    void deliver(const Message& message, Path path)
    {
        std::string byTcp;
        if (path == Path::Tcp) {
            byTcp.assign(message.begin(), message.end());
        } else {
            std::copy(message.begin(), message.end(), datagram->data);
            datagram->len = MessageSize;
            datagram->address = clientUdp;
            require(SDLNet_UDP_Send(harnessUdp, -1, datagram) == 1, "the harness reaches the client");
        }
        std::string marker = entry(CONN_CHALLENGE, MarkerChallenge) + wireU16(PACK_END);
        marker.resize(MessageSize);
        byTcp += marker;
        require(SDLNet_TCP_Send(hostEnd, byTcp.data(), int(byTcp.size())) == int(byTcp.size()),
                "the harness reaches the client");
    }

    // The client is polled until it has answered the message and the marker after it, so it has
    // read both. Its answers by TCP are the message's own in order, the marker's last; a message
    // by UDP may be read in the same poll as the marker, after it, so its answers may follow the
    // marker's.
    void awaitAnswers(const ClientModel& model, Path path)
    {
        std::string sent;
        const size_t count = model.answers.size() + 1;
        // A poll takes one message by TCP: the first two polls follow at once.
        const u32 start = SDL_GetTicks();
        for (int polls = 1; sent.size() < count * MessageSize && SDL_GetTicks() - start < ReceiveLimitMs; ++polls) {
            client->poll();
            sent += receiveWaiting(hostEnd);
            if (polls >= 2 && sent.size() < count * MessageSize)
                SDL_Delay(1);
        }
        require(sent.size() == count * MessageSize,
                "a client reads every message and answers every challenge and PID in it");
        const std::string marker = entry(CONN_CHALLENGE_ANSWER, challengeAnswer(MarkerChallenge));
        auto answeredInOrder = [&](size_t markerAt) {
            for (size_t i = 0, answer = 0; i < count; ++i) {
                const std::string expected = (i == markerAt ? marker : model.answers[answer++]) + wireU16(PACK_END);
                if (sent.compare(i * MessageSize, expected.size(), expected) != 0)
                    return false;
            }
            return true;
        };
        require(answeredInOrder(count - 1) || (path == Path::Udp && answeredInOrder(0)),
                "a client answers each challenge with what it asks for and confirms each PID it is given, in order");
    }

    void checkClient(const ClientModel& model) const
    {
        require(client->nickname() == model.name, "a client's name is its PID, then the last rename it read");
        require(client->givenPid() == model.pid, "a client's PID is the last one it read");
        require(client->hasUdp() == model.udp, "a client opens a UDP socket when told to, and only then");
        require(client->pendingSends() == model.pending,
                "a client repeats a UDP send from the order that starts it to the answer that ends it");
    }

    // The client finds its connection gone and needs no farewell, which would keep it a while.
    void loseClient()
    {
        SDLNet_TCP_Close(hostEnd);
        hostEnd = nullptr;
        for (int i = 0; i < LossTries && client->hasTcp(); ++i) {
            client->poll();
            if (client->hasTcp())
                SDL_Delay(1);
        }
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
        case HostStep::Rename: {
            const std::string name = in.text(LongestRename);
            add(peer, wireU16(CONN_RENAME) + name + '\0');
            // A name longer than a message carries back is kept cut to its first bytes; so is one
            // whose entry the message's end cuts, which the end entry's first byte lengthens.
            peer.name = name.substr(0, LongestName);
            peer.nameKnown = !peer.opaque;
            if (peer.nameKnown)
                peer.renamesBuilding.push_back(peer.name);
            break;
        }
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
            peer.nameKnown = false;
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
            peer.renamesRead.insert(peer.renamesRead.end(), peer.renamesBuilding.begin(), peer.renamesBuilding.end());
        }
        peer.renamesBuilding.clear();
        // Taken as they come, so that no connection fills up while the host writes to it.
        for (Peer& each : peers)
            each.received += receiveWaiting(each.end);
    }

    // How many of the renames the host surely read have been confirmed to the client, in order;
    // renames in raw bytes may be confirmed between them.
    static size_t confirmedRenames(const Peer& peer)
    {
        size_t confirmed = 0;
        for (size_t at = 0; at + MessageSize <= peer.received.size(); at += MessageSize) {
            if (confirmed < peer.renamesRead.size()
                && readU16(reinterpret_cast<const u8*>(peer.received.data() + at)) == CONN_RENAME
                && textAt(peer.received, at + 2) == peer.renamesRead[confirmed])
                ++confirmed;
        }
        return confirmed;
    }

    // The host's last sends may reach a client's end a moment after the host made them.
    void awaitConfirmations(Peer& peer)
    {
        const u32 start = SDL_GetTicks();
        while (liveRecord(peer.pid) && confirmedRenames(peer) < peer.renamesRead.size()
               && SDL_GetTicks() - start < ReceiveLimitMs) {
            SDL_Delay(1);
            peer.received += receiveWaiting(peer.end);
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
        require(!peer.nameKnown || record->name == peer.name, "a rename the host accepts is the name it keeps");
        require(confirmedRenames(peer) == peer.renamesRead.size(),
                "every rename the host reads is confirmed to that client, in order");
    }

    // Every message the host sends after the greeting holds one entry.
    void checkReceived(const Peer& peer, const Peer& other) const
    {
        for (size_t at = 0; at + MessageSize <= peer.received.size(); at += MessageSize) {
            switch (readU16(reinterpret_cast<const u8*>(peer.received.data() + at))) {
            case CONN_RENAME:
                // A name that fills a whole message may come back cut short.
                require(peer.hasSent(wireU16(CONN_RENAME) + textAt(peer.received, at + 2)),
                        "a rename is confirmed only to the client that asked, with the name it asked for");
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
    TCPsocket hostEnd = nullptr;  // the harness's side of the client's connection
    IPaddress clientUdp{};        // where the client's UDP socket last sent from
    bool clientUdpKnown = false;  // since it last opened one
};

// Before the program's own statics go: every random stream is handed back.
void stopHarness()
{
    SDLNet_TCP_Close(listener);
    SDLNet_UDP_Close(harnessUdp);
    SDLNet_FreePacket(datagram);
    releaseAllStreams();
}

} // namespace

// The link routes every look-up of a host name here (-Wl,--wrap): the client under test finds
// the harness listener behind its server's name, and sends by UDP to the harness's socket on the
// same port number.
extern "C" int __real_SDLNet_ResolveHost(IPaddress* address, const char* host, Uint16 port);
extern "C" int __wrap_SDLNet_ResolveHost(IPaddress* address, const char* host, Uint16 port)
{
    if (host && std::strcmp(host, HarnessServer) == 0) {
        *address = listenerAddress;
        return 0;
    }
    return __real_SDLNet_ResolveHost(address, host, port);
}

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
