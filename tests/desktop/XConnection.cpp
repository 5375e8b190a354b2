#include "tests/desktop/XConnection.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace velmora::testing {

namespace {

struct TFree {
    void operator()(void* APointer) const { std::free(APointer); }
};
template <typename T> using TReply = std::unique_ptr<T, TFree>;

xcb_screen_t* ScreenOf(xcb_connection_t* AConnection, int AIndex) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(AConnection));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it))
        if (i == AIndex)
            return it.data;
    return nullptr;
}

xcb_atom_t Atom(xcb_connection_t* AConnection, const char* AName) {
    TReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        AConnection,
        xcb_intern_atom(AConnection, 0, static_cast<uint16_t>(std::strlen(AName)), AName),
        nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The bit layout of a 24- or 32-bit ZPixmap on this server, as QImage names it.
std::optional<QImage::Format> PixmapFormat(xcb_connection_t* AConnection, uint8_t ADepth) {
    const xcb_setup_t* setup = xcb_get_setup(AConnection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return std::nullopt;
    xcb_format_iterator_t it = xcb_setup_pixmap_formats_iterator(setup);
    for (; it.rem > 0; xcb_format_next(&it))
        if (it.data->depth == ADepth && it.data->bits_per_pixel == 32 &&
            (ADepth == 24 || ADepth == 32))
            return QImage::Format_RGB32;
    return std::nullopt;
}

} // namespace

TXConnection::TXConnection(const QString& ADisplay) {
    const QByteArray name = ADisplay.toLocal8Bit();
    xcb_connection_t* connection = xcb_connect(name.constData(), &FScreen);
    FError = xcb_connection_has_error(connection);
    if (FError != 0) {
        xcb_disconnect(connection);
        return;
    }
    FConnection = connection;
}

TXConnection::~TXConnection() {
    if (FConnection != nullptr)
        xcb_disconnect(FConnection);
}

quint32 TXConnection::Root() const {
    const xcb_screen_t* screen = ScreenOf(FConnection, FScreen);
    return screen != nullptr ? screen->root : 0;
}

QSize TXConnection::ScreenSize() const {
    if (!IsOpen())
        return QSize();
    const xcb_screen_t* screen = ScreenOf(FConnection, FScreen);
    return screen != nullptr ? QSize(screen->width_in_pixels, screen->height_in_pixels) : QSize();
}

QImage TXConnection::GrabScreen() const {
    if (!IsOpen())
        return QImage();
    const xcb_screen_t* screen = ScreenOf(FConnection, FScreen);
    const std::optional<QImage::Format> format =
        screen != nullptr ? PixmapFormat(FConnection, screen->root_depth) : std::nullopt;
    if (!format)
        return QImage();
    const int width = screen->width_in_pixels;
    const int height = screen->height_in_pixels;
    QImage picture(width, height, *format);
    // In bands, so that no single reply passes the server's request size.
    const int band = std::max(1, (4 << 20) / (width * 4));
    for (int top = 0; top < height; top += band) {
        const int rows = std::min(band, height - top);
        TReply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
            FConnection,
            xcb_get_image(FConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0,
                          static_cast<int16_t>(top), static_cast<uint16_t>(width),
                          static_cast<uint16_t>(rows), ~0U),
            nullptr));
        if (!reply || xcb_get_image_data_length(reply.get()) < width * rows * 4)
            return QImage();
        const uint8_t* data = xcb_get_image_data(reply.get());
        for (int row = 0; row < rows; ++row)
            std::memcpy(picture.scanLine(top + row), data + static_cast<size_t>(row) * width * 4,
                        static_cast<size_t>(width) * 4);
    }
    // The unused top byte of a 24-bit pixel is not alpha.
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] |= 0xff000000U;
    }
    return picture;
}

