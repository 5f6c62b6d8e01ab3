#include <gtest/gtest.h>

#include "core/message.h"
#include "online/netbuffer.h"
#include "online/protocol.h"
#include "tests/online/online_fixture.h"

#include <SDL/SDL_net.h>
#include <array>
#include <vector>

namespace {

std::vector<u8> writtenBytes(const Netbuffer& buffer)
{
    return std::vector<u8>(buffer.bytes(), buffer.bytes() + buffer.writtenLength());
}

// A message as a receiver sees it: the writer's 256 bytes, readable from the start.
void deliver(const Netbuffer& from, Netbuffer& to)
{
    to.loadMessage(from.bytes());
}

// Counts the message-screen reports a block of code makes.
template <class F>
u32 reportsDuring(F&& f)
{
    testing::internal::CaptureStdout();  // without a window the reports go to the log
    u32 before = messagesShownCount();
    f();
    u32 made = messagesShownCount() - before;
    testing::internal::GetCapturedStdout();
    return made;
}

TEST(Netbuffer, FieldsAreLittleEndianBackToBackAtTheLength)
{
    Netbuffer buffer;
    buffer.writeHeader(CONN_VERSION);
    buffer.writeU16(2);
    buffer.writeU8(0xAB);
    buffer.writeU32(0x12345678);
    buffer.writeString("hi");
    buffer.writeEnd();
    std::vector<u8> expected = {0x01, 0x01, 0x02, 0x00, 0xAB, 0x78, 0x56, 0x34,
                                0x12, 'h',  'i',  0x00, 0x01, 0x00};
    EXPECT_EQ(writtenBytes(buffer), expected);
    EXPECT_EQ(buffer.capacity(), 256);
    EXPECT_EQ(buffer.spaceLeft(), 256 - 14);
    EXPECT_EQ(buffer.dump(), "1120ab785634126869010");
}

TEST(Netbuffer, EveryEntryOfTheTableReadsBackAsWritten)
{
    std::vector<Entry> entries = {
        {CONN_VERSION, 2},           {CONN_CHALLENGE, 0xDEADBEEF}, {CONN_PID, 100000},
        {CONN_PID_CONFIRM, 100000},  {CONN_OPEN_UDP},              {CONN_UDPCONNECT, 100001},
        {CONN_UDP_DONE},             {CONN_RENAME, 0, "Alice"},    {CONN_CHALLENGE_ANSWER, 0x01020304},
        {CONN_DISCONNECT},           {MASSAGE_SAID, 0, "hello"},   {MASSAGE_TEXT, 0, "Alice: hi there"},
    };
    Netbuffer sent, received;
    buildMessage(sent, entries, false);
    deliver(sent, received);
    std::vector<Entry> back = readEntries(received, false);
    ASSERT_EQ(back.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(back[i].header, entries[i].header) << i;
        EXPECT_EQ(back[i].number, entries[i].number) << i;
        EXPECT_EQ(back[i].text, entries[i].text) << i;
    }
}

TEST(Netbuffer, AnEmptyMessageIsTheEndEntryAlone)
{
    Netbuffer sent, received;
    sent.reset();
    sent.writeEnd();
    EXPECT_EQ(writtenBytes(sent), (std::vector<u8>{0x01, 0x00}));
    deliver(sent, received);
    EXPECT_TRUE(received.isReadable());
    EXPECT_EQ(received.writtenLength(), 0);
    EXPECT_EQ(received.readU16(), PACK_END);
}

TEST(Netbuffer, FixedWritesPastTheEndAreDroppedAndReported)
{
    Netbuffer buffer;
    for (int i = 0; i < 252; ++i)
        buffer.writeU8(0x11);
    EXPECT_EQ(reportsDuring([&] { buffer.writeU32(0xAABBCCDD); }), 0u);
    EXPECT_EQ(buffer.bytes()[252], 0xDD);
    EXPECT_EQ(buffer.bytes()[255], 0xAA);
    // Full now: the end entry and everything after it overflow.
    EXPECT_EQ(reportsDuring([&] { buffer.writeEnd(); }), 1u);
    EXPECT_EQ(lastMessageShown(), "Netbuffer Write Overflow");
    EXPECT_EQ(reportsDuring([&] { buffer.writeU8(1); }), 1u);

    Netbuffer nearlyFull;
    for (int i = 0; i < 253; ++i)
        nearlyFull.writeU8(0x22);
    EXPECT_EQ(reportsDuring([&] { nearlyFull.writeU32(0xAABBCCDD); }), 1u);
    EXPECT_EQ(nearlyFull.bytes()[253], 0x00) << "an overflowing write stores nothing";
    // The length stays advanced, so a smaller write after it overflows as well.
    EXPECT_EQ(reportsDuring([&] { nearlyFull.writeU8(1); }), 1u);
    EXPECT_EQ(nearlyFull.bytes()[253], 0x00);
}

TEST(Netbuffer, LongStringsAreCutSoThatTheirNulFits)
{
    Netbuffer oneFree;
    for (int i = 0; i < 255; ++i)
        oneFree.writeU8('x');
    EXPECT_EQ(reportsDuring([&] { oneFree.writeString("abc"); }), 0u);
    EXPECT_EQ(oneFree.bytes()[255], 0) << "stored as an empty string";
    EXPECT_EQ(reportsDuring([&] { oneFree.writeString("abc"); }), 1u) << "no byte left";

    Netbuffer sent, received;
    std::string longText(300, 'q');
    sent.writeString(longText);
    EXPECT_EQ(sent.spaceLeft(), 0);
    EXPECT_EQ(reportsDuring([&] { sent.writeEnd(); }), 1u);
    deliver(sent, received);
    EXPECT_EQ(received.readString(), std::string(255, 'q'));
    EXPECT_FALSE(received.isReadable());
    EXPECT_FALSE(received.readOverran());
}

TEST(Netbuffer, TextEntriesLeaveRoomForTheEndEntry)
{
    Netbuffer sent, received;
    EXPECT_EQ(reportsDuring([&] {
                  sent.writeTextEntry(MASSAGE_TEXT, std::string(300, 'w'));
                  sent.writeEnd();
              }),
              0u);
    deliver(sent, received);
    EXPECT_EQ(received.readU16(), MASSAGE_TEXT);
    EXPECT_EQ(received.readString(), std::string(251, 'w'));
    EXPECT_EQ(received.readU16(), PACK_END);

    Netbuffer shortText;
    shortText.writeTextEntry(CONN_RENAME, "Bob");
    EXPECT_EQ(writtenBytes(shortText), (std::vector<u8>{0x10, 0x01, 'B', 'o', 'b', 0}));
}

TEST(Netbuffer, ReadsStopAtTheEndOfTheMessage)
{
    std::array<u8, MessageSize> bytes{};
    bytes[254] = 0x34;
    bytes[255] = 0x12;
    Netbuffer received;
    received.loadMessage(bytes.data());
    for (int i = 0; i < 127; ++i)
        received.readU16();
    EXPECT_TRUE(received.isReadable());
    EXPECT_EQ(received.readU16(), 0x1234) << "the last two bytes still read";
    EXPECT_FALSE(received.isReadable());
    EXPECT_FALSE(received.readOverran());
    EXPECT_EQ(received.readU8(), 0);
    EXPECT_TRUE(received.readOverran());

    received.loadMessage(bytes.data());
    for (int i = 0; i < 127; ++i)
        received.readU16();
    EXPECT_EQ(received.readU32(), 0u) << "a u32 at 254 runs two bytes past the message";
    EXPECT_TRUE(received.readOverran());
    EXPECT_FALSE(received.isReadable());
    EXPECT_EQ(received.readString(), "(NOSTRING)");
}

TEST(Netbuffer, AStringWithoutItsNulReadsAsNoString)
{
    std::array<u8, MessageSize> bytes;
    bytes.fill('z');
    Netbuffer received;
    received.loadMessage(bytes.data());
    received.readU16();
    EXPECT_EQ(received.readString(), "(NOSTRING)");
    EXPECT_FALSE(received.isReadable());
    EXPECT_TRUE(received.readOverran());

    // A NUL in the last byte ends a string that fills the message.
    bytes[255] = 0;
    received.loadMessage(bytes.data());
    received.readU16();
    EXPECT_EQ(received.readString(), std::string(253, 'z'));
    EXPECT_FALSE(received.isReadable());
    EXPECT_FALSE(received.readOverran());
}

TEST(Netbuffer, ResetStartsAFreshMessageOverOldBytes)
{
    Netbuffer buffer;
    buffer.writeString("first");
    buffer.writeEnd();
    buffer.reset();
    EXPECT_TRUE(buffer.isEmpty());
    buffer.writeHeader(CONN_OPEN_UDP);
    EXPECT_EQ(buffer.writtenLength(), 2);
    EXPECT_EQ(buffer.bytes()[2], 'r') << "bytes past the written part are left as they were";
    // Not terminated again since the reset.
    TCPsocket none = nullptr;
    EXPECT_EQ(reportsDuring([&] { EXPECT_FALSE(buffer.sendTCP(none)); }), 1u);
    EXPECT_EQ(lastMessageShown(), "BUFFER NOT TERMINATED.");
}

TEST(Netbuffer, NoSocketMeansFailure)
{
    Netbuffer buffer;
    buffer.writeEnd();
    TCPsocket noTcp = nullptr;
    UDPsocket noUdp = nullptr;
    PartialMessage partial;
    IPaddress anywhere{};
    EXPECT_FALSE(buffer.sendTCP(noTcp));
    EXPECT_FALSE(buffer.sendUDP(noUdp, anywhere));
    EXPECT_FALSE(buffer.receiveTCP(noTcp, partial));
    EXPECT_FALSE(buffer.receiveUDP(noUdp));
    EXPECT_FALSE(buffer.isReadable());
}

TEST(Netbuffer, ChallengeAnswerMixesWithTheSharedKey)
{
    EXPECT_EQ(challengeAnswer(0), 0x6E28A3C1u);
    EXPECT_EQ(challengeAnswer(0x5C3E91D7), 0xFFFFFFFFu);
    EXPECT_EQ(challengeAnswer(0xA3C16E28), 0x00000000u);
}

// Two UDP sockets on ports the system picks, talking over loopback.
class NetbufferUdp : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDLNet_Init(), 0);
        sender = SDLNet_UDP_Open(0);
        receiver = SDLNet_UDP_Open(0);
        ASSERT_TRUE(sender && receiver) << SDL_GetError();
        SDLNet_ResolveHost(&receiverAddress, "127.0.0.1", 0);
        receiverAddress.port = SDLNet_UDP_GetPeerAddress(receiver, -1)->port;
        raw = SDLNet_AllocPacket(1024);
    }
    void TearDown() override
    {
        SDLNet_FreePacket(raw);
        SDLNet_UDP_Close(sender);
        SDLNet_UDP_Close(receiver);
        SDLNet_Quit();
    }
    // A datagram of `count` bytes of `value` straight from the sender socket.
    void sendRaw(int count, u8 value)
    {
        raw->address = receiverAddress;
        raw->len = count;
        std::fill(raw->data, raw->data + count, value);
        ASSERT_GT(SDLNet_UDP_Send(sender, -1, raw), 0);
    }
    // Waits a bounded number of polls for a datagram to be taken in.
    bool receive(Netbuffer& into)
    {
        for (int i = 0; i < 500; ++i) {
            if (!into.receiveUDP(receiver))
                return false;
            if (into.isReadable())
                return true;
            SDL_Delay(1);
        }
        return false;
    }
    UDPsocket sender = nullptr;
    UDPsocket receiver = nullptr;
    IPaddress receiverAddress{};
    UDPpacket* raw = nullptr;
};

