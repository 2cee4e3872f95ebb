// SIM toolkit menu.
#pragma once

#include "UI_FeaturePage.h"

class TSatMenuDisplayForm final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TSatMenuDisplayForm(feature::FeatureHost &host);
};
