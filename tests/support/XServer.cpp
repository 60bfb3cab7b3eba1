#include "XServer.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> Owned<Reply> owned(Reply* reply) {
    return Owned<Reply>(reply, &std::free);
}

pid_t spawn(const QList<QByteArray>& arguments, const posix_spawn_file_actions_t* actions) {
    std::vector<char*> argv;
    for (const QByteArray& a : arguments)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], actions, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

void stop(pid_t& pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
}

} // namespace

XServer::~XServer() {
    if (m_connection) xcb_disconnect(m_connection);
    stop(m_manager);
    stop(m_server);
}

bool XServer::start(int width, int height) {
    // Xvfb picks a free display and writes its number into the pipe.
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    const QByteArray screen = QByteArray::number(width) + 'x' + QByteArray::number(height) + "x24";
    m_server = spawn({"Xvfb", "-displayfd", QByteArray::number(pipeFds[1]), "-screen", "0", screen,
                      "-nolisten", "tcp"},
                     &actions);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (m_server < 0) {
        std::fprintf(stderr, "Xvfb could not be started (is the package xvfb installed?)\n");
        ::close(pipeFds[0]);
        return false;
    }
    QByteArray number;
    char c;
    while (::read(pipeFds[0], &c, 1) == 1 && c != '\n')
        number.append(c);
    ::close(pipeFds[0]);
    if (number.isEmpty()) {
        std::fprintf(stderr, "Xvfb did not report its display\n");
        return false;
    }
    const QByteArray display = ':' + number;
    ::setenv("DISPLAY", display.constData(), 1);

    m_connection = xcb_connect(display.constData(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        std::fprintf(stderr, "no connection to %s\n", display.constData());
        return false;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;

    m_manager = spawn({"openbox", "--sm-disable"}, nullptr);
    if (m_manager < 0) {
        std::fprintf(stderr, "openbox could not be started (is the package openbox installed?)\n");
        return false;
    }
    // Managing: it has put its check window on the root.
    const QByteArray name = "_NET_SUPPORTING_WM_CHECK";
    const auto atom = owned(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, name.size(), name.constData()), nullptr));
    for (int tries = 0; tries < 100; ++tries) {
        const auto property = owned(xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, m_root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr));
        if (property && xcb_get_property_value_length(property.get()) > 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::fprintf(stderr, "openbox did not take over the display\n");
    return false;
}

xcb_window_t XServer::frameOf(xcb_window_t window) const {
    xcb_window_t current = window;
    for (;;) {
        const auto tree = owned(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, current), nullptr));
        if (!tree || tree->parent == m_root || tree->parent == XCB_NONE) return current;
        current = tree->parent;
    }
}

bool XServer::isViewable(xcb_window_t window) const {
    const auto attributes = owned(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

QRect XServer::geometry(xcb_window_t window) const {
    const auto size = owned(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
    const auto origin = owned(xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr));
    if (!size || !origin) return {};
    return QRect(origin->dst_x, origin->dst_y, size->width, size->height);
}

QList<xcb_window_t> XServer::stacking() const {
    const auto tree =
        owned(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
    QList<xcb_window_t> frames;
    if (!tree) return frames;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
        frames.append(children[i]);
    return frames;
}

xcb_window_t XServer::frameAt(QPoint at) const {
    xcb_window_t found = XCB_NONE;
    const QList<xcb_window_t> frames = stacking();
    for (xcb_window_t frame : frames)
        if (isViewable(frame) && geometry(frame).contains(at)) found = frame; // topmost wins
    return found;
}

bool XServer::click(QPoint at) {
    const QByteArray command = "xdotool mousemove --sync " + QByteArray::number(at.x()) + ' ' +
                               QByteArray::number(at.y()) + " click 1";
    return std::system(command.constData()) == 0;
}
