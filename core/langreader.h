#pragma once
#include <map>
#include <string>

// Category name -> item name -> text, all in 16-bit units, names compared unit by unit.
using LangItems = std::map<std::u16string, std::u16string>;
using LangPack = std::map<std::u16string, LangItems>;

// The language pack reader: a state machine fed one 16-bit unit at a time.
//   <category>          a header, closed by '>' or a line break; a repeated header merges
//   item "text" "more"  an item name, a separator, then quoted pieces that are joined;
//                       in a piece \n is a line break and \x is x; a line break closes it
//   * ...               outside tokens, a comment to the end of the line
// Names keep their first 31 units. Malformed input never stops the reader.
class LangReader {
public:
    explicit LangReader(LangPack& pack) : pack(pack) {}
    void feed(char16_t unit);

private:
    // The token being read, if any.
    enum class Token {
        None,       // between tokens
        Category,   // inside <...>
        Item,       // an item name
        Text        // inside a quoted piece
    };

    void openToken(char16_t unit);
    void readCategory(char16_t unit);
    void readItem(char16_t unit);
    void readText(char16_t unit);
    void appendName(char16_t unit);
    void appendText(char16_t unit);
    void flushText();

    LangPack& pack;
    bool inComment = false;
    bool started = false;
    bool escaped = false;
    Token token = Token::None;
    std::u16string buffer;
    LangItems* category = nullptr;
    std::u16string* item = nullptr;   // texts go to the latest item, even across headers
};

// Decodes little-endian byte pairs (an odd last byte is ignored) and reads them into pack.
void readLangPack(const std::string& bytes, LangPack& pack);
