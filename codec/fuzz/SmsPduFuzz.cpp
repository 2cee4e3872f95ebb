// Fuzz input: a PDU as the card would give it, read with and without the service centre in
// front, as hex text, as a cell-broadcast page and as a USSD string. Whatever the decoder
// accepts, the encoder must write back so that it reads the same again.
#include "codec/CellBroadcast.h"
#include "codec/SmsPdu.h"
#include "codec/Ussd.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace codec;

namespace {

void checkRoundTrip(const SmsMessage &message)
{
    const auto encoded = encodeSmsPdu(message);
    if (!encoded)
        return;  // e.g. more user data than one message may carry: refused, not misread
    const auto again = decodeSmsPdu(encoded->bytes);
    const bool same = again && again->type == message.type && again->address == message.address &&
                      again->userData.text == message.userData.text &&
                      again->userData.data == message.userData.data &&
                      again->userData.concatenation == message.userData.concatenation &&
                      again->userData.otherElements == message.userData.otherElements;
    if (!same)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    for (auto leading : {LeadingServiceCentre::Present, LeadingServiceCentre::Absent}) {
        if (const auto message = decodeSmsPdu(bytes, leading))
            checkRoundTrip(*message);
    }
    (void)decodeSmsPduHex(std::string_view(reinterpret_cast<const char *>(data), size));
    (void)decodeBroadcastPage(bytes.first(size < kBroadcastPageBytes ? size : kBroadcastPageBytes));
    if (size > 0)
        (void)decodeBroadcastText(bytes.subspan(1), data[0]);
    (void)utf8FromPackedUssd(bytes);
    return 0;
}
