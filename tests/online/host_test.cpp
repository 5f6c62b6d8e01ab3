#include "tests/online/online_fixture.h"

#include "core/message.h"
#include "online/nethost.h"
#include "online/protocol.h"

#include <SDL/SDL_net.h>
#include <array>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace {

// A real host on one console, and clients played by hand.
class HostTest : public OnlineTest {
protected:
    void SetUp() override
    {
        OnlineTest::SetUp();
        if (HasFatalFailure())
            return;
        hostConsole = &newConsole();
        startHost(*hostConsole);
    }

    NetHost& host() { return *hostConsole->currentHost(); }
    size_t clientCount() { return host().clientRecords().size(); }
    const ClientRecord& record(size_t i) { return *host().clientRecords()[i]; }

    // A raw client that has connected and read its greeting.
    struct Joined {
        std::unique_ptr<RawTcp> tcp;
        u32 pid = 0;
        u32 challenge = 0;
    };
    Joined join()
    {
        Joined joined;
        joined.tcp = RawTcp::connectToHost();
        Netbuffer greeting;
        // Every caller talks on the connection next, and a helper that returns a value cannot
        // stop the test with ASSERT: a throw ends the test, reported, instead of a crash.
        if (!joined.tcp || !receive(*joined.tcp, greeting))
            throw std::runtime_error("no connection to the host, or no greeting on it");
        std::vector<Entry> entries = readEntries(greeting, true);
        if (const Entry* pid = findEntry(entries, CONN_PID))
            joined.pid = pid->number;
        if (const Entry* challenge = findEntry(entries, CONN_CHALLENGE))
            joined.challenge = challenge->number;
        return joined;
    }
    // Answers the challenge and confirms the PID, in that order, and waits for CONN_OPEN_UDP.
    void passHandshake(Joined& joined)
    {
        sendEntries(*joined.tcp, {{CONN_CHALLENGE_ANSWER, challengeAnswer(joined.challenge)}}, false);
        sendEntries(*joined.tcp, {{CONN_PID_CONFIRM, joined.pid}}, false);
        Netbuffer reply;
        ASSERT_TRUE(receive(*joined.tcp, reply));
        ASSERT_EQ(readEntries(reply, true).at(0).header, CONN_OPEN_UDP);
    }
    // Nothing more arrives on the connection for a while.
    bool staysQuiet(RawTcp& raw)
    {
        Netbuffer message;
        return !pumpUntil([&] { return raw.tryReceive(message); }, 30);
    }
    bool gotDisconnect(RawTcp& raw)
    {
        Netbuffer message;
        return receive(raw, message) && findEntry(readEntries(message, true), CONN_DISCONNECT);
    }
    bool hostLogHas(const std::string& text) { return logHas(*hostConsole, text); }
    // The host's queue of waiting connections is short, and a connection beyond it would wait
    // for room: each one is let in before the next is made.
    bool connectOne(std::vector<std::unique_ptr<RawTcp>>& raws, const std::function<bool()>& accepted)
    {
        raws.push_back(RawTcp::connectToHost());
        return raws.back() && pumpUntil(accepted);
    }

    SystOstrenet* hostConsole = nullptr;
};

TEST_F(HostTest, TheGreetingIsVersionChallengeAndPidInOneMessage)
{
    auto raw = RawTcp::connectToHost();
    ASSERT_NE(raw, nullptr);
    Netbuffer greeting;
    ASSERT_TRUE(receive(*raw, greeting));
    const u8* b = greeting.bytes();
    std::array<u8, 18> expected = {0x01, 0x01, 0x02, 0x00,  // version 2
                                   0x84, 0x01, b[6], b[7], b[8], b[9],  // the challenge
                                   0x02, 0x01, 0xA0, 0x86, 0x01, 0x00,  // PID 100000
                                   0x01, 0x00};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), b));
    EXPECT_TRUE(hostLogHas("Host: New client connecting.\n"));
    ASSERT_EQ(clientCount(), 1u);
    EXPECT_EQ(record(0).name, "100000");
    u32 challenge = u32(b[6]) | u32(b[7]) << 8 | u32(b[8]) << 16 | u32(b[9]) << 24;
    EXPECT_EQ(record(0).expectedAnswer, challengeAnswer(challenge));

    Joined second = join();
    EXPECT_EQ(second.pid, 100001u);
    EXPECT_EQ(record(1).name, "100001");
}

