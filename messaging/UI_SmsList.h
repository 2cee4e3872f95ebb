// SMS list.
#pragma once

#include "UI_FeaturePage.h"

class TFrmSmsList final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TFrmSmsList(feature::FeatureHost &host);

    // Shows itself when the new-message indicator asks for the kept message's folder.
    void messageArrived(platform::WindowMessageEvent &message) override;
};
