// Connection log.
#pragma once

#include "UI_FeaturePage.h"

class TDataLogForm final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TDataLogForm(feature::FeatureHost &host);
};
