// Contact selection.
#pragma once

#include "UI_FeaturePage.h"

class TFrmSel final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TFrmSel(feature::FeatureHost &host);
};
