// Settings menu: the left-hand column of the settings area.
#pragma once

#include "FeaturePage.h"

#include <QPushButton>

class TSetMenuForm final : public FeaturePage {
    Q_OBJECT
public:
    explicit TSetMenuForm(feature::FeatureHost &host);

    // The pages built so far, each shown beside the column.
    QPushButton *Button_Profiles;
    QPushButton *Button_Sms;
};
