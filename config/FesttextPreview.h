#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vemro {

// How a fixed text looks on a display of `rows` x `cols` characters: embedded commands
// ("{<ESC>" ... "}") removed, CR dropped, a row ends at LF or after `cols` characters, and
// rows beyond the last start again at the first, overwriting it as the display does.
// Any number of rows. std::nullopt when a "{<ESC>" has no "}" after it (the preview then
// keeps what it showed). An empty list for a display without rows or columns.
[[nodiscard]] std::optional<QStringList> FesttextVorschau(const QString& text, int cols, int rows);

// The preview box's content: every row followed by CR LF.
[[nodiscard]] QString FesttextVorschauText(const QStringList& rows);

// "16x2" -> columns 16, rows 2 (numbers read leniently). False when there is no "x".
[[nodiscard]] bool ParseDisplaytyp(const QString& text, int* cols, int* rows);

} // namespace vemro
