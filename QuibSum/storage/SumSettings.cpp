#include "QuibSum/storage/SumSettings.h"

#include <QSettings>
#include <QVariant>

#include <utility>

namespace quibsum {

const QString SumSettings::defaultHotkeyLabel = QStringLiteral("Ctrl+Alt+Space");

namespace {

constexpr const char* numberStyleKey = "numberStyle";
constexpr const char* rateKindKey = "rateKind";
constexpr const char* appearanceKey = "appearance";
constexpr const char* panelIconKey = "showPanelIcon";
constexpr const char* hotkeyCodeKey = "hotkeyCode";
constexpr const char* hotkeyModifiersKey = "hotkeyModifiers";
constexpr const char* hotkeyLabelKey = "hotkeyLabel";

// A stored string; a stored number counts as its text, anything else (a list, bytes) as absent.
std::optional<QString> storedString(const QSettings& storage, const char* key) {
    QVariant value = storage.value(QLatin1String(key));
    switch (value.typeId()) {
        case QMetaType::QString:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
            return value.toString();
        default:
            return std::nullopt;
    }
}

// A stored 32-bit unsigned number; text that is not one counts as absent.
std::optional<std::uint32_t> storedNumber(const QSettings& storage, const char* key) {
    QVariant value = storage.value(QLatin1String(key));
    bool ok = false;
    qulonglong number = 0;
    switch (value.typeId()) {
        case QMetaType::QString:
            number = value.toString().trimmed().toULongLong(&ok);
            break;
        case QMetaType::Int:
        case QMetaType::LongLong: {
            qlonglong n = value.toLongLong(&ok);
            ok = ok && n >= 0;
            number = static_cast<qulonglong>(n);
            break;
        }
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            number = value.toULongLong(&ok);
            break;
        default:
            break;
    }
    if (!ok || number > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<std::uint32_t>(number);
}

}  // namespace

SumSettings::SumSettings(QSettings& storage, const QLocale& locale, QObject* parent)
    : QObject(parent),
      storage_(storage),
      numberStyle_(storedString(storage, numberStyleKey).value_or(defaultNumberStyle(locale))),
      rateKind_(storedString(storage, rateKindKey).value_or(QStringLiteral("transfer"))),
      appearance_(storedString(storage, appearanceKey).value_or(QStringLiteral("dark"))),
      hotkeyCode_(storedNumber(storage, hotkeyCodeKey).value_or(defaultHotkeyCode)),
      hotkeyModifiers_(storedNumber(storage, hotkeyModifiersKey).value_or(defaultHotkeyModifiers)),
      hotkeyLabel_(storedString(storage, hotkeyLabelKey).value_or(defaultHotkeyLabel)),
      showPanelIcon_(storedString(storage, panelIconKey) != QStringLiteral("false")) {}

QString SumSettings::defaultNumberStyle(const QLocale& locale) {
    return locale.decimalPoint() == QStringLiteral(",") ? QStringLiteral("vi") : QStringLiteral("en");
}

NumberStyle SumSettings::numberStyleFrom(const QString& value) {
    return value == QStringLiteral("vi") ? NumberStyle::vi : NumberStyle::en;
}

RateKind SumSettings::rateKindFrom(const QString& value) {
    if (value == QStringLiteral("buy")) return RateKind::buy;
    if (value == QStringLiteral("sell")) return RateKind::sell;
    return RateKind::transfer;
}

Appearance SumSettings::appearanceFrom(const QString& value) {
    if (value == QStringLiteral("light")) return Appearance::light;
    if (value == QStringLiteral("system")) return Appearance::system;
    return Appearance::dark;
}

void SumSettings::storeString(const char* key, const QString& value) { storage_.setValue(QLatin1String(key), value); }

void SumSettings::setNumberStyle(const QString& value) {
    if (value != numberStyle_) {
        numberStyle_ = value;
        emit numberStyleChanged();
    }
    storeString(numberStyleKey, value);
}

void SumSettings::setRateKind(const QString& value) {
    if (value != rateKind_) {
        rateKind_ = value;
        emit rateKindChanged();
    }
    storeString(rateKindKey, value);
}

void SumSettings::setShowPanelIcon(bool value) {
    if (value != showPanelIcon_) {
        showPanelIcon_ = value;
        emit panelIconChanged();
    }
    storeString(panelIconKey, value ? QStringLiteral("true") : QStringLiteral("false"));
}

void SumSettings::setAppearance(const QString& value) {
    if (value != appearance_) {
        appearance_ = value;
        emit appearanceChanged();
    }
    storeString(appearanceKey, value);
}

void SumSettings::setHotkeyCode(std::uint32_t value) {
    if (value == hotkeyCode_) return;
    hotkeyCode_ = value;
    emit hotkeyChanged();
}

void SumSettings::setHotkeyModifiers(std::uint32_t value) {
    if (value == hotkeyModifiers_) return;
    hotkeyModifiers_ = value;
    emit hotkeyChanged();
}

void SumSettings::setHotkeyLabel(const QString& value) {
    if (value == hotkeyLabel_) return;
    hotkeyLabel_ = value;
    emit hotkeyChanged();
}

void SumSettings::setLastError(const std::optional<QString>& value) {
    if (value == lastError_) return;
    lastError_ = value;
    emit lastErrorChanged();
}

void SumSettings::setRateStatus(const QString& value) {
    if (value == rateStatus_) return;
    rateStatus_ = value;
    emit rateStatusChanged();
}

void SumSettings::recordHotkey(const HotKeyPress& press) {
    const unsigned held =
        press.modifiers & (HotKeyPress::shift | HotKeyPress::control | HotKeyPress::option | HotKeyPress::command);
    if (held == 0 || press.keyCode == HotKeyPress::escapeKeyCode) return;

    const std::uint32_t previousCode = hotkeyCode_;
    const std::uint32_t previousModifiers = hotkeyModifiers_;
    const QString previousLabel = hotkeyLabel_;

    std::uint32_t mask = 0;
    if (held & HotKeyPress::command) mask |= commandMask;
    if (held & HotKeyPress::shift) mask |= shiftMask;
    if (held & HotKeyPress::option) mask |= optionMask;
    if (held & HotKeyPress::control) mask |= controlMask;

    const QString label = HotKeyCombination{press.keyCode, mask}.label(press.characters);

    setHotkeyCode(press.keyCode);
    setHotkeyModifiers(mask);
    setHotkeyLabel(label);

    hotkeyRefusal_.reset();
    registering_ = true;
    emit hotkeyRecorded();
    registering_ = false;
    if (hotkeyRefusal_) {
        const QString reason = *std::exchange(hotkeyRefusal_, std::nullopt);
        setHotkeyCode(previousCode);
        setHotkeyModifiers(previousModifiers);
        setHotkeyLabel(previousLabel);
        emit hotkeyRecorded();  // put the previous key back in force; a second refusal is not news
        setLastError(reason);
        return;
    }

    storage_.setValue(QLatin1String(hotkeyCodeKey), hotkeyCode_);
    storage_.setValue(QLatin1String(hotkeyModifiersKey), hotkeyModifiers_);
    storeString(hotkeyLabelKey, hotkeyLabel_);
    setLastError(std::nullopt);
}

void SumSettings::refuseHotkey(const QString& reason) {
    if (registering_ && !hotkeyRefusal_) hotkeyRefusal_ = reason;
}

void SumSettings::resetHotkey() {
    const unsigned controlAlt = HotKeyPress::control | HotKeyPress::option;
    recordHotkey(HotKeyPress{controlAlt, HotKeyPress::spaceKeyCode, QStringLiteral(" ")});
}

}  // namespace quibsum
