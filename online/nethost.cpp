#include "online/nethost.h"

#include "core/random.h"
#include "online/protocol.h"
#include "online/systostrenet.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <climits>
#include <sstream>

namespace {

constexpr u32 DisconnectWaitMs = 500;
// A burst of connections is taken in over several frames.
constexpr int MaxAcceptsPerPoll = 16;
// The longest name or chat text that fits one message with its end entry.
constexpr size_t MaxTextLength = MessageSize - 5;

std::string handleText(const void* handle)
{
    if (!handle)
        return "0";
    std::ostringstream text;
    text << "0x" << std::hex << reinterpret_cast<uintptr_t>(handle);
    return text.str();
}

} // namespace

NetHost::NetHost(SystOstrenet& console, Ports ports) : console(console), nextPID(FirstPID)
{
    if (ports == Ports::None)
        return;
    console.print("Initializing host...");
    if (setUp())
        console.print("Host successfully initialized.");
}

NetHost::~NetHost()
{
    for (auto& record : clients) {
        if (record->removed)
            continue;
        begin(CONN_DISCONNECT);
        outBuffer.writeEnd();
        if (!outBuffer.sendTCP(record->tcp))
            say("Host: " + record->name + " removed; TCPsend failed.");
        SDLNet_TCP_Close(record->tcp);
        if (record->udp)
            SDLNet_UDP_Close(record->udp);
    }
    clients.clear();
    // The farewells need a moment to leave before the listening sockets close. A host that
    // never listened (a harness's) has none to close, and is made and ended thousands of times.
    if (listenTCP) {
        SDL_Delay(DisconnectWaitMs);
        SDLNet_TCP_Close(listenTCP);
    }
    if (listenUDP)
        SDLNet_UDP_Close(listenUDP);
    if (socketSet)
        SDLNet_FreeSocketSet(socketSet);
}

void NetHost::say(const std::string& text)
{
    console.print(text);
}

void NetHost::fail(const std::string& message)
{
    say(message + SDL_GetError());
    console.hostEnded();
}

bool NetHost::setUp()
{
    if (SDLNet_ResolveHost(&listenAddress, nullptr, OnlineTcpPort) == -1) {
        fail("Host: IP-ERROR: ");
        return false;
    }
    listenTCP = SDLNet_TCP_Open(&listenAddress);
    if (!listenTCP) {
        fail("Host: TCP-ERROR: ");
        return false;
    }
    socketSet = SDLNet_AllocSocketSet(socketCapacity);
    if (!socketSet) {
        fail("Host: SOCKSET-ERROR: ");
        return false;
    }
    addSocket(listenTCP);
    listenUDP = SDLNet_UDP_Open(OnlineUdpPort);
    if (!listenUDP) {
        fail("Host: UDP-ERROR: ");
        return false;
    }
    return true;
}

bool NetHost::addSocket(TCPsocket socket)
{
    if (!socketSet)
        return false;
    SDLNet_TCP_AddSocket(socketSet, socket);
    ++socketCount;
    if (socketCount < socketCapacity)
        return true;
    socketCapacity = u16(socketCapacity * 2);
    return rebuildSocketSet();
}

bool NetHost::rebuildSocketSet()
{
    SDLNet_FreeSocketSet(socketSet);
    socketSet = SDLNet_AllocSocketSet(socketCapacity);
    socketCount = 0;
    if (!socketSet) {
        fail("Host: SOCKSET-ERROR: ");
        return false;
    }
    SDLNet_TCP_AddSocket(socketSet, listenTCP);
    ++socketCount;
    // Removed clients' sockets are closed already and must not be watched again.
    for (auto& record : clients) {
        if (record->tcp) {
            SDLNet_TCP_AddSocket(socketSet, record->tcp);
            ++socketCount;
        }
    }
    return true;
}

void NetHost::poll()
{
    acceptWaiting();
    if (socketSet && SDLNet_CheckSockets(socketSet, 0) < 0)
        say(std::string("CheckSockets Error: ") + SDL_GetError());
    // Clients are only ever appended while accepting, so the list holds still from here on.
    for (size_t i = 0; i < clients.size(); ++i)
        pollClient(*clients[i]);
    checkListenPort();
    deleteRemoved();
}

void NetHost::acceptWaiting()
{
    for (int i = 0; i < MaxAcceptsPerPoll && listenTCP; ++i) {
        TCPsocket socket = SDLNet_TCP_Accept(listenTCP);
        if (!socket)
            return;
        say(acceptClient(socket) ? "Host: New client connecting." : "Host: New client failed to init.");
    }
}

size_t NetHost::liveClients() const
{
    return size_t(std::count_if(clients.begin(), clients.end(), [](const auto& r) { return !r->removed; }));
}

