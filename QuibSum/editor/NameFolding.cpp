#include "QuibSum/editor/NameFolding.h"

#include <QChar>

namespace quibsum::NameFolding {

QString fold(QStringView text) {
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing) continue;
        folded.append(c);
    }
    folded = folded.toCaseFolded();
    folded.replace(QChar(0x0111), u'd');  // đ (its capital folds to it)
    return folded;
}

bool isLetter(char32_t c) {
    switch (QChar::category(c)) {
        case QChar::Letter_Uppercase:
        case QChar::Letter_Lowercase:
        case QChar::Letter_Titlecase:
        case QChar::Letter_Modifier:
        case QChar::Letter_Other:
            return true;
        default:
            return false;
    }
}

bool isNameCharacter(char32_t c) {
    if (c == U'_' || isLetter(c)) return true;
    switch (QChar::category(c)) {
        case QChar::Number_DecimalDigit:
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
            return true;
        default:
            return false;
    }
}

}  // namespace quibsum::NameFolding
