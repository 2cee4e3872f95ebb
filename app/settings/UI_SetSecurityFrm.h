// Security settings.
#pragma once

#include "UI_FeaturePage.h"

class TSet_securityform final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TSet_securityform(feature::FeatureHost &host);
};