bool NetHost::acceptClient(TCPsocket socket)
{
    IPaddress* peer = liveClients() < MaxClients ? SDLNet_TCP_GetPeerAddress(socket) : nullptr;
    if (!peer) {
        SDLNet_TCP_Close(socket);
        return false;
    }
    clients.push_back(std::make_unique<ClientRecord>());
    ClientRecord& record = *clients.back();
    record.pid = nextPID++;
    record.name = std::to_string(record.pid);
    record.tcp = socket;
    record.address = *peer;
    addSocket(socket);

    u32 challenge = u32(randomRange(INT_MIN, INT_MAX));
    record.expectedAnswer = challengeAnswer(challenge);
    begin(CONN_VERSION);
    outBuffer.writeU16(ProtocolVersion);
    outBuffer.writeHeader(CONN_CHALLENGE);
    outBuffer.writeU32(challenge);
    outBuffer.writeHeader(CONN_PID);
    outBuffer.writeU32(record.pid);
    return sendTcp(record);
}

ClientRecord* NetHost::findClient(u32 pid)
{
    for (auto& record : clients) {
        if (record->pid == pid)
            return record.get();
    }
    return nullptr;
}

void NetHost::removeClient(u32 pid)
{
    ClientRecord* record = findClient(pid);
    if (!record || record->removed)
        return;
    begin(CONN_DISCONNECT);
    outBuffer.writeEnd();
    outBuffer.sendTCP(record->tcp);
    if (socketSet && SDLNet_TCP_DelSocket(socketSet, record->tcp) != -1)
        --socketCount;
    SDLNet_TCP_Close(record->tcp);
    record->tcp = nullptr;
    if (record->udp)
        SDLNet_UDP_Close(record->udp);
    record->udp = nullptr;
    record->pending = 0;
    record->removed = true;
}

void NetHost::deleteRemoved()
{
    clients.erase(std::remove_if(clients.begin(), clients.end(), [](const auto& r) { return r->removed; }),
                  clients.end());
}

void NetHost::pollClient(ClientRecord& record)
{
    if (record.removed)
        return;
    if (record.pending & AnnounceClientPort) {
        begin(CONN_UDPCONNECT);
        sendUdp(record);
    }
    if (record.tcp)
        receiveTcpMessages(record);
    if (record.udp)
        receiveUdpMessages(record);
}

void NetHost::receiveTcpMessages(ClientRecord& record)
{
    for (int i = 0; i < MaxMessagesPerPoll && !record.removed; ++i) {
        if (!inBuffer.receiveTCP(record.tcp, record.partial)) {
            // Gone without a farewell: closed, crashed or cut off.
            removeClient(record.pid);
            say("Host: " + record.name + " closed the connection.");
            return;
        }
        if (!inBuffer.isReadable())
            return;
        readMessage(record);
    }
}

void NetHost::receiveUdpMessages(ClientRecord& record)
{
    for (int i = 0; i < MaxMessagesPerPoll && !record.removed; ++i) {
        if (!inBuffer.receiveUDP(record.udp) || !inBuffer.isReadable())
            return;
        // The client's own port is for the client alone.
        const IPaddress from = inBuffer.senderAddress();
        if (from.host == record.address.host && from.port == record.address.port)
            readMessage(record);
    }
}

void NetHost::readMessage(ClientRecord& record)
{
    while (inBuffer.isReadable() && !record.removed) {
        u16 header = inBuffer.readU16();
        if (inBuffer.readOverran() || !readEntry(record, header))
            return;
    }
}

void NetHost::takeMessage(ClientRecord& record, const u8* message)
{
    inBuffer.loadMessage(message);
    readMessage(record);
}

// False when the message ends here. An entry whose fields run past the message is dropped.
bool NetHost::readEntry(ClientRecord& record, u16 header)
{
    switch (headerRange(header)) {
    case PACKDATA:
        if (header == PACK_END)
            return false;
        say("Host: Invalid PACKDATA packet header: 0x" + hexText(header));
        return true;
    case CONNDATA:
        return readConnEntry(record, header);
    case MASSAGE:
        break;
    default:
        say("Host: Invalid PID Range: " + hexText(header));
        return true;
    }
    if (header != MASSAGE_SAID && header != MASSAGE_TEXT) {
        say("Host: Invalid MASSAGE packet header: 0x" + hexText(header));
        return true;
    }
    std::string text = inBuffer.readString();
    if (inBuffer.readOverran())
        return true;
    if (header == MASSAGE_SAID) {
        say(record.name + " said: " + text);
    } else {
        say(text);
        relayText(record, text);
    }
    return true;
}

