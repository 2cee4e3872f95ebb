// Short messages: a full SIM of 255 messages read from the virtual card by the engine and by
// gammu (one run each; gammu's time includes its own start and identification), and how many
// PDUs the codec decodes a second on one core.
//
//   cmake --build build --target sms_bench && build/bin/sms_bench
#include "BenchCard.h"

#include "codec/SmsPdu.h"
#include "codec/SmsSending.h"

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kMessages = 255;

bench::BenchCard &card()
{
    static bench::BenchCard instance("sms", [](virtualmodem::VirtualModem &modem) {
        return modem.setMessageCapacity("SM", kMessages) && modem.fillMessages("SM", kMessages);
    });
    return instance;
}

void runGammu(benchmark::State &state, const std::string &arguments)
{
    state.counters["messages"] =
        bench::countOf(bench::runGammu(state, card(), arguments), "SIM memory");
}

void gammuGetAllSms(benchmark::State &state) { runGammu(state, "getallsms"); }

// gammu's own cost of starting and greeting the card, for comparison.
void gammuIdentify(benchmark::State &state) { runGammu(state, "identify"); }

void lumacoreLoadMessages(benchmark::State &state)
{
    if (!bench::startEngine(state, card()))
        return;
    int messages = 0;
    for (auto _ : state) {
        messages = 0;
        if (_MEC_LoadMessages(0) != 0) {
            state.SkipWithError("loading failed");
            break;
        }
        _MEC_SMS_RECORD record{};
        for (uint16_t status = _MEC_GetFirstMessage(0, &record); status == 0;
             status = _MEC_GetNextMessage(&record)) {
            ++messages;
            record = _MEC_SMS_RECORD{};
        }
    }
    (void)_MEC_Shutdown();  // the measurement is taken; a failed stop changes nothing in it
    state.counters["messages"] = messages;
}

// A 7-bit DELIVER of 160 characters and the first UCS-2 part of a long message, in turn.
void codecDecodePdu(benchmark::State &state)
{
    std::vector<std::string> pdus;
    for (auto [text, coding] : {std::pair{std::string(160, 'a'), codec::TextCoding::Gsm7},
                                std::pair{std::string(120, 'b') + "Привет мир, это длинное "
                                                                  "сообщение в нескольких частях",
                                          codec::TextCoding::Ucs2}}) {
        codec::OutgoingText outgoing;
        outgoing.number = "+5491140005555";
        outgoing.text = text;
        outgoing.coding = coding;
        auto parts = codec::submitMessages(outgoing);
        if (!parts) {
            state.SkipWithError(parts.error().c_str());
            return;
        }
        codec::SmsMessage deliver = parts->front();
        deliver.type = codec::SmsType::Deliver;
        deliver.serviceCentre = codec::SmsAddress::fromText("+5491100009000");
        deliver.serviceCentreTime = codec::SmsTimestamp{2026, 12, 8, 21, 15, 0, -12};
        auto pdu = codec::encodeSmsPdu(deliver);
        if (!pdu) {
            state.SkipWithError(pdu.error().c_str());
            return;
        }
        pdus.push_back(pdu->hex());
    }
    size_t next = 0;
    int64_t decoded = 0;
    for (auto _ : state) {
        auto message = codec::decodeSmsPduHex(pdus[next++ % 2]);
        benchmark::DoNotOptimize(message);
        if (!message) {
            state.SkipWithError(("a sample PDU does not decode: " + message.error()).c_str());
            return;
        }
        ++decoded;
    }
    state.counters["decodes/s"] =
        benchmark::Counter(static_cast<double>(decoded), benchmark::Counter::kIsRate);
}

}  // namespace

// gammu first: the engine holds the port while it runs.
BENCHMARK(gammuIdentify)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(gammuGetAllSms)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(lumacoreLoadMessages)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(codecDecodePdu);

BENCHMARK_MAIN();
