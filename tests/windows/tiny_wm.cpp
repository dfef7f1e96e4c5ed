// The least window manager a test display needs for Wine: it maps what asks to be mapped,
// keeps WM_STATE as ICCCM says (Wine waits for it each time a top-level window hides), grants
// every configure request as asked, and gives the focus to the newest mapped window, handing
// it back to the one below when that one goes. No frames, so an X window stays where its
// client put it.
//   tiny_wm [ready file]   creates the file once it manages the screen
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace {

xcb_connection_t* c;
xcb_atom_t wm_state, wm_protocols, wm_take_focus;
std::vector<xcb_window_t> stack; // mapped windows, the newest last

xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

void set_state(xcb_window_t w, std::uint32_t state) {
    const std::uint32_t data[2] = {state, XCB_NONE};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, wm_state, wm_state, 32, 2, data);
}

bool takes_focus(xcb_window_t w) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, wm_protocols, XCB_ATOM_ATOM, 0, 32), nullptr);
    bool found = false;
    if (reply) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        const int n = xcb_get_property_value_length(reply) / 4;
        found = std::find(atoms, atoms + n, wm_take_focus) != atoms + n;
    }
    std::free(reply);
    return found;
}

void focus(xcb_window_t w) {
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(c, w, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, w, XCB_CURRENT_TIME);
    if (takes_focus(w)) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = w;
        event.type = wm_protocols;
        event.data.data32[0] = wm_take_focus;
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    }
}

void forget(xcb_window_t w) {
    const auto it = std::find(stack.begin(), stack.end(), w);
    if (it == stack.end())
        return;
    const bool was_top = it + 1 == stack.end();
    stack.erase(it);
    if (was_top && !stack.empty())
        focus(stack.back());
}

void configure(const xcb_configure_request_event_t* e) {
    // The value list holds the requested fields in the order of their mask bits.
    std::uint32_t values[7];
    int n = 0;
    const std::uint16_t mask = e->value_mask;
    if (mask & XCB_CONFIG_WINDOW_X)
        values[n++] = static_cast<std::uint32_t>(e->x);
    if (mask & XCB_CONFIG_WINDOW_Y)
        values[n++] = static_cast<std::uint32_t>(e->y);
    if (mask & XCB_CONFIG_WINDOW_WIDTH)
        values[n++] = e->width;
    if (mask & XCB_CONFIG_WINDOW_HEIGHT)
        values[n++] = e->height;
    if (mask & XCB_CONFIG_WINDOW_BORDER_WIDTH)
        values[n++] = e->border_width;
    if (mask & XCB_CONFIG_WINDOW_SIBLING)
        values[n++] = e->sibling;
    if (mask & XCB_CONFIG_WINDOW_STACK_MODE)
        values[n++] = e->stack_mode;
    xcb_configure_window(c, e->window, mask, values);
}

} // namespace

int main(int argc, char* argv[]) {
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "tiny_wm: cannot open the display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::uint32_t mask =
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask));
    if (error) {
        std::fprintf(stderr, "tiny_wm: another window manager runs on this display\n");
        std::free(error);
        return 1;
    }
    wm_state = atom("WM_STATE");
    wm_protocols = atom("WM_PROTOCOLS");
    wm_take_focus = atom("WM_TAKE_FOCUS");
    if (argc > 1) {
        if (FILE* ready = std::fopen(argv[1], "w"))
            std::fclose(ready);
    }

    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        switch (event->response_type & 0x7f) {
        case XCB_MAP_REQUEST: {
            const xcb_window_t w = reinterpret_cast<xcb_map_request_event_t*>(event)->window;
            xcb_map_window(c, w);
            set_state(w, 1); // NormalState
            stack.erase(std::remove(stack.begin(), stack.end(), w), stack.end());
            stack.push_back(w);
            focus(w);
            break;
        }
        case XCB_CONFIGURE_REQUEST:
            configure(reinterpret_cast<xcb_configure_request_event_t*>(event));
            break;
        case XCB_UNMAP_NOTIFY: {
            const xcb_window_t w = reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window;
            if (std::find(stack.begin(), stack.end(), w) != stack.end()) {
                set_state(w, 0); // WithdrawnState
                forget(w);
            }
            break;
        }
        case XCB_DESTROY_NOTIFY:
            forget(reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window);
            break;
        default:
            break;
        }
        std::free(event);
        xcb_flush(c);
    }
    return 0;
}
