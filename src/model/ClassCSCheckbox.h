// TCSCheckBox: a square check box whose state is its text ("1" checked, empty unchecked).
#pragma once

#include "model/ClassCSObject.h"

namespace ff {

class TCSCheckBox : public TCSObject
{
public:
    TCSCheckBox();
    std::unique_ptr<TCSObject> Clone() const override;
    void SetChecked(bool b) override;
    bool GetChecked() const override;
    // Orders the corners and makes the rectangle a square anchored at P0.
    void FinalizePoints() override;
    void DefaultPoints() override;
    void EditNode(int n, double x, double y) override;
    bool ClickedOn(double x, double y, double t) const override;
    void Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams) override;
};

} // namespace ff
