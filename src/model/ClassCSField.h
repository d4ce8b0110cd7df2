// TCSEdit: a text edit field, the data field the user types into.
#pragma once

#include "model/ClassCSObject.h"

namespace ff {

class TCSEdit : public TCSObject
{
public:
    TCSEdit();
    std::unique_ptr<TCSObject> Clone() const override;
    void FinalizePoints() override;
    void DefaultPoints() override;
    void EditNode(int n, double x, double y) override;
    bool ClickedOn(double x, double y, double t) const override;
    void Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams) override;
};

} // namespace ff
