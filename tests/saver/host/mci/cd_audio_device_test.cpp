#include "saver/host/mci/cd_audio_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>

#include "saver/bgm/velmora_bgm.h"
#include "saver/host/mci/mci_errors.h"
#include "saver/host/mci/mci_layer.h"
#include "tests/support/child_process.h"

namespace velmora {
namespace {

using std::chrono_literals::operator""s;

// A disc in memory whose every sample holds its sector number plus one, so what is heard tells
// which sector it came from. Sectors listed as unreadable fail to read.
class MemoryDrive final : public CdDrive {
  public:
    explicit MemoryDrive(std::optional<CdToc> toc, std::set<std::int32_t> unreadable = {})
        : toc_(std::move(toc)), unreadable_(std::move(unreadable)) {}

    const std::optional<CdToc>& Toc() const override { return toc_; }

    bool ReadAudio(std::int32_t first, std::span<std::uint8_t> bytes) override {
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            const auto sector = static_cast<std::int32_t>(first + i / kCdBytesPerSector);
            if (unreadable_.contains(sector)) {
                return false;
            }
            bytes[i] = static_cast<std::uint8_t>(sector + 1);
            bytes[i + 1] = 0;
        }
        return true;
    }

    bool DiscChanged() override { return false; }

  private:
    std::optional<CdToc> toc_;
    std::set<std::int32_t> unreadable_;
};

// A drive whose reads hang until the test lets them go (or, should closing wait for them after
// all, until a bound that fails the test rather than hanging it). It says when it is freed.
class StuckDrive final : public CdDrive {
  public:
    struct Gate {
        std::mutex mutex;
        std::condition_variable changed;
        bool reading = false;
        bool released = false;
        bool read_returned = false;
        bool freed = false;
    };

    explicit StuckDrive(std::shared_ptr<Gate> gate) : gate_(std::move(gate)) {}
    ~StuckDrive() override {
        std::lock_guard lock(gate_->mutex);
        gate_->freed = true;
        gate_->changed.notify_all();
    }

    const std::optional<CdToc>& Toc() const override { return toc_; }

    bool ReadAudio(std::int32_t, std::span<std::uint8_t>) override {
        std::unique_lock lock(gate_->mutex);
        gate_->reading = true;
        gate_->changed.notify_all();
        gate_->changed.wait_for(lock, 30s, [this] { return gate_->released; });
        gate_->read_returned = true;
        return false;
    }

    bool DiscChanged() override { return false; }

  private:
    std::shared_ptr<Gate> gate_;
    std::optional<CdToc> toc_ = CdToc{{{1, 0, true}}, 100};
};

// An output that mixes only when the test asks it to.
class ManualOutput final : public PcmOutput {
  public:
    bool Start() override { return true; }
    void Attach(PcmSource& source) override { source_ = &source; }
    void Detach(PcmSource& source) override {
        if (source_ == &source) {
            source_ = nullptr;
        }
    }

    // Mixes one sector's worth of samples once the stream has it: its first sample (the sector
    // number plus one, 0 for silence), or nothing when no sector came.
    std::optional<int> HearSector(CdAudioDevice& device) {
        std::vector<std::int16_t> samples(kCdSamplesPerSector);
        const std::string before = Position(device);
        test::WaitUntil(
            [&] {
                std::fill(samples.begin(), samples.end(), std::int16_t{0});
                source_->MixInto(samples);
                return Position(device) != before;
            },
            10s);
        if (Position(device) == before) {
            return std::nullopt;
        }
        return samples.front();
    }

    PcmSource* source_ = nullptr;

