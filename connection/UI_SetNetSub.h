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
    // WM_SHOW_PROFILE_PAGE: shows itself beside the settings column.
    void messageArrived(platform::WindowMessageEvent &message) override;
    // The dialogs: the program's (children of the main window), else the page's own.
    TSet_netpopform &addDialog();
    TSet_netpopeditform &editDialog();

private:
    void warn(int text);
    // The selected row, or -1 after telling the user to select one.
    int selectedRow();
    void pushModemParams();
    QStringList listItems() const;

    feature::FeatureHost &m_host;
    std::unique_ptr<TSet_netpopform> m_addDialog;
    std::unique_ptr<TSet_netpopeditform> m_editDialog;
};
