#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "images_support.h"
#include "model/device_state.h"
#include "model/preset_file.h"
#include "model/propagation.h"
#include "res/resource.h"
#include "tests/support/scratch_dir.h"

namespace {

std::vector<uint8_t> Utf16(const std::string& text)
{
    std::vector<uint8_t> out;
    for (char ch : text) {
        out.push_back(static_cast<uint8_t>(ch));
        out.push_back(0);
    }
    return out;
}

// Lines joined with the separator, then the zero unit.
std::vector<uint8_t> Encode(const std::vector<std::string>& lines, const std::string& eol = "\r\n")
{
    std::string text;
    for (const auto& l : lines) text += l + eol;
    std::vector<uint8_t> out = Utf16(text);
    out.push_back(0);
    out.push_back(0);
    return out;
}

// The writer's text split at CR LF; the zero unit must end it.
std::vector<std::string> Lines(const std::vector<uint8_t>& file)
{
    std::string text;
    for (size_t i = 0; i + 1 < file.size(); i += 2) {
        EXPECT_EQ(file[i + 1], 0) << "unit " << i / 2 << " is not ASCII";
        text += static_cast<char>(file[i]);
    }
    EXPECT_EQ(text.back(), '\0');
    text.pop_back();
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    EXPECT_EQ(start, text.size()) << "text after the last line";
    return lines;
}

class PresetTest : public ImagesTest {
protected:
    std::vector<uint8_t> Save() { return SavePresetFile(iv); }

    PresetLoadResult Load(const std::vector<uint8_t>& bytes)
    {
        iv.calls = 0;
        return LoadPresetFile(bytes, iv);
    }
};

}  // namespace

TEST_F(PresetTest, WriterLinesAndEncoding)
{
    const struct {
        int gain;
        bool inverted;
    } words[] = {{0, true}, {128, false}, {600, false}, {600, true}};
    for (int c = 0; c < 4; ++c) {
        g_channelGain[c] = words[c].gain;
        if (words[c].inverted) g_phaseMask |= 1 << c;
    }
    g_channelGain[6] = 600;
    g_phaseMask |= 1 << 6;
    g_eqQ[0][1] = g_qStepTable[19];
    g_eqQ[11][30] = 10.0;

    const std::vector<uint8_t> file = Save();
    ASSERT_GE(file.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 6), Utf16("19\r"));
    EXPECT_EQ(std::vector<uint8_t>(file.end() - 6, file.end()), (std::vector<uint8_t>{'\r', 0, '\n', 0, 0, 0}));

    const std::vector<std::string> lines = Lines(file);
    ASSERT_EQ(lines.size(), 1457u);
    // clang-format off
    const struct { int line; const char* text; } golden[] = {
        {0, "19"}, {1, "0"}, {7, "128"}, {8, "256"}, {9, "1112"}, {10, "1240"}, {609, "1240"}, {13, "0"},
        {14, "20"}, {44, "20000"}, {45, "150"}, {76, "4.320000"}, {77, "0.290000"}, {1348, "10.000000"},
        {107, "0"}, {108, "20"}, {109, "8"}, {111, "20000"}, {810, "1345"}, {822, "0"}, {1456, "0"},
    };
    // clang-format on
    for (auto g : golden) EXPECT_EQ(lines[g.line], g.text) << "line " << g.line;
}

TEST_F(PresetTest, WriterTailOfDistinctiveModel)
{
    FillDistinctiveModel(iv);
    const std::vector<std::string> lines = Lines(Save());
    ASSERT_EQ(lines.size(), 1457u);
    // clang-format off
    const struct { int line; const char* text; } golden[] = {
        {1, "599"}, {608, "377"}, {1254, "192"}, {7, "1240"}, {13, "17"}, {822, "173"},
        {823, "0"}, {950, "19"},   // CH8 column 15: (7 * 18 + 15) % 61
        {1419, "0"}, {1430, "3751"}, {1431, "2652"}, {1432, "45"}, {1433, "16"}, {1434, "17"}, {1456, "32"},
    };
    // clang-format on
    for (auto g : golden) EXPECT_EQ(lines[g.line], g.text) << "line " << g.line;
}

