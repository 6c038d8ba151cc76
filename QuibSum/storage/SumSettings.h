#pragma once
// SumSettings: the user's choices (number style, default VND rate kind, appearance, hot key)
// kept in the settings database under their own keys, plus two status texts for the settings
// window. Listeners are told of every change through the signals (the application re-evaluates
// its sheets, re-applies the appearance and registers a recorded hot key through them; the
// settings window follows them). The three choices are stored verbatim and read through the typed mappings, so a
// value written by a newer version is kept rather than rewritten. Main thread only.

#include <QLocale>
#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

#include "QuibSum/storage/HotKeyCombination.h"
#include "QuibSum/storage/HotKeyPress.h"
#include "QuibSumCore/NumberStyle.h"
#include "QuibSumCore/Rate.h"

class QSettings;

namespace quibsum {

enum class Appearance { dark, light, system };

class SumSettings : public QObject {
    Q_OBJECT

public:
    // Carbon modifier masks, the stored form of the hot key's modifiers.
    static constexpr std::uint32_t commandMask = HotKeyCombination::commandMask;
    static constexpr std::uint32_t shiftMask = HotKeyCombination::shiftMask;
    static constexpr std::uint32_t optionMask = HotKeyCombination::optionMask;
    static constexpr std::uint32_t controlMask = HotKeyCombination::controlMask;

    // Ctrl+Alt+Space: Alt+Space alone opens the window menu on GNOME, KDE Plasma, Xfce,
    // Cinnamon and MATE, so it would be refused on almost every desktop. Only the default
    // changed; a combination the user stored is read back as it was.
    static constexpr std::uint32_t defaultHotkeyCode = HotKeyPress::spaceKeyCode;
    static constexpr std::uint32_t defaultHotkeyModifiers = controlMask | optionMask;
    static const QString defaultHotkeyLabel;

    // Reads every stored choice once. `locale` decides the default number style. The settings
    // database must outlive this object.
    explicit SumSettings(QSettings& storage, const QLocale& locale = QLocale::system(), QObject* parent = nullptr);

    const QString& numberStyle() const { return numberStyle_; }
    const QString& rateKind() const { return rateKind_; }
    const QString& appearance() const { return appearance_; }
    std::uint32_t hotkeyCode() const { return hotkeyCode_; }
    std::uint32_t hotkeyModifiers() const { return hotkeyModifiers_; }
    const QString& hotkeyLabel() const { return hotkeyLabel_; }
    const std::optional<QString>& lastError() const { return lastError_; }
    const QString& rateStatus() const { return rateStatus_; }
    // Whether the running application shows its icon in the desktop's panel (where the desktop
    // has a panel that shows such icons). On unless turned off.
    bool showPanelIcon() const { return showPanelIcon_; }

    // Store the value; signal when it changed.
    void setNumberStyle(const QString& value);
    void setRateKind(const QString& value);
    void setAppearance(const QString& value);
    void setShowPanelIcon(bool value);
    // Not stored: only recordHotkey persists the hot key.
    void setHotkeyCode(std::uint32_t value);
    void setHotkeyModifiers(std::uint32_t value);
    void setHotkeyLabel(const QString& value);
    void setLastError(const std::optional<QString>& value);
    void setRateStatus(const QString& value);

    // Takes a key press from the recorder. A press without Shift, Control, Option or Command,
    // or of Escape, is ignored. Otherwise the new key is shown and hotkeyRecorded is emitted
    // for it to be registered; if a listener calls refuseHotkey, the previous key is restored
    // and hotkeyRecorded emitted again for it, lastError says why, and nothing is stored.
    void recordHotkey(const HotKeyPress& press);
    // Records Ctrl+Alt+Space, the default.
    void resetHotkey();
    // Called by a listener of hotkeyRecorded that cannot register the key, with the reason the
    // user sees. Outside that signal it does nothing.
    void refuseHotkey(const QString& reason);

    NumberStyle engineNumberStyle() const { return numberStyleFrom(numberStyle_); }
    RateKind defaultVNDKind() const { return rateKindFrom(rateKind_); }
    Appearance windowAppearance() const { return appearanceFrom(appearance_); }

    static NumberStyle numberStyleFrom(const QString& value);
    static RateKind rateKindFrom(const QString& value);  // never mid
    static Appearance appearanceFrom(const QString& value);
    static QString defaultNumberStyle(const QLocale& locale);

signals:
    void numberStyleChanged();
    void rateKindChanged();
    void appearanceChanged();
    void panelIconChanged();
    void hotkeyChanged();  // the code, modifiers or label shown
    // A recorded key (or the previous one after a refusal) to put in force.
    void hotkeyRecorded();
    void lastErrorChanged();
    void rateStatusChanged();

private:
    void storeString(const char* key, const QString& value);

    QSettings& storage_;
    QString numberStyle_;
    QString rateKind_;
    QString appearance_;
    std::uint32_t hotkeyCode_;
    std::uint32_t hotkeyModifiers_;
    QString hotkeyLabel_;
    bool showPanelIcon_;
    std::optional<QString> lastError_;
    QString rateStatus_;
    bool registering_ = false;              // inside hotkeyRecorded for a newly recorded key
    std::optional<QString> hotkeyRefusal_;  // what refuseHotkey said meanwhile
};

}  // namespace quibsum
