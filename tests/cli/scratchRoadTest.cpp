// The command line's road with its intermediate pictures in memory: no intermediate file is
// written, and every result and message is the one the file road gives.
#include "core/operationFrame.h"
#include "core/runFolders.h"
#include "shell/commandTable.h"
#include "shell/pictureExport.h"
#include "shell/pictureImport.h"
#include "shell/shellSetup.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

struct RoadResult {
    std::vector<std::vector<std::uint8_t>> outputs;
    std::vector<std::string> messages;
    std::vector<std::string> folderFiles; // the private folder after the steps
};

// Opens `input`, runs the steps and saves every output, as the command line does.
RoadResult runRoad(bool inMemory, const fs::path& input, const std::vector<std::string>& steps,
                   const std::vector<fs::path>& outputs) {
    RecordingFrontend frontend;
    RoadResult result;
    {
        Session session(frontend);
        if (inMemory) session.scratch.switchOn();
        EXPECT_EQ(openPicture(session, input.string()).intermediateWritten, true);
        for (const std::string& name : steps)
            EXPECT_EQ(runCommandHandler(session, findCliStep(name)->handler), 0) << name;
        for (const fs::directory_entry& entry :
             fs::directory_iterator(session.intermediateDirectory))
            result.folderFiles.push_back(entry.path().filename().string());
        for (const fs::path& output : outputs) {
            session.saveAsPath = output.string();
            EXPECT_EQ(savePictureAsHandler(session), 0) << output;
        }
    }
    for (const fs::path& output : outputs)
        result.outputs.push_back(readFileBytes(output));
    result.messages = frontend.texts();
    return result;
}

TEST(ScratchRoad, StepsInMemoryWriteNoFileAndGiveTheFileRoadsBytes) {
    setUpShell();
    TempDir dir;
    const DibImage picture = makeTrueColorImage(37, 23, [](int x, int y) {
        return std::uint32_t(x * 7 + y * 1031 + (x * y) % 251 * 65536);
    });
    // Resolution fields the decoder does not carry: the open step rewrites the header.
    std::vector<std::uint8_t> file(picture.data.begin(), picture.data.end());
    writeLe32(file.data() + 38, 2835);
    writeLe32(file.data() + 42, 2835);
    writeFileBytes(dir / "in.bmp", file);
    // Quarter turns go through the picture library, the rest through the bitmap files; the
    // second and third outputs read the same picture again.
    const std::vector<std::string> steps{"invert", "rotate-right", "gray", "truecolor", "invert"};
    const RoadResult onDisk =
        runRoad(false, dir / "in.bmp", steps, {dir / "d1.bmp", dir / "d2.png", dir / "d3.bmp"});
    const RoadResult inMemory =
        runRoad(true, dir / "in.bmp", steps, {dir / "m1.bmp", dir / "m2.png", dir / "m3.bmp"});
    EXPECT_EQ(inMemory.folderFiles, std::vector<std::string>{kRunLockName});
    EXPECT_GT(onDisk.folderFiles.size(), steps.size());
    EXPECT_EQ(inMemory.outputs, onDisk.outputs);
    EXPECT_EQ(inMemory.messages, onDisk.messages);
    EXPECT_EQ(readImage(dir / "d1.bmp").data, readImage(dir / "d3.bmp").data);
}

} // namespace
} // namespace vellora::test
