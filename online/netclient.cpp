#include "online/netclient.h"

#include "online/protocol.h"
#include "online/systostrenet.h"

#include <SDL/SDL.h>

namespace {

constexpr char DownloadPage[] = "http://ostrevan.invalid/download";
constexpr u32 DisconnectWaitMs = 200;
// "/client-name " and at least one character of the name.
constexpr size_t NamePrefixLength = 13;

} // namespace

NetClient::NetClient(SystOstrenet& console, const char* server) : console(console)
{
    console.print("Initializing client...");
    if (setUp(server))
        console.print("Client successfully initialized.");
}

NetClient::~NetClient()
{
    if (tcp) {
        begin(CONN_DISCONNECT);
        finishTcp();
        // The last message needs a moment to leave before the socket closes.
        SDL_Delay(DisconnectWaitMs);
        SDLNet_TCP_Close(tcp);
    }
    if (udp)
        SDLNet_UDP_Close(udp);
    if (socketSet)
        SDLNet_FreeSocketSet(socketSet);
}

void NetClient::fail(const std::string& message)
{
    console.print(message + SDL_GetError());
    console.clientEnded();
}

bool NetClient::setUp(const char* server)
{
    if (SDLNet_ResolveHost(&serverTCP, server, OnlineTcpPort) == -1
        || SDLNet_ResolveHost(&serverUDP, server, OnlineUdpPort) == -1) {
        fail("IP-ERROR: ");
        return false;
    }
    console.print("IP: " + dottedHost(serverTCP));
    tcp = SDLNet_TCP_Open(&serverTCP);
    if (!tcp) {
        fail("TCP-ERROR: ");
        return false;
    }
    socketSet = SDLNet_AllocSocketSet(1);
    if (!socketSet || SDLNet_TCP_AddSocket(socketSet, tcp) == -1) {
        fail("Client: SOCKSET-ERROR: ");
        return false;
    }
    return true;
}

void NetClient::poll()
{
    if (socketSet && SDLNet_CheckSockets(socketSet, 0) < 0)
        console.print(std::string("CheckSockets Error: ") + SDL_GetError());
    if (tcp)
        receiveTcpMessages();
    if (udp)
        receiveUdpMessages();
    flushPending();
}

void NetClient::receiveTcpMessages()
{
    for (int i = 0; i < MaxMessagesPerPoll && tcp; ++i) {
        if (!inBuffer.receiveTCP(tcp, partial)) {
            loseConnection();
            return;
        }
        if (!inBuffer.isReadable())
            return;
        readMessage();
    }
}

void NetClient::receiveUdpMessages()
{
    for (int i = 0; i < MaxMessagesPerPoll && udp; ++i) {
        if (!inBuffer.receiveUDP(udp) || !inBuffer.isReadable())
            return;
        // Only the host's machine may speak on the client's UDP path.
        if (inBuffer.senderAddress().host == serverTCP.host)
            readMessage();
    }
}

void NetClient::loseConnection()
{
    // The host went away without a word: the connection is closed and no farewell can be sent.
    if (socketSet)
        SDLNet_TCP_DelSocket(socketSet, tcp);
    SDLNet_TCP_Close(tcp);
    tcp = nullptr;
    console.print("Client was disconnected by the server.");
    console.clientEnded();
}

void NetClient::readMessage()
{
    while (inBuffer.isReadable()) {
        u16 header = inBuffer.readU16();
        if (inBuffer.readOverran() || !readEntry(header))
            return;
    }
}

