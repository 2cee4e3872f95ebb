// Network settings.
#pragma once

#include "FeaturePage.h"

class TSet_netform final : public FeaturePage {
    Q_OBJECT
public:
    explicit TSet_netform(feature::FeatureHost &host);
};
