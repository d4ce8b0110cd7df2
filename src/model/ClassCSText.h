// TCSText: a static label. P0 anchors the text; P1..P3 follow the measured text when drawn.
#pragma once

#include "model/ClassCSObject.h"

namespace ff {

class TCSText : public TCSObject
{
public:
    TCSText();
    std::unique_ptr<TCSObject> Clone() const override;
    void FinalizePoints() override;
    bool ClickedOn(double x, double y, double t) const override;
    void Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams) override;
};

} // namespace ff
