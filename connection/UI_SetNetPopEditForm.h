// Edit a connection profile.
#pragma once

#include "UI_FeaturePage.h"

class TSet_netpopeditform final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TSet_netpopeditform(feature::FeatureHost &host);
};
