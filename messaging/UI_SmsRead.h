// SMS reader.
#pragma once

#include "UI_FeaturePage.h"

class TFrmSmsRead final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TFrmSmsRead(feature::FeatureHost &host);
};
