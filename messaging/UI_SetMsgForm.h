// SMS settings.
#pragma once

#include "UI_FeaturePage.h"

class TSet_msgform final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TSet_msgform(feature::FeatureHost &host);
};
