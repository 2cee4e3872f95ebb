// SMS editor.
#pragma once

#include "UI_FeaturePage.h"

class TFrmSmsEdit final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TFrmSmsEdit(feature::FeatureHost &host);
};
