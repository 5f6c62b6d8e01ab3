#include "tests/online/online_fixture.h"

#include "online/netclient.h"
#include "online/nethost.h"
#include "online/protocol.h"

namespace {

// Real hosts and clients, each on its own console, talking over loopback.
class SessionTest : public OnlineTest {};

// The road a player takes: "/host", then "/client" to the default server on the same console.
TEST_F(SessionTest, AHostAndAClientOnOneConsoleCompleteTheHandshake)
{
    SystOstrenet& console = newConsole();
    startHost(console);
    connectClient(console);
    EXPECT_TRUE(logHas(console, "IP: 127.0.0.1\n")) << "the default server is this machine";
    ASSERT_TRUE(pumpUntil([&] { return logHas(console, "Host: 100000 completed connection.\n"); }));
    EXPECT_TRUE(logHas(console, "Host: New client connecting.\n"));
    EXPECT_TRUE(logHas(console, "Your name is 100000.  Use '/client-name <name>' to change it.\n"));
    const ClientRecord& record = *console.currentHost()->clientRecords().at(0);
    EXPECT_EQ(record.state, PidConfirmed | ChallengePassed | UdpComplete);
    NetClient& client = *console.currentClient();
    EXPECT_EQ(client.nickname(), "100000");
    EXPECT_EQ(client.pendingSends(), 0);
    // Each side points at the other's own UDP port.
    EXPECT_NE(portNumber(client.udpTarget()), OnlineUdpPort);
    EXPECT_TRUE(client.hasUdp());
    EXPECT_FALSE(logHas(console, "failed"));
}

TEST_F(SessionTest, NamesAndChatTravelBetweenHostAndClients)
{
    SystOstrenet& hostSide = newConsole();
    SystOstrenet& alice = newConsole();
    SystOstrenet& bob = newConsole();
    startHost(hostSide);
    connectClient(alice);
    connectClient(bob);
    EXPECT_EQ(bob.currentClient()->nickname(), "100001");

    alice.handleLine("hello");
    ASSERT_TRUE(pumpUntil([&] { return logHas(bob, "100000: hello\n"); }));
    EXPECT_TRUE(logHas(hostSide, "100000: hello\n"));
    EXPECT_EQ(countInLog(alice, "100000: hello\n"), 1) << "not relayed back to its sender";

    hostSide.handleLine("&welcome, both");
    EXPECT_TRUE(logHas(hostSide, "Host: welcome, both\n"));
    ASSERT_TRUE(pumpUntil([&] { return logHas(alice, "Host said: welcome, both\n") && logHas(bob, "Host said: welcome, both\n"); }));
    // The host refuses a line without "&"; with no client on its console nobody takes it.
    hostSide.handleLine("no ampersand");
    EXPECT_TRUE(logHas(hostSide, "(Input was not handled)\n"));

    alice.handleLine("/client-name Alice");
    ASSERT_TRUE(pumpUntil([&] { return logHas(alice, "You have been renamed 'Alice'.\n"); }));
    EXPECT_EQ(alice.currentClient()->nickname(), "Alice");
    EXPECT_TRUE(logHas(hostSide, "Host: '100000' now known as 'Alice'.\n"));
    ASSERT_TRUE(pumpUntil([&] { return logHas(bob, "Host: '100000' now known as 'Alice'.\n"); }));

    alice.handleLine("hi Bob");
    ASSERT_TRUE(pumpUntil([&] { return logHas(bob, "Alice: hi Bob\n"); }));
}

TEST_F(SessionTest, EitherSideCanEndTheConnection)
{
    SystOstrenet& hostSide = newConsole();
    SystOstrenet& alice = newConsole();
    SystOstrenet& bob = newConsole();
    startHost(hostSide);
    connectClient(alice);
    connectClient(bob);
    NetHost& host = *hostSide.currentHost();

    alice.handleLine("/client-quit");
    pump(1);
    EXPECT_EQ(alice.currentClient(), nullptr);
    EXPECT_TRUE(logHas(alice, "Disconnecting client...\nClient process terminated.\n"));
    ASSERT_TRUE(pumpUntil([&] { return host.clientRecords().size() == 1; }));
    EXPECT_TRUE(logHas(hostSide, "Host: 100000 closed the connection.\n"));

    hostSide.handleLine("/host-kill");
    ASSERT_TRUE(pumpUntil([&] { return bob.currentClient() == nullptr; }));
    EXPECT_TRUE(logHas(hostSide, "Host process terminated.\n"));
    EXPECT_TRUE(logHas(bob, "Client was disconnected by the server.\nClient process terminated.\n"));

    // A new host takes the ports again, and a new client starts from the first PID.
    startHost(hostSide);
    connectClient(bob);
    EXPECT_EQ(bob.currentClient()->nickname(), "100000");
}

} // namespace
