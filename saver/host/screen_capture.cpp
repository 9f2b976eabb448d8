#include "saver/host/screen_capture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <memory>

#include "saver/host/bmp_writer.h"

namespace velmora {
namespace {

struct ImageDeleter {
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using Image = std::unique_ptr<XImage, ImageDeleter>;

// What the drawable holds: its depth, and the visual its pixels follow.
struct DrawableFormat {
    int depth = 0;
    Visual* visual = nullptr;
};

std::optional<DrawableFormat> FormatOf(Display* display, Drawable drawable,
                                       const ScreenRect& area) {
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (XGetGeometry(display, drawable, &root, &x, &y, &width, &height, &border, &depth) == 0 ||
        area.left < 0 || area.top < 0 || area.right <= area.left || area.bottom <= area.top ||
        static_cast<unsigned>(area.right) > width || static_cast<unsigned>(area.bottom) > height) {
        return std::nullopt;
    }
    DrawableFormat format{static_cast<int>(depth), nullptr};
    // A window says its visual; a pixmap has none, so it follows a true-colour visual of its
    // depth on its screen (a daemon's screenshot pixmap is of the root's depth).
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, drawable, &attributes) != 0) {
        format.visual = attributes.visual;
    } else {
        XVisualInfo wanted{};
        wanted.depth = format.depth;
        wanted.c_class = TrueColor;
        wanted.screen = DefaultScreen(display);
        for (int screen = 0; screen < ScreenCount(display); ++screen) {
            if (RootWindow(display, screen) == root) {
                wanted.screen = screen;
            }
        }
        int count = 0;
        XVisualInfo* found = XGetVisualInfo(
            display, VisualDepthMask | VisualClassMask | VisualScreenMask, &wanted, &count);
        if (found != nullptr) {
            format.visual = count > 0 ? found[0].visual : nullptr;
            XFree(found);
        }
    }
    if (format.visual == nullptr ||
        (format.visual->c_class != TrueColor && format.visual->c_class != DirectColor)) {
        return std::nullopt;
    }
    return format;
}

// A shared-memory segment that the X server writes the image into; removed once both sides
// have let go, so that nothing is left behind even when the program dies.
class SharedImage {
  public:
    SharedImage(Display* display, const DrawableFormat& format, const ScreenRect& area)
        : display_(display) {
        image_.reset(XShmCreateImage(display, format.visual, static_cast<unsigned>(format.depth),
                                     ZPixmap, nullptr, &segment_,
                                     static_cast<unsigned>(area.right - area.left),
                                     static_cast<unsigned>(area.bottom - area.top)));
        if (!image_) {
            return;
        }
        segment_.shmid = shmget(IPC_PRIVATE,
                                static_cast<std::size_t>(image_->bytes_per_line) *
                                    static_cast<std::size_t>(image_->height),
                                IPC_CREAT | 0600);
        if (segment_.shmid < 0) {
            return;
        }
        void* memory = shmat(segment_.shmid, nullptr, 0);
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        if (memory == reinterpret_cast<void*>(-1)) {
            return;
        }
        segment_.shmaddr = image_->data = static_cast<char*>(memory);
        segment_.readOnly = False;
        attached_ = XShmAttach(display, &segment_) != 0;
    }
    SharedImage(const SharedImage&) = delete;
    SharedImage& operator=(const SharedImage&) = delete;
    ~SharedImage() {
        if (attached_) {
            XShmDetach(display_, &segment_);
            XSync(display_, False);
        }
        if (segment_.shmaddr != nullptr) {
            shmdt(segment_.shmaddr);
        }
        if (image_) {
            image_->data = nullptr;  // the segment's, not Xlib's to free
        }
    }

    // The area's pixels, read into the segment; null when the server did not fill it.
    XImage* Read(Drawable drawable, const ScreenRect& area) {
        if (!attached_ ||
            XShmGetImage(display_, drawable, image_.get(), area.left, area.top, AllPlanes) == 0) {
            return nullptr;
        }
        return image_.get();
    }

  private:
    Display* display_;
    XShmSegmentInfo segment_{};
    Image image_;
    bool attached_ = false;
};

std::optional<std::vector<std::uint8_t>> Encode(const XImage& image, const Visual& visual) {
    if (image.format != ZPixmap || image.bits_per_pixel % 8 != 0 || image.data == nullptr) {
        return std::nullopt;
    }
    const ScreenPixelLayout layout{image.bits_per_pixel / 8, image.byte_order == MSBFirst,
                                   static_cast<std::uint32_t>(visual.red_mask),
                                   static_cast<std::uint32_t>(visual.green_mask),
                                   static_cast<std::uint32_t>(visual.blue_mask)};
    const auto line = static_cast<std::size_t>(image.bytes_per_line);
    const std::span<const std::uint8_t> rows(reinterpret_cast<const std::uint8_t*>(image.data),
                                             line * static_cast<std::size_t>(image.height));
    return EncodeMirroredBmp(rows, line, image.width, image.height, layout);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> CaptureMirroredBmp(Display* display,
                                                            unsigned long drawable,
                                                            const ScreenRect& area) {
    const auto format = FormatOf(display, drawable, area);
    if (!format) {
        return std::nullopt;
    }
    // Shared memory spares the copy through the connection; only a local server offers it.
    if (XShmQueryExtension(display)) {
        SharedImage shared(display, *format, area);
        if (const XImage* image = shared.Read(drawable, area)) {
            return Encode(*image, *format->visual);
        }
    }
    const Image image(XGetImage(display, drawable, area.left, area.top,
                                static_cast<unsigned>(area.right - area.left),
                                static_cast<unsigned>(area.bottom - area.top), AllPlanes, ZPixmap));
    if (!image) {
        return std::nullopt;
    }
    return Encode(*image, *format->visual);
}

}  // namespace velmora
