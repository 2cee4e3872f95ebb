// Manual operator selection.
#pragma once

#include "FeaturePage.h"

class TManual_Set final : public FeaturePage {
    Q_OBJECT
public:
    explicit TManual_Set(feature::FeatureHost &host);
};
