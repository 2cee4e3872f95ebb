// Contact copy notice.
#pragma once

#include "UI_FeaturePage.h"

class TFrmCopyTips final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TFrmCopyTips(feature::FeatureHost &host);
};