TEST_F(HostTest, UdpIsOpenedOnlyOnceBothTheAnswerAndThePidAreRight)
{
    Joined joined = join();
    // The PID first: the answer that follows sets its bit but sends nothing.
    sendEntries(*joined.tcp, {{CONN_PID_CONFIRM, joined.pid}}, false);
    sendEntries(*joined.tcp, {{CONN_CHALLENGE_ANSWER, challengeAnswer(joined.challenge)}}, false);
    EXPECT_TRUE(staysQuiet(*joined.tcp));
    EXPECT_EQ(record(0).state, PidConfirmed | ChallengePassed);

    // A host asked a challenge answers it.
    sendEntries(*joined.tcp, {{CONN_CHALLENGE, 77}}, false);
    Netbuffer reply;
    ASSERT_TRUE(receive(*joined.tcp, reply));
    std::vector<Entry> entries = readEntries(reply, true);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].header, CONN_CHALLENGE_ANSWER);
    EXPECT_EQ(entries[0].number, challengeAnswer(77));

    Joined other = join();
    passHandshake(other);
}

TEST_F(HostTest, AWrongAnswerOrAWrongPidGetsTheClientKilled)
{
    Joined insane = join();
    Joined impostor = join();
    sendEntries(*insane.tcp,
                {{CONN_CHALLENGE_ANSWER, challengeAnswer(insane.challenge) + 1}, {MASSAGE_SAID, 0, "after"}},
                false);
    EXPECT_TRUE(gotDisconnect(*insane.tcp));
    EXPECT_TRUE(hostLogHas("Host: 100000 was deemed insane and killed...\n"));
    EXPECT_FALSE(hostLogHas("said: after")) << "the rest of the message is not read";

    sendEntries(*impostor.tcp, {{CONN_PID_CONFIRM, insane.pid}}, false);
    EXPECT_TRUE(gotDisconnect(*impostor.tcp));
    EXPECT_TRUE(hostLogHas("Host: 100001 was killed for impersonation...\n"));
    EXPECT_EQ(clientCount(), 0u) << "both are deleted at the end of the poll";
    EXPECT_EQ(host().socketsInSet(), 1) << "only the listening socket is watched";
    EXPECT_TRUE(pumpUntil([&] { return insane.tcp->closedByPeer() && impostor.tcp->closedByPeer(); }));
}

TEST_F(HostTest, UnknownHeadersAreReportedAndReadingGoesOn)
{
    Joined joined = join();
    sendEntries(*joined.tcp,
                {{CONN_UNUSED_0107}, {0x0055}, {0x0299}, {0x0300}, {MASSAGE_SAID, 0, "still read"}}, false);
    ASSERT_TRUE(pumpUntil([&] { return hostLogHas("100000 said: still read\n"); }));
    EXPECT_TRUE(hostLogHas("Host: Invalid CONNDATA packet header: 0x107\n"
                           "Host: Invalid PACKDATA packet header: 0x55\n"
                           "Host: Invalid MASSAGE packet header: 0x299\n"
                           "Host: Invalid PID Range: 300\n"
                           "100000 said: still read\n"))
        << hostConsole->logText();
}

