// Writes the seeds of the AviReader target that the program's own AVI writer
// makes: a plain file with idx1, a file split into RIFFs with the extended
// index, and a YUY2 file. The ffmpeg tool's files come from write-avi-seeds.sh.
//   write_avi_seeds [folder]   (default: fuzz/seeds/AviReader of the source tree)
#include <cmath>
#include <cstring>
#include <string>

#include "core/TextConvert.h"
#include "media/audio/RawAudioBuffer.h"
#include "media/image/ImageBuffer.h"
#include "plugin/ExportSource.h"
#include "plugin/avi/AviFileSaveFile.h"

namespace {

class Source : public Plugin::ExportSource {
public:
    std::shared_ptr<Media::ImageBuffer> renderVideo(int32_t frame, int32_t format, bool) override {
        auto image = Media::ImageBuffer::make(format, 8, 6);
        for (uint32_t i = 0; i < image->usedSize(); ++i) image->data()[i] = static_cast<uint8_t>(frame * 9 + i);
        return image;
    }
    std::shared_ptr<Media::RawAudioBuffer> renderAudio(int32_t frame, int32_t) override {
        auto block = std::make_shared<Media::RawAudioBuffer>();
        const auto first = [](int64_t f) { return std::llround(8000.0 * f / 10); };
        block->formatTag = 1;
        block->bitsPerSample = 16;
        block->channels = 2;
        block->blockAlign = 4;
        block->sampleCount = static_cast<int32_t>(first(frame + 1) - first(frame));
        block->data.allocMemory(static_cast<uint32_t>(block->sampleCount * 4));
        for (uint32_t i = 0; i < block->data.size(); ++i) block->data.data()[i] = static_cast<uint8_t>(i * 7);
        return block;
    }
};

void write(const std::string& path, const wchar_t* video, uint64_t split) {
    Plugin::ExportScene scene;
    scene.width = 8;
    scene.height = 6;
    scene.rate = 10;
    scene.scale = 1;
    scene.audioRate = 8000;
    scene.lastFrame = 5;
    Source source;
    Plugin::AviFileSaveFile job(System::utf8ToWide(path), scene, &source, video, L"PCM16bit");
    job.splitSize = split;
    job.save();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : VELMO_AVI_SEED_FOLDER;
    write(folder + "/plain.avi", L"RGB24bit", Plugin::AviFileSaveFile::kSplitSize);
    write(folder + "/split.avi", L"RGB24bit", 4096);
    write(folder + "/yuy2.avi", L"YUY2", Plugin::AviFileSaveFile::kSplitSize);
    return 0;
}
