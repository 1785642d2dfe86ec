// Where each slider's thumb is drawn: after start-up, a refresh and a
// configuration load, the thumb stands at its position's share of the range
// (TBM_GETPOS alone can be right while the thumb is drawn elsewhere).
#include <fstream>
#include <string>

#include "property_test_support.h"

namespace vorn::test {
namespace {

const int kSliders[] = {IDC_AEC_TARGET_SLIDER, IDC_MANUAL_EXPOSURE_SLIDER, IDC_GAIN_BLUE_SLIDER,
                        IDC_GAIN_RED_SLIDER,   IDC_BRIGHTNESS_SLIDER,      IDC_CONTRAST_SLIDER,
                        IDC_SATURATION_SLIDER, IDC_SHARPNESS_SLIDER,       IDC_GAMMA_SLIDER};

class SliderThumbTest : public PropertyWindowTest {
protected:
    // Checks that the thumb of the slider stands at pos's share of min..max:
    // its left edge travels along the channel less the thumb's own width.
    void ExpectThumbAtPosition(int id) {
        HWND slider = Item(id);
        const int pos = SliderPos(id), min = SliderMin(id), max = SliderMax(id);
        RECT thumb = {}, channel = {};
        SendMessageW(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        SendMessageW(slider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        const int thumbWidth = thumb.right - thumb.left;
        const int travel = (channel.right - channel.left) - thumbWidth;
        ASSERT_GT(travel, 20) << "slider " << id << " too small to tell";
        const double share = max > min ? static_cast<double>(pos - min) / (max - min) : 0.0;
        const double expectedLeft = channel.left + share * travel;
        EXPECT_NEAR(thumb.left, expectedLeft, 3.0)
            << "slider " << id << ": position " << pos << " of " << min << ".." << max << ", thumb at "
            << thumb.left << " on a channel " << channel.left << ".." << channel.right;
    }
    void ExpectEveryThumbAtItsPosition(const char* when) {
        SCOPED_TRACE(when);
        for (int id : kSliders) ExpectThumbAtPosition(id);
    }
};

TEST_F(SliderThumbTest, ThumbsStandAtTheirPositionsAfterStartUpAndRefresh) {
    const struct {
        const char* name;
        std::string camera;
        int min, max, value;  // the brightness the scenario gives
    } cases[] = {
        // The default camera: 0 in the middle of -64..64.
        {"negative range", "[camera]\n", -64, 64, 0},
        {"zero-based range", "[camera]\nproperty.0 = 200 0 255 1 0 2\n", 0, 255, 200},
        {"narrow range", "[camera]\nproperty.0 = 11 10 12 1 11 2\n", 10, 12, 11},
        // Its position is the one the thumb had for 0..100.
        {"position unchanged by the range", "[camera]\nproperty.0 = 0 -100 20 1 0 2\n", -100, 20, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartLive(c.camera);
        ASSERT_EQ(SliderMin(IDC_BRIGHTNESS_SLIDER), c.min);
        ASSERT_EQ(SliderMax(IDC_BRIGHTNESS_SLIDER), c.max);
        ASSERT_EQ(SliderPos(IDC_BRIGHTNESS_SLIDER), c.value);
        ExpectEveryThumbAtItsPosition("after start-up");

        // A refresh: another slider's step writes every field back.
        SliderKey(IDC_CONTRAST_SLIDER, VK_RIGHT);
        ExpectEveryThumbAtItsPosition("after a slider step elsewhere");
        Dlg().UpdateData(false);
        ExpectEveryThumbAtItsPosition("after a refresh");
        TearDown();
        SetUp();
    }
}

TEST_F(SliderThumbTest, ThumbsFollowAConfigurationLoad) {
    StartLive("[camera]\nproperty.0 = 0 -100 20 1 0 2\n");
    Dlg().m_menu.EnableItem(ID_FILE_LOAD_CONFIG, MF_ENABLED);
    const std::wstring path = ProgramFolder() + L"\\thumbs.csv";
    std::ofstream(std::filesystem::path(path), std::ios::binary)
        // Brightness keeps its position: the load alone would not move its thumb.
        << "PropName,Value,DataType\r\nBrightness,0,int\r\nContrast,50,int\r\nGamma,400,int\r\n"
           "Sharpness,0,int\r\n";
    Prompts().QueuePath(path);
    Command(ID_FILE_LOAD_CONFIG);
    Pump();
    ASSERT_EQ(SliderPos(IDC_CONTRAST_SLIDER), 50);
    ASSERT_EQ(SliderPos(IDC_GAMMA_SLIDER), 400);
    ExpectEveryThumbAtItsPosition("after a configuration load");
}

}  // namespace
}  // namespace vorn::test
