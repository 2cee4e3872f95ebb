// USSD.
#pragma once

#include "FeaturePage.h"

class Tussdfrm final : public FeaturePage {
    Q_OBJECT
public:
    explicit Tussdfrm(feature::FeatureHost &host);
};
