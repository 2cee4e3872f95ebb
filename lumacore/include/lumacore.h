/* Lumacore: the modem engine's C interface. The only part of the engine the program sees.
 *
 * Every call returns a 16-bit status, 0 for success (the MEC_* codes below). Results come back in
 * buffers the caller zero-fills; texts are NUL-terminated 8-bit strings in the system code page.
 * Records are byte images, little-endian, exactly as laid out here: the program copies them whole
 * and stores some of them, so their sizes and offsets are checked at compile time.
 *
 * Calls are synchronous and may be made from any thread; the engine serialises them. Callbacks
 * run on the engine's own event thread (never on its port reader), so a callback may call the
 * engine.
 */
#ifndef LUMACORE_H
#define LUMACORE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Inside the engine (built with hidden symbols), every call declared here is exported, whichever
 * header of the engine happens to read this file first. */
#if defined(LUMACORE_BUILDING) && defined(__GNUC__)
#pragma GCC visibility push(default)
#endif

typedef uint16_t MEC_STATUS;

/* Compile-time layout checks that read the same in C and C++. */
#ifdef __cplusplus
#define LUMACORE_STATIC_ASSERT(condition, message) static_assert(condition, message)
#else
#define LUMACORE_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif
#define LUMACORE_CHECK_SIZE(type, size) \
    LUMACORE_STATIC_ASSERT(sizeof(type) == (size), #type " must be " #size " bytes")
#define LUMACORE_CHECK_OFFSET(type, field, offset)            \
    LUMACORE_STATIC_ASSERT(offsetof(type, field) == (offset), \
                           #type "." #field " must be at " #offset)

/* Every call's status is for the caller to look at. In C++ a dropped status is a compile error
 * where LUMACORE_NODISCARD is defined (a caller that means to drop one writes (void) and why). */
#if defined(__cplusplus) && defined(LUMACORE_NODISCARD)
#define MEC_NODISCARD [[nodiscard]]
#else
#define MEC_NODISCARD
#endif

/* ---------------------------------------------------------------------------------------------
 * Status codes
 * ------------------------------------------------------------------------------------------- */
#define MEC_OK 0
#define MEC_ERR_SERVICE_REFUSED 7   /* a network service request failed (refused, no answer) */
#define MEC_ERR_NO_MORE_ENTRIES 13  /* no (more) entries; the end of a walk */
#define MEC_ERR_TIMEOUT 7001        /* the card did not answer in time */
#define MEC_ERR_NO_CARD 7002        /* no card, or its port is gone */
#define MEC_ERR_ERROR 7003          /* the card answered ERROR without a code */
#define MEC_ERR_NOT_SUPPORTED 7004  /* the card (or this engine) cannot do it */
#define MEC_ERR_PORT_BUSY 7005      /* another process holds the port */
#define MEC_ERR_WRONG_PASSWORD 7305 /* wrong PIN or PUK */
#define MEC_ERR_SIM_BLOCKED 7306    /* the SIM wants its PUK */
#define MEC_ERR_NO_SIM 7307         /* no SIM in the card */
#define MEC_MIC_MUTED 7312          /* answer of _MEC_GetMicMuteState */
#define MEC_MIC_NOT_MUTED 7313      /* answer of _MEC_GetMicMuteState */
#define MEC_PIN_COUNT_UNKNOWN 255   /* _MEC_QueryPINLeftTimes: a count the card does not tell */
#define MEC_ERR_CME_BASE 10000      /* + n: +CME ERROR: n not listed above */
#define MEC_ERR_CMS_BASE 20000      /* + n: +CMS ERROR: n */

/* ---------------------------------------------------------------------------------------------
 * Fixed sizes of the caller's text buffers (bytes, terminator included)
 * ------------------------------------------------------------------------------------------- */
#define MEC_VERSION_TEXT_SIZE 100     /* _MEC_GetSoftwareVersion (each), _MEC_GetBoardVersion */
#define MEC_IMEI_TEXT_SIZE 32         /* _MEC_QueryImei */
#define MEC_SIM_OPERATOR_TEXT_SIZE 32 /* _MEC_GetSIMCardOperator: the IMSI */
#define MEC_SMS_CENTER_TEXT_SIZE 34   /* _MEC_GetSmsCenter */
#define MEC_OPERATOR_LIST_MAX 100 /* records the caller's buffer for _MEC_GetOperaterList holds */

/* ---------------------------------------------------------------------------------------------
 * Messages the engine posts (or sends) to the sink registered with _MEC_RegisterAppHandle
 * ------------------------------------------------------------------------------------------- */
#define MEC_MSG_SIM_READY 3026               /* wParam 2: the SIM's message store answers */
/* Call messages tell what the other end or the network did, never what the program asked for
 * (a hang-up, an answer, a +CHLD request). Where a call's index is given it is the one
 * _MEC_SendCLCCCmd lists (0 while the card has not listed the call). */
#define MEC_MSG_CALL_REMOTE_RELEASED 3028    /* the active call was released by the other end;
                                                wParam: its index, lParam: 0 active, 1 held */
#define MEC_MSG_CALL_INCOMING_CONNECTED 3029 /* the ringing call is connected; wParam: index */
#define MEC_MSG_CALL_ALL_ENDED 3030          /* every call ended (the card went away) */
#define MEC_MSG_CALL_INCOMING_MISSED 3031    /* the ringing call stopped unanswered; wParam: index */
#define MEC_MSG_CALL_DIAL_RESULT 3032        /* wParam: 0 failed, 1 connected, other failed
                                                (7 busy, 8 no answer) */
#define MEC_MSG_USSD_REPLY 3125              /* sent; data: _MEC_USSD_REPLY; answer 255 */
#define MEC_MSG_STK_MAIN_MENU 3225           /* data: _MEC_STK_RECORD (for every STK message) */
#define MEC_MSG_STK_SUB_MENU 3226
#define MEC_MSG_STK_DISPLAY_TEXT 3227
#define MEC_MSG_STK_MAIN_MENU_AGAIN 3228
#define MEC_MSG_STK_SMS_STATE 3229
#define MEC_MSG_STK_GET_INPUT 3230
#define MEC_MSG_STK_OTHER 3231

/* Where the engine posts and sends its own messages: stands in for a window handle.
 * post: queue a message; data/size (NULL/0 when nothing travels with it) are copied before
 *       post returns. Returns 1 when queued, 0 when there is no window.
 * send: deliver and wait until the window has handled it; returns the window's answer. */
typedef struct LumacoreWindowSink {
    void *context;
    int (*post)(void *context, uint32_t message, uint32_t wParam, uint32_t lParam, const void *data,
                size_t size);
    intptr_t (*send)(void *context, uint32_t message, uint32_t wParam, uint32_t lParam,
                     const void *data, size_t size);
} LumacoreWindowSink;

/* =============================================================================================
 * Records. Packed, little-endian; every byte not named is zero when the program fills a record.
 * ========================================================================================== */
#pragma pack(push, 1)

/* Network status (_MEC_GetNetworkPara). */
typedef struct _MEC_NETWORK_PARA {
    char networkType[68];  /* "UMTS", "HSDPA", ... or "NO SERVICE" */
    uint8_t serviceDomain; /* 0 circuit-switched, 1 packet-switched, 2 both */
    uint8_t reserved[3];
} _MEC_NETWORK_PARA;
LUMACORE_CHECK_SIZE(_MEC_NETWORK_PARA, 72);
LUMACORE_CHECK_OFFSET(_MEC_NETWORK_PARA, serviceDomain, 68);

/* Operator record of the operator callback (_MEC_SetCallBackZdonNotify). */
typedef struct _MEC_ZDON_RECORD {
    char operatorName[68];
    char secondName[72];    /* the name the network sent; only whether it is empty matters */
    char serviceDomain[36]; /* "CS_ONLY", "PS_ONLY" or "CS_PS" */
    char roaming[36];       /* "ROAM_ON", "ROAM_OFF" or empty */
} _MEC_ZDON_RECORD;
LUMACORE_CHECK_SIZE(_MEC_ZDON_RECORD, 212);
LUMACORE_CHECK_OFFSET(_MEC_ZDON_RECORD, secondName, 68);
LUMACORE_CHECK_OFFSET(_MEC_ZDON_RECORD, serviceDomain, 140);
LUMACORE_CHECK_OFFSET(_MEC_ZDON_RECORD, roaming, 176);

/* Operator status as read on demand (_MEC_GetZdonPara). The first 176 bytes are laid out as in
 * the callback record; the roaming text sits further on. */
typedef struct _MEC_ZDON_PARA {
    char operatorName[68];
    char secondName[72];
    char serviceDomain[36]; /* as in _MEC_ZDON_RECORD */
    char networkType[36];   /* as in _MEC_NETWORK_PARA */
    char numericId[16];     /* MCC+MNC of the registered network */
    uint8_t reserved[116];
    char roaming[36]; /* "ROAM_ON", "ROAM_OFF" or empty */
} _MEC_ZDON_PARA;
LUMACORE_CHECK_SIZE(_MEC_ZDON_PARA, 380);
LUMACORE_CHECK_OFFSET(_MEC_ZDON_PARA, secondName, 68);
LUMACORE_CHECK_OFFSET(_MEC_ZDON_PARA, roaming, 344);

/* One operator found by a network search (_MEC_GetOperaterList). */
typedef struct _MEC_OPERATOR_INFO {
    uint32_t state; /* 0 unknown, 1 available, 2 current, 3 forbidden */
    char longName[68];
    char shortName[20];
    char numericId[12];        /* MCC+MNC */
    char accessTechnology[24]; /* "0"/"2G" or "2"/"3G", ... */
} _MEC_OPERATOR_INFO;
LUMACORE_CHECK_SIZE(_MEC_OPERATOR_INFO, 128);
LUMACORE_CHECK_OFFSET(_MEC_OPERATOR_INFO, shortName, 72);
LUMACORE_CHECK_OFFSET(_MEC_OPERATOR_INFO, numericId, 92);
LUMACORE_CHECK_OFFSET(_MEC_OPERATOR_INFO, accessTechnology, 104);

/* Manual operator choice (_MEC_SetOperator, by value). */
typedef struct _MEC_OPERATOR_SELECT {
    uint32_t mode;   /* 1 manual */
    uint32_t format; /* 2 numeric */
    char numericId[64];
    uint32_t accessTechnology; /* 0 2G, 2 3G */
    uint32_t reserved;
} _MEC_OPERATOR_SELECT;
LUMACORE_CHECK_SIZE(_MEC_OPERATOR_SELECT, 80);
LUMACORE_CHECK_OFFSET(_MEC_OPERATOR_SELECT, numericId, 8);
LUMACORE_CHECK_OFFSET(_MEC_OPERATOR_SELECT, accessTechnology, 72);

/* Call forwarding: the answer of a query (38 bytes) and a change request (42, by value). */
typedef struct _MEC_CALL_FORWARD_ANSWER {
    uint32_t status;       /* 1 active, 0 not active */
    uint32_t serviceClass; /* 1 voice */
    char number[30];
} _MEC_CALL_FORWARD_ANSWER;
LUMACORE_CHECK_SIZE(_MEC_CALL_FORWARD_ANSWER, 38);
LUMACORE_CHECK_OFFSET(_MEC_CALL_FORWARD_ANSWER, serviceClass, 4);
LUMACORE_CHECK_OFFSET(_MEC_CALL_FORWARD_ANSWER, number, 8);

typedef struct _MEC_CALL_FORWARD_REQUEST {
    uint32_t reason; /* 0 unconditional, 1 busy, 2 no reply, 3 not reachable */
    uint32_t mode;   /* 3 register, 4 erase */
    char number[34]; /* at most 26 characters */
} _MEC_CALL_FORWARD_REQUEST;
LUMACORE_CHECK_SIZE(_MEC_CALL_FORWARD_REQUEST, 42);
LUMACORE_CHECK_OFFSET(_MEC_CALL_FORWARD_REQUEST, mode, 4);
LUMACORE_CHECK_OFFSET(_MEC_CALL_FORWARD_REQUEST, number, 8);

/* Call barring change request (24 bytes, by value). */
typedef struct _MEC_CALL_BARRING_REQUEST {
    char facility[10]; /* "AO", "OI", "OX", "AI", "IR" */
    uint32_t mode;     /* 1 bar, 0 lift */
    uint8_t reserved[10];
} _MEC_CALL_BARRING_REQUEST;
LUMACORE_CHECK_SIZE(_MEC_CALL_BARRING_REQUEST, 24);
LUMACORE_CHECK_OFFSET(_MEC_CALL_BARRING_REQUEST, mode, 10);

/* Date and time in an SMS record: year, month, day, hour, minute, second, 0. */
typedef struct _MEC_SMS_TIME {
    uint16_t year;
    uint16_t month;
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    int8_t zoneQuarters; /* quarter hours ahead of UTC (negative: behind), when hasZone is 1 */
    uint8_t hasZone;     /* 1: the time carries its zone (a network time stamp); 0: local time */
} _MEC_SMS_TIME;
LUMACORE_CHECK_SIZE(_MEC_SMS_TIME, 14);

/* A short message (or one part of a long one). */
typedef struct _MEC_SMS_RECORD {
    uint16_t size; /* 500, set on save and send */
    uint8_t reserved0[2];
    uint16_t index;       /* index within its storage */
    uint32_t longMessage; /* 1 for each part of a long message */
    uint16_t reference;   /* concatenation reference */
    uint8_t partCount;
    uint8_t partNumber; /* 1-based */
    char recipient[40]; /* sent and unsent messages */
    char sender[40];    /* received messages */
    char serviceCenter[40];
    uint8_t coding; /* 1: one GSM 7-bit code per text byte; 4: ANSI text needing 16-bit */
    uint8_t reserved1;
    _MEC_SMS_TIME sendTime;
    uint8_t reserved2[4];
    _MEC_SMS_TIME receiveTime;
    uint8_t reserved3[4];
    char text[320];     /* on load: ANSI text, NUL-terminated */
    uint8_t textLength; /* bytes, set on save and send */
    uint8_t status;
    uint8_t storage; /* 0 SIM, 1 card, 2 PC */
    /* Coding 1 on save and send: the national language tables the GSM codes are in (locking
     * shift for the codes, single shift for those after an escape); 0 the default alphabet. */
    uint8_t lockingShift;
    uint8_t singleShift;
    uint8_t reserved4[3];
} _MEC_SMS_RECORD;
LUMACORE_CHECK_SIZE(_MEC_SMS_RECORD, 500);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, index, 4);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, longMessage, 6);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, reference, 10);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, partCount, 12);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, partNumber, 13);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, recipient, 14);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, sender, 54);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, serviceCenter, 94);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, coding, 134);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, sendTime, 136);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, receiveTime, 154);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, text, 172);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, textLength, 492);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, status, 493);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, storage, 494);
LUMACORE_CHECK_OFFSET(_MEC_SMS_RECORD, lockingShift, 495);