TEST_F(PresetTest, RoundTripIsIdentity)
{
    for (bool distinctive : {false, true}) {
        SCOPED_TRACE(distinctive);
        if (distinctive) FillDistinctiveModel(iv);
        const ModelSnapshot before(iv);
        const std::vector<uint8_t> file = Save();
        ScrambleCarriedFields(iv, true);
        const PresetLoadResult r = Load(file);
        EXPECT_TRUE(r.applied);
        EXPECT_EQ(r.messageId, 0);
        EXPECT_FALSE(r.newFeaturesCleared);
        EXPECT_EQ(ModelSnapshot(iv).DiffersFrom(before), "");
        EXPECT_EQ(Save(), file);
        EXPECT_EQ(iv.eqRefreshes, distinctive ? 2 : 1);
        EXPECT_EQ(iv.buttonRepaints, distinctive ? 6 : 3);
    }
    EXPECT_EQ(iv.phaseCaption[0], IDS_PHASE_180);
    EXPECT_EQ(iv.muteButton[0].text, kMutedCaption);
    EXPECT_EQ(iv.muteButton[1].text, kUnmutedCaption);
    EXPECT_EQ(iv.gainField[11].text, L"-59.8dB");
    EXPECT_EQ(iv.masterField.text, L"-17dB");
}

TEST_F(PresetTest, OlderFirmwareDropsLinksCurvesAndBridges)
{
    FillDistinctiveModel(iv);
    const std::vector<uint8_t> file = Save();
    for (int date : {0, FW_DATE_NEW_FEATURES - 1}) {
        FillDistinctiveModel(iv);
        g_firmwareDate = date;
        const PresetLoadResult r = Load(file);
        EXPECT_TRUE(r.applied);
        EXPECT_TRUE(r.newFeaturesCleared);
        EXPECT_EQ(r.messageId, 0);
        for (int c = 0; c < kChannels; ++c) EXPECT_EQ(g_linkGroup[c], 0);
        EXPECT_EQ(iv.visibleMask, 0);
        EXPECT_EQ(g_btlPair12 | g_btlPair56 | g_btlPair78 | g_btlPair1112, 0);
        EXPECT_EQ(g_routingMask[11], 0x37A62u);
    }
}

// Each file is refused whole: string 157, and neither the model nor the
// window changes.
TEST_F(PresetTest, DamagedFilesChangeNothing)
{
    FillDistinctiveModel(iv);
    const std::vector<uint8_t> good = Save();
    const std::vector<std::string> lines = Lines(good);
    auto edited = [&lines](int line, const std::string& text) {
        std::vector<std::string> l = lines;
        l[line] = text;
        return Encode(l);
    };
    auto withBytes = [&good](std::vector<uint8_t> front, std::vector<uint8_t> back) {
        front.insert(front.end(), good.begin(), good.end());
        front.insert(front.end(), back.begin(), back.end());
        return front;
    };
    std::string ascii;
    for (const auto& l : lines) ascii += l + "\r\n";
    std::vector<std::string> truncated(lines.begin(), lines.end() - 1);
    std::vector<std::string> tooLong = lines;
    tooLong.resize(1954, "0");
    std::vector<uint8_t> lastWithoutCr = good;
    lastWithoutCr.erase(lastWithoutCr.end() - 6, lastWithoutCr.end() - 2);

    // clang-format off
    const struct { const char* name; std::vector<uint8_t> bytes; } cases[] = {
        {"empty", {}},
        {"only the zero unit", {0, 0}},
        {"1456 lines", Encode(truncated)},
        {"last line without CR", lastWithoutCr},
        {"odd byte count", withBytes({}, {0x20})},
        {"8-bit text", std::vector<uint8_t>(ascii.begin(), ascii.end())},
        {"byte-order mark", withBytes({0xFF, 0xFE}, {})},
        {"LF line ends", Encode(lines, "\n")},
        {"tag 20", edited(0, "20")},
        {"no tag", edited(0, "")},
        {"empty value line", edited(500, "")},
        {"text value line", edited(500, "abc")},
        {"sign only", edited(13, "-")},
        {"first Q line empty", edited(76, "")},
        {"Q nan", edited(80, "nan")},
        {"Q inf", edited(80, "inf")},
        {"Q -inf", edited(80, "-inf")},
        {"Q overflows", edited(80, "1e999")},
        {"Q full stop only", edited(80, ".")},
        {"integer above 32 bits", edited(810, "4294967296")},
        {"integer below 32 bits", edited(1419, "-2147483649")},
        {"line of 50 units", edited(3, std::string(48, ' ') + "12")},
        {"1954 lines", Encode(tooLong)},
    };
    // clang-format on
    const ModelSnapshot before(iv);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PresetLoadResult r = Load(c.bytes);
        EXPECT_FALSE(r.applied);
        EXPECT_EQ(r.messageId, IDS_PRESET_LOAD_FAILED);
        EXPECT_EQ(ModelSnapshot(iv).DiffersFrom(before), "");
        EXPECT_EQ(iv.calls, 0);
    }
}

