// Call records.
#pragma once

#include "FeaturePage.h"

class TCrForm final : public FeaturePage {
    Q_OBJECT
public:
    explicit TCrForm(feature::FeatureHost &host);

    // Shows itself when the missed-call indicator asks for the call records.
    void messageArrived(platform::WindowMessageEvent &message) override;
};
