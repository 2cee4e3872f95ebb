// The sound settings page of the settings area: the file played for each notification event and
// whether it is muted. The rules are SoundSettings'; this is the page over them.
#pragma once

#include "SoundSettings.h"

#include "FeatureWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <array>

class TBL_File;

class TSet_soundform final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    // The settings store defaults to the program's.
    explicit TSet_soundform(feature::FeatureHost &host, TBL_File *store = nullptr);

    // The rows in SoundSettings' order: connected, disconnected, message, incoming call.
    std::array<QLabel *, SoundSettings::kRowCount> Labels;
    std::array<QLineEdit *, SoundSettings::kRowCount> Edits;
    std::array<QCheckBox *, SoundSettings::kRowCount> MuteBoxes;
    std::array<QPushButton *, SoundSettings::kRowCount> BrowseButtons;
    QPushButton *ApplyButton, *CancelButton;

    void FormShow();
    void BrowseClick(int row);
    void ApplyButtonClick();
    void CancelButtonClick();

    void shownInPanel() override { FormShow(); }

private:
    void setRowVisible(int row, bool visible);

    feature::FeatureHost &m_host;
    SoundSettings m_settings;
};
