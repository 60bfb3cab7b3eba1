#pragma once

// A private X server (Xvfb) with the openbox window manager, for the tests about what a window
// manager does: title bars, placement and stacking. Started before the application exists,
// so that Qt connects to it; what the tests check they read from the X server itself.

#include <QByteArray>
#include <QList>
#include <QRect>

#include <sys/types.h>
#include <xcb/xcb.h>

class XServer {
public:
    XServer() = default;
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    ~XServer();

    // Starts Xvfb on a free display with one `width` x `height` screen and openbox on it, and
    // sets DISPLAY. False, with the reason on stderr, when either does not come up.
    bool start(int width, int height);

    xcb_connection_t* connection() const { return m_connection; }
    xcb_window_t root() const { return m_root; }

    // The window manager's frame around the client window `window` (the window itself while
    // it has none), and whether it is mapped and viewable.
    xcb_window_t frameOf(xcb_window_t window) const;
    bool isViewable(xcb_window_t window) const;
    // A window's rectangle in root coordinates.
    QRect geometry(xcb_window_t window) const;
    // The top-level frames from the bottom of the stack to its top.
    QList<xcb_window_t> stacking() const;
    // The top-level frame under the root position `at`.
    xcb_window_t frameAt(QPoint at) const;
    // A real click of the left button at `at`, through the XTEST extension (xdotool).
    static bool click(QPoint at);

private:
    pid_t m_server = -1;
    pid_t m_manager = -1;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
};
