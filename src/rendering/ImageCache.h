// Decoded images of stored image bytes, kept between draws. A page redraws its images at every
// repaint; decoding them each time would dominate the frame. Entries are found by comparing the
// bytes themselves, so a hit always gives exactly what decoding would.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <string_view>

#include "rendering/Bitmap.h"

namespace ff {

class TImageCodec;

// Colour treatment of a cached variant: the colour part of the image matrices.
enum class TImageTint : int { None = 0, Grayscale = 1, Sepia = 2 };

class TDecodedImageCache
{
public:
    explicit TDecodedImageCache(std::size_t nMaxBytes = 256u << 20, std::size_t nMaxEntries = 64)
        : FMaxBytes(nMaxBytes), FMaxEntries(nMaxEntries)
    {
    }

    // The decoded image, or null when the bytes cannot be decoded (also remembered).
    std::shared_ptr<const TBitmap> Decoded(std::string_view bytes);
    // The decoded image with its colour key applied (when bColorKey and the image has no alpha
    // channel: pixels of the top-left pixel's colour become transparent) and then tinted.
    std::shared_ptr<const TBitmap> Variant(std::string_view bytes, TImageTint tint, bool bColorKey);
    // Size of an image already in the cache; false when it is not cached.
    bool CachedSize(std::string_view bytes, int& w, int& h);

    void Clear();
    std::size_t Count() const { return FEntries.size(); }
    std::size_t CostBytes() const { return FCost; }
    // Decodes done since creation (for tests and benchmarks).
    std::size_t DecodeCount() const { return FDecodes; }

private:
    struct TEntry
    {
        std::string Bytes;
        std::shared_ptr<const TBitmap> Image;
        std::shared_ptr<const TBitmap> Variants[3][2];
        std::size_t Cost = 0;
    };
    using TList = std::list<TEntry>;

    TList::iterator Find(std::string_view bytes);
    TEntry& FindOrDecode(std::string_view bytes);
    void Trim(std::size_t nKeep);
    static std::size_t CostOf(const TBitmap& b) { return b.Pixels.size() * sizeof(TArgb); }

    TList FEntries;  // most recently used first
    TEntry FScratch; // the last image too large to keep
    std::size_t FMaxBytes;
    std::size_t FMaxEntries;
    std::size_t FCost = 0;
    std::size_t FDecodes = 0;
    const TImageCodec* FCodec = nullptr; // entries belong to this codec
};

// The process-wide cache used by image drawing (UI thread only).
TDecodedImageCache& ImageCache();

} // namespace ff
