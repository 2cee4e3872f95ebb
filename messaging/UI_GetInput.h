// SIM toolkit input.
#pragma once

#include "FeaturePage.h"

class TgetInput final : public FeaturePage {
    Q_OBJECT
public:
    explicit TgetInput(feature::FeatureHost &host);
};
