// The settings menu: the column beside the settings pages, one button per page (the one on show
// pressed in and disabled) and the restore-defaults command.
#pragma once

#include "FeatureRoles.h"
#include "FeatureWindow.h"

#include "RestoreDefaults.h"

#include <QPushButton>
#include <QWidget>

class TSetMenuForm final : public QWidget,
                           public feature::FeatureWindow,
                           public feature::FactorySettings {
    Q_OBJECT
public:
    explicit TSetMenuForm(feature::FeatureHost &host,
                          RestoreCalls calls = RestoreCalls::program());

    enum Page { kNoPage = 0, kProfiles, kSecurity, kNetwork, kSms, kSound, kCallServices };

    QPushButton *CfgfileButton, *SafecfgButton, *NetcfgButton, *MsgcfgButton, *SoundcfgButton,
        *SSButton, *RestorecfgButton;

    Page selectedPage() const { return m_page; }
    // A page button: the page shown beside the column, its button disabled, the others not.
    void showPage(Page page);
    void RestorecfgButtonClick();
    void restoreFactorySettings() override { RestorecfgButtonClick(); }

    void cardStateChanged(CardState state) override { m_cardState = state; }
    void shownInPanel() override;

private:
    // Each page button with the page it shows.
    std::vector<std::pair<QPushButton *, Page>> pageButtons() const;

    feature::FeatureHost &m_host;
    RestoreCalls m_calls;
    Page m_page = kNoPage;
    uint8_t m_cardState = 1;
};
