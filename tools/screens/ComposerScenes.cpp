// The message composer with a 7-bit and a UCS-2 text and their counters, and what a send to
// three recipients came to when one of them failed. The store answers as the scene says.
#include "SceneHost.h"
#include "Scenes.h"

#include "UI_SmsEdit.h"
#include "SmsSendResults.h"

#include <string>

namespace screens {

namespace {

// Sends every message except to the numbers it refuses; keeps nothing.
class SceneStore final : public SmsStoreCalls {
public:
    std::string refused;
    uint16_t SendMessage(const char *, const char *recipients, uint8_t, bool, int *sent) override
    {
        const bool refuse = refused == recipients;
        *sent = refuse ? 0 : 1;
        return refuse ? 20500 : 0;
    }
    uint16_t SaveMessage(SmsItem *) override { return 0; }
    uint16_t DeleteMessage(const SmsItem &) override { return 0; }
    QString NumberCharacters() override { return QStringLiteral("0123456789+*#"); }
};

QImage composer(const QString &recipients, const QString &text)
{
    SceneHost host;
    SceneStore store;
    TFrmSmsEdit edit(host, &store);
    edit.resize(624, 340);
    edit.Open(SmsComposer::New, nullptr);
    edit.EdRecvPer->setText(recipients);
    edit.MeContent->setPlainText(text);
    return grabShown(edit);
}

QImage sevenBit()
{
    return composer(QStringLiteral("+491712345678;+447700900123"),
                    QStringLiteral("Hi both, the train is late again [about 20 minutes]. Start "
                                   "without me, I will join you at the restaurant. Order the "
                                   "pizza for me too, please: the one with mushrooms and olives. "
                                   "See you soon!"));
}

QImage ucs2()
{
    return composer(QStringLiteral("+79161234567"),
                    QStringLiteral("Привет! Поезд опаздывает примерно на двадцать минут. "
                                   "Начинайте без меня, я приду прямо в ресторан."));
}

QImage sendResults()
{
    SceneStore store;
    store.refused = "+447700900123";
    SmsComposer composer(store);
    SendCallbacks quiet{[](const QString &) {}, [] { return false; }, [](int) {}};
    const SendSummary summary =
        composer.Send(QStringLiteral("The meeting moves to 3 pm."),
                      {QStringLiteral("+491712345678"), QStringLiteral("+447700900123"),
                       QStringLiteral("+393471234567")},
                      1, quiet);
    SmsSendResults results(nullptr, summary);
    return grabShown(results);
}

const SceneRegistrar scenes[] = {
    SceneRegistrar({QStringLiteral("sms-compose"),
                    QStringLiteral("the composer: two recipients, a 7-bit text of two messages"),
                    sevenBit}),
    SceneRegistrar({QStringLiteral("sms-compose-ucs2"),
                    QStringLiteral("the composer: a Cyrillic (UCS-2) text of two messages"), ucs2}),
    SceneRegistrar({QStringLiteral("sms-send-results"),
                    QStringLiteral("after a send to three recipients, one of which failed"),
                    sendResults}),
};

}  // namespace

}  // namespace screens