/* The SMS settings handed over whole (_MEC_SetSmsConfig, by value): 37 meaningful bytes. */
typedef struct SmsConfigBlock {
    char serviceCenter[34];
    uint8_t validity;     /* an ASCII digit */
    uint8_t statusReport; /* 1 request a status report, 0 not */
    uint8_t storage;      /* '0', '1' or '2': where incoming messages go */
    uint8_t padding[3];
} SmsConfigBlock;
LUMACORE_CHECK_SIZE(SmsConfigBlock, 40);
LUMACORE_CHECK_OFFSET(SmsConfigBlock, validity, 34);
LUMACORE_CHECK_OFFSET(SmsConfigBlock, statusReport, 35);
LUMACORE_CHECK_OFFSET(SmsConfigBlock, storage, 36);

/* Field sizes of one storage (_MEC_GetFieldSizes). The caller sets size (762) and storage.
 * Lengths are in bits; a coding mask has 1 for GSM 7-bit, 2 for 8-bit, 4 for 16-bit. */
typedef struct _MEC_FIELD_SIZES {
    uint32_t size;
    uint16_t numberBits;
    uint8_t numberCoding;
    uint8_t reserved0;
    char numberCharacters[32]; /* the characters allowed in a telephone number */
    uint16_t nameBits;
    uint8_t nameCoding;
    uint8_t reserved1;
    uint16_t emailBits;
    uint8_t emailCoding;
    uint8_t reserved2[5];
    uint8_t text2Coding;
    uint8_t reserved3;
    uint16_t text2Bits;
    uint8_t text3Coding;
    uint8_t reserved4;
    uint16_t text3Bits;
    uint8_t noteCoding;
    uint8_t reserved5;
    uint16_t urlBits;
    uint8_t urlCoding;
    uint8_t reserved6;
    uint16_t noteBits;
    uint8_t reserved7[2];
    uint32_t contactCount2; /* a second count reported for the storage */
    uint32_t contactCapacity;
    uint16_t numberSlots; /* how many of the five number slots the storage keeps */
    uint8_t reserved8[640];
    uint32_t messageCapacity;
    uint32_t messageBits;   /* user data of one message */
    uint8_t messageCodings; /* bit 0 7-bit, bit 1 8-bit, bit 2 16-bit */
    uint8_t reserved9[31];
    uint8_t storage; /* 0 SIM, 1 card, 2 PC */
    uint8_t reserved10;
} _MEC_FIELD_SIZES;
LUMACORE_CHECK_SIZE(_MEC_FIELD_SIZES, 762);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, numberBits, 4);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, numberCoding, 6);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, numberCharacters, 8);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, nameBits, 40);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, nameCoding, 42);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, emailBits, 44);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, emailCoding, 46);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, text2Coding, 52);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, text2Bits, 54);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, text3Coding, 56);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, text3Bits, 58);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, noteCoding, 60);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, urlBits, 62);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, urlCoding, 64);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, noteBits, 66);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, contactCount2, 70);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, contactCapacity, 74);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, numberSlots, 78);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, messageCapacity, 720);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, messageBits, 724);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, messageCodings, 728);
LUMACORE_CHECK_OFFSET(_MEC_FIELD_SIZES, storage, 760);

