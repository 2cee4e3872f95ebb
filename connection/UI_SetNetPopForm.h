// The add-profile dialog: starts empty each time; OK appends a valid profile to config.ran.
#pragma once

#include "ProfileDialog.h"

class TSet_netpopform final : public ProfileDialog {
    Q_OBJECT
public:
    explicit TSet_netpopform(feature::FeatureHost &host);

    void FormShow();
    void OkButtonClick();
};
