// Supplementary services.
#pragma once

#include "UI_FeaturePage.h"

class TSet_SS final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TSet_SS(feature::FeatureHost &host);
};
