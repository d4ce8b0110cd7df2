#include "support/AssocArray.h"

#include "support/Text.h"

namespace ff {

int TAssocArray::Add(std::string_view sKey, std::string_view sValue)
{
    int i = FindKey(sKey);
    if (i >= 0) {
        FItems[static_cast<size_t>(i)].Value = std::string(sValue);
        return i;
    }
    FItems.push_back({std::string(sKey), std::string(sValue)});
    return Count() - 1;
}

int TAssocArray::FindKey(std::string_view sKey) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (SameText(FItems[i].Key, sKey)) return static_cast<int>(i);
    return -1;
}

void TAssocArray::Delete(std::string_view sKey)
{
    int i = FindKey(sKey);
    if (i >= 0) FItems.erase(FItems.begin() + i);
}

} // namespace ff
