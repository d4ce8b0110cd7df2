#include "rendering/ImageCache.h"

#include <cstring>

#include "rendering/Bitmaps.h"
#include "rendering/GraphicsDevice.h"
#include "rendering/ImageCodec.h"

namespace ff {

TDecodedImageCache& ImageCache()
{
    static TDecodedImageCache cache;
    return cache;
}

void TDecodedImageCache::Clear()
{
    FEntries.clear();
    FScratch = TEntry();
    FCost = 0;
}

TDecodedImageCache::TList::iterator TDecodedImageCache::Find(std::string_view bytes)
{
    if (GetImageCodec() != FCodec) {
        Clear();
        FCodec = GetImageCodec();
    }
    for (auto it = FEntries.begin(); it != FEntries.end(); ++it) {
        if (it->Bytes.size() == bytes.size() &&
            (bytes.empty() || std::memcmp(it->Bytes.data(), bytes.data(), bytes.size()) == 0)) {
            if (it != FEntries.begin()) FEntries.splice(FEntries.begin(), FEntries, it);
            return FEntries.begin();
        }
    }
    return FEntries.end();
}

TDecodedImageCache::TEntry& TDecodedImageCache::FindOrDecode(std::string_view bytes)
{
    auto it = Find(bytes);
    if (it != FEntries.end()) return *it;
    TEntry e;
    e.Bytes.assign(bytes);
    e.Cost = bytes.size();
    if (TImageCodec* codec = GetImageCodec(); codec && !bytes.empty()) {
        auto bmp = std::make_shared<TBitmap>();
        ++FDecodes;
        if (codec->Decode(bytes, *bmp) && !bmp->IsEmpty()) {
            e.Cost += CostOf(*bmp);
            e.Image = std::move(bmp);
        }
    }
    if (e.Cost > FMaxBytes) {
        // Larger than the whole budget: handed out, not kept.
        FScratch = std::move(e);
        return FScratch;
    }
    FCost += e.Cost;
    FEntries.push_front(std::move(e));
    Trim(1);
    return FEntries.front();
}

void TDecodedImageCache::Trim(std::size_t nKeep)
{
    // The nKeep most recent entries stay, so the caller's entry survives.
    while (FEntries.size() > nKeep && (FEntries.size() > FMaxEntries || FCost > FMaxBytes)) {
        FCost -= FEntries.back().Cost;
        FEntries.pop_back();
    }
}

std::shared_ptr<const TBitmap> TDecodedImageCache::Decoded(std::string_view bytes)
{
    return FindOrDecode(bytes).Image;
}

bool TDecodedImageCache::CachedSize(std::string_view bytes, int& w, int& h)
{
    auto it = Find(bytes);
    if (it == FEntries.end()) return false;
    w = it->Image ? it->Image->Width : 0;
    h = it->Image ? it->Image->Height : 0;
    return true;
}

std::shared_ptr<const TBitmap> TDecodedImageCache::Variant(std::string_view bytes, TImageTint tint,
                                                           bool bColorKey)
{
    TEntry& entry = FindOrDecode(bytes);
    const std::shared_ptr<const TBitmap> image = entry.Image;
    if (!image) return nullptr;
    const bool bKey = bColorKey && !image->HasAlpha;
    const int nTint = static_cast<int>(tint);
    if (nTint < 0 || nTint > 2) return image;
    if (nTint == 0 && !bKey) return image;
    auto& slot = entry.Variants[nTint][bKey ? 1 : 0];
    if (slot) return slot;

    auto v = std::make_shared<TBitmap>(*image);
    if (bKey) {
        const TArgb key = v->Pixels.front() & 0xFFFFFFu;
        for (TArgb& p : v->Pixels)
            if ((p & 0xFFFFFFu) == key) p = 0;
        v->HasAlpha = true;
    }
    if (tint == TImageTint::Grayscale)
        ApplyColorMatrix(*v, TColorMatrix::Grayscale());
    else if (tint == TImageTint::Sepia)
        ApplyColorMatrix(*v, TColorMatrix::Sepia());

    slot = v;
    if (&entry != &FScratch) {
        const std::size_t cost = CostOf(*v);
        entry.Cost += cost;
        FCost += cost;
        Trim(1);
    }
    return v;
}

} // namespace ff
