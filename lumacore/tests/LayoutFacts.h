/* Sizes and offsets of the engine's records, computed once by the C compiler and once by the C++
 * compiler: the program (C++) and an engine built from C must see the same bytes. */
#ifndef LUMACORE_LAYOUT_FACTS_H
#define LUMACORE_LAYOUT_FACTS_H

#include "lumacore.h"

#define LUMACORE_LAYOUT_FACTS(SIZE, OFFSET)        \
    SIZE(_MEC_NETWORK_PARA)                        \
    OFFSET(_MEC_NETWORK_PARA, serviceDomain)       \
    SIZE(_MEC_ZDON_RECORD)                         \
    OFFSET(_MEC_ZDON_RECORD, roaming)              \
    SIZE(_MEC_ZDON_PARA)                           \
    OFFSET(_MEC_ZDON_PARA, roaming)                \
    SIZE(_MEC_OPERATOR_INFO)                       \
    OFFSET(_MEC_OPERATOR_INFO, accessTechnology)   \
    SIZE(_MEC_OPERATOR_SELECT)                     \
    OFFSET(_MEC_OPERATOR_SELECT, accessTechnology) \
    SIZE(_MEC_CALL_FORWARD_ANSWER)                 \
    SIZE(_MEC_CALL_FORWARD_REQUEST)                \
    SIZE(_MEC_CALL_BARRING_REQUEST)                \
    OFFSET(_MEC_CALL_BARRING_REQUEST, mode)        \
    SIZE(_MEC_SMS_RECORD)                          \
    OFFSET(_MEC_SMS_RECORD, longMessage)           \
    OFFSET(_MEC_SMS_RECORD, receiveTime)           \
    OFFSET(_MEC_SMS_RECORD, storage)               \
    SIZE(SmsConfigBlock)                           \
    OFFSET(SmsConfigBlock, storage)                \
    SIZE(_MEC_FIELD_SIZES)                         \
    OFFSET(_MEC_FIELD_SIZES, contactCapacity)      \
    OFFSET(_MEC_FIELD_SIZES, messageCodings)       \
    OFFSET(_MEC_FIELD_SIZES, storage)              \
    SIZE(_MEC_CONTACT_RECORD)                      \
    OFFSET(_MEC_CONTACT_RECORD, numbers)           \
    OFFSET(_MEC_CONTACT_RECORD, storage)           \
    SIZE(_MEC_GROUP_RECORD)                        \
    OFFSET(_MEC_GROUP_RECORD, storage)             \
    SIZE(_MEC_USSD_REPLY)                          \
    OFFSET(_MEC_USSD_REPLY, dataCodingScheme)      \
    SIZE(_MEC_STK_RECORD)                          \
    OFFSET(_MEC_STK_RECORD, inputKind)             \
    SIZE(_MEC_CLCC_LIST)                           \
    SIZE(_MEC_EMERGENCY_LIST)                      \
    SIZE(CallEntry)                                \
    OFFSET(CallEntry, bytesReceived)               \
    OFFSET(CallEntry, when)                        \
    OFFSET(CallEntry, storage)                     \
    SIZE(LumacoreWindowSink)

typedef struct LayoutFact {
    const char *what;
    size_t value;
} LayoutFact;

#ifdef __cplusplus
extern "C" {
#endif

/* The facts as the C compiler sees them. */
const LayoutFact *lumacoreLayoutFromC(size_t *count);

#ifdef __cplusplus
}
#endif

#endif /* LUMACORE_LAYOUT_FACTS_H */