TEST_F(HostTest, EntriesCutOffByTheEndOfTheMessageAreNotActedOn)
{
    Joined joined = join();
    Joined listener = join();
    // A full first entry, then a PID confirmation whose number would lie past byte 255.
    std::array<u8, MessageSize> bytes{};
    bytes[0] = 0x01;
    bytes[1] = 0x02;  // MASSAGE_SAID
    std::fill(bytes.begin() + 2, bytes.begin() + 251, 'a');
    bytes[252] = 0x03;
    bytes[253] = 0x01;  // CONN_PID_CONFIRM
    bytes[254] = 0x12;
    bytes[255] = 0x34;
    ASSERT_TRUE(joined.tcp->sendBytes(bytes.data(), MessageSize));
    ASSERT_TRUE(pumpUntil([&] { return hostLogHas("100000 said: aaa"); }));

    // A chat text with no end fills the message.
    bytes.fill('b');
    bytes[0] = 0x02;
    bytes[1] = 0x02;  // MASSAGE_TEXT
    ASSERT_TRUE(joined.tcp->sendBytes(bytes.data(), MessageSize));
    sendEntries(*joined.tcp, {{MASSAGE_SAID, 0, "done"}}, false);
    ASSERT_TRUE(pumpUntil([&] { return hostLogHas("100000 said: done\n"); }));

    EXPECT_FALSE(hostLogHas("impersonation")) << "the cut-off PID was not compared";
    EXPECT_FALSE(hostLogHas("(NOSTRING)"));
    EXPECT_EQ(clientCount(), 2u);
    EXPECT_TRUE(staysQuiet(*listener.tcp)) << "nothing was relayed";
}

TEST_F(HostTest, AMessageThatArrivesInPiecesIsReadWhole)
{
    Joined joined = join();
    Netbuffer message;
    buildMessage(message, {{MASSAGE_SAID, 0, "in two pieces"}}, false);
    ASSERT_TRUE(joined.tcp->sendBytes(message.bytes(), 100));
    pump(5);
    EXPECT_FALSE(hostLogHas("in two pieces"));
    ASSERT_TRUE(joined.tcp->sendBytes(message.bytes() + 100, MessageSize - 100));
    sendEntries(*joined.tcp, {{MASSAGE_SAID, 0, "and whole"}}, false);
    ASSERT_TRUE(pumpUntil([&] { return hostLogHas("100000 said: and whole\n"); })) << hostConsole->logText();
    EXPECT_EQ(countInLog(*hostConsole, "100000 said: in two pieces\n"), 1);
    EXPECT_FALSE(hostLogHas("Invalid"));
}

TEST_F(HostTest, ALongNameIsCutSoThatEveryReplyStillFits)
{
    Joined joined = join();
    Joined listener = join();
    u32 reports = messagesShownCount();
    // The longest name a message can carry: it fills the message, with no room for an end.
    std::array<u8, MessageSize> bytes;
    bytes.fill('n');
    bytes[0] = 0x10;
    bytes[1] = 0x01;  // CONN_RENAME
    bytes[255] = 0;
    ASSERT_TRUE(joined.tcp->sendBytes(bytes.data(), MessageSize));
    Netbuffer echo, announcement;
    ASSERT_TRUE(receive(*joined.tcp, echo));
    ASSERT_TRUE(receive(*listener.tcp, announcement));
    EXPECT_EQ(messagesShownCount(), reports) << "no overflow stopped the host";
    EXPECT_EQ(readEntries(echo, true).at(0).text, std::string(251, 'n'));
    EXPECT_EQ(record(0).name, std::string(251, 'n'));
    std::vector<Entry> relayed = readEntries(announcement, true);
    ASSERT_EQ(relayed.size(), 1u);
    EXPECT_EQ(relayed[0].header, MASSAGE_TEXT);
    EXPECT_EQ(relayed[0].text.substr(0, 30), "Host: '100000' now known as 'n");
}

TEST_F(HostTest, AClientThatVanishesIsRemoved)
{
    Joined joined = join();
    Joined staying = join();
    joined.tcp.reset();
    ASSERT_TRUE(pumpUntil([&] { return clientCount() == 1; }));
    EXPECT_TRUE(hostLogHas("Host: 100000 closed the connection.\n"));
    EXPECT_EQ(record(0).pid, staying.pid);

    sendEntries(*staying.tcp, {{CONN_DISCONNECT}, {MASSAGE_SAID, 0, "after"}}, false);
    EXPECT_TRUE(gotDisconnect(*staying.tcp)) << "the host says goodbye as well";
    EXPECT_TRUE(hostLogHas("Host: 100001 closed the connection.\n"));
    EXPECT_FALSE(hostLogHas("said: after"));
    EXPECT_EQ(clientCount(), 0u);
}

