#include "core/langreader.h"

#include "core/types.h"

namespace {

constexpr std::size_t NameLimit = 31;
constexpr std::size_t TextChunk = 2047;

bool isLineBreak(char16_t unit)
{
    return unit == u'\r' || unit == u'\n';
}

bool isNameUnit(char16_t unit)
{
    return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z') ||
           (unit >= u'0' && unit <= u'9') || unit == u'_' || unit == u'-';
}

} // namespace

void LangReader::feed(char16_t unit)
{
    if (inComment) {
        inComment = !isLineBreak(unit);
        return;
    }
    if (token == Token::None && unit == u'*') {
        inComment = true;
        return;
    }
    // Everything before the first header (a byte-order mark included) is skipped.
    if (!started) {
        if (unit == u'<') {
            started = true;
            openToken(unit);
        }
        return;
    }
    switch (token) {
    case Token::None: openToken(unit); break;
    case Token::Category: readCategory(unit); break;
    case Token::Item: readItem(unit); break;
    case Token::Text: readText(unit); break;
    }
}

void LangReader::openToken(char16_t unit)
{
    buffer.clear();
    if (unit == u'<')
        token = Token::Category;
    else if (unit == u'"')
        token = Token::Text;
    else if (isNameUnit(unit)) {
        token = Token::Item;
        buffer.push_back(unit);
    }
}

void LangReader::readCategory(char16_t unit)
{
    if (unit != u'>' && !isLineBreak(unit)) {
        appendName(unit);
        return;
    }
    category = &pack[buffer];
    token = Token::None;
}

// The unit that ends a name is used up, so a quote right after a name is lost.
void LangReader::readItem(char16_t unit)
{
    if (isNameUnit(unit)) {
        appendName(unit);
        return;
    }
    if (category)
        item = &(*category)[buffer];
    token = Token::None;
}

void LangReader::readText(char16_t unit)
{
    if (escaped) {
        escaped = false;
        appendText(unit == u'n' || unit == u'N' ? u'\n' : unit);
    } else if (unit == u'\\') {
        escaped = true;
    } else if (unit == u'"' || unit == u'\n') {
        flushText();
        token = Token::None;
    } else {
        appendText(unit);
    }
}

void LangReader::appendName(char16_t unit)
{
    if (buffer.size() < NameLimit)
        buffer.push_back(unit);
}

void LangReader::appendText(char16_t unit)
{
    buffer.push_back(unit);
    if (buffer.size() == TextChunk)
        flushText();
}

// A piece that comes before any item has nowhere to go and is dropped.
void LangReader::flushText()
{
    if (item)
        *item += buffer;
    buffer.clear();
}

void readLangPack(const std::string& bytes, LangPack& pack)
{
    LangReader reader(pack);
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
        reader.feed(char16_t(u8(bytes[at]) | u8(bytes[at + 1]) << 8));
}
