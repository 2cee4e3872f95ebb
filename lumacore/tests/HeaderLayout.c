/* The engine header compiled as C: the record sizes the program relies on, checked by the C
 * compiler itself, and the layout facts handed to the C++ side of the test. */
#include "LayoutFacts.h"

_Static_assert(sizeof(_MEC_SMS_RECORD) == 500, "SMS record");
_Static_assert(sizeof(_MEC_CONTACT_RECORD) == 3054, "contact record");
_Static_assert(sizeof(_MEC_FIELD_SIZES) == 762, "field sizes");
_Static_assert(sizeof(CallEntry) == 94, "call entry");
_Static_assert(sizeof(_MEC_GROUP_RECORD) == 42, "group record");
_Static_assert(sizeof(_MEC_OPERATOR_INFO) == 128, "operator list record");
_Static_assert(sizeof(_MEC_ZDON_RECORD) == 212, "operator callback record");
_Static_assert(sizeof(_MEC_USSD_REPLY) == 360, "USSD reply");
_Static_assert(sizeof(SmsConfigBlock) == 40, "SMS settings block");

#define FACT_SIZE(type) {#type, sizeof(type)},
#define FACT_OFFSET(type, field) {#type "." #field, offsetof(type, field)},

const LayoutFact *lumacoreLayoutFromC(size_t *count)
{
    static const LayoutFact facts[] = {LUMACORE_LAYOUT_FACTS(FACT_SIZE, FACT_OFFSET)};
    *count = sizeof facts / sizeof facts[0];
    return facts;
}
