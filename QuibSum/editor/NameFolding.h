#pragma once
// How typed text is compared with variable names when offering them: case and diacritics
// ignored, and "đ" read as "d" (folding leaves that letter alone), so that typing "tien"
// finds "Tiền nhà". Also which characters can belong to a name.

#include <QString>
#include <QStringView>

namespace quibsum::NameFolding {

QString fold(QStringView text);

// Letters, decimal digits, combining marks and "_" belong to names; everything else (the
// space included) is a boundary.
bool isNameCharacter(char32_t c);
bool isLetter(char32_t c);

}  // namespace quibsum::NameFolding
