// SMS editor.
#pragma once

#include "UI_FeaturePage.h"

class TFrmSmsEdit final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TFrmSmsEdit(feature::FeatureHost &host);

    // WM_OPEN_COMPOSER and WM_WRITE_SMS_TO: the composer comes to the front.
    void messageArrived(platform::WindowMessageEvent &message) override;
};