// One edited line of an otherwise whole file: out-of-range values take their
// defaults and report string 242; harmless shapes load without a message.
TEST_F(PresetTest, RepairsAndTolerances)
{
    FillDistinctiveModel(iv);
    const std::vector<std::string> lines = Lines(Save());
    struct Case {
        int line;
        std::string text;
        int message;
        std::function<void(const FakeImageView&)> check;
    };
    // clang-format off
    const Case cases[] = {
        {1, "600", IDS_FILE_ERROR, [](const FakeImageView& v) { EXPECT_EQ(v.delays.value[0], 0); }},
        {1254, "-1", IDS_FILE_ERROR, [](const FakeImageView& v) { EXPECT_EQ(v.delays.value[11], 0); }},
        {13, "61", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_masterVolume, 0); }},
        {7, "1113", IDS_FILE_ERROR,   // gain 601
         [](const FakeImageView& v) {
             EXPECT_EQ(g_channelGain[0], 0);
             EXPECT_EQ(g_phaseMask & 1, 0);
             EXPECT_EQ(v.muteButton[0].text, kUnmutedCaption);
             EXPECT_EQ(g_muteMask & 1, 0);
         }},
        {45, "301", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_eqGain[0][0], 150); }},
        {46, "-1", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_eqGain[0][1], 150); }},
        {18, "19", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_eqFreq[0][4], 50); }},
        {108, "25000", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_hpFreq[0], 20); }},
        {111, "10", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_lpFreq[0], 20000); }},
        {76, "0.05", IDS_FILE_ERROR,
         [](const FakeImageView&) {
             EXPECT_EQ(g_eqQ[0][0], 4.32);
             EXPECT_EQ(g_eqQStep[0][0], 87);
         }},
        {1348, "10.5", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_eqQ[11][30], 4.32); }},
        {107, "2", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_hpType[0], 0); }},
        {109, "9", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_hpSlope[0], 8); }},
        {822, "189", IDS_FILE_ERROR,   // mix on, volume 61
         [](const FakeImageView&) {
             EXPECT_EQ(g_hiLevelMix, 1);
             EXPECT_EQ(g_hiLevelMixVolume, 0);
         }},
        {823, "61", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_inputMixVolume[0][0], 0u); }},
        {1456, "61", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_inputMixVolume[11][17], 0u); }},
        {78, "1.42", 0,
         [](const FakeImageView&) {
             EXPECT_EQ(g_eqQ[0][2], 1.42);
             EXPECT_EQ(g_eqQStep[0][2], 51);
         }},
        {810, "4294967295", 0, [](const FakeImageView&) { EXPECT_EQ(g_routingMask[0], 0xFFFFFFFFu); }},
        // Channel masks (link groups, curves) hold twelve bits.
        {1419, "-1", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_linkGroup[0], 0); }},
        {1420, "-2147483648", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_linkGroup[1], 0); }},
        {1430, "4096", IDS_FILE_ERROR, [](const FakeImageView&) { EXPECT_EQ(g_linkGroup[11], 0); }},
        {1430, "4095", 0, [](const FakeImageView&) { EXPECT_EQ(g_linkGroup[11], 4095); }},
        {1431, "4294967295", IDS_FILE_ERROR, [](const FakeImageView& v) { EXPECT_EQ(v.visibleMask, 0); }},
        {1431, "4095", 0, [](const FakeImageView& v) { EXPECT_EQ(v.visibleMask, 4095); }},
        {13, "  42dB", 0, [](const FakeImageView&) { EXPECT_EQ(g_masterVolume, 42); }},
        {79, "+4.5 Q", 0, [](const FakeImageView&) { EXPECT_EQ(g_eqQ[0][3], 4.5); }},
        {2, "12.7", 0, [](const FakeImageView& v) { EXPECT_EQ(v.delays.value[1], 12); }},
        {3, std::string(47, ' ') + "12", 0,
         [](const FakeImageView& v) { EXPECT_EQ(v.delays.value[2], 12); }},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "line " << c.line << " '" << c.text << "'");
        FillDistinctiveModel(iv);
        std::vector<std::string> l = lines;
        l[c.line] = c.text;
        const PresetLoadResult r = Load(Encode(l));
        EXPECT_TRUE(r.applied);
        EXPECT_EQ(r.messageId, c.message);
        c.check(iv);
    }
}

