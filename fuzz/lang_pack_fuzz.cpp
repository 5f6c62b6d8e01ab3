// The language pack reader on any bytes: every text it read is what langText answers.
#include "core/lang.h"
#include "core/langreader.h"
#include "fuzz/fuzz_support.h"

#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startFuzzTarget();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    writeScratchFile("resource/fuzz.lang", data, size);
    loadLangPack("fuzz");
    LangPack read;
    readLangPack(std::string(reinterpret_cast<const char*>(data), size), read);
    for (const auto& [category, items] : read) {
        for (const auto& [item, text] : items)
            require(langText(category, item) == text, "langText answers the text that was read");
        require(langText(category, u"\x7F") == u"NOITM-" + category + u":\x7F", "a missing item is marked");
    }
    // No item name holds this unit; a category name may.
    if (!read.count(u"\x7F"))
        require(langText(u"\x7F", u"x") == u"NOCAT-\x7F:x", "a missing category is marked");
    unloadLangPack();
    return 0;
}
