// Call-ended notice.
#pragma once

#include "UI_FeaturePage.h"

class TCallHangupMsgDfm final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TCallHangupMsgDfm(feature::FeatureHost &host);
};