TEST_F(PresetTest, LinesAfterTheMapAreIgnored)
{
    FillDistinctiveModel(iv);
    const ModelSnapshot before(iv);
    std::vector<std::string> lines = Lines(Save());
    lines.resize(1953, "not a number");
    const PresetLoadResult r = Load(Encode(lines));
    EXPECT_TRUE(r.applied);
    EXPECT_EQ(r.messageId, 0);
    EXPECT_EQ(ModelSnapshot(iv).DiffersFrom(before), "");
}

TEST_F(PresetTest, FileHelpers)
{
    const ScratchDir dir("tarvel_preset");
    ASSERT_FALSE(dir.Path().empty());
    const std::filesystem::path path = dir / "images_preset_test.txt";
    const std::vector<uint8_t> file = Save();
    ASSERT_TRUE(WriteFileBytes(path, file));
    std::vector<uint8_t> back;
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_EQ(back, file);
    EXPECT_FALSE(ReadFileBytes(path, back, file.size() - 1));
    std::filesystem::remove(path);
    EXPECT_FALSE(ReadFileBytes(path, back));
    EXPECT_FALSE(WriteFileBytes(path / "no" / "such", file));
}

// Gains that a preset file or the device's image bring replace the model's:
// a band they leave at 0 dB is not one that BypassEQ flattened before, so
// BypassEQ and BypassEQ again keep it at 0 dB.
TEST_F(PresetTest, LoadedGainsEndEveryFlattenedBand)
{
    for (bool fromFile : {true, false}) {
        SCOPED_TRACE(fromFile ? "preset file" : "EqUser image");
        SetUp();
        g_eqGain[2][2] = 170;
        const std::vector<uint8_t> file = Save();
        BuildEqUser(iv.delays);
        std::vector<uint8_t> image(std::begin(g_eqUser), std::end(g_eqUser));
        g_eqGain[2][2] = kDefaultGainCode;
        g_eqGain[0][3] = 120;
        g_eqGain[5][7] = 90;
        ToggleBypassAllBands();

        if (fromFile) EXPECT_TRUE(Load(file).applied);
        else DecodeEqUser(iv, image.data());
        ToggleBypassAllBands();
        ToggleBypassAllBands();
        EXPECT_EQ(g_eqGain[0][3], kDefaultGainCode);
        EXPECT_EQ(g_eqGain[5][7], kDefaultGainCode);
        EXPECT_EQ(g_eqGain[2][2], 170);
    }
}
