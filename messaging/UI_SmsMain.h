// SMS main window.
#pragma once

#include "UI_FeaturePage.h"

#include <QTimer>

#include <vector>

class TFrmSmsMain final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TFrmSmsMain(feature::FeatureHost &host);

    // The store-loading timers; they stand still during a voice call.
    QTimer tmrSmsInitSet;
    QTimer tmrLoadMeMsg;
    QTimer tmrLoadSimMsg;

    std::vector<QTimer *> timersStoppedDuringCall() override
    {
        return {&tmrSmsInitSet, &tmrLoadMeMsg, &tmrLoadSimMsg};
    }
};
