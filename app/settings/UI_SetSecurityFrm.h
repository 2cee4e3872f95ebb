// Security settings.
#pragma once

#include "FeaturePage.h"

class TSet_securityform final : public FeaturePage {
    Q_OBJECT
public:
    explicit TSet_securityform(feature::FeatureHost &host);
};
