#include "saver/host/mci/cdio_drive.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <utility>

#include "saver/host/mci/mci_errors.h"

namespace velmora {
namespace {

// libcdio writes its complaints to the standard error; a failure reaches the caller as an MCI
// error code instead.
void IgnoreLog(cdio_log_level_t, const char*) {}

struct CdioDeleter {
    void operator()(CdIo_t* cdio) const noexcept { cdio_destroy(cdio); }
};
using CdioHandle = std::unique_ptr<CdIo_t, CdioDeleter>;

// The table of contents, when it is one that can be played from: at least one track, starts
// rising, the lead-out after the last start.
std::optional<CdToc> ReadToc(CdIo_t* cdio) {
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 ||
        first + count - 1 > CDIO_CD_MAX_TRACKS) {
        return std::nullopt;
    }
    CdToc toc;
    std::int32_t previous = -1;
    for (int number = first; number < first + count; ++number) {
        const auto track = static_cast<track_t>(number);
        const lsn_t start = cdio_get_track_lsn(cdio, track);
        if (start == CDIO_INVALID_LSN || start <= previous) {
            return std::nullopt;
        }
        toc.tracks.push_back(
            {number, start, cdio_get_track_format(cdio, track) == TRACK_FORMAT_AUDIO});
        previous = start;
    }
    toc.leadout = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (toc.leadout == CDIO_INVALID_LSN || toc.leadout <= previous) {
        return std::nullopt;
    }
    return toc;
}

// Which file a path names now; nothing when it names none.
std::optional<std::pair<dev_t, ino_t>> FileIdentity(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return std::pair{info.st_dev, info.st_ino};
}

class CdioDrive final : public CdDrive {
  public:
    CdioDrive(CdioHandle cdio, std::string path, bool image)
        : cdio_(std::move(cdio)),
          toc_(ReadToc(cdio_.get())),
          path_(std::move(path)),
          image_(image ? FileIdentity(path_) : std::nullopt) {
        if (!image_) {
            // The drive keeps a changed flag from before this open; clear it, so that only a
            // change from now on counts.
            cdio_get_media_changed(cdio_.get());
        }
    }

    const std::optional<CdToc>& Toc() const override { return toc_; }

    bool ReadAudio(std::int32_t first, std::span<std::uint8_t> bytes) override {
        const auto count = static_cast<std::uint32_t>(bytes.size() / kCdBytesPerSector);
        return cdio_read_audio_sectors(cdio_.get(), bytes.data(), first, count) ==
               DRIVER_OP_SUCCESS;
    }

    // An image holds its files open and reads on after they are deleted: it is gone when its
    // path no longer names the file that was opened. A drive says so itself, or no longer
    // reads the table of contents the disc had.
    bool DiscChanged() override {
        if (!toc_) {
            return false;
        }
        if (image_) {
            return FileIdentity(path_) != image_;
        }
        return cdio_get_media_changed(cdio_.get()) == 1 ||
               cdio_get_disc_last_lsn(cdio_.get()) != toc_->leadout;
    }

  private:
    CdioHandle cdio_;
    std::optional<CdToc> toc_;
    std::string path_;
    std::optional<std::pair<dev_t, ino_t>> image_;  // an image file, as it was opened
};

// The drive or image to open: the source given, else the one the environment names, else the
// default drive; empty when there is none.
std::string ChooseSource(const std::string& source) {
    if (!source.empty()) {
        return source;
    }
    if (const char* named = std::getenv(kCdSourceVariable); named != nullptr && *named != '\0') {
        return named;
    }
    char* drive = cdio_get_default_device(nullptr);
    if (drive == nullptr) {
        return {};
    }
    std::string path(drive);
    cdio_free(drive);
    return path;
}

}  // namespace

CdDriveOpening OpenCdioDrive(const std::string& source) {
    static std::once_flag quiet;
    std::call_once(quiet, [] { cdio_log_set_handler(IgnoreLog); });

    const std::string path = ChooseSource(source);
    if (path.empty()) {
        return {mci_error::kDeviceNotInstalled, nullptr};
    }
    std::error_code error;
    const auto type = std::filesystem::status(path, error).type();
    if (type == std::filesystem::file_type::not_found) {
        return {mci_error::kFileNotFound, nullptr};
    }
    // Anything else, a pipe above all, would hold the caller up or read as nothing.
    if (type != std::filesystem::file_type::regular && type != std::filesystem::file_type::block &&
        type != std::filesystem::file_type::character) {
        return {mci_error::kInvalidFile, nullptr};
    }
    CdioHandle cdio(cdio_open(path.c_str(), DRIVER_UNKNOWN));
    if (!cdio) {
        return {mci_error::kInvalidFile, nullptr};
    }
    return {0, std::make_unique<CdioDrive>(std::move(cdio), path,
                                           type == std::filesystem::file_type::regular)};
}

}  // namespace velmora