/* One number slot of a contact: the number and bytes the program does not interpret. */
typedef struct _MEC_CONTACT_NUMBER {
    char number[40];
    uint8_t opaque[128];
} _MEC_CONTACT_NUMBER;
LUMACORE_CHECK_SIZE(_MEC_CONTACT_NUMBER, 168);

#define MEC_CONTACT_NUMBER_SLOTS 5 /* mobile, home, phone 1, phone 2, phone 3 */

/* A contact. The opaque fields are the engine's; edits keep them unchanged. */
typedef struct _MEC_CONTACT_RECORD {
    uint32_t reserved;
    uint32_t index;   /* assigned by the engine when the contact is created */
    uint32_t groupId; /* 0: no group */
    char name[128];
    char text2[128];
    char text3[128];
    char email[130];
    char note[128];
    char url[128];
    uint8_t opaqueA[650];
    uint8_t opaqueB[650];
    uint16_t opaqueC;
    uint8_t opaqueD[128];
    _MEC_CONTACT_NUMBER numbers[MEC_CONTACT_NUMBER_SLOTS];
    uint8_t storage; /* 0 SIM, 1 card, 2 PC */
    uint8_t padding;
} _MEC_CONTACT_RECORD;
LUMACORE_CHECK_SIZE(_MEC_CONTACT_RECORD, 3054);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, index, 4);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, groupId, 8);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, name, 12);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, text2, 140);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, text3, 268);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, email, 396);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, note, 526);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, url, 654);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, opaqueA, 782);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, opaqueB, 1432);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, opaqueC, 2082);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, opaqueD, 2084);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, numbers, 2212);
LUMACORE_CHECK_OFFSET(_MEC_CONTACT_RECORD, storage, 3052);