TEST_F(HostTest, TheUdpPathIsSetUpWithTheClientsOwnAddressOnly)
{
    Joined joined = join();
    passHandshake(joined);
    UDPsocket mine = SDLNet_UDP_Open(0);
    UDPsocket stranger = SDLNet_UDP_Open(0);
    ASSERT_TRUE(mine && stranger);
    IPaddress listenPort, minePort;
    SDLNet_ResolveHost(&listenPort, "127.0.0.1", OnlineUdpPort);
    minePort = *SDLNet_UDP_GetPeerAddress(mine, -1);
    Netbuffer out, in;
    auto sendFrom = [&](UDPsocket from, const IPaddress& to, const std::vector<Entry>& entries) {
        buildMessage(out, entries, false);
        ASSERT_TRUE(out.sendUDP(from, to));
    };
    auto receiveOn = [&](UDPsocket socket) {
        return pumpUntil([&] { return in.receiveUDP(socket) && in.isReadable(); });
    };

    // The PID is easily guessed: said from another machine than the client's, it opens nothing.
    sendFromAnotherMachine(listenPort, {{CONN_UDPCONNECT, joined.pid}}, false);
    pump(20);
    EXPECT_EQ(record(0).udp, nullptr);
    sendFrom(mine, listenPort, {{CONN_UDPCONNECT, joined.pid}});
    ASSERT_TRUE(receiveOn(mine)) << "the host announces the port it opened for this client";
    EXPECT_EQ(readEntries(in, true).at(0).header, CONN_UDPCONNECT);
    IPaddress clientPort = in.senderAddress();
    EXPECT_NE(clientPort.port, listenPort.port);
    EXPECT_EQ(record(0).address.port, minePort.port);
    UDPsocket opened = record(0).udp;

    // A second announcement, from another port, changes nothing.
    sendFrom(stranger, listenPort, {{CONN_UDPCONNECT, joined.pid}});
    // Neither does a confirmation from a port other than the client's.
    sendFrom(stranger, clientPort, {{CONN_UDP_DONE}});
    pump(20);
    EXPECT_EQ(record(0).udp, opened);
    EXPECT_EQ(record(0).address.port, minePort.port);
    EXPECT_EQ(record(0).state & UdpComplete, 0);
    EXPECT_FALSE(in.receiveUDP(stranger) && in.isReadable()) << "nothing is sent to the stranger";

    sendFrom(mine, clientPort, {{CONN_UDP_DONE}});
    ASSERT_TRUE(pumpUntil([&] { return hostLogHas("Host: 100000 completed connection.\n"); }));
    EXPECT_EQ(record(0).state, PidConfirmed | ChallengePassed | UdpComplete);
    EXPECT_EQ(record(0).pending, 0);
    ASSERT_TRUE(pumpUntil([&] { return in.receiveUDP(mine) && in.isReadable() && in.readU16() == CONN_UDP_DONE; }));

    // The listen port only takes first contacts.
    sendFrom(mine, listenPort, {{CONN_UDP_DONE}});
    ASSERT_TRUE(pumpUntil([&] { return hostLogHas("Host: unexpected UDPCONNECT to UDP Listen Port.\n"); }));
    sendFrom(mine, listenPort, {{0x0123}});
    ASSERT_TRUE(pumpUntil([&] { return hostLogHas("Host: Divergent contact to UDP Listen Port:123\n"); }));
    sendFrom(mine, listenPort, {{CONN_UDPCONNECT, 424242}});
    pump(5);
    EXPECT_EQ(clientCount(), 1u);

    size_t before = hostConsole->logText().size();
    hostConsole->handleLine("/host-query");
    std::string line = hostConsole->logText().substr(before);
    EXPECT_EQ(line.substr(0, 10), "100000: 0x");
    EXPECT_EQ(line.substr(line.size() - 5), " - 7\n");
    SDLNet_UDP_Close(mine);
    SDLNet_UDP_Close(stranger);
}

