#pragma once

// Texts that the program keeps scrambled in its binary (the title, the about lines, the link
// targets, the characters of temporary names; see ScrambledTexts.h) and the routine that turns
// them back into plain text. The scrambling is Base64 over an alphabet of our own: it hides the
// texts from a casual look at the binary, it is not a protection.

#include <QString>

// Plain text of a scrambled one: groups of four characters give three bytes each, "=" fills an
// incomplete last group ("xx==" gives one byte, "xxx=" two). The bytes are UTF-8. A text shorter
// than four characters gives the empty text; characters outside the alphabet count as its first.
QString DecodeText(const QString &scrambled);

// The scrambled form of a plain text; DecodeText(EncodeText(t)) == t. Used to make the stored
// forms and by the tests that check them.
QString EncodeText(const QString &plain);
