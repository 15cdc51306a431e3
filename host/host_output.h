// What the demo host prints: code page 936 texts as UTF-8 lines.
#pragma once

#include <string>
#include <string_view>

// UTF-8 form of a code page 936 text for one output field: TAB, CR, LF and backslash become
// \t, \r, \n and \\, and any other control character (C0, DEL) and a byte that starts no
// valid character become \xHH.
std::string FieldText(std::string_view cp936);

// The operation log with a line break after every message separator.
std::string LogLines(std::string_view cp936Log);

// C0 controls and DEL: bytes that would act on a terminal rather than show.
bool IsTerminalControl(char byte);

// "\xHH" for one byte.
void AppendHexEscape(char byte, std::string& out);
