#pragma once
#include "core/types.h"

#include <SDL/SDL_net.h>
#include <string>

// The fixed facts every host and client of the online system agree on.
constexpr u16 OnlineTcpPort = 35208;
constexpr u16 OnlineUdpPort = 35209;
// Where "/client" connects: the host on this machine, so one console can run both halves and
// two consoles on one computer can meet.
constexpr char OnlineServer[] = "localhost";
constexpr u16 ProtocolVersion = 2;
constexpr u32 FirstPID = 100000;

// The high byte of a header names its range.
enum NetRange : u8 {
    PACKDATA = 0x00,  // message structure
    CONNDATA = 0x01,  // connection and handshake
    MASSAGE = 0x02,   // chat
};

// Every entry of a message starts with one of these (fields in brackets).
enum NetHeader : u16 {
    PACK_END = 0x0001,               // end of message
    CONN_VERSION = 0x0101,           // [u16 version] host to client
    CONN_PID = 0x0102,               // [u32 pid] host to client
    CONN_PID_CONFIRM = 0x0103,       // [u32 pid] client echoes its PID
    CONN_OPEN_UDP = 0x0104,          // host tells the client to open a UDP socket
    CONN_UDPCONNECT = 0x0105,        // [u32 pid] client to host; no field host to client
    CONN_UDP_DONE = 0x0106,          // the UDP path works
    CONN_UNUSED_0107 = 0x0107,       // reserved; no reader knows it
    CONN_RENAME = 0x0110,            // [string name] wanted, or confirmed
    CONN_CHALLENGE = 0x0184,         // [u32 challenge] to be answered
    CONN_CHALLENGE_ANSWER = 0x0185,  // [u32 answer] challengeAnswer of the challenge
    CONN_DISCONNECT = 0x01FF,        // the sender ends the connection
    MASSAGE_SAID = 0x0201,           // [string text] a line typed at the host
    MASSAGE_TEXT = 0x0202,           // [string text] a chat line ready for display
};

inline u8 headerRange(u16 header)
{
    return u8(header >> 8);
}

// What a peer must send back for a challenge; host and client share the key.
u32 challengeAnswer(u32 challenge);

// A UDP socket on a port drawn from 49152..65535 with the default random stream; null when
// ten ports in a row cannot be opened.
UDPsocket openRandomUdpPort();

// Lower-case hexadecimal without leading zeros.
std::string hexText(u32 value);

// The address's host as four decimal numbers joined by ".".
std::string dottedHost(const IPaddress& address);

// True when the line begins with the text.
bool startsWith(const std::string& line, const std::string& word);

// However fast datagrams arrive, one socket hands over at most this many messages a frame.
constexpr int MaxMessagesPerPoll = 32;
