// Call records.
#pragma once

#include "FeaturePage.h"
#include "FeatureRoles.h"

class TCrForm final : public FeaturePage, public feature::CallRecordsView {
    Q_OBJECT
public:
    explicit TCrForm(feature::FeatureHost &host);

    // Shows itself when the missed-call indicator asks for the call records.
    void showCallRecords() override;
};
