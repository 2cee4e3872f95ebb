// Sound settings.
#pragma once

#include "FeaturePage.h"

class TSet_soundform final : public FeaturePage {
    Q_OBJECT
public:
    explicit TSet_soundform(feature::FeatureHost &host);
};
