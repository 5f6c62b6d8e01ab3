#include "tests/online/online_fixture.h"

#include "online/netclient.h"
#include "online/protocol.h"

#include <SDL/SDL_net.h>

namespace {

// A real client on one console, and a host played by hand on the game's ports.
class ClientTest : public OnlineTest {
protected:
    void SetUp() override
    {
        OnlineTest::SetUp();
        if (HasFatalFailure())
            return;
        IPaddress anyAddress;
        SDLNet_ResolveHost(&anyAddress, nullptr, OnlineTcpPort);
        listenTcp = SDLNet_TCP_Open(&anyAddress);
        listenUdp = SDLNet_UDP_Open(OnlineUdpPort);
        ownUdp = SDLNet_UDP_Open(0);
        ASSERT_TRUE(listenTcp && listenUdp && ownUdp)
            << "the online ports are busy on this machine: " << SDL_GetError();
        clientConsole = &newConsole();
        startClient(*clientConsole);
        TCPsocket accepted = nullptr;
        ASSERT_TRUE(pumpUntil([&] { return (accepted = SDLNet_TCP_Accept(listenTcp)) != nullptr; }));
        host = std::make_unique<RawTcp>(accepted);
    }
    void TearDown() override
    {
        consoles.clear();
        host.reset();
        SDLNet_UDP_Close(ownUdp);
        SDLNet_UDP_Close(listenUdp);
        SDLNet_TCP_Close(listenTcp);
        OnlineTest::TearDown();
    }

    NetClient* client() { return clientConsole->currentClient(); }
    bool clientLogHas(const std::string& text) { return logHas(*clientConsole, text); }
    // The entries of the next message the client sends by TCP.
    std::vector<Entry> nextFromClient()
    {
        Netbuffer message;
        if (!receive(*host, message))
            return {};
        return readEntries(message, false);
    }
    bool receiveUdp(UDPsocket socket, Netbuffer& into)
    {
        return pumpUntil([&] { return into.receiveUDP(socket) && into.isReadable(); });
    }
    void greet(u16 version)
    {
        sendEntries(*host, {{CONN_VERSION, version}, {CONN_CHALLENGE, 5}, {CONN_PID, 123456}}, true);
    }

