// The connection log window: a thin window over ConnectionLog. Opened from the Internet page's
// log link, it lists the connections of the last two months with their totals, and sorts,
// deletes and clears them.
#pragma once

#include "ConnectionLog.h"
#include "FeatureWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>

class TDataLogForm final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TDataLogForm(feature::FeatureHost &host);

    // Reloads, removes the entries older than two months, and shows the window.
    void Open();
    void DeleteButtonClick();
    void ClearAllButtonClick();
    void ReturnButtonClick();
    void ListViewDataLogColumnClick(int column);

    QTreeWidget *ListViewDataLog;
    QLabel *TotleLabel;
    QLabel *TotleDataValue;
    QLabel *TotalTimeLabel;
    QLabel *TotalTime;
    QPushButton *DeleteButton;
    QPushButton *ClearAllButton;
    QPushButton *ReturnButton;

    void messageArrived(platform::WindowMessageEvent &message) override;

private:
    // The list and the totals from the log, and the buttons from the list.
    void showRows();
    void updateButtons();

    feature::FeatureHost &m_host;
    ConnectionLog m_log;
};
