// The security settings page: the PIN request on or off, a new PIN, standby forbidden, and the
// engine's store backed up to a file or restored from one. The rules are SecuritySettings'; this
// is the page over them.
#pragma once

#include "SecuritySettings.h"

#include "FeatureWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

class TSet_securityform final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    // The settings record and the engine's calls default to the program's.
    explicit TSet_securityform(feature::FeatureHost &host, AllConfig *config = nullptr,
                               SecurityCalls calls = SecurityCalls::program());

    QCheckBox *CheckBox_EnablePIN, *CheckBox_DisPwoer;
    QPushButton *ImButton_ModPIN, *ImButton_BK, *ImButton_Restore, *ApplyButton, *CancelButton;
    QLabel *Label_BK_and_Restor;

    SecuritySettings &settings() { return m_settings; }

    void FormShow();
    void CheckBox_EnablePINClick();
    void CheckBox_DisPwoerClick();
    void ApplyButtonClick();
    void CancelButtonClick();
    void ImButton_ModPINClick();
    void ImButton_BKClick();
    void ImButton_RestoreClick();

    void cardStateChanged(CardState state) override;
    void shownInPanel() override { FormShow(); }

private:
    SecurityUser user();
    // The controls take the logic's state.
    void refresh();

    feature::FeatureHost &m_host;
    SecuritySettings m_settings;
};
