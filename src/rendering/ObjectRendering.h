// Helpers shared by the Draw operations of the sheet object kinds: device scale, inch-to-pixel
// conversion, the text state, highlights, selection handles and scoped quality changes.
#pragma once

#include <array>
#include <string>

#include "model/ClassCSObject.h"
#include "rendering/KELDGraphics.h"

namespace ff::render {

// Pixels per inch for a draw: the device's resolution on a printer, CS_DPI otherwise.
double DeviceScale(const TGraphicsDevice& hdc, const TCSDrawParams& dparams);

// (round(d x), round(d y)), halves to even.
TPoint ToPixel(TPointF p, double d);

// The four corner pixels P0..P3 of a box-like object (which has at least four points).
std::array<TPoint, 4> CornerPixels(const TCSObject& o, double d);

// Font from the object, size in pixels at d, clear pen, solid brush of `brushColor`.
void SetTextState(TKELDGraphics& g, const TCSObject& o, double d, TColor brushColor);

// The text a label or edit field shows: "0" for a numeric field whose text is not a number.
std::string DisplayText(const TCSObject& o);

// A rectangle with a clear pen and a solid fill of c.
void Highlight(TKELDGraphics& g, TColor c, int x1, int y1, int x2, int y2);

// Hollow squares of 5 x 5 pixels about each point in the object's handle colour.
void DrawHandles(TKELDGraphics& g, const TCSObject& o, const TPoint* pts, std::size_t n);

bool HasImage(const TCSObject& o);

// Sets GraphicsQuality for a scope and puts the previous value back.
class TQualityScope
{
public:
    explicit TQualityScope(int nQuality) : FSaved(GraphicsQuality) { GraphicsQuality = nQuality; }
    ~TQualityScope() { GraphicsQuality = FSaved; }
    TQualityScope(const TQualityScope&) = delete;
    TQualityScope& operator=(const TQualityScope&) = delete;

private:
    int FSaved;
};

// The same for GraphicsColorMode.
class TColorModeScope
{
public:
    explicit TColorModeScope(int nMode) : FSaved(GraphicsColorMode) { GraphicsColorMode = nMode; }
    ~TColorModeScope() { GraphicsColorMode = FSaved; }
    TColorModeScope(const TColorModeScope&) = delete;
    TColorModeScope& operator=(const TColorModeScope&) = delete;

private:
    int FSaved;
};

} // namespace ff::render
