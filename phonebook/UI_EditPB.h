// Contact editor.
#pragma once

#include "UI_FeaturePage.h"

class TFmEditPB final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TFmEditPB(feature::FeatureHost &host);
};
