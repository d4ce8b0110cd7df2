// TCSObject: the base of everything placed on a sheet page. One class carries the attributes of
// every kind (geometry, line and fill, font and text, data-field attributes, an embedded image);
// the nine kinds differ only in their constructors and a few virtual operations.
#pragma once

#include "persistence/ByteStream.h"
#include "support/Types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ff {

class TKELDExpression;
class TGraphicsDevice;
class TAppStreamWriter;

// Type ids; the type id decides the concrete class when a file is read.
constexpr int CS_ORTHLINE = 0;
constexpr int CS_BOX = 1;
constexpr int CS_LABEL = 2;
constexpr int CS_EDIT = 3;
constexpr int CS_IMAGE = 4;
constexpr int CS_CHECKBOX = 5;
constexpr int CS_LINE = 6;
constexpr int CS_IMAGESELECT = 7;
constexpr int CS_BUTTON = 8;
constexpr int CS_ANYTYPE = -1; // matches every type in a typed field lookup

constexpr int CS_ALIGN_LEFT = 0;
constexpr int CS_ALIGN_CENTER = 1;
constexpr int CS_ALIGN_RIGHT = 2;

constexpr int CS_IMAGE_BESTFIT = 0;
constexpr int CS_IMAGE_ASIS = 1;
constexpr int CS_IMAGE_STRETCH = 2;

constexpr int CS_BUTTONSTATE_UP = 0;
constexpr int CS_BUTTONSTATE_DOWN = 1;
constexpr int CS_BUTTONSTATE_HOVER = 2;
constexpr int CS_BUTTONSTATE_HOVERDOWN = 3;

constexpr int CS_LISTSTYLE_FIXED = 0;
constexpr int CS_LISTSTYLE_OPEN = 1;

constexpr const char* CS_BASE_FONT = "Verdana";
constexpr int CS_BASE_DPI = 96;
constexpr TColor CS_BASE_HIGHLIGHT_COLOR = 0xBFBFFF;
constexpr const char* CS_IMAGE_PROMPT = "Click to select image";

// Process-wide settings (UI thread only; scripts may assign them).
extern int CS_DPI;                   // pixels per inch on screen, 96
extern TColor CSSelectedHandleColor; // handles of a selected, unlocked object, 0xFF0000
extern TColor CSLockedHandleColor;   // handles of a selected, locked object, 0x808080

// The record that steers every draw call.
struct TCSDrawParams
{
    double Scale = 0; // read by no drawing routine
    TColor HighlightColor = 0;
    bool DesignMode = false;
    bool ShowFields = false;
    bool PrintMode = false;
};

// Bumped whenever a sheet object is created or destroyed, and by every sheet operation that
// changes object lists or field names; the sheet's field index is rebuilt when it moved.
extern std::uint64_t ModelGeneration;

class TCSObject
{
public:
    TCSObject();
    virtual ~TCSObject();
    TCSObject(const TCSObject&) = delete;
    TCSObject& operator=(const TCSObject&) = delete;

    // Attributes, in declaration order; file formats, drawing and scripts use them directly.
    std::int32_t FTypeID = 0;
    std::string FFieldName;
    std::string FFieldSource;                    // native expression, or script code after "js:"
    std::unique_ptr<TKELDExpression> Expression; // never null; replaced by SetFieldSource
    bool FisNumeric = false;
    bool FReadOnly = false;
    bool FVisible = true;
    std::string FList;
    std::int32_t FListStyle = CS_LISTSTYLE_FIXED;
    std::vector<TPointF> Points; // inches
    bool FSelected = false;
    bool FLocked = false;
    double FLineWidth = 1.0; // points
    TColor FLineColor = 0;
    TColor FFillColor = 0;
    bool FisFilled = false;
    std::string FText;
    std::string FFontName;
    double FFontSize = 10.0; // points
    bool FFontBold = false;
    bool FFontUnderline = false;
    bool FFontItalic = false;
    std::int32_t FTextAlign = CS_ALIGN_LEFT;
    bool FSingleLine = true;
    std::unique_ptr<TMemoryStream> Image; // the encoded image file; null for none
    bool FImageGrayscale = false;
    std::int32_t FImageScalingMode = CS_IMAGE_BESTFIT;
    std::int32_t FButtonState = CS_BUTTONSTATE_UP;
    bool ScriptError = false;

    // A new object of the same kind with this one's attributes (CopyTo); null for the base.
    virtual std::unique_ptr<TCSObject> Clone() const;
    // Copies the stored attributes, the image (deeply) and the points onto o; the selection,
    // lock, list style, scaling mode, button state and script error stay o's own.
    virtual void CopyTo(TCSObject& o) const;

    virtual void SetChecked(bool b);
    virtual bool GetChecked() const;

    // The number FText denotes (with '.' or the user's decimal separator), else 0.
    double GetValue() const;
    // Writes d into FText as number-to-text does.
    void SetValue(double d);

    // Stores the source and, for a non-empty native source, compiles it into a new engine.
    void SetFieldSource(const std::string& sSource);
    bool isJSSource() const;
    bool isEditable() const;

    void AddPoint(double x, double y);
    void AddPixelPoint(double x, double y);
    void SetPoint(int n, double x, double y);
    void SetPixelPoint(int n, double x, double y);

    virtual void FinalizePoints();
    virtual void DefaultPoints();
    void Move(double dx, double dy);
    void SnapToGrid(double gridsize);
    virtual void EditNode(int n, double x, double y);
    virtual void BoxEditNode(int n, double x, double y);
    TRectF BoundBox() const;

    virtual void Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams);
    virtual bool ClickedOn(double x, double y, double t) const;
    // Index of the first point within t of (x, y), or -1.
    virtual int SelectNode(double x, double y, double t) const;
    // path is the folder of the page file, ending in a separator; id the object's number.
    virtual void SaveAsHTML(TAppStreamWriter& w, const std::string& path, int id);
    // The object record of the sheet definition (persistence/); false when it is damaged.
    void SaveToStream(TAppStreamWriter& w) const;
    bool LoadFromStream(TAppStreamWriter& w);

    void ClearImage();
    TColor SelectedHandleColor() const;

protected:
    template <class T> std::unique_ptr<TCSObject> CloneAs() const
    {
        auto o = std::make_unique<T>();
        CopyTo(*o);
        return o;
    }

    // Shared rules of the four-point rectangle kinds.
    void FinalizeRect(); // P1 := (x0, y2), P3 := (x2, y0)
    void DefaultRectSize(double minW, double newW, double minH, double newH);
    bool PointInRect(double x, double y) const; // P0..P2 spanned, borders included
    void RectEditNode(int n, double x, double y);
};

// The multiple of g nearest to c, halves towards zero; c itself when g is not a positive,
// finite number.
double SnapValue(double c, double g);

} // namespace ff
