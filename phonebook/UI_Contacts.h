// Contacts.
#pragma once

#include "UI_FeaturePage.h"

#include <QTimer>

#include <vector>

class TFrmContacts final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TFrmContacts(feature::FeatureHost &host);

    // Loads the SIM's contacts once the SIM is ready; stands still during a voice call.
    QTimer TimerLoadSIMData;

    std::vector<QTimer *> timersStoppedDuringCall() override { return {&TimerLoadSIMData}; }
};
