#include "core/random.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>

namespace {

constexpr int StateWords = 624;
constexpr int ShiftWords = 397;
constexpr u32 Matrix = 0x9908B0DFu;
constexpr u32 UpperMask = 0x80000000u;
constexpr u32 LowerMask = 0x7FFFFFFFu;
constexpr double TwoToMinus32 = 1.0 / 4294967296.0;

struct MTState {
    u32 words[StateWords];
    u32* next = words;
    int left = 0;
};

// Owned here, so a stream that nothing releases is still freed when the program ends.
std::map<int, std::unique_ptr<MTState>> randomStreams;
u32 timeSeedCounter = 0;
int streamIdCounter = 0;

void initGenrand(MTState& s, u32 seed)
{
    s.words[0] = seed;
    for (int i = 1; i < StateWords; ++i)
        s.words[i] = 1812433253u * (s.words[i - 1] ^ (s.words[i - 1] >> 30)) + u32(i);
}

void initByArray(MTState& s, const u32* key, int keyLength)
{
    initGenrand(s, 19650218u);
    int i = 1, j = 0;
    for (int k = StateWords > keyLength ? StateWords : keyLength; k; --k) {
        s.words[i] = (s.words[i] ^ ((s.words[i - 1] ^ (s.words[i - 1] >> 30)) * 1664525u)) + key[j] + u32(j);
        ++i;
        ++j;
        if (i >= StateWords) {
            s.words[0] = s.words[StateWords - 1];
            i = 1;
        }
        if (j >= keyLength)
            j = 0;
    }
    for (int k = StateWords - 1; k; --k) {
        s.words[i] = (s.words[i] ^ ((s.words[i - 1] ^ (s.words[i - 1] >> 30)) * 1566083941u)) - u32(i);
        ++i;
        if (i >= StateWords) {
            s.words[0] = s.words[StateWords - 1];
            i = 1;
        }
    }
    s.words[0] = 0x80000000u;
}

u32 twist(u32 a, u32 b)
{
    u32 y = (a & UpperMask) | (b & LowerMask);
    return (y >> 1) ^ ((b & 1u) ? Matrix : 0u);
}

void regenerate(MTState& s)
{
    int k = 0;
    for (; k < StateWords - ShiftWords; ++k)
        s.words[k] = s.words[k + ShiftWords] ^ twist(s.words[k], s.words[k + 1]);
    for (; k < StateWords - 1; ++k)
        s.words[k] = s.words[k + ShiftWords - StateWords] ^ twist(s.words[k], s.words[k + 1]);
    s.words[StateWords - 1] = s.words[ShiftWords - 1] ^ twist(s.words[StateWords - 1], s.words[0]);
    s.left = StateWords;
    s.next = s.words;
}

u32 hashBytes(const void* value, size_t size)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(value);
    u32 h = 0;
    for (size_t i = 0; i < size; ++i)
        h = h * 257u + bytes[i];
    return h;
}

// Seeds from /dev/urandom when it gives a whole state's worth, else from the time and the clock.
void seedFromSystem(MTState& s)
{
    u32 key[StateWords];
    int read = 0;
    if (std::FILE* f = std::fopen("/dev/urandom", "rb")) {
        while (read < StateWords && std::fread(&key[read], sizeof(u32), 1, f) == 1)
            ++read;
        std::fclose(f);
    }
    if (read == StateWords) {
        initByArray(s, key, StateWords);
    } else {
        u32 now = u32(std::time(nullptr));
        u32 ticks = u32(std::clock());
        u32 seed = (timeSeedCounter++ + hashBytes(&now, sizeof now)) ^ hashBytes(&ticks, sizeof ticks);
        initGenrand(s, seed);
    }
    regenerate(s);
}

// A stream nobody created yet is made on first use, so a stray id can never reach a null state.
MTState& streamState(int stream)
{
    std::unique_ptr<MTState>& state = randomStreams[stream];
    if (!state) {
        state = std::make_unique<MTState>();
        seedFromSystem(*state);
    }
    return *state;
}

u32 boundMask(u32 m)
{
    m |= m >> 1;
    m |= m >> 2;
    m |= m >> 4;
    m |= m >> 8;
    m |= m >> 16;
    return m;
}

u32 maskedDrawUpTo(u32 m, int stream)
{
    u32 mask = boundMask(m);
    u32 r;
    do {
        r = randomDraw(stream) & mask;
    } while (r > m);
    return r;
}

} // namespace

int defaultStream = 0;

u32 randomDraw(int stream)
{
    MTState& s = streamState(stream);
    if (s.left == 0)
        regenerate(s);
    u32 y = *s.next++;
    --s.left;
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

int randomSigned(int n, int stream)
{
    u32 m = n < 0 ? u32(0) - u32(n) : u32(n);
    u32 r = maskedDrawUpTo(m, stream);
    return n > 0 ? int(r) : int(0u - r);
}

int randomRange(int a, int b, int stream)
{
    i64 d = i64(b) - i64(a);
    u32 m = u32(d < 0 ? -d : d);
    u32 r = maskedDrawUpTo(m, stream);
    return d > 0 ? int(i64(a) + r) : int(i64(a) - r);
}

double randomReal(double x, int stream)
{
    return randomDraw(stream) * TwoToMinus32 * x;
}

double randomRealRange(double a, float b, int stream)
{
    return randomDraw(stream) * TwoToMinus32 * (b - a) + a;
}

double randomNormal(double mean, double sd, int stream)
{
    u32 u = randomDraw(stream);
    double r = std::sqrt(-2.0 * std::log(1.0 - (u + 0.5) * TwoToMinus32));
    u32 v = randomDraw(stream);
    double c = std::cos(v * TwoToMinus32 * double(6.2831855f));
    return c * (r * sd) + mean;
}

void reseedDefaultStream()
{
    defaultStream = 0;
    if (randomStreams.count(0) && randomStreams[0])
        return;
    streamState(0);
}

void releaseAllStreams()
{
    defaultStream = 0;
    randomStreams.clear();
}

void seedStream(int stream, u32 seed)
{
    std::unique_ptr<MTState>& state = randomStreams[stream];
    if (!state)
        state = std::make_unique<MTState>();
    initGenrand(*state, seed);
    regenerate(*state);
}

int newStream()
{
    int id = ++streamIdCounter;
    releaseStream(id);
    streamState(id);
    return id;
}

void releaseStream(int stream)
{
    randomStreams.erase(stream);
}
