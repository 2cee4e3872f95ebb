// SIM toolkit menu.
#pragma once

#include "FeaturePage.h"

class TSatMenuDisplayForm final : public FeaturePage {
    Q_OBJECT
public:
    explicit TSatMenuDisplayForm(feature::FeatureHost &host);
};