/* A contact group. */
typedef struct _MEC_GROUP_RECORD {
    uint32_t reserved;
    int32_t groupId;
    char groupName[33]; /* at most 32 bytes of text */
    uint8_t storage;
} _MEC_GROUP_RECORD;
LUMACORE_CHECK_SIZE(_MEC_GROUP_RECORD, 42);
LUMACORE_CHECK_OFFSET(_MEC_GROUP_RECORD, groupId, 4);
LUMACORE_CHECK_OFFSET(_MEC_GROUP_RECORD, groupName, 8);
LUMACORE_CHECK_OFFSET(_MEC_GROUP_RECORD, storage, 41);

/* A USSD reply, delivered with MEC_MSG_USSD_REPLY. */
typedef struct _MEC_USSD_REPLY {
    uint32_t resultType; /* 0-5, the first value of +CUSD */
    char text[352];      /* hexadecimal text for 16-bit coded replies */
    uint32_t dataCodingScheme;
} _MEC_USSD_REPLY;
LUMACORE_CHECK_SIZE(_MEC_USSD_REPLY, 360);
LUMACORE_CHECK_OFFSET(_MEC_USSD_REPLY, text, 4);
LUMACORE_CHECK_OFFSET(_MEC_USSD_REPLY, dataCodingScheme, 356);

#define MEC_STK_MAX_ITEMS 20

/* A SIM toolkit notice, delivered with every MEC_MSG_STK_* message. */
typedef struct _MEC_STK_RECORD {
    uint32_t itemCount; /* at most MEC_STK_MAX_ITEMS */
    char itemTexts[MEC_STK_MAX_ITEMS][48];
    uint32_t itemIds[MEC_STK_MAX_ITEMS];
    char title[48];
    uint32_t displayKind;  /* 1 notice, 2 needs confirmation */
    char displayText[512]; /* display text, SMS notice */
    char inputPrompt[512];
    uint32_t inputMinLength;
    uint32_t inputMaxLength;
    uint32_t inputKind; /* 0 GSM text, 1 yes/no, 2 digits, 3 UCS-2 text, 4 UCS-2 digits */
} _MEC_STK_RECORD;
LUMACORE_CHECK_SIZE(_MEC_STK_RECORD, 2132);
LUMACORE_CHECK_OFFSET(_MEC_STK_RECORD, itemTexts, 4);
LUMACORE_CHECK_OFFSET(_MEC_STK_RECORD, itemIds, 964);
LUMACORE_CHECK_OFFSET(_MEC_STK_RECORD, title, 1044);
LUMACORE_CHECK_OFFSET(_MEC_STK_RECORD, displayKind, 1092);
LUMACORE_CHECK_OFFSET(_MEC_STK_RECORD, displayText, 1096);
LUMACORE_CHECK_OFFSET(_MEC_STK_RECORD, inputPrompt, 1608);
LUMACORE_CHECK_OFFSET(_MEC_STK_RECORD, inputMinLength, 2120);
LUMACORE_CHECK_OFFSET(_MEC_STK_RECORD, inputMaxLength, 2124);
LUMACORE_CHECK_OFFSET(_MEC_STK_RECORD, inputKind, 2128);

/* One call of the current call list (_MEC_SendCLCCCmd), as +CLCC reports it. */
typedef struct _MEC_CLCC_ENTRY {
    int32_t callIndex;
    uint32_t direction;  /* 0 outgoing, 1 incoming */
    uint32_t status;     /* 0 active, 1 held, 2 dialling, 3 alerting, 4 incoming, 5 waiting */
    uint32_t mode;       /* 0 voice */
    uint32_t multiparty; /* 1 part of a conference */
    char number[40];
    uint32_t numberType;
} _MEC_CLCC_ENTRY;
LUMACORE_CHECK_SIZE(_MEC_CLCC_ENTRY, 64);
LUMACORE_CHECK_OFFSET(_MEC_CLCC_ENTRY, status, 8);

#define MEC_CLCC_MAX_CALLS 20

typedef struct _MEC_CLCC_LIST {
    uint32_t count;
    _MEC_CLCC_ENTRY calls[MEC_CLCC_MAX_CALLS];
} _MEC_CLCC_LIST;
LUMACORE_CHECK_SIZE(_MEC_CLCC_LIST, 1284);