// False when the message ends here. An entry whose fields run past the message is dropped.
bool NetClient::readEntry(u16 header)
{
    switch (header) {
    case PACK_END:
        return false;
    case CONN_VERSION: {
        u16 version = inBuffer.readU16();
        if (!inBuffer.readOverran())
            checkVersion(version);
        return true;
    }
    case CONN_PID: {
        u32 given = inBuffer.readU32();
        if (!inBuffer.readOverran())
            takePid(given);
        return true;
    }
    case CONN_OPEN_UDP:
        openUdp();
        return true;
    case CONN_UDPCONNECT:
        // The host's answer comes from the port it opened for this client; over TCP it has no
        // sender to take.
        if ((pending & AnnounceUdpPath) && inBuffer.isUDP()) {
            serverUDP = inBuffer.senderAddress();
            pending = u8((pending & ~AnnounceUdpPath) | ConfirmUdpPath);
        }
        return true;
    case CONN_UDP_DONE:
        if (pending & ConfirmUdpPath) {
            pending = u8(pending & ~ConfirmUdpPath);
            console.print("Client connection successful.");
        }
        return true;
    case CONN_RENAME: {
        std::string newName = inBuffer.readString();
        if (!inBuffer.readOverran()) {
            name = newName;
            console.print("You have been renamed '" + name + "'.");
        }
        return true;
    }
    case CONN_CHALLENGE: {
        u32 challenge = inBuffer.readU32();
        if (!inBuffer.readOverran()) {
            begin(CONN_CHALLENGE_ANSWER);
            outBuffer.writeU32(challengeAnswer(challenge));
            finishTcp();
        }
        return true;
    }
    case CONN_CHALLENGE_ANSWER:
        // Nothing to check, but its field must be passed over to reach the next entry.
        inBuffer.readU32();
        return true;
    case CONN_DISCONNECT:
        console.print("Client was disconnected by the server.");
        console.clientEnded();
        return true;
    case MASSAGE_SAID: {
        std::string text = inBuffer.readString();
        if (!inBuffer.readOverran())
            console.print("Host said: " + text);
        return true;
    }
    case MASSAGE_TEXT: {
        std::string text = inBuffer.readString();
        if (!inBuffer.readOverran())
            console.print(text);
        return true;
    }
    default:
        break;
    }
    switch (headerRange(header)) {
    case CONNDATA: console.print("Client: Invalid CONNDATA packet header: 0x" + hexText(header)); break;
    case PACKDATA: console.print("Client: Invalid PACKDATA packet header: 0x" + hexText(header)); break;
    case MASSAGE: console.print("Client: Invalid MASSAGE packet header: 0x" + hexText(header)); break;
    default: console.print("Host: Invalid PID Range: 0x" + hexText(header)); break;
    }
    return true;
}

void NetClient::checkVersion(u16 version)
{
    if (version == ProtocolVersion)
        return;
    if (version < ProtocolVersion)
        console.print("Client error: host's version is outdated.  Contact the host and tell them to update.");
    else
        console.print(std::string("Client error: your game version is outdated.  Upgrade at ") + DownloadPage);
    console.clientEnded();
}

void NetClient::takePid(u32 given)
{
    pid = given;
    name = std::to_string(pid);
    console.print("Your name is " + name + ".  Use '/client-name <name>' to change it.");
    begin(CONN_PID_CONFIRM);
    outBuffer.writeU32(pid);
    finishTcp();
}

void NetClient::openUdp()
{
    UDPsocket opened = openRandomUdpPort();
    if (!opened) {
        console.print("Client: Failed to bind to a UDP port.");
        console.clientEnded();
        return;
    }
    // A repeated request replaces the socket; the old one is closed, not left open.
    if (udp)
        SDLNet_UDP_Close(udp);
    udp = opened;
    pending |= AnnounceUdpPath;
}

void NetClient::flushPending()
{
    if (udp && (pending & AnnounceUdpPath)) {
        begin(CONN_UDPCONNECT);
        outBuffer.writeU32(pid);
        finishUdp();
    }
    if (udp && (pending & ConfirmUdpPath)) {
        begin(CONN_UDP_DONE);
        finishUdp();
    }
    // A lost connection has been reported already; there is nothing to send it on.
    if (tcp && (pending & SendUnused0107)) {
        begin(CONN_UNUSED_0107);
        finishTcp();
    }
}

void NetClient::begin(u16 header)
{
    outBuffer.reset();
    outBuffer.writeHeader(header);
}

void NetClient::finishTcp()
{
    outBuffer.writeEnd();
    if (!outBuffer.sendTCP(tcp))
        console.print("Client: TCPSend failed.");
}

void NetClient::finishUdp()
{
    outBuffer.writeEnd();
    if (!outBuffer.sendUDP(udp, serverUDP))
        console.print("Client: UDPSend failed.");
}

bool NetClient::handleCommand(const std::string& line)
{
    if (!startsWith(line, "/")) {
        chat(line);
        return true;
    }
    if (startsWith(line, "/client-help")) {
        console.print("/client-help - this information.");
        console.print("/client-quit , /client-kill - terminate the client.");
        console.print("/client-name <name> - change your nickname to <name>.");
        return true;
    }
    if (startsWith(line, "/client-kill") || startsWith(line, "/client-quit")) {
        console.print("Disconnecting client...");
        console.clientEnded();
        return true;
    }
    if (startsWith(line, "/client-name")) {
        requestName(line);
        return true;
    }
    return false;
}

void NetClient::chat(const std::string& line)
{
    std::string text = name + ": " + line;
    outBuffer.reset();
    outBuffer.writeTextEntry(MASSAGE_TEXT, text);
    console.print(text);
    if (tcp)
        finishTcp();
}

void NetClient::requestName(const std::string& line)
{
    if (line.size() <= NamePrefixLength || line[NamePrefixLength - 1] != ' ') {
        console.print("proper usage is: '/client-name <name>', where <name> is the desired name.");
        return;
    }
    // The name changes only when the host confirms it.
    outBuffer.reset();
    outBuffer.writeTextEntry(CONN_RENAME, line.substr(NamePrefixLength));
    finishTcp();
}
