// Contact viewer.
#pragma once

#include "UI_FeaturePage.h"

class TFrmViewPB final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TFrmViewPB(feature::FeatureHost &host);
};