    TCPsocket listenTcp = nullptr;
    UDPsocket listenUdp = nullptr;
    UDPsocket ownUdp = nullptr;
    std::unique_ptr<RawTcp> host;
    SystOstrenet* clientConsole = nullptr;
};

TEST_F(ClientTest, AnswersTheGreetingAndTakesItsPidAsName)
{
    greet(ProtocolVersion);
    std::vector<Entry> answer = nextFromClient();
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(answer[0].header, CONN_CHALLENGE_ANSWER);
    EXPECT_EQ(answer[0].number, challengeAnswer(5));
    std::vector<Entry> confirm = nextFromClient();
    ASSERT_EQ(confirm.size(), 1u);
    EXPECT_EQ(confirm[0].header, CONN_PID_CONFIRM);
    EXPECT_EQ(confirm[0].number, 123456u);
    EXPECT_TRUE(clientLogHas("Your name is 123456.  Use '/client-name <name>' to change it.\n"));
    EXPECT_EQ(client()->nickname(), "123456");
    EXPECT_EQ(client()->givenPid(), 123456u);
}

TEST_F(ClientTest, AHostOfAnotherVersionEndsTheClient)
{
    const Uint32 start = SDL_GetTicks();
    greet(3);
    ASSERT_TRUE(pumpUntil([&] { return client() == nullptr; }));
    EXPECT_GE(SDL_GetTicks() - start, 200u) << "the goodbye is given its moment to leave";
    EXPECT_TRUE(clientLogHas("Client error: your game version is outdated.  Upgrade at "));
    EXPECT_TRUE(clientLogHas("Client process terminated.\n"));
    // The rest of the greeting was still answered, and the client said goodbye.
    EXPECT_EQ(nextFromClient().at(0).header, CONN_CHALLENGE_ANSWER);
    EXPECT_EQ(nextFromClient().at(0).header, CONN_PID_CONFIRM);
    EXPECT_EQ(nextFromClient().at(0).header, CONN_DISCONNECT);
}

TEST_F(ClientTest, AnOlderHostIsToldToUpdate)
{
    sendEntries(*host, {{CONN_VERSION, 1}}, true);
    ASSERT_TRUE(pumpUntil([&] { return client() == nullptr; }));
    EXPECT_TRUE(clientLogHas(
        "Client error: host's version is outdated.  Contact the host and tell them to update.\n"));
    EXPECT_EQ(nextFromClient().at(0).header, CONN_DISCONNECT);
}

TEST_F(ClientTest, FollowsTheHostThroughTheUdpSetUp)
{
    greet(ProtocolVersion);
    nextFromClient();
    nextFromClient();
    sendEntries(*host, {{CONN_OPEN_UDP}}, true);
    Netbuffer announce;
    ASSERT_TRUE(receiveUdp(listenUdp, announce)) << "the client announces itself at the listen port";
    std::vector<Entry> entries = readEntries(announce, false);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].header, CONN_UDPCONNECT);
    EXPECT_EQ(entries[0].number, 123456u);
    ASSERT_TRUE(receiveUdp(listenUdp, announce)) << "and again every frame";
    IPaddress clientUdp = announce.senderAddress();

    // Said over TCP, the answer has no port to point at; said from another machine than the
    // host's, it is not the host's. Neither changes anything.
    sendEntries(*host, {{CONN_UDPCONNECT}}, true);
    sendFromAnotherMachine(clientUdp, {{CONN_UDPCONNECT}}, true);
    pump(10);
    EXPECT_EQ(client()->pendingSends(), AnnounceUdpPath);
    EXPECT_EQ(portNumber(client()->udpTarget()), OnlineUdpPort);

    Netbuffer out, in;
    buildMessage(out, {{CONN_UDPCONNECT}}, true);
    ASSERT_TRUE(out.sendUDP(ownUdp, clientUdp));
    ASSERT_TRUE(receiveUdp(ownUdp, in)) << "the client confirms at the port that answered";
    EXPECT_EQ(in.readU16(), CONN_UDP_DONE);
    EXPECT_EQ(client()->pendingSends(), ConfirmUdpPath);
    EXPECT_EQ(client()->udpTarget().port, SDLNet_UDP_GetPeerAddress(ownUdp, -1)->port);
    EXPECT_FALSE(clientLogHas("Client connection successful."));

    buildMessage(out, {{CONN_UDP_DONE}}, true);
    ASSERT_TRUE(out.sendUDP(ownUdp, clientUdp));
    ASSERT_TRUE(pumpUntil([&] { return clientLogHas("Client connection successful.\n"); }));
    EXPECT_EQ(client()->pendingSends(), 0);
    // A second confirmation finds no pending step.
    ASSERT_TRUE(out.sendUDP(ownUdp, clientUdp));
    pump(10);
    EXPECT_EQ(countInLog(*clientConsole, "Client connection successful.\n"), 1);

    // A burst is read a frame's share at a time.
    for (int i = 0; i <= MaxMessagesPerPoll; ++i) {
        buildMessage(out, {{MASSAGE_TEXT, 0, i < MaxMessagesPerPoll ? "early" : "late"}}, true);
        ASSERT_TRUE(out.sendUDP(ownUdp, clientUdp));
    }
    SDL_Delay(10);
    pump(1);
    EXPECT_TRUE(clientLogHas("early\n"));
    EXPECT_FALSE(clientLogHas("late\n"));
    pump(1);
    EXPECT_TRUE(clientLogHas("late\n"));
}

TEST_F(ClientTest, AReservedRequestGoesByTcpEveryFrameUntilAnswered)
{
    client()->requestSend(SendUnused0107);
    for (int frame = 0; frame < 2; ++frame) {
        Netbuffer message;
        ASSERT_TRUE(receive(*host, message)) << frame;
        EXPECT_TRUE(message.isTCP());
        EXPECT_FALSE(message.isUDP());
        std::vector<Entry> sent = readEntries(message, false);
        ASSERT_EQ(sent.size(), 1u) << frame;
        EXPECT_EQ(sent[0].header, CONN_UNUSED_0107) << frame;
    }
    EXPECT_EQ(client()->pendingSends(), SendUnused0107);
    Netbuffer datagram;
    EXPECT_FALSE(datagram.receiveUDP(listenUdp) && datagram.isReadable()) << "no UDP path is open yet";
    EXPECT_FALSE(clientLogHas("Client: TCPSend failed."));
}

