#include "core/settings.h"

SettingsStore gameSettings;

bool SettingsStore::hasInt(const std::string& name) const
{
    return ints.count(name) != 0;
}

int SettingsStore::getInt(const std::string& name) const
{
    auto found = ints.find(name);
    return found == ints.end() ? 0 : found->second;
}

void SettingsStore::setInt(const std::string& name, int value)
{
    ints[name] = value;
}

bool SettingsStore::hasString(const std::string& name) const
{
    return strings.count(name) != 0;
}

std::u16string SettingsStore::getString(const std::string& name) const
{
    auto found = strings.find(name);
    return found == strings.end() ? u"(VOID)" : found->second;
}

void SettingsStore::setString(const std::string& name, const std::u16string& value)
{
    strings[name] = value;
}