#define MEC_EMERGENCY_NUMBERS 16

/* The emergency numbers the card knows (_MEC_GetEmergencyCall); unused entries are empty. */
typedef struct _MEC_EMERGENCY_LIST {
    char numbers[MEC_EMERGENCY_NUMBERS][36];
} _MEC_EMERGENCY_LIST;
LUMACORE_CHECK_SIZE(_MEC_EMERGENCY_LIST, 576);

/* Date and time of a call entry: year, month, day, hour, minute, second. */
typedef struct CallEntryTime {
    uint16_t year;
    uint16_t month;
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
} CallEntryTime;
LUMACORE_CHECK_SIZE(CallEntryTime, 12);

/* One entry of the call records and of the connection log (kind 4). The connection log keeps the
 * record size in `reserved`, the user name in `number` and its traffic in the two doubles. */
typedef struct CallEntry {
    int32_t reserved;
    uint32_t index; /* the engine's key for deleting the entry */
    char number[44];
    uint32_t duration;    /* seconds */
    double bytesSent;     /* connection log only */
    double bytesReceived; /* connection log only */
    uint8_t kind;         /* 1 missed, 2 received, 3 dialled, 4 data connection */
    uint8_t padding0;
    CallEntryTime when;
    uint8_t reserved2[6];
    uint8_t storage; /* 2, the PC store */
    uint8_t padding1;
} CallEntry;
LUMACORE_CHECK_SIZE(CallEntry, 94);
LUMACORE_CHECK_OFFSET(CallEntry, index, 4);
LUMACORE_CHECK_OFFSET(CallEntry, number, 8);
LUMACORE_CHECK_OFFSET(CallEntry, duration, 52);
LUMACORE_CHECK_OFFSET(CallEntry, bytesSent, 56);
LUMACORE_CHECK_OFFSET(CallEntry, bytesReceived, 64);
LUMACORE_CHECK_OFFSET(CallEntry, kind, 72);
LUMACORE_CHECK_OFFSET(CallEntry, when, 74);
LUMACORE_CHECK_OFFSET(CallEntry, storage, 92);

#pragma pack(pop)

/* =============================================================================================
 * Callbacks. Each runs on the engine's event thread; its result is the engine's to log.
 * ========================================================================================== */
typedef MEC_STATUS (*MEC_SmsArriveNewCallback)(uint8_t storage, uint16_t index);
typedef MEC_STATUS (*MEC_SmsSendReportCallback)(uint8_t status, const char *number,
                                                const char *time);
typedef MEC_STATUS (*MEC_SmsArriveClass0Callback)(const char *number, const char *text);
typedef MEC_STATUS (*MEC_SmsArriveBroadcastCallback)(const char *text);
typedef MEC_STATUS (*MEC_CallComingCallback)(const char *number);
typedef MEC_STATUS (*MEC_MeStateChangedCallback)(uint8_t state); /* 1 card present, 2 removed */
typedef MEC_STATUS (*MEC_ZdonNotifyCallback)(const _MEC_ZDON_RECORD *record);
typedef MEC_STATUS (*MEC_ZpasNotifyCallback)(const char *serviceText);

/* =============================================================================================
 * Calls, by family.
 * ========================================================================================== */

/* Engine life: start, the window sink, stop. Startup's three values are the engine's own tuning
 * (the program passes 0, 400, 0). RegisterAppHandle keeps the pointer until it is called again
 * with unregister non-zero; the sink must live that long. */
MEC_NODISCARD MEC_STATUS _MEC_Startup(uint8_t mode, uint16_t param1, uint16_t param2);
MEC_NODISCARD MEC_STATUS _MEC_RegisterAppHandle(LumacoreWindowSink *window, uint8_t unregister);
MEC_NODISCARD MEC_STATUS _MEC_Shutdown(void);
/* Why the last start or reconnection failed, for the user: "/dev/ttyUSB2 is in use by
 * ModemManager (pid 812)" after MEC_ERR_PORT_BUSY, "... does not answer AT" after a time-out.
 * Copies at most size - 1 bytes and a NUL; an empty text when nothing failed. */
MEC_NODISCARD MEC_STATUS _MEC_GetLastErrorText(char *buffer, uint16_t size);
/* The port the data connection dials on: $LUMACORE_DATA_PORT, else the card's modem port, which
 * the engine never takes as its own control port unless the card has no other AT port. Copies
 * at most size - 1 bytes and a NUL; an empty text while no card was found. */
MEC_NODISCARD MEC_STATUS _MEC_GetDataPort(char *buffer, uint16_t size);
/* The card's control port (the engine's own), as _MEC_GetDataPort copies it; empty while no
 * card was found. */
MEC_NODISCARD MEC_STATUS _MEC_GetControlPort(char *buffer, uint16_t size);
/* One card-specific command line ("AT^..."), as the user's settings name it: printable ASCII
 * beginning with AT, at most 80 characters. 0 when the card answered OK. */
MEC_NODISCARD MEC_STATUS _MEC_SendCardCommand(const char *command);

/* Callback registrations: (function, 0). A NULL function unregisters. */
MEC_NODISCARD MEC_STATUS _MEC_SetCallBackSmsArriveNew(MEC_SmsArriveNewCallback callback,
                                                      uint32_t reserved);
MEC_NODISCARD MEC_STATUS _MEC_SetCallBackSmsSendReportArrive(MEC_SmsSendReportCallback callback,
                                                             uint32_t reserved);
MEC_NODISCARD MEC_STATUS _MEC_SetCallBackSmsArriveClass0(MEC_SmsArriveClass0Callback callback,
                                                         uint32_t reserved);
MEC_NODISCARD MEC_STATUS _MEC_SetCallBackSmsArriveBroadcast(MEC_SmsArriveBroadcastCallback callback,
                                                            uint32_t reserved);
MEC_NODISCARD MEC_STATUS _MEC_SetCallBackCallCallComing(MEC_CallComingCallback callback,
                                                        uint32_t reserved);
