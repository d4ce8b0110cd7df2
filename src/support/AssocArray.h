// An ordered list of (Key, Value) text pairs whose keys compare ignoring case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ff {

struct TAssocPair
{
    std::string Key;
    std::string Value;
};

class TAssocArray
{
public:
    // Replaces the value of a key equal to sKey ignoring case and returns its index; otherwise
    // appends the pair and returns the new index.
    int Add(std::string_view sKey, std::string_view sValue);
    // Index of the first key equal to sKey ignoring case, or -1.
    int FindKey(std::string_view sKey) const;
    // Removes the pair of sKey; later pairs move down. Nothing happens for an unknown key.
    void Delete(std::string_view sKey);
    int Count() const { return static_cast<int>(FItems.size()); }
    // Kept for callers that expect it; the order of insertion is the order of the list.
    void Sort() {}
    void Clear() { FItems.clear(); }

    const TAssocPair& operator[](int i) const { return FItems[static_cast<size_t>(i)]; }
    TAssocPair& operator[](int i) { return FItems[static_cast<size_t>(i)]; }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<TAssocPair> FItems;
};

} // namespace ff
