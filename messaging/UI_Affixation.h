// SIM toolkit entry window.
#pragma once

#include "UI_FeaturePage.h"

class TAffixationfrm final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TAffixationfrm(feature::FeatureHost &host);
};
