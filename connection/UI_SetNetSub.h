// The profile list page of the settings: the profiles of config.ran, the default one, and
// adding, editing, deleting and choosing the default.
#pragma once

#include "FeatureWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include <memory>

class TSet_netpopform;
class TSet_netpopeditform;

class TSet_netsub final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TSet_netsub(feature::FeatureHost &host);
    ~TSet_netsub() override;

    void FormShow();
    void ListBoxFileNameClick();
    void AddButtonClick();
    void EditButtonClick();
    void DeleteButtonClick();
    void DefaultButtonClick();

    QListWidget *ListBoxFileName;
    QLineEdit *Edit_Default;
    QPushButton *AddButton, *EditButton, *DeleteButton, *DefaultButton;

    void shownInPanel() override { FormShow(); }

private:
    void warn(int text);
    // The selected row, or -1 after telling the user to select one.
    int selectedRow();
    void pushModemParams();
    QStringList listItems() const;

    feature::FeatureHost &m_host;
};
