// One contact, read-only: name, the three numbers, e-mail, group and where it is kept.
#pragma once

#include "FeatureWindow.h"
#include "PbStore.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <functional>

class TFrmViewPB final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TFrmViewPB(feature::FeatureHost &host, PbStoreSource store = RootPhonebook);

    QLineEdit *EdName, *EdPhoneNumber, *EdHomePhone, *EdPhoneEx1, *EdEmail, *EdGroup;
    QRadioButton *RBPC, *RBSIM;
    QPushButton *BtOK;

    void ViewContact(const _MEC_CONTACT_RECORD &record);

    // Called when OK closes the window (the contacts page shows itself again).
    std::function<void()> onClosed;

private:
    feature::FeatureHost &m_host;
    PbStoreSource m_storeSource;
};