  private:
    static std::string Position(CdAudioDevice& device) {
        return device.Status({MciStatusItem::kPosition, std::nullopt}).reply;
    }
};

// Three audio tracks of three sectors each.
CdToc ThreeTracks() {
    return CdToc{{{1, 0, true}, {2, 3, true}, {3, 6, true}}, 9};
}

std::string Ask(MciDevice& device, MciStatusItem item, std::optional<std::int32_t> track = {}) {
    const MciResult result = device.Status({item, track});
    EXPECT_EQ(result.code, 0);
    return result.reply;
}

TEST(CdAudioDeviceTest, WithoutADiscTheDeviceIsNotReady) {
    ManualOutput output;
    CdAudioDevice device(std::make_unique<MemoryDrive>(std::nullopt), output);
    EXPECT_EQ(Ask(device, MciStatusItem::kMode), "not ready");
    EXPECT_EQ(Ask(device, MciStatusItem::kMediaPresent), "false");
    EXPECT_EQ(Ask(device, MciStatusItem::kReady), "false");
    EXPECT_EQ(device.Status({MciStatusItem::kCurrentTrack, {}}).code, mci_error::kDeviceNotReady);
    EXPECT_EQ(device.Status({MciStatusItem::kNumberOfTracks, {}}).code, mci_error::kDeviceNotReady);
    EXPECT_EQ(device.Play(std::nullopt, std::nullopt), mci_error::kDeviceNotReady);
    EXPECT_EQ(device.Pause(), mci_error::kDeviceNotReady);
    EXPECT_EQ(device.Stop(), 0);
}

TEST(CdAudioDeviceTest, WithoutADiscTheMusicModuleEndsItsWatchAtTheFirstPoll) {
    ManualOutput output;
    MciDeviceMakers makers;
    makers.cd_audio = [&output](const std::string&) {
        return MciOpening{0, std::make_unique<CdAudioDevice>(
                                 std::make_unique<MemoryDrive>(std::nullopt), output)};
    };
    MciLayer layer(std::move(makers));
    std::int32_t LastResult = 0;
    class NoPlayer final : public SoundPlayer {
        std::uint32_t DeviceCount() override { return 0; }
        bool Play(const std::string&, std::uint32_t) override { return false; }
        bool Stop() override { return false; }
    } player;
    Velmora_BGM bgm(layer, player, LastResult);
    bgm.BGM_CDOpen();
    EXPECT_EQ(LastResult, 0);
    bgm.BGM_CDWatch(0);
    EXPECT_FALSE(bgm.BGM_CDActive());
    EXPECT_EQ(LastResult, mci_error::kDeviceNotReady);
}

TEST(CdAudioDeviceTest, SectorsAreHeardInOrderFromTheTrackAskedToTheEnd) {
    ManualOutput output;
    CdAudioDevice device(std::make_unique<MemoryDrive>(ThreeTracks()), output);
    ASSERT_EQ(device.SetTimeFormat(MciTimeFormat::kTmsf), 0);
    ASSERT_EQ(device.Play("2", std::nullopt), 0);
    EXPECT_EQ(Ask(device, MciStatusItem::kMode), "playing");
    EXPECT_EQ(Ask(device, MciStatusItem::kCurrentTrack), "2");
    std::vector<std::optional<int>> heard;
    for (int i = 0; i < 6; ++i) {
        heard.push_back(output.HearSector(device));
    }
    EXPECT_EQ(heard, (std::vector<std::optional<int>>{4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Ask(device, MciStatusItem::kMode), "stopped");
    EXPECT_EQ(Ask(device, MciStatusItem::kPosition), "03:00:00:03");
    EXPECT_EQ(Ask(device, MciStatusItem::kCurrentTrack), "3");

    // Played to its end, the disc starts again from its first track.
    ASSERT_EQ(device.Play(std::nullopt, std::nullopt), 0);
    EXPECT_EQ(output.HearSector(device), 1);
    EXPECT_EQ(Ask(device, MciStatusItem::kCurrentTrack), "1");
}

TEST(CdAudioDeviceTest, StopKeepsThePositionThatPlayGoesOnFrom) {
    ManualOutput output;
    CdAudioDevice device(std::make_unique<MemoryDrive>(ThreeTracks()), output);
    ASSERT_EQ(device.Play("00:02:01", "00:02:05"), 0);
    EXPECT_EQ(output.HearSector(device), 2);
    ASSERT_EQ(device.Stop(), 0);
    EXPECT_EQ(Ask(device, MciStatusItem::kMode), "stopped");
    EXPECT_EQ(Ask(device, MciStatusItem::kPosition), "00:02:02");
    ASSERT_EQ(device.Play(std::nullopt, std::nullopt), 0);
    EXPECT_EQ(output.HearSector(device), 3);
}

TEST(CdAudioDeviceTest, UnreadableSectorsPlayAsSilenceInTheirTime) {
    ManualOutput output;
    CdAudioDevice device(std::make_unique<MemoryDrive>(ThreeTracks(), std::set<std::int32_t>{1}),
                         output);
    ASSERT_EQ(device.Play(std::nullopt, std::nullopt), 0);
    // The bad sector spoils the whole read it falls in, here the whole short disc.
    for (int sector = 0; sector < 9; ++sector) {
        EXPECT_EQ(output.HearSector(device), 0) << sector;
    }
    EXPECT_EQ(Ask(device, MciStatusItem::kMode), "stopped");
}

TEST(CdAudioDeviceTest, ClosingLeavesAStuckReadBehindAndItsThreadFreesTheDriveLater) {
    const auto gate = std::make_shared<StuckDrive::Gate>();
    ManualOutput output;
    auto device = std::make_unique<CdAudioDevice>(std::make_unique<StuckDrive>(gate), output);
    ASSERT_EQ(device->Play(std::nullopt, std::nullopt), 0);
    std::unique_lock lock(gate->mutex);
    ASSERT_TRUE(gate->changed.wait_for(lock, 10s, [&] { return gate->reading; }));
    lock.unlock();

    device.reset();
    lock.lock();
    EXPECT_FALSE(gate->read_returned) << "closing waited for the read";
    EXPECT_FALSE(gate->freed);
    gate->released = true;
    gate->changed.notify_all();
    EXPECT_TRUE(gate->changed.wait_for(lock, 10s, [&] { return gate->freed; }));
}

}  // namespace
}  // namespace velmora
