// The one edge where code page 936 meets the toolkit's Unicode strings.
#pragma once

#include <QString>

#include "calvora/framework/cstring.h"
#include "calvora/framework/platform/text_encoding.h"

inline QString ToQString(std::string_view cp936) {
    return QString::fromStdString(Cp936ToUtf8(cp936));
}

inline CString FromQString(const QString& text) {
    return CString(Utf8ToCp936(text.toStdString()));
}