TEST_F(ClientTest, ShowsWhatTheHostSaysAndReportsWhatItDoesNotKnow)
{
    sendEntries(*host,
                {{CONN_UDP_DONE},  // out of turn: ignored
                 {CONN_CHALLENGE_ANSWER, 0x01FF01FF},  // its field is passed over, not read as headers
                 {MASSAGE_TEXT, 0, "plain text"},
                 {MASSAGE_SAID, 0, "hi all"},
                 {CONN_RENAME, 0, "Zed"},
                 {0x0150},
                 {0x0042},
                 {0x0277},
                 {0x0777},
                 {CONN_DISCONNECT},
                 {MASSAGE_TEXT, 0, "read on"}},
                true);
    ASSERT_TRUE(pumpUntil([&] { return client() == nullptr; }));
    EXPECT_TRUE(clientLogHas("plain text\n"
                             "Host said: hi all\n"
                             "You have been renamed 'Zed'.\n"
                             "Client: Invalid CONNDATA packet header: 0x150\n"
                             "Client: Invalid PACKDATA packet header: 0x42\n"
                             "Client: Invalid MASSAGE packet header: 0x277\n"
                             "Host: Invalid PID Range: 0x777\n"
                             "Client was disconnected by the server.\n"
                             "read on\n"
                             "Client process terminated.\n"))
        << clientConsole->logText();
    EXPECT_FALSE(clientLogHas("Client connection successful."));
    EXPECT_EQ(countInLog(*clientConsole, "Client was disconnected by the server.\n"), 1)
        << "the answer's bytes were not taken for two more headers";
}

TEST_F(ClientTest, AHostThatVanishesEndsTheClient)
{
    host.reset();
    // Chat said before the client notices goes down the closed connection, and soon fails.
    for (int i = 0; i < 10 && !clientLogHas("TCPSend failed"); ++i) {
        clientConsole->handleLine("anyone?");
        SDL_Delay(5);
    }
    EXPECT_EQ(countInLog(*clientConsole, "Client: TCPSend failed.\n"), 1);
    ASSERT_TRUE(pumpUntil([&] { return client() == nullptr; }));
    EXPECT_EQ(countInLog(*clientConsole, "Client was disconnected by the server.\n"), 1);
    EXPECT_EQ(countInLog(*clientConsole, "TCPSend failed"), 1) << "no goodbye is sent down a closed connection";
}

TEST_F(ClientTest, CommandsNamesAndChat)
{
    SystOstrenet& console = *clientConsole;
    console.handleLine("/client-help");
    EXPECT_TRUE(clientLogHas("/client-help - this information.\n"
                             "/client-quit , /client-kill - terminate the client.\n"
                             "/client-name <name> - change your nickname to <name>.\n"));
    for (const char* wrong : {"/client-name ", "/client-name", "/client-namely Bob"}) {
        size_t before = console.logText().size();
        console.handleLine(wrong);
        EXPECT_EQ(console.logText().substr(before),
                  "proper usage is: '/client-name <name>', where <name> is the desired name.\n")
            << wrong;
    }
    console.handleLine("/client-name Bob the Great");
    std::vector<Entry> rename = nextFromClient();
    ASSERT_EQ(rename.size(), 1u);
    EXPECT_EQ(rename[0].header, CONN_RENAME);
    EXPECT_EQ(rename[0].text, "Bob the Great");
    EXPECT_EQ(client()->nickname(), "Nameless") << "the name changes when the host confirms it";

    console.handleLine("hey there");
    EXPECT_TRUE(clientLogHas("Nameless: hey there\n"));
    std::vector<Entry> chat = nextFromClient();
    ASSERT_EQ(chat.size(), 1u);
    EXPECT_EQ(chat[0].header, MASSAGE_TEXT);
    EXPECT_EQ(chat[0].text, "Nameless: hey there");

    console.handleLine("/client-kill");
    EXPECT_TRUE(clientLogHas("Disconnecting client...\n"));
    pump(1);
    EXPECT_EQ(client(), nullptr);
    EXPECT_EQ(nextFromClient().at(0).header, CONN_DISCONNECT);
}

} // namespace
