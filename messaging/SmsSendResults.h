// What a send run came to: the counts, and one row per recipient with what happened to it, so
// that the user sees which of several recipients did not get the message and why.
#pragma once

#include "SmsComposer.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

class SmsSendResults final : public QDialog {
    Q_OBJECT
public:
    SmsSendResults(QWidget *owner, const SendSummary &summary);

    QLabel *LbCounts;
    QTreeWidget *LvResults;
    QPushButton *BtOK;
};
