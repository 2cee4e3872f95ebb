// Add a connection profile.
#pragma once

#include "UI_FeaturePage.h"

class TSet_netpopform final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TSet_netpopform(feature::FeatureHost &host);
};
