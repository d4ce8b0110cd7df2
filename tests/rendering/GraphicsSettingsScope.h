// Sets the process-wide drawing settings for the life of a test fixture and puts the previous
// values back, so no test leaks its quality or colour mode into the next.
#pragma once

#include "rendering/KELDGraphics.h"

namespace ff::test {

class TGraphicsSettingsScope
{
public:
    explicit TGraphicsSettingsScope(int nQuality = 1, int nColorMode = 0)
        : FQuality(GraphicsQuality), FColorMode(GraphicsColorMode)
    {
        GraphicsQuality = nQuality;
        GraphicsColorMode = nColorMode;
    }
    ~TGraphicsSettingsScope()
    {
        GraphicsQuality = FQuality;
        GraphicsColorMode = FColorMode;
    }
    TGraphicsSettingsScope(const TGraphicsSettingsScope&) = delete;
    TGraphicsSettingsScope& operator=(const TGraphicsSettingsScope&) = delete;

private:
    int FQuality;
    int FColorMode;
};

} // namespace ff::test