MEC_NODISCARD MEC_STATUS _MEC_SetCallBackMeStateChanged(MEC_MeStateChangedCallback callback,
                                                        uint32_t reserved);
MEC_NODISCARD MEC_STATUS _MEC_SetCallBackZdonNotify(MEC_ZdonNotifyCallback callback,
                                                    uint32_t reserved);
MEC_NODISCARD MEC_STATUS _MEC_SetCallBackZpasNotify(MEC_ZpasNotifyCallback callback,
                                                    uint32_t reserved);

/* Card presence and operation mode. Modes: 5 on line, 6 off line, 1 low power. Poweroff's mode
 * is 1 from the user's power-off command and 0 before a system suspend. SetOperationMode(5)
 * answers MEC_ERR_ERROR when the card accepted it but its radio stayed off (a radio switch);
 * the program may try again later. After one time-out the card counts as unresponsive and every
 * call fails at once with MEC_ERR_TIMEOUT until the card answers the engine's probe again. */
MEC_NODISCARD MEC_STATUS _MEC_Echo(void);
MEC_NODISCARD MEC_STATUS _MEC_ClearEcho(void);
MEC_NODISCARD MEC_STATUS _MEC_GetOperationMode(uint8_t *mode);
MEC_NODISCARD MEC_STATUS _MEC_SetOperationMode(uint8_t mode);
MEC_NODISCARD MEC_STATUS _MEC_Poweroff(uint8_t mode);
MEC_NODISCARD MEC_STATUS _MEC_NetcardStart(void);
MEC_NODISCARD MEC_STATUS _MEC_NetcardStop(void);
MEC_NODISCARD MEC_STATUS _MEC_disableCheckCard(void);
MEC_NODISCARD MEC_STATUS _MEC_enableCheckCard(void);
MEC_NODISCARD MEC_STATUS _MEC_setIsDialing(uint8_t dialing);

/* Signal, network status, SIM readiness, packet-data parameters. */
MEC_NODISCARD MEC_STATUS _MEC_GetCsq(uint8_t *csq); /* 0-31, or 99 when the card cannot tell */
MEC_NODISCARD MEC_STATUS _MEC_GetNetworkPara(_MEC_NETWORK_PARA *para);
MEC_NODISCARD MEC_STATUS _MEC_GetZdonPara(_MEC_ZDON_PARA *para);
MEC_NODISCARD MEC_STATUS _MEC_TestSimState(void); /* 0 once the SIM's message store answers */
MEC_NODISCARD MEC_STATUS _MEC_GetSIMCardOperator(char *imsi); /* MEC_SIM_OPERATOR_TEXT_SIZE bytes */
MEC_NODISCARD MEC_STATUS _MEC_SetModemPara(const char *pdpType, const char *apn,
                                           const char *pdpAddress);

/* SIM file access (+CRSM). command 176 is READ BINARY; p1/p2 the offset, p3 the length. The
 * response is text: for EF-SPN (28486) the decoded name, for other files the bytes as upper-case
 * hexadecimal. At most responseSize bytes are written, terminator included. */
MEC_NODISCARD MEC_STATUS _SIMOperate(uint8_t command, uint16_t fileId, uint8_t p1, uint8_t p2,
                                     uint8_t p3, char *response, uint32_t responseSize);

/* Versions and identity (MEC_*_TEXT_SIZE byte buffers). */
MEC_NODISCARD MEC_STATUS _MEC_QueryImei(char *imei);
MEC_NODISCARD MEC_STATUS _MEC_GetSoftwareVersion(char *software, char *internalVersion);
MEC_NODISCARD MEC_STATUS _MEC_GetBoardVersion(char *board);

/* PIN. PIN state: 0 ready, 1 PIN wanted, 2 PUK wanted. SetPin takes the PIN alone (newPin NULL
 * or empty), or the PUK and a new PIN. */
MEC_NODISCARD MEC_STATUS _MEC_GetPinState(uint8_t *state);
MEC_NODISCARD MEC_STATUS _MEC_SetPin(const char *pinOrPuk, const char *newPin);
MEC_NODISCARD MEC_STATUS _MEC_QueryPINLeftTimes(uint8_t *pinAttempts, uint8_t *pukAttempts);
MEC_NODISCARD MEC_STATUS _MEC_IfPinEnable(uint8_t *enabled);
MEC_NODISCARD MEC_STATUS _MEC_SetPinEnable(uint8_t enable, const char *pin);
MEC_NODISCARD MEC_STATUS _MEC_ChangePinPasswd(const char *oldPin, const char *newPin);

/* The engine's PC store as a whole: backup to and restore from a file. */
MEC_NODISCARD MEC_STATUS _MEC_BackUpDBToFile(const char *path);
MEC_NODISCARD MEC_STATUS _MEC_LoadDBFromFile(const char *path);
/* The PC store's writes between Begin and End are one transaction, committed by End (a run over
 * many contacts or messages). Batches nest; only the outermost End commits. */
MEC_NODISCARD MEC_STATUS _MEC_BeginStoreBatch(void);
MEC_NODISCARD MEC_STATUS _MEC_EndStoreBatch(void);

/* Network selection. Selection modes: 5 automatic (any network), 2 3G only, 1 2G only, 4 before
 * a manual search; read back, 0 means manual. Band: 0 or 1; read back, 2 means none.
 * GetOperaterList fills the caller's buffer *records (room for MEC_OPERATOR_LIST_MAX records)
 * and sets *count; the engine never replaces the buffer. */
MEC_NODISCARD MEC_STATUS _MEC_GetNetworkSelectMode(uint8_t *mode);
MEC_NODISCARD MEC_STATUS _MEC_SetNetworkSelectMode(uint8_t mode);
MEC_NODISCARD MEC_STATUS _MEC_GetBandSelectMode(uint8_t *band);
MEC_NODISCARD MEC_STATUS _MEC_SetNetworkSelectMode_Telstra(uint8_t band);
MEC_NODISCARD MEC_STATUS _MEC_GetOperaterList(_MEC_OPERATOR_INFO **records, uint32_t *count);
MEC_NODISCARD MEC_STATUS _MEC_SetOperator(_MEC_OPERATOR_SELECT selection);
/* The automatic selection modes this card offers, as a mask: bit n set when mode n (5, 2, 1) can
 * be set. Automatic over every radio (5) is always offered. */
