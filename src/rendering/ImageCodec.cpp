#include "rendering/ImageCodec.h"

#include <algorithm>
#include <cstdint>
#include <set>

namespace ff {

namespace {

TImageCodec* GCodec = nullptr;

// Byte-order aware access to a TIFF held in a string.
class TTiffBytes
{
public:
    TTiffBytes(std::string& data, bool bLittle) : FData(data), FLittle(bLittle) {}

    bool Has(std::uint64_t off, std::uint64_t n) const
    {
        return off <= FData.size() && n <= FData.size() - off;
    }
    std::uint32_t Get(std::uint64_t off, int nBytes) const
    {
        std::uint32_t v = 0;
        for (int i = 0; i < nBytes; ++i) {
            auto b = static_cast<std::uint8_t>(FData[off + i]);
            if (FLittle)
                v |= static_cast<std::uint32_t>(b) << (8 * i);
            else
                v = (v << 8) | b;
        }
        return v;
    }
    void Put(std::uint64_t off, int nBytes, std::uint32_t v)
    {
        for (int i = 0; i < nBytes; ++i) {
            int shift = FLittle ? 8 * i : 8 * (nBytes - 1 - i);
            FData[off + i] = static_cast<char>((v >> shift) & 0xFF);
        }
    }

private:
    std::string& FData;
    bool FLittle;
};

int TiffTypeSize(std::uint32_t type)
{
    switch (type) {
    case 1:
    case 2:
    case 6:
    case 7:
        return 1; // byte, ascii, sbyte, undefined
    case 3:
    case 8:
        return 2; // short, sshort
    case 4:
    case 9:
    case 11:
    case 13:
        return 4; // long, slong, float, ifd
    case 5:
    case 10:
    case 12:
        return 8; // rational, srational, double
    default:
        return 0;
    }
}

// Tags whose values are file offsets and move with the data.
bool IsOffsetTag(std::uint32_t tag)
{
    return tag == 273 /*StripOffsets*/ || tag == 324 /*TileOffsets*/ ||
           tag == 288 /*FreeOffsets*/ || tag == 513 /*JPEGInterchangeFormat*/;
}
// Tags pointing at further directories, which would need relocating in turn.
bool IsSubDirectoryTag(std::uint32_t tag)
{
    return tag == 330 || tag == 34665 || tag == 34853 || tag == 40965;
}

constexpr std::uint64_t MaxTiffSize = 0xFFFFFFFFull;

} // namespace

TImageCodec* GetImageCodec()
{
    return GCodec;
}
void SetImageCodec(TImageCodec* codec)
{
    GCodec = codec;
}

bool TImageCodec::AppendPage(std::string& sFileBytes, const TBitmap& page, int nEncoder)
{
    const auto& encoders = Encoders();
    if (nEncoder < 0 || nEncoder >= static_cast<int>(encoders.size())) return false;
    std::string part;
    if (!Encode(page, nEncoder, part)) return false;
    if (sFileBytes.empty()) {
        sFileBytes = std::move(part);
        return true;
    }
    if (encoders[nEncoder].MimeType != "image/tiff") return false;
    std::string joined;
    if (!CombineTiffFiles({sFileBytes, part}, joined)) return false;
    sFileBytes = std::move(joined);
    return true;
}

namespace {

// One part's directory chain, checked without changing anything: where each directory is and
// which byte ranges the relocation will rewrite. Hostile parts may let structures overlap, so
// that rewriting one would corrupt another; those are refused.
struct TTiffLayout
{
    std::vector<std::uint64_t> Directories;
};

bool ScanTiffPart(std::string& part, bool bLittle, TTiffLayout& layout)
{
    TTiffBytes t(part, bLittle);
    if (part.size() < 8 || t.Get(2, 2) != 42) return false;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges{{0, 8}}; // [begin, end)
    std::set<std::uint64_t> seen;
    for (std::uint64_t ifd = t.Get(4, 4); ifd != 0;) {
        if (!seen.insert(ifd).second || !t.Has(ifd, 2)) return false;
        const std::uint32_t n = t.Get(ifd, 2);
        const std::uint64_t end = ifd + 2 + std::uint64_t(n) * 12 + 4;
        if (n == 0 || !t.Has(ifd, end - ifd)) return false;
        ranges.emplace_back(ifd, end);
        for (std::uint32_t e = 0; e < n; ++e) {
            const std::uint64_t ent = ifd + 2 + std::uint64_t(e) * 12;
            const std::uint32_t tag = t.Get(ent, 2);
            const std::uint32_t type = t.Get(ent + 2, 2);
            const int typeSize = TiffTypeSize(type);
            if (typeSize == 0 || IsSubDirectoryTag(tag)) return false;
            const std::uint64_t size = std::uint64_t(t.Get(ent + 4, 4)) * typeSize;
            if (IsOffsetTag(tag) && type != 3 && type != 4) return false;
            if (size > 4) {
                const std::uint64_t off = t.Get(ent + 8, 4);
                if (!t.Has(off, size)) return false;
                // Only offset arrays are rewritten; other out-of-line values may be shared.
                if (IsOffsetTag(tag)) ranges.emplace_back(off, off + size);
            }
        }
        layout.Directories.push_back(ifd);
        ifd = t.Get(end - 4, 4);
    }
    if (layout.Directories.empty()) return false;
    std::sort(ranges.begin(), ranges.end());
    for (std::size_t i = 1; i < ranges.size(); ++i)
        if (ranges[i].first < ranges[i - 1].second) return false;
    return true;
}

} // namespace

bool CombineTiffFiles(const std::vector<std::string>& parts, std::string& sOut)
{
    if (parts.empty() || parts.front().size() < 8) return false;
    const char order = parts.front()[0];
    if ((order != 'I' && order != 'M') || parts.front()[1] != order) return false;
    const bool bLittle = order == 'I';

    std::string out;
    // Where the previous part's last "next directory" pointer sits; 4 = the header's pointer.
    std::uint64_t linkPos = 4;
    for (const std::string& original : parts) {
        if (original.size() < 8 || original[0] != order || original[1] != order) return false;
        std::string part = original;
        TTiffLayout layout;
        if (!ScanTiffPart(part, bLittle, layout)) return false;
        if (out.size() % 2) out.push_back('\0'); // TIFF offsets are word aligned
        const std::uint64_t base = out.size();
        if (base + part.size() > MaxTiffSize) return false;

        // Relocate within the part's own copy, then append it.
        TTiffBytes t(part, bLittle);
        for (const std::uint64_t ifd : layout.Directories) {
            const std::uint32_t n = t.Get(ifd, 2);
            for (std::uint32_t e = 0; e < n; ++e) {
                const std::uint64_t ent = ifd + 2 + std::uint64_t(e) * 12;
                const std::uint32_t tag = t.Get(ent, 2);
                const int typeSize = TiffTypeSize(t.Get(ent + 2, 2));
                const std::uint64_t count = t.Get(ent + 4, 4);
                std::uint64_t valuesAt = ent + 8;
                if (count * typeSize > 4) {
                    valuesAt = t.Get(ent + 8, 4);
                    t.Put(ent + 8, 4, static_cast<std::uint32_t>(base + valuesAt));
                }
                if (!IsOffsetTag(tag)) continue;
                for (std::uint64_t i = 0; i < count; ++i) {
                    const std::uint64_t p = valuesAt + i * typeSize;
                    const std::uint64_t v = t.Get(p, typeSize) + base;
                    if (v > (typeSize == 2 ? 0xFFFFu : MaxTiffSize)) return false;
                    t.Put(p, typeSize, static_cast<std::uint32_t>(v));
                }
            }
            const std::uint64_t next = ifd + 2 + std::uint64_t(n) * 12;
            const std::uint32_t link = t.Get(next, 4);
            if (link != 0) t.Put(next, 4, static_cast<std::uint32_t>(base + link));
        }
        out += part;
        // The first part's header stays the file's header; later parts hang off the previous
        // part's last directory.
        TTiffBytes(out, bLittle)
            .Put(linkPos, 4, static_cast<std::uint32_t>(base + layout.Directories.front()));
        linkPos = base + layout.Directories.back() + 2 +
                  std::uint64_t(t.Get(layout.Directories.back(), 2)) * 12;
    }
    TTiffBytes(out, bLittle).Put(linkPos, 4, 0);
    sOut = std::move(out);
    return true;
}

} // namespace ff
