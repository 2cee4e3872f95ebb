// SIM toolkit entry window.
#pragma once

#include "FeaturePage.h"

class TAffixationfrm final : public FeaturePage {
    Q_OBJECT
public:
    explicit TAffixationfrm(feature::FeatureHost &host);
};
