// Images: a placed picture (TCSImage) and the image-select field whose picture the user picks.
#pragma once

#include "model/ClassCSObject.h"

namespace ff {

class TCSImage : public TCSObject
{
public:
    TCSImage();
    std::unique_ptr<TCSObject> Clone() const override;
    void FinalizePoints() override;
    void DefaultPoints() override;
    void EditNode(int n, double x, double y) override;
    bool ClickedOn(double x, double y, double t) const override;
    void Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams) override;
};

class TCSImageSelect : public TCSImage
{
public:
    TCSImageSelect();
    std::unique_ptr<TCSObject> Clone() const override;
    void Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams) override;
};

} // namespace ff