MEC_NODISCARD MEC_STATUS _MEC_GetNetworkSelectModes(uint32_t *modes);

/* Supplementary services; MEC_ERR_SERVICE_REFUSED when the network refuses. Barring status: 1
 * barred, 0 not; CLIP mode and call waiting: 1 on, 0 off. */
MEC_NODISCARD MEC_STATUS _MEC_GetCallForwardSet(uint32_t reason, _MEC_CALL_FORWARD_ANSWER *answer);
MEC_NODISCARD MEC_STATUS _MEC_SetCallForwardCmd(_MEC_CALL_FORWARD_REQUEST request,
                                                _MEC_CALL_FORWARD_ANSWER *answer);
MEC_NODISCARD MEC_STATUS _MEC_GetCallBarringCmd(const char *facility, uint32_t *status);
MEC_NODISCARD MEC_STATUS _MEC_SetCallBarringCmd(_MEC_CALL_BARRING_REQUEST request,
                                                uint32_t *status);
MEC_NODISCARD MEC_STATUS _MEC_GetCallerListMode(uint32_t *mode);
MEC_NODISCARD MEC_STATUS _MEC_CallerModeSetCmd(uint32_t mode);
MEC_NODISCARD MEC_STATUS _MEC_GetCallWaiting(uint32_t *state);
MEC_NODISCARD MEC_STATUS _MEC_SetCallWaiting(uint32_t state);

/* SMS. Storage: 0 SIM, 1 card, 2 PC. A walk: LoadMessages, then GetFirstMessage / GetNextMessage
 * with the record's storage set, until MEC_ERR_NO_MORE_ENTRIES. GetFirstMessage's first value is
 * 0 from the program (the engine may take other values as a filter). SaveMessage writes the
 * assigned index and reference back into the record. */
MEC_NODISCARD MEC_STATUS _MEC_LoadMessages(uint8_t storage);
MEC_NODISCARD MEC_STATUS _MEC_GetFirstMessage(uint8_t filter, _MEC_SMS_RECORD *record);
MEC_NODISCARD MEC_STATUS _MEC_GetNextMessage(_MEC_SMS_RECORD *record);
MEC_NODISCARD MEC_STATUS _MEC_GetMessage(uint16_t index, _MEC_SMS_RECORD *record);
MEC_NODISCARD MEC_STATUS _MEC_SaveMessage(_MEC_SMS_RECORD *record);
MEC_NODISCARD MEC_STATUS _MEC_SendMessage(const _MEC_SMS_RECORD *record);
MEC_NODISCARD MEC_STATUS _MEC_DeleteMessage(uint16_t index, uint8_t storage);
MEC_NODISCARD MEC_STATUS _MEC_SetMessageStatus(uint16_t index, uint8_t read, uint8_t storage);
MEC_NODISCARD MEC_STATUS _MEC_GetFieldSizes(_MEC_FIELD_SIZES *sizes);

/* SMS settings. */
MEC_NODISCARD MEC_STATUS _MEC_InitSmsSet(void);
MEC_NODISCARD MEC_STATUS _MEC_GetSmsCenter(char *center); /* MEC_SMS_CENTER_TEXT_SIZE bytes */
MEC_NODISCARD MEC_STATUS _MEC_SetSmsCenter(const char *center);
MEC_NODISCARD MEC_STATUS _MEC_GetSmsSaveLocation(uint32_t *storage);
MEC_NODISCARD MEC_STATUS _MEC_SetSmsSaveLocation(uint32_t storage);
MEC_NODISCARD MEC_STATUS _MEC_SetSmsConfig(SmsConfigBlock config);

/* USSD. The reply comes later as MEC_MSG_USSD_REPLY. */
MEC_NODISCARD MEC_STATUS _MEC_SendUssdRequest(const char *text, uint32_t length);
MEC_NODISCARD MEC_STATUS _MEC_SendUssdCancel(void);

/* SIM toolkit. Menus and requests come as MEC_MSG_STK_* messages. Menu back: 1 one level up,
 * 0 end the session. Input kind as in _MEC_STK_RECORD.inputKind. */
MEC_NODISCARD MEC_STATUS _MEC_SetStkMainMenu(void);
MEC_NODISCARD MEC_STATUS _MEC_SelectStkMainMenu(uint32_t itemId);
MEC_NODISCARD MEC_STATUS _MEC_SelectStkSubMenu(uint32_t itemId);
MEC_NODISCARD MEC_STATUS _MEC_SetStkMenuBack(uint8_t back);
MEC_NODISCARD MEC_STATUS _MEC_StkConfirmDisplayText(void);
MEC_NODISCARD MEC_STATUS _MEC_StkInputText(uint32_t kind, const char *text);

/* Contacts and groups. Storage: 0 SIM, 1 card, 2 PC. GetContactCount answers the count itself
 * (0 when it cannot be read), not a status. A walk as for SMS, with the record's storage set.
 * NewContact writes the assigned index into the record. A card gives a freed place to the next
 * entry written (by any phone), so DeleteContact on a card reads the place first: an empty place
 * is OK, an entry other than the one the engine last read or wrote there is left alone with
 * MEC_ERR_CME_BASE + 22 (not found). */