TEST_F(HostTest, TheSocketSetGrowsWithTheClientsAndShrinksWhenTheyGo)
{
    std::vector<std::unique_ptr<RawTcp>> raws;
    for (size_t i = 0; i < 31; ++i)
        ASSERT_TRUE(connectOne(raws, [&] { return clientCount() == i + 1; }));
    EXPECT_EQ(host().socketSetCapacity(), 64);
    EXPECT_EQ(host().socketsInSet(), 32);
    // Every client is still heard after the set was rebuilt.
    sendEntries(*raws.back(), {{MASSAGE_SAID, 0, "last one"}}, false);
    ASSERT_TRUE(pumpUntil([&] { return hostLogHas("100030 said: last one\n"); }));
    raws.clear();
    ASSERT_TRUE(pumpUntil([&] { return clientCount() == 0; }));
    EXPECT_EQ(host().socketsInSet(), 1);
}

TEST_F(HostTest, ConnectionsBeyondTheLimitAreTurnedAway)
{
    std::vector<std::unique_ptr<RawTcp>> raws;
    for (size_t i = 0; i < NetHost::MaxClients; ++i)
        ASSERT_TRUE(connectOne(raws, [&] { return clientCount() == i + 1; })) << i;
    ASSERT_TRUE(connectOne(raws, [&] { return hostLogHas("Host: New client failed to init.\n"); }));
    EXPECT_EQ(clientCount(), NetHost::MaxClients);
    EXPECT_EQ(countInLog(*hostConsole, "Host: New client failed to init.\n"), 1);
    EXPECT_TRUE(pumpUntil([&] { return raws.back()->closedByPeer(); }));
}

namespace {

size_t openDescriptors()
{
    return size_t(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                std::filesystem::directory_iterator()));
}

void sendDatagram(UDPsocket from, const IPaddress& to, const std::vector<u8>& bytes)
{
    UDPpacket* packet = SDLNet_AllocPacket(int(std::max<size_t>(bytes.size(), 1)));
    std::copy(bytes.begin(), bytes.end(), packet->data);
    packet->len = int(bytes.size());
    packet->address = to;
    EXPECT_EQ(SDLNet_UDP_Send(from, -1, packet), 1);
    SDLNet_FreePacket(packet);
}

std::vector<u8> randomBytes(std::mt19937& rng, size_t count)
{
    std::vector<u8> bytes(count);
    for (u8& b : bytes)
        b = u8(rng());
    return bytes;
}

} // namespace

