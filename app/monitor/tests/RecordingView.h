// A CardView that keeps what the monitor showed: the current look of every control, and a log
// of the calls in order. What it answers for the main window are plain fields a test sets. (The
// feature windows are recorded by RecordingWindow, registered in the monitor's window table.)
#pragma once

#include "CardView.h"

#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>

class RecordingView : public CardView {
public:
    // ---- what is shown ----
    int cardIcon = -1;
    QString cardHint;
    int simIcon = -1;
    QString simHint;
    int connectionIcon = -1;
    bool connectionAnimation = false;
    QString connectionHint;
    int signalBars = -1;
    QString networkType;
    QString operatorName;
    QString domain;
    QString domainHint;
    QString roaming;
    QString roamingHint;
    QString clockText;
    std::map<Indicator, bool> indicators;
    int trayImage = -1;
    TrayAnimation trayAnimation = TrayAnimation::None;
    QString trayHint;
    std::map<TrayMenuItem, bool> menuVisible;
    std::map<TrayMenuItem, bool> menuEnabled;
    bool navigationEnabled = true;
    bool stkEnabled = false;
    int mainWindowShown = 0;
    int internetPageShown = 0;
    int mainWindowEnabled = 0;
    int restoredFromTray = 0;

    // ---- pop-ups ----
    bool newSmsPopup = false;
    int newSmsPopupsShown = 0;
    QString newSmsPopupText;
    bool newSmsPopupAbove = false;
    bool callPopup = false;
    int callPopupsShown = 0;
    QString callPopupText;
    int callPopupsClosed = 0;

    // ---- what the other windows answer ----
    QString connectionText = QStringLiteral("Connected 00:00:10");
    bool busy = false;
    bool hidden = false;
    bool active = true;

    // Every call, in order, as "name(arguments)".
    QStringList log;
    // Runs inside repaintStatus (to play events that arrive in the middle of a state's work).
    std::function<void()> onRepaint;

    // The calls of the log whose name starts with the prefix.
    QStringList logOf(const QString &prefix) const
    {
        QStringList out;
        for (const QString &line : log)
            if (line.startsWith(prefix))
                out << line;
        return out;
    }

    void setCardIcon(int image) override
    {
        cardIcon = image;
        note("setCardIcon", image);
    }
    void setCardHint(const QString &hint) override
    {
        cardHint = hint;
        note("setCardHint", hint);
    }
    void setSimIcon(int image) override
    {
        simIcon = image;
        note("setSimIcon", image);
    }
    void setSimHint(const QString &hint) override
    {
        simHint = hint;
        note("setSimHint", hint);
    }
    void setConnectionIcon(int image) override
    {
        connectionIcon = image;
        note("setConnectionIcon", image);
    }
    void setConnectionAnimation(bool running) override
    {
        connectionAnimation = running;
        note("setConnectionAnimation", running);
    }
    void setConnectionHint(const QString &hint) override
    {
        connectionHint = hint;
        note("setConnectionHint", hint);
    }
    void setSignalBars(int level) override
    {
        signalBars = level;
        note("setSignalBars", level);
    }
    void setNetworkType(const QString &text) override
    {
        networkType = text;
        note("setNetworkType", text);
    }
    void setOperatorName(const QString &text) override
    {
        operatorName = text;
        note("setOperatorName", text);
    }
    void setDomain(const QString &text) override
    {
        domain = text;
        note("setDomain", text);
    }
    void setDomainHint(const QString &hint) override
    {
        domainHint = hint;
        note("setDomainHint", hint);
    }
    void setRoaming(const QString &text, const QString &hint) override
    {
        roaming = text;
        roamingHint = hint;
        note("setRoaming", text);
    }
    void setClockText(const QString &text) override
    {
        clockText = text;
        note("setClockText", text);
    }
    void repaintStatus() override
    {
        note("repaintStatus", QString());
        if (onRepaint)
            onRepaint();
    }
    void setIndicator(Indicator which, bool shown) override
    {
        indicators[which] = shown;
        note(which == Indicator::NewSms ? "setIndicator(NewSms)" : "setIndicator(IncomingCall)",
             shown);
    }
    void setTrayImage(int image) override
    {
        trayImage = image;
        trayAnimation = TrayAnimation::None;
        note("setTrayImage", image);
    }
    void setTrayAnimation(TrayAnimation animation) override
    {
        trayAnimation = animation;
        note("setTrayAnimation", int(animation));
    }
    void setTrayHint(const QString &hint) override { trayHint = hint; }
    void setMenuVisible(TrayMenuItem item, bool visible) override
    {
        menuVisible[item] = visible;
        note("setMenuVisible", int(item));
    }
    void setMenuEnabled(TrayMenuItem item, bool enabled) override
    {
        menuEnabled[item] = enabled;
        note("setMenuEnabled", int(item));
    }
    void setNavigationEnabled(bool enabled) override
    {
        navigationEnabled = enabled;
        note("setNavigationEnabled", enabled);
    }
    void setStkButtonEnabled(bool enabled) override { stkEnabled = enabled; }
    void showMainWindowNow() override
    {
        ++mainWindowShown;
        note("showMainWindowNow", QString());
    }
    void enableMainWindow() override
    {
        ++mainWindowEnabled;
        note("enableMainWindow", QString());
    }
    void showInternetPage() override
    {
        ++internetPageShown;
        note("showInternetPage", QString());
    }
    void restoreFromTray() override
    {
        ++restoredFromTray;
        hidden = false;
    }
    bool isMinimizedOrHidden() const override { return hidden; }
    bool isActiveWindow() const override { return active && !hidden; }
    QWidget *dialogOwner() override { return nullptr; }

    bool hasNewSmsPopup() const override { return newSmsPopup; }
    void showNewSmsPopup(const QString &text, bool aboveCallPopup) override
    {
        newSmsPopup = true;
        ++newSmsPopupsShown;
        newSmsPopupText = text;
        newSmsPopupAbove = aboveCallPopup;
    }
    void releaseNewSmsPopup() override { newSmsPopup = false; }
    bool hasCallPopup() const override { return callPopup; }
    void showCallPopup(const QString &number) override
    {
        // The real one is modal and gone when this returns.
        ++callPopupsShown;
        callPopupText = number;
    }
    void setCallPopupText(const QString &number) override { callPopupText = number; }
    void closeCallPopup() override
    {
        ++callPopupsClosed;
        callPopup = false;
    }

    QString connectionStatusText() const override { return connectionText; }
    bool isBusy() const override { return busy; }

private:
    void note(const char *name, const QString &argument)
    {
        log << QStringLiteral("%1(%2)").arg(QLatin1String(name), argument);
    }
    void note(const char *name, int argument) { note(name, QString::number(argument)); }
};
