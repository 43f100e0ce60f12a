// Windows-1251, the code page of every text the program stores.
//
// A fixed table rather than the platform's converters: the record format
// must not depend on which code pages a Qt build happens to carry, and the
// writer has to know exactly which characters the code page cannot hold.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace records {

// Every byte has a character: 0x98, unassigned in the code page, decodes
// to U+0098 (and encodes back to 0x98).
QString DecodeWindows1251(QByteArrayView bytes);

// Each character the code page cannot hold becomes one '?' (a surrogate
// pair counts as one character); `complete` tells whether none did.
QByteArray EncodeWindows1251(QStringView text, bool* complete = nullptr);

// True when every character of `text` has a Windows-1251 byte.
bool IsWindows1251(QStringView text);

}  // namespace records