TEST_F(NetbufferUdp, AMessageTravelsAsOneDatagramOf256Bytes)
{
    Netbuffer sent, received;
    EXPECT_TRUE(received.receiveUDP(receiver)) << "nothing waiting is no failure";
    EXPECT_FALSE(received.isReadable());
    buildMessage(sent, {{CONN_UDPCONNECT, 100000}}, false);
    ASSERT_TRUE(sent.sendUDP(sender, receiverAddress));
    EXPECT_TRUE(sent.isUDP());
    EXPECT_FALSE(sent.isTCP());
    ASSERT_TRUE(receive(received));
    EXPECT_TRUE(received.isUDP());
    EXPECT_FALSE(received.isTCP());
    EXPECT_TRUE(std::equal(sent.bytes(), sent.bytes() + MessageSize, received.bytes()));
    EXPECT_EQ(received.senderAddress().port, SDLNet_UDP_GetPeerAddress(sender, -1)->port);
    std::vector<Entry> entries = readEntries(received, false);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].number, 100000u);
}

TEST_F(NetbufferUdp, ShortDatagramsAreNotMessagesAndLongOnesAreCut)
{
    Netbuffer received;
    sendRaw(300, 0x07);
    ASSERT_TRUE(receive(received));
    EXPECT_EQ(received.readU16(), 0x0707);
    EXPECT_EQ(received.bytes()[255], 0x07);

    // The short one would otherwise carry the long one's old bytes past its own end.
    sendRaw(100, 0x01);
    sendRaw(256, 0x02);
    ASSERT_TRUE(receive(received));
    EXPECT_EQ(received.bytes()[0], 0x02) << "the short datagram was passed over";
}

} // namespace
