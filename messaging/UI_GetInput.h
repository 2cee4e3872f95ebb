// SIM toolkit input.
#pragma once

#include "UI_FeaturePage.h"

class TgetInput final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TgetInput(feature::FeatureHost &host);
};
