#pragma once
// Line breaks for the program's Japanese texts. Qt wraps Japanese between any two characters,
// which cuts words ("…して下" | "さい。"); these break where a reader expects a line to end.

#include <QString>

class QFontMetrics;
class QMessageBox;

namespace kelvora {

// Breaks `text` into lines no wider than `maxWidth` pixels where it can: after punctuation,
// closing brackets, spaces and path separators, or before an opening bracket. The text's own
// line breaks are kept. A stretch with no such place that is still too wide is cut at the last
// character that fits, so no line is ever wider than `maxWidth` (unless one character is).
QString BreakAtSensiblePoints(const QString& text, const QFontMetrics& metrics, int maxWidth);

// Sets a message box's text so that it is broken only at sensible points: the box is widened
// (up to about two thirds of the screen) rather than wrapped inside a word.
void SetReadableMessageText(QMessageBox& box, const QString& text);

} // namespace kelvora
