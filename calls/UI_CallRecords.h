// Call records.
#pragma once

#include "UI_FeaturePage.h"

class TCrForm final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TCrForm(feature::FeatureHost &host);

    // Shows itself when the missed-call indicator asks for the call records.
    void messageArrived(platform::WindowMessageEvent &message) override;
};
