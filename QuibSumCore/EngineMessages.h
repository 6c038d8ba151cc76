#pragma once
// Every text the engine shows as a line's or the page's error. They are compared by text,
// so they live in one place.

#include <array>
#include <string_view>

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

inline constexpr std::array<std::string_view, 14> all = {
    invalidVariableName,
    invalidRate,
    invalidResult,
    unitMismatch,
    noRate,
    invalidExponent,
    outOfRange,
    invalidModulo,
    divisionByZero,
    multiplyUnits,
    missingTargetCurrency,
    outsideDomain,
    functionNeedsPlainNumber,
    noPreviousResult,
};

}  // namespace quibsum::messages
