// The drawing kinds: orthogonal lines (two points, kept horizontal or vertical), free lines
// (two points) and boxes (four-point rectangles).
#pragma once

#include "model/ClassCSObject.h"

namespace ff {

class TCSOrthLine : public TCSObject
{
public:
    TCSOrthLine();
    std::unique_ptr<TCSObject> Clone() const override;
    void FinalizePoints() override;
    void DefaultPoints() override;
    bool ClickedOn(double x, double y, double t) const override;
    void Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams) override;
};

class TCSLine : public TCSObject
{
public:
    TCSLine();
    std::unique_ptr<TCSObject> Clone() const override;
    void FinalizePoints() override;
    void DefaultPoints() override;
    bool ClickedOn(double x, double y, double t) const override;
    void Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams) override;
};

class TCSBox : public TCSObject
{
public:
    TCSBox();
    std::unique_ptr<TCSObject> Clone() const override;
    void FinalizePoints() override;
    void DefaultPoints() override;
    void EditNode(int n, double x, double y) override;
    // Filled: anywhere inside; unfilled: only near the outline.
    bool ClickedOn(double x, double y, double t) const override;
    void Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams) override;
};

} // namespace ff
