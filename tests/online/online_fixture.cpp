#include "tests/online/online_fixture.h"

#include "core/input.h"
#include "core/media.h"
#include "core/random.h"
#include "core/respack.h"
#include "online/netclient.h"
#include "online/nethost.h"
#include "online/protocol.h"
#include "tests/support/fake_input.h"

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr char LockFile[] = "/tmp/warden-online-ports.lock";
constexpr int LockTries = 6000;  // 20 ms apart: two minutes at most
constexpr u32 LockRetryMs = 20;

enum class Field { None, U16, U32, Text };

Field fieldOf(u16 header, bool sentByHost)
{
    switch (header) {
    case CONN_VERSION: return Field::U16;
    case CONN_PID:
    case CONN_PID_CONFIRM:
    case CONN_CHALLENGE:
    case CONN_CHALLENGE_ANSWER: return Field::U32;
    case CONN_UDPCONNECT: return sentByHost ? Field::None : Field::U32;
    case CONN_RENAME:
    case MASSAGE_SAID:
    case MASSAGE_TEXT: return Field::Text;
    default: return Field::None;
    }
}

} // namespace

bool PortLock::acquire()
{
    fd = open(LockFile, O_CREAT | O_RDWR, 0666);
    if (fd < 0)
        return false;
    for (int i = 0; i < LockTries; ++i) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        SDL_Delay(LockRetryMs);
    }
    close(fd);
    fd = -1;
    return false;
}

void PortLock::release()
{
    if (fd < 0)
        return;
    flock(fd, LOCK_UN);
    close(fd);
    fd = -1;
}

RawTcp::RawTcp(TCPsocket socket) : socket(socket), set(SDLNet_AllocSocketSet(1))
{
    SDLNet_TCP_AddSocket(set, socket);
}

RawTcp::~RawTcp()
{
    SDLNet_FreeSocketSet(set);
    SDLNet_TCP_Close(socket);
}

std::unique_ptr<RawTcp> RawTcp::connectToHost()
{
    IPaddress host;
    if (SDLNet_ResolveHost(&host, "127.0.0.1", OnlineTcpPort) == -1)
        return nullptr;
    TCPsocket socket = SDLNet_TCP_Open(&host);
    return socket ? std::make_unique<RawTcp>(socket) : nullptr;
}

bool RawTcp::sendBytes(const u8* bytes, int count)
{
    return SDLNet_TCP_Send(socket, bytes, count) == count;
}

bool RawTcp::send(Netbuffer& message)
{
    return message.sendTCP(socket);
}

bool RawTcp::tryReceive(Netbuffer& into)
{
    SDLNet_CheckSockets(set, 0);
    return into.receiveTCP(socket, partial) && into.isReadable();
}

bool RawTcp::closedByPeer()
{
    Netbuffer scratch;
    SDLNet_CheckSockets(set, 0);
    return !scratch.receiveTCP(socket, partial);
}

std::vector<Entry> readEntries(Netbuffer& message, bool sentByHost)
{
    std::vector<Entry> entries;
    while (message.isReadable()) {
        Entry entry{message.readU16()};
        if (entry.header == PACK_END)
            break;
        switch (fieldOf(entry.header, sentByHost)) {
        case Field::U16: entry.number = message.readU16(); break;
        case Field::U32: entry.number = message.readU32(); break;
        case Field::Text: entry.text = message.readString(); break;
        case Field::None: break;
        }
        entries.push_back(entry);
    }
    return entries;
}

void buildMessage(Netbuffer& message, const std::vector<Entry>& entries, bool sentByHost)
{
    message.reset();
    for (const Entry& entry : entries) {
        message.writeHeader(entry.header);
        switch (fieldOf(entry.header, sentByHost)) {
        case Field::U16: message.writeU16(u16(entry.number)); break;
        case Field::U32: message.writeU32(entry.number); break;
        case Field::Text: message.writeString(entry.text); break;
        case Field::None: break;
        }
    }
    message.writeEnd();
}

