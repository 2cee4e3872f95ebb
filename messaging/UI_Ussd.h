// USSD.
#pragma once

#include "UI_FeaturePage.h"

class Tussdfrm final : public TFeaturePage {
    Q_OBJECT
public:
    explicit Tussdfrm(feature::FeatureHost &host);
};
