// Network settings.
#pragma once

#include "UI_FeaturePage.h"

class TSet_netform final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TSet_netform(feature::FeatureHost &host);
};
