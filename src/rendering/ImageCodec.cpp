#include "rendering/ImageCodec.h"

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

bool CombineTiffFiles(const std::vector<std::string>& parts, std::string& sOut)
{
    if (parts.empty() || parts.front().size() < 8) return false;
    const char order = parts.front()[0];
    if ((order != 'I' && order != 'M') || parts.front()[1] != order) return false;
    const bool bLittle = order == 'I';

    std::string out;
    // Where the previous part's last "next directory" pointer sits; 4 = the header's pointer.
    std::uint64_t linkPos = 4;
    for (const std::string& part : parts) {
        if (part.size() < 8 || part[0] != order || part[1] != order) return false;
        if (out.size() % 2) out.push_back('\0'); // TIFF offsets are word aligned
        const std::uint64_t base = out.size();
        if (base + part.size() > MaxTiffSize) return false;
        out += part;
        TTiffBytes t(out, bLittle);
        if (t.Get(base + 2, 2) != 42) return false;
        std::uint64_t ifd = t.Get(base + 4, 4);
        if (ifd == 0) return false;
        // The header of the first part stays the file's header and points at its first
        // directory; later parts are linked from the previous part's last directory.
        t.Put(linkPos, 4, static_cast<std::uint32_t>(base + ifd));
        std::set<std::uint64_t> seen;
        while (ifd != 0) {
            if (!seen.insert(ifd).second || !t.Has(base + ifd, 2)) return false;
            const std::uint64_t at = base + ifd;
            const std::uint32_t n = t.Get(at, 2);
            if (n == 0 || !t.Has(at + 2, std::uint64_t(n) * 12 + 4)) return false;
            for (std::uint32_t e = 0; e < n; ++e) {
                const std::uint64_t ent = at + 2 + std::uint64_t(e) * 12;
                const std::uint32_t tag = t.Get(ent, 2);
                const std::uint32_t type = t.Get(ent + 2, 2);
                const std::uint64_t count = t.Get(ent + 4, 4);
                const int typeSize = TiffTypeSize(type);
                if (typeSize == 0 || IsSubDirectoryTag(tag)) return false;
                const std::uint64_t size = count * typeSize;
                std::uint64_t valuesAt = ent + 8;
                if (size > 4) {
                    const std::uint64_t off = t.Get(ent + 8, 4);
                    if (off + size > part.size()) return false;
                    valuesAt = base + off;
                    t.Put(ent + 8, 4, static_cast<std::uint32_t>(base + off));
                }
                if (IsOffsetTag(tag)) {
                    if (type != 3 && type != 4) return false;
                    for (std::uint64_t i = 0; i < count; ++i) {
                        const std::uint64_t p = valuesAt + i * typeSize;
                        const std::uint64_t v = t.Get(p, typeSize) + base;
                        if (v > (type == 3 ? 0xFFFFu : MaxTiffSize)) return false;
                        t.Put(p, typeSize, static_cast<std::uint32_t>(v));
                    }
                }
            }
            linkPos = at + 2 + std::uint64_t(n) * 12;
            ifd = t.Get(linkPos, 4);
        }
    }
    TTiffBytes(out, bLittle).Put(linkPos, 4, 0);
    sOut = std::move(out);
    return true;
}

} // namespace ff
