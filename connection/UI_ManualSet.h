// Manual operator selection.
#pragma once

#include "UI_FeaturePage.h"

class TManual_Set final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TManual_Set(feature::FeatureHost &host);
};