const Entry* findEntry(const std::vector<Entry>& entries, u16 header)
{
    for (const Entry& entry : entries) {
        if (entry.header == header)
            return &entry;
    }
    return nullptr;
}

void sendFromAnotherMachine(const IPaddress& to, const std::vector<Entry>& entries, bool sentByHost)
{
    Netbuffer message;
    buildMessage(message, entries, sentByHost);
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in from{}, target{};
    from.sin_family = target.sin_family = AF_INET;
    from.sin_addr.s_addr = inet_addr("127.0.0.2");
    target.sin_addr.s_addr = to.host;  // both already in network order
    target.sin_port = to.port;
    const bool sent = bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) == 0 &&
                      sendto(fd, message.bytes(), MessageSize, 0, reinterpret_cast<sockaddr*>(&target),
                             sizeof target) == MessageSize;
    close(fd);
    ASSERT_TRUE(sent) << "no datagram from 127.0.0.2";
}

void OnlineTest::SetUp()
{
    SdlTest::SetUp();
    portsHeld = ports.acquire();
    ASSERT_TRUE(portsHeld) << "another test run kept the online ports " << OnlineTcpPort << "/"
                           << OnlineUdpPort << " for two minutes";
    ASSERT_EQ(SDLNet_Init(), 0) << SDL_GetError();
    initResourcePack();
    fake_input::install();
    initInput();
    seedStream(0, 4242);
}

void OnlineTest::TearDown()
{
    consoles.clear();
    if (portsHeld) {
        shutdownInput();
        fake_input::uninstall();
        testing::internal::CaptureStdout();  // the cache lists what it frees
        freeAllSurfaces();
        testing::internal::GetCapturedStdout();
        cleanupResourcePack();
        releaseAllStreams();
        SDLNet_Quit();
        // The last quit gives SIGPIPE back: every console let go of the network it started.
        EXPECT_EQ(std::signal(SIGPIPE, SIG_DFL), SIG_DFL) << "the network is still started";
        ports.release();
    }
    SdlTest::TearDown();
}

SystOstrenet& OnlineTest::newConsole()
{
    consoles.push_back(std::make_unique<SystOstrenet>());
    return *consoles.back();
}

bool OnlineTest::pumpUntil(const std::function<bool()>& done, int frames)
{
    for (int i = 0; i < frames; ++i) {
        for (auto& console : consoles)
            console->update();
        if (done())
            return true;
        SDL_Delay(1);
    }
    return false;
}

void OnlineTest::pump(int frames)
{
    pumpUntil([] { return false; }, frames);
}

void OnlineTest::startHost(SystOstrenet& console)
{
    console.handleLine("/host");
    ASSERT_TRUE(logHas(console, "Host successfully initialized."))
        << "the online ports " << OnlineTcpPort << "/" << OnlineUdpPort
        << " are busy on this machine:\n" << console.logText();
}

void OnlineTest::startClient(SystOstrenet& console)
{
    console.handleLine("/client");
    ASSERT_TRUE(logHas(console, "Client successfully initialized.")) << console.logText();
}

void OnlineTest::connectClient(SystOstrenet& console)
{
    startClient(console);
    ASSERT_TRUE(pumpUntil([&] { return logHas(console, "Client connection successful."); }))
        << console.logText();
}

bool OnlineTest::receive(RawTcp& raw, Netbuffer& into)
{
    return pumpUntil([&] { return raw.tryReceive(into); });
}

void OnlineTest::sendEntries(RawTcp& raw, const std::vector<Entry>& entries, bool sentByHost)
{
    Netbuffer message;
    buildMessage(message, entries, sentByHost);
    ASSERT_TRUE(raw.send(message));
}

u16 portNumber(IPaddress address)
{
    return SDLNet_Read16(&address.port);
}

int countInLog(const SystOstrenet& console, const std::string& text)
{
    int count = 0;
    const std::string& log = console.logText();
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        ++count;
    return count;
}

bool logHas(const SystOstrenet& console, const std::string& text)
{
    return countInLog(console, text) > 0;
}