// Abuse over 127.0.0.1 only: a hundred connections that leave cleanly, drop mid-message, send
// garbage or too little, or give a wrong PID or answer; clients that vanish while chat is
// relayed to them; then garbage and short datagrams on both UDP ports. The host runs on, lets go of every socket it took, and a well-behaved client
// still completes its handshake.
TEST_F(HostTest, AbuseLeavesTheHostRunningAndClean)
{
    const size_t descriptorsBefore = openDescriptors();
    std::mt19937 rng(17);
    std::vector<std::unique_ptr<RawTcp>> raws;
    for (u32 i = 0; i < 100; ++i) {
        ASSERT_TRUE(connectOne(raws, [&] { return clientCount() == 1; })) << i;
        RawTcp& raw = *raws.back();
        std::vector<u8> bytes = randomBytes(rng, 3 * MessageSize + 77);
        switch (i % 6) {
        case 0: sendEntries(raw, {{CONN_DISCONNECT}}, false); break;
        case 1: raw.sendBytes(bytes.data(), MessageSize / 2); break;     // dropped mid-message
        case 2: raw.sendBytes(bytes.data(), int(bytes.size())); break;   // garbage
        case 3: raw.sendBytes(bytes.data(), 3); break;                   // too short
        case 4: sendEntries(raw, {{CONN_PID_CONFIRM, 100000 + i + 1}}, false); break;
        case 5: sendEntries(raw, {{CONN_CHALLENGE_ANSWER, u32(rng())}}, false); break;
        }
        raws.pop_back();
        ASSERT_TRUE(pumpUntil([&] { return clientCount() == 0; })) << i;
    }
    // A client that vanishes while the host still relays chat to it.
    for (u32 i = 0; i < 10; ++i) {
        ASSERT_TRUE(connectOne(raws, [&] { return clientCount() == 1; }));
        ASSERT_TRUE(connectOne(raws, [&] { return clientCount() == 2; }));
        raws.pop_back();
        sendEntries(*raws.back(), {{MASSAGE_TEXT, 0, "one"}, {MASSAGE_TEXT, 0, "two"}, {MASSAGE_TEXT, 0, "three"}},
                    false);
        raws.pop_back();
        ASSERT_TRUE(pumpUntil([&] { return clientCount() == 0; })) << i;
    }
    EXPECT_EQ(host().socketsInSet(), 1);
    EXPECT_EQ(openDescriptors(), descriptorsBefore);

    Joined joined = join();
    passHandshake(joined);
    UDPsocket mine = SDLNet_UDP_Open(0);
    ASSERT_NE(mine, nullptr);
    IPaddress listenPort;
    SDLNet_ResolveHost(&listenPort, "127.0.0.1", OnlineUdpPort);
    Netbuffer out, in;
    buildMessage(out, {{CONN_UDPCONNECT, joined.pid}}, false);
    ASSERT_TRUE(out.sendUDP(mine, listenPort));
    ASSERT_TRUE(pumpUntil([&] { return in.receiveUDP(mine) && in.isReadable(); }));
    const IPaddress clientPort = in.senderAddress();
    for (const IPaddress& port : {listenPort, clientPort}) {
        for (size_t size : {size_t(MessageSize), size_t(MessageSize + 40), size_t(10), size_t(1), size_t(0)})
            sendDatagram(mine, port, randomBytes(rng, size));
        buildMessage(out, {{CONN_UDPCONNECT, joined.pid + 5}, {CONN_PID_CONFIRM, 3}}, false);
        ASSERT_TRUE(out.sendUDP(mine, port));
        pump(5);
    }
    buildMessage(out, {{CONN_UDP_DONE}}, false);
    ASSERT_TRUE(out.sendUDP(mine, clientPort));
    EXPECT_TRUE(pumpUntil([&] { return hostLogHas("Host: " + std::to_string(joined.pid) + " completed connection.\n"); }))
        << "the client whose port took the garbage still completes";
    SDLNet_UDP_Close(mine);

    SystOstrenet& good = newConsole();
    connectClient(good);
    EXPECT_NE(hostConsole->currentHost(), nullptr);
    EXPECT_EQ(clientCount(), 2u);
}

// The ports belong to the whole machine: a host that cannot have them ends at once and says why.
class PortsTest : public OnlineTest {};

TEST_F(PortsTest, ABusyPortEndsTheHostWithTheReason)
{
    IPaddress anyAddress;
    SDLNet_ResolveHost(&anyAddress, nullptr, OnlineTcpPort);
    TCPsocket tcpSquatter = SDLNet_TCP_Open(&anyAddress);
    ASSERT_NE(tcpSquatter, nullptr) << SDL_GetError();
    SystOstrenet& console = newConsole();
    console.handleLine("/host");
    EXPECT_TRUE(logHas(console, "Initializing host...\nHost: TCP-ERROR: ")) << console.logText();
    console.update();
    EXPECT_EQ(console.currentHost(), nullptr);
    EXPECT_EQ(countInLog(console, "Host process terminated.\n"), 1);
    SDLNet_TCP_Close(tcpSquatter);

    UDPsocket udpSquatter = SDLNet_UDP_Open(OnlineUdpPort);
    ASSERT_NE(udpSquatter, nullptr) << SDL_GetError();
    console.handleLine("/host");
    EXPECT_TRUE(logHas(console, "Host: UDP-ERROR: ")) << console.logText();
    console.update();
    EXPECT_EQ(console.currentHost(), nullptr);
    SDLNet_UDP_Close(udpSquatter);

    // The failed host let go of its TCP port.
    startHost(console);
}

} // namespace