MEC_NODISCARD MEC_STATUS _MEC_LoadContacts(uint8_t storage);
MEC_NODISCARD uint16_t _MEC_GetContactCount(uint8_t storage);
MEC_NODISCARD MEC_STATUS _MEC_GetFirstContact(_MEC_CONTACT_RECORD *record);
MEC_NODISCARD MEC_STATUS _MEC_GetNextContact(_MEC_CONTACT_RECORD *record);
MEC_NODISCARD MEC_STATUS _MEC_NewContact(_MEC_CONTACT_RECORD *record);
MEC_NODISCARD MEC_STATUS _MEC_SetContact(uint32_t index, const _MEC_CONTACT_RECORD *record);
MEC_NODISCARD MEC_STATUS _MEC_DeleteContact(uint32_t index, uint8_t storage);
MEC_NODISCARD MEC_STATUS _MEC_LoadGroup(uint8_t storage);
MEC_NODISCARD MEC_STATUS _MEC_GetFirstGroup(_MEC_GROUP_RECORD *group);
MEC_NODISCARD MEC_STATUS _MEC_GetNextGroup(_MEC_GROUP_RECORD *group);
MEC_NODISCARD MEC_STATUS _MEC_SaveGroup(const _MEC_GROUP_RECORD *group);
MEC_NODISCARD MEC_STATUS _MEC_SetGroup(const _MEC_GROUP_RECORD *group);
MEC_NODISCARD MEC_STATUS _MEC_DeleteGroup(int32_t groupId, uint8_t storage);

/* Voice calls. Dial and Answer report the engine's immediate result in their out byte (Answer:
 * 2 when the card refused). CHLD values as +CHLD (0-3, 1x, 2x). Progress comes as
 * MEC_MSG_CALL_* messages. */
MEC_NODISCARD MEC_STATUS _MEC_Dial(const char *number, uint8_t *result);
MEC_NODISCARD MEC_STATUS _MEC_ATDAbort(void);
MEC_NODISCARD MEC_STATUS _MEC_Answer(uint8_t *result);
MEC_NODISCARD MEC_STATUS _MEC_Hangup(void);
MEC_NODISCARD MEC_STATUS _MEC_SendCHLDCommand(uint32_t value);
MEC_NODISCARD MEC_STATUS _MEC_SendCLCCCmd(_MEC_CLCC_LIST *list);
MEC_NODISCARD MEC_STATUS _MEC_SetDTMF(char tone);
MEC_NODISCARD MEC_STATUS _MEC_GetEmergencyCall(_MEC_EMERGENCY_LIST *list);

/* Audio. Earphone level as the engine reads it: 0, 56, 111, 155, 205 or 255; levels set are
 * slider positions (earphone 0-5, microphone 0-3). GetMicMuteState answers MEC_MIC_MUTED or
 * MEC_MIC_NOT_MUTED (another code on failure). */
MEC_NODISCARD MEC_STATUS _MEC_CheckEarPhone(uint8_t *present);
MEC_NODISCARD MEC_STATUS _MEC_ReadEarPhoneVol(uint8_t *level);
MEC_NODISCARD MEC_STATUS _MEC_SetEarphoneVol(uint8_t level);
MEC_NODISCARD MEC_STATUS _MEC_SetMicrophoneVol(uint8_t level);
MEC_NODISCARD MEC_STATUS _MEC_SetMicMute(uint8_t mute);
MEC_NODISCARD MEC_STATUS _MEC_GetMicMuteState(void);

/* Call records and the connection log, kept in the PC store (storage 2), 50 entries per kind.
 * Kind: 1 missed, 2 received, 3 dialled, 4 data connection. GetCallEntryCount answers the count
 * itself (0 when it cannot be read), not a status. SaveCallEntry writes the assigned index back. */
MEC_NODISCARD uint16_t _MEC_GetCallEntryCount(uint8_t kind, uint8_t storage);
MEC_NODISCARD MEC_STATUS _MEC_GetFirstCallEntry(uint8_t kind, CallEntry *entry);
MEC_NODISCARD MEC_STATUS _MEC_GetNextCallEntry(CallEntry *entry);
MEC_NODISCARD MEC_STATUS _MEC_SaveCallEntry(CallEntry *entry);
MEC_NODISCARD MEC_STATUS _MEC_DeleteCallEntry(uint32_t index, uint8_t storage);
MEC_NODISCARD MEC_STATUS _MEC_ClearCallEntries(uint8_t kind, uint8_t storage);

/* Data use, kept per day in the PC store, at home and roaming apart. A day is the local date as
 * yyyymmdd (20261210). */
typedef struct {
    uint32_t day;     /* yyyymmdd */
    uint8_t roaming;  /* 0 home, 1 roaming */
    uint8_t reserved[3];
    uint64_t bytesSent;
    uint64_t bytesReceived;
} _MEC_USAGE_DAY;
LUMACORE_CHECK_SIZE(_MEC_USAGE_DAY, 24);
LUMACORE_CHECK_OFFSET(_MEC_USAGE_DAY, roaming, 4);
LUMACORE_CHECK_OFFSET(_MEC_USAGE_DAY, bytesSent, 8);
LUMACORE_CHECK_OFFSET(_MEC_USAGE_DAY, bytesReceived, 16);

/* Counts a connection's traffic. `connection` names one connection for as long as it lasts (1-63
 * characters); the totals are its traffic since it came up. The store keeps the totals it last
 * counted for each connection and adds only the difference to the day (and roaming) given, in
 * one transaction: the same totals given again add nothing. Totals below the ones counted mean
 * the connection's counters began again; they are counted whole.
 * EndUsage forgets a connection's counted totals (it has ended).
 * GetUsageDays writes the rows with firstDay <= day <= lastDay, oldest first, home before
 * roaming, at most `capacity` of them; *count is the number of rows there are (more than
 * capacity when the buffer was too small). ClearUsage forgets every day (the connections'
 * counted totals stay, so a running connection counts on from its next sample). */
MEC_NODISCARD MEC_STATUS _MEC_AddUsage(const char *connection, uint32_t day, uint8_t roaming,
                                       uint64_t totalSent, uint64_t totalReceived);
MEC_NODISCARD MEC_STATUS _MEC_EndUsage(const char *connection);
MEC_NODISCARD MEC_STATUS _MEC_GetUsageDays(uint32_t firstDay, uint32_t lastDay,
                                           _MEC_USAGE_DAY *rows, uint32_t capacity,
                                           uint32_t *count);
MEC_NODISCARD MEC_STATUS _MEC_ClearUsage(void);

#if defined(LUMACORE_BUILDING) && defined(__GNUC__)
#pragma GCC visibility pop
#endif

#ifdef __cplusplus
}
#endif

#endif /* LUMACORE_H */
