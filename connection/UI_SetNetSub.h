// Connection profile page.
#pragma once

#include "UI_FeaturePage.h"

class TSet_netsub final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TSet_netsub(feature::FeatureHost &host);
};
