#pragma once
// CommandText: the command line's texts in the language the window uses (InterfaceLanguage),
// each written at its use in English and in Vietnamese. The commands start no Qt translator:
// loading one would cost every `quibsum calc` more than the rest of its run.

#include <initializer_list>
#include <string>
#include <string_view>

namespace quibsum::CommandText {

// "vi" or "en": chosen from the desktop's languages on first use.
bool vietnamese();

// The text in the chosen language.
inline const char* say(const char* english, const char* vietnameseText) {
    return vietnamese() ? vietnameseText : english;
}
// The same with %1, %2… replaced by `arguments`, in order.
std::string say(const char* english, const char* vietnameseText, std::initializer_list<std::string_view> arguments);

}  // namespace quibsum::CommandText
