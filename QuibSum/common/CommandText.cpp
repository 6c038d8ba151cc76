#include "QuibSum/common/CommandText.h"

#include "QuibSum/common/InterfaceLanguage.h"

namespace quibsum::CommandText {

bool vietnamese() {
    static const bool chosen = InterfaceLanguage::choose(InterfaceLanguage::desktopLanguages()) == QLatin1String("vi");
    return chosen;
}

std::string say(const char* english, const char* vietnameseText, std::initializer_list<std::string_view> arguments) {
    const std::string_view text = say(english, vietnameseText);
    std::string out;
    out.reserve(text.size() + 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '1') : arguments.size();
        if (text[i] == '%' && n < arguments.size()) {
            out += *(arguments.begin() + n);
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace quibsum::CommandText
