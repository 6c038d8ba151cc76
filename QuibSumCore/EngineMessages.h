#pragma once
// Every text the engine shows as a line's or the page's error: the message of each kind of
// failure. The interface translates them by their text.

#include <array>
#include <cstddef>
#include <string_view>

#include "QuibSumCore/EvaluationError.h"

namespace quibsum::messages {

inline constexpr std::string_view invalidVariableName = "Tên biến không hợp lệ";
inline constexpr std::string_view invalidRate = "Tỷ giá không hợp lệ";
inline constexpr std::string_view invalidResult = "Kết quả không hợp lệ";
inline constexpr std::string_view unitMismatch = "Không cùng đơn vị đo";
inline constexpr std::string_view noRate = "Chưa có tỷ giá";
inline constexpr std::string_view invalidExponent = "Số mũ không hợp lệ";
inline constexpr std::string_view outOfRange = "Số vượt giới hạn";
inline constexpr std::string_view invalidModulo = "Phép chia dư không hợp lệ";
inline constexpr std::string_view divisionByZero = "Không thể chia cho 0";
inline constexpr std::string_view multiplyUnits = "Không thể nhân hai đơn vị";
inline constexpr std::string_view missingTargetCurrency = "Thiếu tiền tệ đích";
inline constexpr std::string_view outsideDomain = "Ngoài miền xác định";
inline constexpr std::string_view functionNeedsPlainNumber = "Hàm cần số không có đơn vị";
inline constexpr std::string_view noPreviousResult = "Không có kết quả trước đó";

// The message of a kind of failure; empty for syntax.
constexpr std::string_view of(EvaluationError::Kind kind) {
    using Kind = EvaluationError::Kind;
    switch (kind) {
        case Kind::syntax:
            return {};
        case Kind::invalidVariableName:
            return invalidVariableName;
        case Kind::invalidRate:
            return invalidRate;
        case Kind::invalidResult:
            return invalidResult;
        case Kind::unitMismatch:
            return unitMismatch;
        case Kind::noRate:
            return noRate;
        case Kind::invalidExponent:
            return invalidExponent;
        case Kind::outOfRange:
            return outOfRange;
        case Kind::invalidModulo:
            return invalidModulo;
        case Kind::divisionByZero:
            return divisionByZero;
        case Kind::multiplyUnits:
            return multiplyUnits;
        case Kind::missingTargetCurrency:
            return missingTargetCurrency;
        case Kind::outsideDomain:
            return outsideDomain;
        case Kind::functionNeedsPlainNumber:
            return functionNeedsPlainNumber;
        case Kind::noPreviousResult:
            return noPreviousResult;
    }
    return {};
}

// Every message, in the order of their kinds.
inline constexpr std::array<std::string_view, EvaluationError::messageKinds> all = [] {
    std::array<std::string_view, EvaluationError::messageKinds> texts;
    for (std::size_t k = 0; k < texts.size(); ++k) texts[k] = of(static_cast<EvaluationError::Kind>(k + 1));
    return texts;
}();

}  // namespace quibsum::messages
