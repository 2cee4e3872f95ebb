// The manual selection dialog: searches the networks in reach on a worker thread under the wait
// window, lists them, and registers on the one chosen (a forbidden or unknown one is refused
// before the card is asked).
#pragma once

#include "NetworkSelection.h"

#include "FeatureWindow.h"

#include <QDialog>
#include <QPushButton>
#include <QTreeWidget>

#include <functional>
#include <thread>

class TSet_netform;

class TManual_Set final : public QDialog, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TManual_Set(feature::FeatureHost &host);
    ~TManual_Set() override;

    QTreeWidget *OperatorListView;
    QPushButton *Refresh_Btn, *Apply_Btn, *Cancel_Btn;

    // The wait window the workers show; the program's is Waitpane's, tests put in their own.
    struct WaitWindow {
        std::function<void(int kind, const QString &text)> show;
        std::function<void()> close;
    };
    void setWaitWindow(WaitWindow wait) { m_wait = std::move(wait); }
    // The page that opened the dialog, told of a registration or of leaving without one.
    void setPage(TSet_netform *page) { m_page = page; }

    void FormShow();
    void Refresh_BtnClick();
    void Apply_BtnClick();
    void Cancel_BtnClick();
    // The workers' reports, on the window thread: 0 started, 1 finished, 2 registered,
    // 3 registration failed.
    void WorkerMessage(int phase);
    // The list filled from a search.
    void FillList(const std::vector<_MEC_OPERATOR_INFO> &records);
    // Waits for the running worker to finish (tests, and the dialog's end).
    void JoinWorker();
    bool searchDone() const { return m_searchDone; }

    // Where the provider database is read for names the card gives only as digits.
    QString providerDatabase;

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void startWorker(std::function<void()> work);
    void leave();
    void setControlsEnabled(bool enabled);

    feature::FeatureHost &m_host;
    TSet_netform *m_page = nullptr;
    WaitWindow m_wait;
    std::vector<OperatorRow> m_rows;
    std::thread m_worker;
    bool m_searchDone = false;
    bool m_working = false;
};
