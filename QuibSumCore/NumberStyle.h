#pragma once
// The two ways of writing numbers: vi (1.234,5) and en (1,234.5).

namespace quibsum {

enum class NumberStyle { vi, en };

constexpr const char* name(NumberStyle s) { return s == NumberStyle::vi ? "vi" : "en"; }

}  // namespace quibsum
