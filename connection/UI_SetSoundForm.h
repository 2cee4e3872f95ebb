// Sound settings.
#pragma once

#include "UI_FeaturePage.h"

class TSet_soundform final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TSet_soundform(feature::FeatureHost &host);
};
