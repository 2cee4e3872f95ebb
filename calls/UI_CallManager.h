// Call window.
#pragma once

#include "FeaturePage.h"

class TCall_managerform final : public FeaturePage {
    Q_OBJECT
public:
    explicit TCall_managerform(feature::FeatureHost &host);

    // The call state, 0 idle ... 16. Nothing dials yet, so it stays idle unless set; each
    // change is posted to the main window (WM_CALL_STATE).
    int CallState() const { return m_callState; }
    void setCallState(int state);

private:
    int m_callState = 0;
};
