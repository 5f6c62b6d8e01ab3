#include "core/packindex.h"

namespace {

u32 readU32(const std::string& bytes, std::size_t at)
{
    return u32(u8(bytes[at])) | u32(u8(bytes[at + 1])) << 8 | u32(u8(bytes[at + 2])) << 16 |
           u32(u8(bytes[at + 3])) << 24;
}

void appendU32(std::string& out, u32 value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(char(u8(value >> shift)));
}

} // namespace

std::vector<PackRecord> parsePackIndex(const std::string& bytes)
{
    constexpr std::size_t HeaderSize = 8;
    std::vector<PackRecord> records;
    std::size_t at = 0;
    while (bytes.size() - at > HeaderSize) {
        std::size_t nameEnd = bytes.find('\0', at + HeaderSize);
        if (nameEnd == std::string::npos)
            break;
        std::size_t nameStart = at + HeaderSize;
        records.push_back({readU32(bytes, at), readU32(bytes, at + 4),
                           bytes.substr(nameStart, nameEnd - nameStart)});
        at = nameEnd + 1;
    }
    return records;
}

std::string serialisePackIndex(const std::vector<PackRecord>& records)
{
    std::string out;
    for (const PackRecord& record : records) {
        appendU32(out, record.offset);
        appendU32(out, record.size);
        out += record.name;
        out.push_back('\0');
    }
    appendU32(out, PackIndexEndMark);
    return out;
}
