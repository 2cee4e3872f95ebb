// Supplementary services.
#pragma once

#include "FeaturePage.h"

class TSet_SS final : public FeaturePage {
    Q_OBJECT
public:
    explicit TSet_SS(feature::FeatureHost &host);
};
