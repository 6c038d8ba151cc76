#include "QuibSum/shell/hotkey/x11/X11HotKey.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "QuibSum/storage/HotKeyCombination.h"

namespace quibsum {

namespace {

constexpr std::uint32_t numLockKeysym = 0xff7f;
// The modifiers a press must match; Lock, Num Lock and the rest may be in any state.
constexpr std::uint16_t relevantModifiers =
    HotKeyCombination::xShift | HotKeyCombination::xControl | HotKeyCombination::xMod1 | HotKeyCombination::xMod4;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

struct KeySymbols {
    explicit KeySymbols(xcb_connection_t* c) : symbols(xcb_key_symbols_alloc(c)) {}
    ~KeySymbols() { xcb_key_symbols_free(symbols); }
    KeySymbols(const KeySymbols&) = delete;
    KeySymbols& operator=(const KeySymbols&) = delete;

    std::vector<xcb_keycode_t> keycodes(std::uint32_t keysym) const {
        std::vector<xcb_keycode_t> result;
        XcbReply<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols, keysym));
        for (const xcb_keycode_t* k = codes.get(); k && *k != XCB_NO_SYMBOL; ++k) result.push_back(*k);
        return result;
    }

    xcb_key_symbols_t* symbols;
};

// The modifier bit Num Lock is mapped to on this keyboard (Mod2 almost everywhere).
std::uint16_t numLockMask(xcb_connection_t* c, const KeySymbols& symbols) {
    const std::vector<xcb_keycode_t> numLock = symbols.keycodes(numLockKeysym);
    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    if (!mapping || numLock.empty()) return 0;
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i)
            if (std::find(numLock.begin(), numLock.end(), keycodes[modifier * perModifier + i]) != numLock.end())
                return static_cast<std::uint16_t>(1u << modifier);
    return 0;
}

}  // namespace

X11HotKey::X11HotKey() {
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        connection_ = x11->connection();
    if (!connection_) return;
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_)); it.rem; xcb_screen_next(&it))
        roots_.push_back(it.data->root);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKey::~X11HotKey() {
    // Qt closes its connection when the application object goes away.
    if (!QCoreApplication::instance()) return;
    unregister();
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

void X11HotKey::registerCombination(std::uint32_t code, std::uint32_t modifiers) {
    unregister();
    const HotKeyCombination combination{code, modifiers};
    const std::optional<std::uint32_t> keysym = combination.keysym();
    if (!keysym) throw HotKeyError::noSuchKey(code, modifiers);
    if (!connection_ || xcb_connection_has_error(connection_)) throw HotKeyError::unavailable(code, modifiers);

    const KeySymbols symbols(connection_);
    const std::vector<xcb_keycode_t> keycodes = symbols.keycodes(*keysym);
    if (keycodes.empty()) throw HotKeyError::noSuchKey(code, modifiers);
    const std::uint16_t numLock = numLockMask(connection_, symbols);
    const std::uint16_t wanted = combination.xModifiers();

    std::vector<std::uint16_t> variants{0, HotKeyCombination::xLock};
    if (numLock != 0)
        variants.insert(variants.end(), {numLock, static_cast<std::uint16_t>(numLock | XCB_MOD_MASK_LOCK)});

    // Send every grab first and check them after, so a refusal costs one round trip.
    std::vector<Grab> sent;
    std::vector<xcb_void_cookie_t> cookies;
    for (std::uint32_t root : roots_)
        for (xcb_keycode_t keycode : keycodes)
            for (std::uint16_t variant : variants) {
                const auto mods = static_cast<std::uint16_t>(wanted | variant);
                cookies.push_back(xcb_grab_key_checked(connection_, 0, root, mods, keycode, XCB_GRAB_MODE_ASYNC,
                                                       XCB_GRAB_MODE_ASYNC));
                sent.push_back(Grab{root, keycode, mods});
            }
    bool taken = false;
    int otherError = 0;
    for (xcb_void_cookie_t cookie : cookies) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(connection_, cookie));
        if (!error) continue;
        if (error->error_code == XCB_ACCESS)
            taken = true;
        else
            otherError = error->error_code;
    }
    grabs_ = std::move(sent);
    if (taken || otherError != 0) {
        // Ungrabbing what another client holds is a no-op, so release the whole set.
        unregister();
        if (taken) throw HotKeyError::taken(code, modifiers);
        throw HotKeyError(QStringLiteral("%1 could not be made a global hot key (X error %2).")
                              .arg(HotKeyError::describe(code, modifiers))
                              .arg(otherError));
    }
    code_ = code;
    storedModifiers_ = modifiers;
    modifiers_ = wanted;
}

void X11HotKey::unregister() {
    held_ = false;
    releasedAt_.reset();
    if (grabs_.empty()) return;
    if (connection_ && !xcb_connection_has_error(connection_)) {
        for (const Grab& g : grabs_) xcb_ungrab_key(connection_, g.keycode, g.root, g.modifiers);
        xcb_flush(connection_);
    }
    grabs_.clear();
}

bool X11HotKey::isOurs(std::uint32_t window, std::uint8_t keycode) const {
    return std::any_of(grabs_.begin(), grabs_.end(),
                       [&](const Grab& g) { return g.root == window && g.keycode == keycode; });
}

bool X11HotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (grabs_.empty() || eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7f) {
        case XCB_KEY_PRESS: {
            auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
            if (!isOurs(press->event, press->detail) || (press->state & relevantModifiers) != modifiers_) return false;
            // A held key repeats as a release and a press with the same time stamp (or, with
            // detectable auto-repeat, as presses alone): neither is a new press.
            const bool repeat = held_ || (releasedAt_ && *releasedAt_ == press->time);
            held_ = true;
            if (!repeat) reportPress();
            return true;
        }
        case XCB_KEY_RELEASE: {
            auto* release = reinterpret_cast<xcb_key_release_event_t*>(event);
            if (!isOurs(release->event, release->detail)) return false;
            held_ = false;
            releasedAt_ = release->time;
            return true;
        }
        case XCB_MAPPING_NOTIFY: {
            // A new keyboard layout may put the key on another keycode: grab it again there.
            auto* mapping = reinterpret_cast<xcb_mapping_notify_event_t*>(event);
            if (mapping->request == XCB_MAPPING_KEYBOARD || mapping->request == XCB_MAPPING_MODIFIER) {
                try {
                    registerCombination(code_, storedModifiers_);
                } catch (const HotKeyError& error) {
                    emit failed(error);
                }
            }
            return false;  // Qt needs it too
        }
        default:
            return false;
    }
}

}  // namespace quibsum
