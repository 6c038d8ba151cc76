#include "QuibSum/editor/EditorTheme.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <array>
#include <cmath>

namespace quibsum {

namespace {

struct RoleColours {
    QRgb light;
    QRgb dark;
};

// Indexed by PaletteRole. Every pair keeps at least 4.5:1 contrast with its background.
constexpr std::array<RoleColours, 14> colours = {{
    {0xFBFAF7, 0x1E1F22},  // background
    {0x24262B, 0xE4E4E7},  // text
    {0x8A3FB8, 0xC792EA},  // keyword
    {0x0B6E8A, 0x5CC8E8},  // unit
    {0x1D7A3A, 0x7FD18B},  // currency
    {0x1F4F9E, 0x8AB4F8},  // result
    {0x111318, 0xFFFFFF},  // heading
    {0x6B6F76, 0x9AA0A6},  // comment
    {0xA2570B, 0xF0B35A},  // variable
    {0xC42B1C, 0xFF7B72},  // error
    {0x5A5E66, 0xA8ADB4},  // footerText
    {0xDCDAD5, 0x3A3C41},  // separator
    {0xBBD6FB, 0x264F78},  // selection
    {0x111318, 0xFFFFFF},  // selectionText
}};

// org.freedesktop.appearance color-scheme: 1 prefers dark, 2 prefers light, 0 no preference.
std::optional<bool> portalPrefersDark() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
    call << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme");
    // A desktop without a portal must not delay the window.
    QDBusMessage reply = bus.call(call, QDBus::Block, 300);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
    QVariant value = reply.arguments().first();
    // The answer is a variant that may itself hold a variant.
    while (value.canConvert<QDBusVariant>()) value = value.value<QDBusVariant>().variant();
    bool ok = false;
    uint scheme = value.toUInt(&ok);
    if (!ok || scheme == 0) return std::nullopt;
    return scheme == 1;
}

}  // namespace

EditorTheme::EditorTheme(bool dark) : dark_(dark) {
    textFont_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    headingFont_ = textFont_;
    headingFont_.setBold(true);
    if (headingFont_.pointSizeF() > 0)
        headingFont_.setPointSizeF(headingFont_.pointSizeF() * 1.2);
    else
        headingFont_.setPixelSize(headingFont_.pixelSize() * 6 / 5);
}

EditorTheme EditorTheme::forAppearance(Appearance appearance) {
    switch (appearance) {
        case Appearance::dark:
            return EditorTheme(true);
        case Appearance::light:
            return EditorTheme(false);
        case Appearance::system:
            break;
    }
    return EditorTheme(desktopPrefersDark());
}

bool EditorTheme::desktopPrefersDark() {
    if (auto portal = portalPrefersDark()) return *portal;
    const QPalette palette = QGuiApplication::palette();
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

QString EditorTheme::scrollBarStyleSheet() const {
    const QColor handle = color(PaletteRole::comment);
    return QStringLiteral(
               "QScrollBar:vertical { background: %1; width: 10px; margin: 0; border: none; }"
               "QScrollBar::handle:vertical { background: %2; min-height: 28px; border-radius: 3px; margin: 2px; }"
               "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
               "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"
               "QScrollBar:horizontal { background: %1; height: 10px; margin: 0; border: none; }"
               "QScrollBar::handle:horizontal { background: %2; min-width: 28px; border-radius: 3px; margin: 2px; }"
               "QScrollBar::add-line:horizontal, QScrollBar::sub-line:horizontal { width: 0; }"
               "QScrollBar::add-page:horizontal, QScrollBar::sub-page:horizontal { background: none; }")
        .arg(color(PaletteRole::background).name(),
             QStringLiteral("rgba(%1, %2, %3, 45%)").arg(handle.red()).arg(handle.green()).arg(handle.blue()));
}

QPalette EditorTheme::sheetPalette() const {
    QPalette sheet = palette();
    sheet.setColor(QPalette::Base, color(PaletteRole::background));
    sheet.setColor(QPalette::Window, color(PaletteRole::background));
    return sheet;
}

QPalette EditorTheme::palette() const {
    const QColor background = color(PaletteRole::background);
    const QColor text = color(PaletteRole::text);
    // Controls and fields stand a little apart from the window, so that they show in dark.
    const QColor control = dark_ ? background.lighter(160) : background.darker(106);
    const QColor base = dark_ ? background.lighter(130) : QColor(Qt::white);
    QPalette p(control, background);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor shown = group == QPalette::Disabled ? color(PaletteRole::comment) : text;
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
            p.setColor(group, role, shown);
        p.setColor(group, QPalette::Window, background);
        p.setColor(group, QPalette::Button, control);
        p.setColor(group, QPalette::Base, base);
        p.setColor(group, QPalette::AlternateBase, background);
        p.setColor(group, QPalette::ToolTipBase, control);
        p.setColor(group, QPalette::PlaceholderText, color(PaletteRole::comment));
        p.setColor(group, QPalette::Highlight, color(PaletteRole::selection));
        p.setColor(group, QPalette::HighlightedText, color(PaletteRole::selectionText));
        p.setColor(group, QPalette::Link, color(PaletteRole::result));
        p.setColor(group, QPalette::BrightText, color(PaletteRole::heading));
    }
    return p;
}

double EditorTheme::contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor EditorTheme::color(PaletteRole role) const {
    const RoleColours& pair = colours[static_cast<std::size_t>(role)];
    return QColor::fromRgb(dark_ ? pair.dark : pair.light);
}

}  // namespace quibsum
