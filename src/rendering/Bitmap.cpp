#include "rendering/Bitmap.h"

namespace ff {

TBitmap::TBitmap(int w, int h, TArgb fill)
{
    Resize(w, h, fill);
}

bool TBitmap::Resize(int w, int h, TArgb fill)
{
    if (!IsAcceptableBitmapSize(w, h)) {
        Width = Height = 0;
        Pixels.clear();
        return false;
    }
    Width = w;
    Height = h;
    Pixels.assign(static_cast<std::size_t>(w) * h, fill);
    return true;
}

} // namespace ff