void TXConnection::SetDesktopColour(QRgb AColour) const {
    if (!IsOpen())
        return;
    xcb_screen_t* screen = ScreenOf(FConnection, FScreen);
    if (screen == nullptr)
        return;
    // A compositing manager paints the desktop from the root pixmap it finds named in
    // _XROOTPMAP_ID (and grey without one), a bare server from the root's background: both
    // get the same colour. The pixmap must outlive this connection.
    const uint32_t pixel = AColour & 0x00ffffffU;
    const xcb_pixmap_t pixmap = xcb_generate_id(FConnection);
    xcb_create_pixmap(FConnection, screen->root_depth, pixmap, screen->root,
                      screen->width_in_pixels, screen->height_in_pixels);
    const xcb_gcontext_t gc = xcb_generate_id(FConnection);
    xcb_create_gc(FConnection, gc, pixmap, XCB_GC_FOREGROUND, &pixel);
    const xcb_rectangle_t all{0, 0, screen->width_in_pixels, screen->height_in_pixels};
    xcb_poly_fill_rectangle(FConnection, pixmap, gc, 1, &all);
    xcb_free_gc(FConnection, gc);
    xcb_change_window_attributes(FConnection, screen->root, XCB_CW_BACK_PIXMAP, &pixmap);
    for (const char* name : {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"})
        xcb_change_property(FConnection, XCB_PROP_MODE_REPLACE, screen->root,
                            Atom(FConnection, name), XCB_ATOM_PIXMAP, 32, 1, &pixmap);
    xcb_set_close_down_mode(FConnection, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    xcb_clear_area(FConnection, 0, screen->root, 0, 0, 0, 0);
    Sync();
}

void TXConnection::SetResources(const QByteArray& AResources) const {
    if (!IsOpen())
        return;
    xcb_change_property(FConnection, XCB_PROP_MODE_REPLACE, Root(), XCB_ATOM_RESOURCE_MANAGER,
                        XCB_ATOM_STRING, 8, static_cast<uint32_t>(AResources.size()),
                        AResources.constData());
    Sync();
}

// A round trip: everything asked before has been done once it returns.
void TXConnection::Sync() const {
    TReply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(FConnection, xcb_get_input_focus(FConnection), nullptr));
}

std::optional<QRect> TXConnection::WindowGeometry(quint32 AWindow) const {
    if (!IsOpen())
        return std::nullopt;
    TReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(FConnection, xcb_get_geometry(FConnection, AWindow), nullptr));
    if (!geometry)
        return std::nullopt;
    TReply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        FConnection, xcb_translate_coordinates(FConnection, AWindow, Root(), 0, 0), nullptr));
    if (!origin)
        return std::nullopt;
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

bool TXConnection::IsViewable(quint32 AWindow) const {
    if (!IsOpen())
        return false;
    TReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        FConnection, xcb_get_window_attributes(FConnection, AWindow), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

QPoint TXConnection::Pointer() const {
    if (!IsOpen())
        return QPoint();
    TReply<xcb_query_pointer_reply_t> reply(
        xcb_query_pointer_reply(FConnection, xcb_query_pointer(FConnection, Root()), nullptr));
    return reply ? QPoint(reply->root_x, reply->root_y) : QPoint();
}

void TXConnection::TakeFocus() const {
    if (!IsOpen())
        return;
    if (FFocusSink == 0) {
        xcb_screen_t* screen = ScreenOf(FConnection, FScreen);
        if (screen == nullptr)
            return;
        FFocusSink = xcb_generate_id(FConnection);
        // Input only: it takes the focus and shows nothing.
        const uint32_t values[] = {1};
        xcb_create_window(FConnection, 0, FFocusSink, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(FConnection, FFocusSink);
        Sync();
    }
    xcb_set_input_focus(FConnection, XCB_INPUT_FOCUS_POINTER_ROOT, FFocusSink, XCB_CURRENT_TIME);
    Sync();
}

bool TXConnection::SelectionOwned(const char* AName) const {
    if (!IsOpen())
        return false;
    TReply<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
        FConnection, xcb_get_selection_owner(FConnection, Atom(FConnection, AName)), nullptr));
    return reply && reply->owner != XCB_NONE;
}

QByteArray TXConnection::RootProperty(const char* AName) const {
    if (!IsOpen())
        return QByteArray();
    TReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(FConnection,
                               xcb_get_property(FConnection, 0, Root(), Atom(FConnection, AName),
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16),
                               nullptr));
    if (!reply || reply->format != 8)
        return QByteArray();
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

} // namespace velmora::testing
