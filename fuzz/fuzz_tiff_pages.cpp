// Chaining TIFF files into one multi-page file must never read or write outside the parts, and
// a file it accepts must have a directory chain that stays inside the output and ends.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "rendering/ImageCodec.h"

namespace {

std::uint32_t Get(const std::string& s, std::size_t at, int n, bool bLittle)
{
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) {
        const auto b = static_cast<std::uint8_t>(s[at + i]);
        v = bLittle ? v | (std::uint32_t(b) << (8 * i)) : (v << 8) | b;
    }
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const std::string all(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t cut = all.empty() ? 0 : data[0] % (all.size() + 1);
    std::vector<std::string> parts = {all.substr(0, cut), all.substr(cut)};
    if (data[0] & 0x80) parts = {all, all};

    std::string out;
    if (!ff::CombineTiffFiles(parts, out)) return 0;
    if (out.size() < 8) __builtin_trap();
    const bool bLittle = out[0] == 'I';
    std::set<std::uint32_t> seen;
    for (std::uint32_t ifd = Get(out, 4, 4, bLittle); ifd != 0;) {
        if (!seen.insert(ifd).second || std::size_t(ifd) + 2 > out.size()) __builtin_trap();
        const std::uint32_t n = Get(out, ifd, 2, bLittle);
        const std::size_t next = std::size_t(ifd) + 2 + std::size_t(n) * 12;
        if (next + 4 > out.size()) __builtin_trap();
        ifd = Get(out, next, 4, bLittle);
    }
    return 0;
}
