// Settings menu: the left-hand column of the settings area.
#pragma once

#include "UI_FeaturePage.h"

class TSetMenuForm final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TSetMenuForm(feature::FeatureHost &host);
};
