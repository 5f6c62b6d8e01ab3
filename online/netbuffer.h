#pragma once
#include "core/types.h"

#include <SDL/SDL_net.h>
#include <array>
#include <string>

// Every message on the wire is this many bytes, whatever it holds.
constexpr u16 MessageSize = 256;

// The part of a message that has arrived so far on one TCP connection: TCP may hand a message
// over in pieces, and the pieces must be kept per connection until the message is whole.
struct PartialMessage {
    std::array<u8, MessageSize> bytes{};
    u16 count = 0;
};

// One fixed-size network message: entries (a u16 header and its fields, little-endian) written
// at a growing length, sent whole over TCP or as one UDP packet, received whole and read back
// at a cursor. Bytes past the written part are never cleared and mean nothing.
class Netbuffer {
public:
    Netbuffer();
    ~Netbuffer();
    Netbuffer(const Netbuffer&) = delete;
    Netbuffer& operator=(const Netbuffer&) = delete;

    // Starts a new message to send.
    void reset();

    void writeU8(u8 value);
    void writeU16(u16 value);
    void writeHeader(u16 header);
    void writeU32(u32 value);
    // The bytes and a NUL; a string too long for the buffer is cut so that its NUL still fits.
    void writeString(const std::string& text);
    void writeEnd();
    // A header and its string, the text cut short where needed so that the end entry still fits.
    void writeTextEntry(u16 header, const std::string& text);

    u8 readU8();
    u16 readU16();
    u32 readU32();
    // "(NOSTRING)" when no NUL ends the string inside the message.
    std::string readString();
    // A read since the last receive ran past the message, or met a string without its NUL:
    // the entry being read is incomplete and must not be acted on.
    bool readOverran() const { return overran; }

    // False when the connection is closed or broken. True with nothing readable when no
    // message is complete yet; the part that came stays in `partial` for the next receive.
    bool receiveTCP(TCPsocket& socket, PartialMessage& partial);
    // False when the socket fails. True with nothing readable when nothing was waiting, or
    // when the datagram was too short to be a message.
    bool receiveUDP(UDPsocket& socket);
    bool sendTCP(TCPsocket& socket);
    bool sendUDP(UDPsocket& socket, const IPaddress& to);
    // Where the last UDP datagram came from.
    IPaddress senderAddress() const;
    // Takes a whole message as if it had just been received.
    void loadMessage(const u8* message);

    bool isReadable() const { return readable; }
    bool isEmpty() const { return length == 0; }
    u16 writtenLength() const { return readable ? 0 : length; }
    u16 capacity() const { return MessageSize; }
    u16 spaceLeft() const;
    bool isTCP() const { return viaTCP; }
    bool isUDP() const { return !viaTCP; }
    const u8* bytes() const { return data.data(); }
    // Bytes 0..length-1, each in lower-case hexadecimal without leading zeros or separator.
    std::string dump() const;

private:
    void writeFixed(u32 value, u16 size);
    u32 readFixed(u16 size);
    void startReceive();
    void warnIfUnterminated();

    std::array<u8, MessageSize> data{};
    u16 length = 0;
    u16 cursor = 0;
    u8 readable = 0;
    u8 viaTCP = 0;
    u8 terminated = 0;
    bool overran = false;
    UDPpacket* packet;
};
