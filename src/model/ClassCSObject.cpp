#include "model/ClassCSObject.h"

#include "expression/KELDExpression.h"
#include "model/ClassCharSheet.h"
#include "persistence/ClassCSDataStore.h"
#include "rendering/Geometry.h"
#include "support/Numbers.h"
#include "support/Text.h"

#include <algorithm>
#include <cmath>

namespace ff {

int CS_DPI = CS_BASE_DPI;
TColor CSSelectedHandleColor = 0xFF0000;
TColor CSLockedHandleColor = 0x808080;
std::uint64_t ModelGeneration = 0;

namespace {

// lookup(store, key, column): the value the data store holds in column for key, from the sheet
// scripts work on; the empty text without a sheet or such a store.
bool LookupFunction(TToken& ans, const TTokenStack& params, std::string& /*sError*/,
                    void* /*pUserData*/)
{
    std::string sResult;
    if (params.Count() == 3 && ActiveScriptSheet) {
        if (const TCSDataStore* ds = ActiveScriptSheet->GetDataStore(params[0]->AsText()))
            sResult = ds->Lookup(params[1]->AsText(), params[2]->AsText());
    }
    ans.SetTextVal(sResult);
    return true;
}

std::unique_ptr<TKELDExpression> NewFieldExpression()
{
    auto e = std::make_unique<TKELDExpression>();
    e->AddFunction("lookup", LookupFunction, 3, 3);
    return e;
}

} // namespace

double SnapValue(double c, double g)
{
    if (!(g > 0) || !std::isfinite(g) || !std::isfinite(c)) return c;
    double q = c / g;
    // A grid far finer than c can represent: c is already as near a multiple as doubles get.
    if (!std::isfinite(q)) return c;
    double lo = std::floor(q);
    double frac = q - lo;
    double m;
    if (frac > 0.5)
        m = lo + 1;
    else if (frac < 0.5)
        m = lo;
    else
        m = (lo >= 0) ? lo : lo + 1; // exactly halfway: the multiple nearer to zero
    double r = m * g;
    return r == 0 ? 0.0 : r; // no negative zero
}

TCSObject::TCSObject() : Expression(NewFieldExpression())
{
    ++ModelGeneration;
    // A virtual call in a constructor reaches this class's own version; kinds whose check state
    // lives elsewhere repeat the call in their constructors.
    TCSObject::SetChecked(false);
}

TCSObject::~TCSObject()
{
    ++ModelGeneration;
}

std::unique_ptr<TCSObject> TCSObject::Clone() const
{
    return nullptr;
}

void TCSObject::CopyTo(TCSObject& o) const
{
    if (&o == this) return;
    o.FTypeID = FTypeID;
    o.FFieldName = FFieldName;
    o.SetFieldSource(FFieldSource);
    o.FisNumeric = FisNumeric;
    o.FReadOnly = FReadOnly;
    o.FVisible = FVisible;
    o.FList = FList;
    o.FLineWidth = FLineWidth;
    o.FLineColor = FLineColor;
    o.FFillColor = FFillColor;
    o.FisFilled = FisFilled;
    o.FText = FText;
    o.FFontName = FFontName;
    o.FFontSize = FFontSize;
    o.FFontBold = FFontBold;
    o.FFontUnderline = FFontUnderline;
    o.FFontItalic = FFontItalic;
    o.FTextAlign = FTextAlign;
    o.FSingleLine = FSingleLine;
    o.Image.reset();
    if (Image) o.Image = std::make_unique<TMemoryStream>(Image->Bytes());
    o.FImageGrayscale = FImageGrayscale;
    o.Points = Points;
    ++ModelGeneration; // the field name may have changed
}

void TCSObject::SetChecked(bool /*b*/) {}
bool TCSObject::GetChecked() const
{
    return false;
}

double TCSObject::GetValue() const
{
    double d = 0;
    if (IsFloatText(FText) && TryTextToNumber(FText, d)) return d;
    return 0;
}

void TCSObject::SetValue(double d)
{
    FText = NumberToText(d);
}

void TCSObject::SetFieldSource(const std::string& sSource)
{
    FFieldSource = sSource;
    if (sSource.empty() || isJSSource()) return;
    auto e = NewFieldExpression();
    e->SetExpression(sSource);
    e->Compile(); // a failure stays in the engine's error state for the field update
    Expression = std::move(e);
}

bool TCSObject::isJSSource() const
{
    // The first three characters decide: " js:" is not script code.
    return LowerCase(Trim(std::string_view(FFieldSource).substr(0, 3))) == "js:";
}

bool TCSObject::isEditable() const
{
    return FTypeID == CS_EDIT && FFieldSource.empty() && FVisible && !FReadOnly;
}

void TCSObject::AddPoint(double x, double y)
{
    Points.push_back({x, y});
}

void TCSObject::AddPixelPoint(double x, double y)
{
    AddPoint(x / CS_DPI, y / CS_DPI);
}

void TCSObject::SetPoint(int n, double x, double y)
{
    if (n >= 0 && n < static_cast<int>(Points.size())) Points[static_cast<size_t>(n)] = {x, y};
}

void TCSObject::SetPixelPoint(int n, double x, double y)
{
    SetPoint(n, x / CS_DPI, y / CS_DPI);
}

void TCSObject::FinalizePoints() {}
void TCSObject::DefaultPoints() {}

void TCSObject::Move(double dx, double dy)
{
    for (TPointF& p : Points) {
        p.X += dx;
        p.Y += dy;
    }
}

void TCSObject::SnapToGrid(double gridsize)
{
    for (TPointF& p : Points) {
        p.X = SnapValue(p.X, gridsize);
        p.Y = SnapValue(p.Y, gridsize);
    }
    FinalizePoints();
}

void TCSObject::EditNode(int n, double x, double y)
{
    SetPoint(n, x, y);
    FinalizePoints();
}

void TCSObject::BoxEditNode(int n, double x, double y)
{
    if (n < 0 || n >= static_cast<int>(Points.size())) return;
    auto& P = Points;
    P[static_cast<size_t>(n)] = {x, y};
    // Corners 1 and 3 carry one coordinate of each defining corner; those need four points.
    if (P.size() < 4) return;
    if (n == 1) {
        P[0].X = x;
        P[2].Y = y;
    } else if (n == 3) {
        P[0].Y = y;
        P[2].X = x;
    }
}

TRectF TCSObject::BoundBox() const
{
    return PointsBounds(Points);
}

void TCSObject::Draw(TGraphicsDevice& /*hdc*/, const TCSDrawParams& /*dparams*/) {}

bool TCSObject::ClickedOn(double /*x*/, double /*y*/, double /*t*/) const
{
    return false;
}

int TCSObject::SelectNode(double x, double y, double t) const
{
    for (size_t i = 0; i < Points.size(); ++i)
        if (PointDistance(Points[i], {x, y}) <= t) return static_cast<int>(i);
    return -1;
}

void TCSObject::SaveAsHTML(TAppStreamWriter& /*w*/, const std::string& /*path*/, int /*id*/) {}

void TCSObject::ClearImage()
{
    Image.reset();
}

TColor TCSObject::SelectedHandleColor() const
{
    return FLocked ? CSLockedHandleColor : CSSelectedHandleColor;
}

void TCSObject::FinalizeRect()
{
    if (Points.size() < 4) return;
    Points[1] = {Points[0].X, Points[2].Y};
    Points[3] = {Points[2].X, Points[0].Y};
}

void TCSObject::DefaultRectSize(double minW, double newW, double minH, double newH)
{
    if (Points.size() < 4) return;
    auto& P = Points;
    if (P[2].X - P[0].X < minW) P[2].X = P[3].X = P[0].X + newW;
    if (P[2].Y - P[0].Y < minH) P[2].Y = P[1].Y = P[0].Y + newH;
}

bool TCSObject::PointInRect(double x, double y) const
{
    if (Points.size() < 4) return false;
    return PointInSpan({x, y}, Points[0], Points[2]);
}

void TCSObject::RectEditNode(int n, double x, double y)
{
    BoxEditNode(n, x, y);
    FinalizePoints();
}

} // namespace ff
