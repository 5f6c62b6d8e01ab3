#pragma once
#include <map>
#include <string>

// Named integers and named wide strings, kept in memory for one run.
class SettingsStore {
public:
    bool hasInt(const std::string& name) const;
    int getInt(const std::string& name) const;
    void setInt(const std::string& name, int value);

    bool hasString(const std::string& name) const;
    std::u16string getString(const std::string& name) const;
    void setString(const std::string& name, const std::u16string& value);

private:
    std::map<std::string, int> ints;
    std::map<std::string, std::u16string> strings;
};

extern SettingsStore gameSettings;
