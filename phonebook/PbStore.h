// Where the phonebook windows find the store: the business-logic root's, or one a test or a
// screenshot hands in.
#pragma once

#include "logic/BL_Pb.h"

#include <QString>
#include <QStringList>

#include <functional>

using PbStoreSource = std::function<TBL_pb *()>;

// The root's phonebook store, or null while the core is not running.
TBL_pb *RootPhonebook();

// A store's name as the messages show it (PC, Data card, SIM card).
QString StorageName(uint8_t storage);

// A resource string with its %d / %s placeholders filled in order.
QString FormatText(int number, const QStringList &values);
