#include "online/netbuffer.h"

#include "core/message.h"
#include "online/protocol.h"

#include <algorithm>
#include <cstring>

namespace {

// A string entry costs its header and NUL, and the end entry must follow it.
constexpr u16 TextEntryOverhead = 2 + 1 + 2;

void reportOverflow()
{
    showMessageScreen("Netbuffer Write Overflow");
}

} // namespace

Netbuffer::Netbuffer() : packet(SDLNet_AllocPacket(MessageSize)) {}

Netbuffer::~Netbuffer()
{
    SDLNet_FreePacket(packet);
}

void Netbuffer::reset()
{
    length = 0;
    cursor = 0;
    readable = 0;
    terminated = 0;
    overran = false;
}

void Netbuffer::writeFixed(u32 value, u16 size)
{
    u16 at = length;
    length = u16(length + size);
    // The length stays advanced, so everything written after an overflow overflows too.
    if (length > MessageSize) {
        reportOverflow();
        return;
    }
    for (u16 i = 0; i < size; ++i)
        data[at + i] = u8(value >> (8 * i));
}

void Netbuffer::writeU8(u8 value)
{
    writeFixed(value, 1);
}

void Netbuffer::writeU16(u16 value)
{
    writeFixed(value, 2);
}

void Netbuffer::writeHeader(u16 header)
{
    writeFixed(header, 2);
}

void Netbuffer::writeU32(u32 value)
{
    writeFixed(value, 4);
}

void Netbuffer::writeString(const std::string& text)
{
    if (length >= MessageSize) {
        reportOverflow();
        return;
    }
    for (char c : text) {
        if (length == MessageSize - 1)
            break;
        data[length++] = u8(c);
    }
    data[length++] = 0;
}

void Netbuffer::writeEnd()
{
    terminated = 1;
    writeHeader(PACK_END);
}

void Netbuffer::writeTextEntry(u16 header, const std::string& text)
{
    u32 used = u32(length) + TextEntryOverhead;
    size_t room = used < MessageSize ? MessageSize - used : 0;
    writeHeader(header);
    writeString(text.substr(0, room));
}

u32 Netbuffer::readFixed(u16 size)
{
    u16 at = cursor;
    cursor = u16(cursor + size);
    if (cursor >= length)
        readable = 0;
    if (cursor > length || cursor > MessageSize) {
        overran = true;
        return 0;
    }
    u32 value = 0;
    for (u16 i = 0; i < size; ++i)
        value |= u32(data[at + i]) << (8 * i);
    return value;
}

u8 Netbuffer::readU8()
{
    return u8(readFixed(1));
}

u16 Netbuffer::readU16()
{
    return u16(readFixed(2));
}

u32 Netbuffer::readU32()
{
    return readFixed(4);
}

std::string Netbuffer::readString()
{
    // Only the bytes of the message count: a string may not run on into stale bytes.
    u16 end = std::min(length, MessageSize);
    for (u16 i = cursor; i < end; ++i) {
        if (data[i] == 0) {
            std::string text(data.begin() + cursor, data.begin() + i);
            cursor = u16(i + 1);
            if (cursor >= length)
                readable = 0;
            return text;
        }
    }
    readable = 0;
    overran = true;
    return "(NOSTRING)";
}

void Netbuffer::startReceive()
{
    terminated = 0;
    cursor = 0;
    length = 0;
    readable = 0;
    overran = false;
}

void Netbuffer::loadMessage(const u8* message)
{
    std::memcpy(data.data(), message, MessageSize);
    terminated = 0;
    overran = false;
    readable = 1;
    cursor = 0;
    length = MessageSize;
}

bool Netbuffer::receiveTCP(TCPsocket& socket, PartialMessage& partial)
{
    startReceive();
    if (!socket)
        return false;
    viaTCP = 1;
    if (!SDLNet_SocketReady(socket))
        return true;
    int got = SDLNet_TCP_Recv(socket, partial.bytes.data() + partial.count, MessageSize - partial.count);
    // A ready socket that yields nothing has been closed by the other side.
    if (got <= 0)
        return false;
    partial.count = u16(partial.count + got);
    if (partial.count < MessageSize)
        return true;
    partial.count = 0;
    loadMessage(partial.bytes.data());
    return true;
}

bool Netbuffer::receiveUDP(UDPsocket& socket)
{
    startReceive();
    if (!socket || !packet)
        return false;
    viaTCP = 0;
    int got = SDLNet_UDP_Recv(socket, packet);
    if (got < 0)
        return false;
    // A shorter datagram is not one of our messages; its missing bytes would be old ones.
    if (got == 0 || packet->len < MessageSize)
        return true;
    loadMessage(packet->data);
    return true;
}

void Netbuffer::warnIfUnterminated()
{
    // A message without its end entry still goes out whole; the reader stops at the old bytes.
    if (!terminated)
        showMessageScreen("BUFFER NOT TERMINATED.");
}

bool Netbuffer::sendTCP(TCPsocket& socket)
{
    warnIfUnterminated();
    if (!socket)
        return false;
    viaTCP = 1;
    return SDLNet_TCP_Send(socket, data.data(), MessageSize) == MessageSize;
}

bool Netbuffer::sendUDP(UDPsocket& socket, const IPaddress& to)
{
    warnIfUnterminated();
    if (!socket || !packet)
        return false;
    viaTCP = 0;
    packet->address = to;
    packet->len = MessageSize;
    std::memcpy(packet->data, data.data(), MessageSize);
    return SDLNet_UDP_Send(socket, -1, packet) > 0;
}

IPaddress Netbuffer::senderAddress() const
{
    return packet->address;
}

u16 Netbuffer::spaceLeft() const
{
    if (readable)
        return MessageSize;
    return length < MessageSize ? u16(MessageSize - length) : 0;
}

std::string Netbuffer::dump() const
{
    std::string text;
    u16 end = std::min(length, MessageSize);
    for (u16 i = 0; i < end; ++i)
        text += hexText(data[i]);
    return text;
}
