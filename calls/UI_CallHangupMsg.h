// Call-ended notice.
#pragma once

#include "FeaturePage.h"

class TCallHangupMsgDfm final : public FeaturePage {
    Q_OBJECT
public:
    explicit TCallHangupMsgDfm(feature::FeatureHost &host);
};
