// Another X client holding a key grab: grabs Ctrl+Alt+Space on the root window, prints
// "grabbed" and keeps the grab until its standard input closes. Exits 1 when the grab fails.

#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdio>
#include <cstdlib>

int main() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "grab holder: no X display\n");
        return 1;
    }
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
    xcb_keycode_t* keycodes = xcb_key_symbols_get_keycode(symbols, 0x20 /* space */);
    if (!keycodes || *keycodes == XCB_NO_SYMBOL) {
        std::fprintf(stderr, "grab holder: no space key\n");
        return 1;
    }
    xcb_generic_error_t* error =
        xcb_request_check(c, xcb_grab_key_checked(c, 0, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1, keycodes[0],
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    if (error) {
        std::fprintf(stderr, "grab holder: grab refused (X error %d)\n", error->error_code);
        return 1;
    }
    std::printf("grabbed\n");
    std::fflush(stdout);
    char buffer[64];
    while (read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
    std::free(keycodes);
    xcb_key_symbols_free(symbols);
    xcb_disconnect(c);
    return 0;
}
