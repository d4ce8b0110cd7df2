// TCSButton: a push button that runs script code when clicked in a sheet viewer.
#pragma once

#include "model/ClassCSObject.h"

namespace ff {

class TCSButton : public TCSObject
{
public:
    TCSButton();
    std::unique_ptr<TCSObject> Clone() const override;
    void FinalizePoints() override;
    void DefaultPoints() override;
    void EditNode(int n, double x, double y) override;
    bool ClickedOn(double x, double y, double t) const override;
    void Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams) override;
};

} // namespace ff
