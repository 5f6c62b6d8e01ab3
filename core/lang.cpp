#include "core/lang.h"

#include "core/langreader.h"
#include "core/respack.h"

#include <fstream>
#include <iterator>
#include <memory>

namespace {

std::unique_ptr<LangPack> langPack;

std::string readBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::u16string marker(const char16_t* kind, const std::u16string& category, const std::u16string& item)
{
    return kind + category + u":" + item;
}

} // namespace

void loadLangPack(const std::string& name)
{
    unloadLangPack();
    langPack = std::make_unique<LangPack>();
    std::string file = resolveResourcePath("resource/" + name + ".lang");
    readLangPack(readBytes(file), *langPack);
    releaseResourcePath(file);
}

void unloadLangPack()
{
    langPack.reset();
}

std::u16string langText(const std::u16string& category, const std::u16string& item)
{
    if (!langPack)
        return marker(u"NOLNG-", category, item);
    auto items = langPack->find(category);
    if (items == langPack->end())
        return marker(u"NOCAT-", category, item);
    auto text = items->second.find(item);
    if (text == items->second.end())
        return marker(u"NOITM-", category, item);
    return text->second;
}
