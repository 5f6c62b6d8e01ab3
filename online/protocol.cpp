#include "online/protocol.h"

#include "core/random.h"

#include <sstream>

namespace {

constexpr u32 ChallengeKey = 0x5C3E91D7;
constexpr int FirstDynamicPort = 49152;
constexpr int LastDynamicPort = 65535;
constexpr int PortTries = 10;

} // namespace

u32 challengeAnswer(u32 challenge)
{
    u32 mixed = challenge ^ ChallengeKey;
    return ~((mixed << 16) | (mixed >> 16));
}

UDPsocket openRandomUdpPort()
{
    for (int i = 0; i < PortTries; ++i) {
        if (UDPsocket socket = SDLNet_UDP_Open(u16(randomRange(FirstDynamicPort, LastDynamicPort))))
            return socket;
    }
    return nullptr;
}

std::string hexText(u32 value)
{
    std::ostringstream text;
    text << std::hex << value;
    return text.str();
}

std::string dottedHost(const IPaddress& address)
{
    // The host is kept in network order, so its bytes in memory are the four numbers in order.
    const auto* bytes = reinterpret_cast<const u8*>(&address.host);
    std::ostringstream text;
    text << int(bytes[0]) << '.' << int(bytes[1]) << '.' << int(bytes[2]) << '.' << int(bytes[3]);
    return text.str();
}

bool startsWith(const std::string& line, const std::string& word)
{
    return line.compare(0, word.size(), word) == 0;
}