bool NetHost::readConnEntry(ClientRecord& record, u16 header)
{
    switch (header) {
    case CONN_RENAME: {
        std::string newName = inBuffer.readString();
        if (!inBuffer.readOverran())
            rename(record, newName.substr(0, MaxTextLength));
        return true;
    }
    case CONN_PID_CONFIRM: {
        u32 echoed = inBuffer.readU32();
        if (inBuffer.readOverran())
            return true;
        if (echoed != record.pid) {
            removeClient(record.pid);
            say("Host: " + record.name + " was killed for impersonation...");
            return false;
        }
        record.state |= PidConfirmed;
        if (record.state & ChallengePassed) {
            begin(CONN_OPEN_UDP);
            sendTcp(record);
        }
        return true;
    }
    case CONN_UDP_DONE:
        completeUdp(record);
        return true;
    case CONN_CHALLENGE: {
        u32 challenge = inBuffer.readU32();
        if (!inBuffer.readOverran()) {
            begin(CONN_CHALLENGE_ANSWER);
            outBuffer.writeU32(challengeAnswer(challenge));
            sendTcp(record);
        }
        return true;
    }
    case CONN_CHALLENGE_ANSWER: {
        u32 answer = inBuffer.readU32();
        if (inBuffer.readOverran())
            return true;
        if (answer != record.expectedAnswer) {
            removeClient(record.pid);
            say("Host: " + record.name + " was deemed insane and killed...");
            return false;
        }
        record.state |= ChallengePassed;
        return true;
    }
    case CONN_DISCONNECT:
        removeClient(record.pid);
        say("Host: " + record.name + " closed the connection.");
        return false;
    default:
        say("Host: Invalid CONNDATA packet header: 0x" + hexText(header));
        return true;
    }
}

void NetHost::rename(ClientRecord& record, const std::string& newName)
{
    sendText(record, CONN_RENAME, newName);
    std::string announcement = "Host: '" + record.name + "' now known as '" + newName + "'.";
    say(announcement);
    record.name = newName;
    relayText(record, announcement + "\n");
}

void NetHost::completeUdp(ClientRecord& record)
{
    if (record.pending & AnnounceClientPort) {
        record.state |= UdpComplete;
        record.pending = u8(record.pending & ~AnnounceClientPort);
        say("Host: " + record.name + " completed connection.");
    }
    begin(CONN_UDP_DONE);
    sendUdp(record);
}

void NetHost::relayText(ClientRecord& from, const std::string& text)
{
    for (auto& record : clients) {
        if (record->pid != from.pid && !record->removed)
            sendText(*record, MASSAGE_TEXT, text);
    }
}

void NetHost::checkListenPort()
{
    if (!listenUDP)
        return;
    if (!inBuffer.receiveUDP(listenUDP)) {
        say("Host: Failed to recieve connection data on UDPSock.");
        return;
    }
    if (!inBuffer.isReadable())
        return;
    // Only the first entry of a first contact counts.
    u16 header = inBuffer.readU16();
    switch (header) {
    case CONN_UDPCONNECT: {
        u32 pid = inBuffer.readU32();
        if (!inBuffer.readOverran())
            openClientPort(pid);
        break;
    }
    case CONN_UDP_DONE:
        say("Host: unexpected UDPCONNECT to UDP Listen Port.");
        break;
    default:
        say("Host: Divergent contact to UDP Listen Port:" + hexText(header));
        break;
    }
}

void NetHost::openClientPort(u32 pid)
{
    ClientRecord* record = findClient(pid);
    if (!record || record->removed || record->udp)
        return;
    // A PID is easily guessed; the UDP path must come from the machine that holds the TCP one.
    IPaddress from = inBuffer.senderAddress();
    if (from.host != record->address.host)
        return;
    UDPsocket socket = openRandomUdpPort();
    if (!socket) {
        say("Host: could not allocate a UDP port for new client.");
        removeClient(pid);
        return;
    }
    record->udp = socket;
    record->address = from;
    record->pending |= AnnounceClientPort;
}

bool NetHost::handleCommand(const std::string& line)
{
    if (startsWith(line, "/host-help")) {
        say("Ostrenet Host Commands:");
        say("/host-help - this information.");
        say("/host-quit , /host-kill - terminate the host.");
        say("/host-query - get info on connected clients.");
        return true;
    }
    if (startsWith(line, "/host-kill") || startsWith(line, "/host-quit")) {
        say("Disconnecting host...");
        console.hostEnded();
        return true;
    }
    if (startsWith(line, "/host-query")) {
        query();
        return true;
    }
    if (!startsWith(line, "&"))
        return false;
    std::string text = line.substr(1);
    say("Host: " + text);
    for (auto& record : clients) {
        if (!record->removed)
            sendText(*record, MASSAGE_SAID, text);
    }
    return true;
}

void NetHost::query()
{
    for (auto& record : clients) {
        say(record->name + ": " + handleText(record->tcp) + "/" + handleText(record->udp) + " - "
            + std::to_string(record->state));
    }
}

void NetHost::begin(u16 header)
{
    outBuffer.reset();
    outBuffer.writeHeader(header);
}

bool NetHost::sendTcp(ClientRecord& record)
{
    if (record.removed)
        return false;
    outBuffer.writeEnd();
    if (outBuffer.sendTCP(record.tcp))
        return true;
    say("Host: " + record.name + " removed; TCPsend failed.");
    removeClient(record.pid);
    return false;
}

bool NetHost::sendUdp(ClientRecord& record)
{
    if (record.removed)
        return false;
    outBuffer.writeEnd();
    if (outBuffer.sendUDP(record.udp, record.address))
        return true;
    say("Host: " + record.name + " removed; UDPsend failed.");
    removeClient(record.pid);
    return false;
}

void NetHost::sendText(ClientRecord& record, u16 header, const std::string& text)
{
    outBuffer.reset();
    outBuffer.writeTextEntry(header, text);
    sendTcp(record);
}
