#include "shell/messages.h"

#include "platform/scripted/scripted_platform.h"
#include "tables/tables.h"

#include <gtest/gtest.h>

namespace corelith {
namespace {

// Records the box exactly as the platform gets it.
class BoxRecorder : public ScriptedPlatform {
  public:
    void ShowMessage(int code, const std::string& caption, const std::string& text,
                     MessageIcon icon, bool beep) override {
        lastCaption = caption;
        lastText = text;
        lastIcon = icon;
        lastBeep = beep;
        ScriptedPlatform::ShowMessage(code, caption, text, icon, beep);
    }
    std::string lastCaption, lastText;
    MessageIcon lastIcon = MessageIcon::Information;
    bool lastBeep = false;
};

TEST(MessagesTest, InformationFamily) {
    BoxRecorder p;
    EXPECT_EQ(ShowInformation(p, kMsgVersion), 1);
    EXPECT_EQ(p.lastText, "Version number:\n1.08 - Build: 07.10.2003");
    EXPECT_EQ(p.lastCaption, "Corelith");
    EXPECT_EQ(p.lastIcon, MessageIcon::Information);
    EXPECT_FALSE(p.lastBeep);
    EXPECT_EQ(ShowInformation(p, kMsgInfo), 1);
    EXPECT_EQ(ShowInformation(p, kMsgHelp), 1);
    EXPECT_EQ(ShowInformation(p, kMsgProjectFailed), 1);
    EXPECT_EQ(p.Messages(),
              (std::vector<std::string>{"message 134: Version number:\\n1.08 - Build: 07.10.2003",
                                        "message 135: Info not yet implemented!",
                                        "message 146: Help not yet implemented!",
                                        "message 147: Something is wrong.\\nProject has not been "
                                        "created."}));
    EXPECT_EQ(p.BeepCount(), 0);
}

TEST(MessagesTest, OverflowFamily) {
    BoxRecorder p;
    EXPECT_EQ(ShowOverflow(p, kMsgCoreOverflow, ComputeSampleCapacity()), -1);
    EXPECT_EQ(p.lastText, "Core sample overflow. Maximum: 1367");
    EXPECT_EQ(p.lastIcon, MessageIcon::Stop);
    EXPECT_TRUE(p.lastBeep);
    EXPECT_EQ(ShowOverflow(p, kMsgReferenceOverflow, 1367), -1);
    EXPECT_EQ(p.lastText, "Reference sample overflow. Maximum: 1367");
    EXPECT_EQ(ShowOverflow(p, kMsgSpeciesOverflow, 500), -1);
    EXPECT_EQ(p.lastText, "Species overflow. Maximum: 500");
    EXPECT_EQ(ShowOverflow(p, kMsgEnvironmentOverflow, 10), -1);
    EXPECT_EQ(p.lastText, "To many environments. Maximum: 10");
    EXPECT_EQ(ShowOverflow(p, kMsgStationOverflow, 1367), -1);
    EXPECT_EQ(p.lastText, "Hydrographic station overflow. Maximum: 1367");
    EXPECT_EQ(p.BeepCount(), 5);
}

TEST(MessagesTest, FileAndCountErrors) {
    BoxRecorder p;
    EXPECT_EQ(ShowFileError(p, kMsgFileNotFound, "/data/ref.txt"), -1);
    EXPECT_EQ(p.lastText, "Could not find file:\n>/data/ref.txt<");
    EXPECT_TRUE(p.lastBeep);
    EXPECT_EQ(ShowFileError(p, kMsgStationCountDiffers, "ignored"), -1);
    EXPECT_EQ(p.lastText, "The number of the reference samples\nare not equal to the number of "
                          "the\nhydrographic positions.");
    EXPECT_EQ(ShowFileError(p, kMsgSpeciesCountDiffers, ""), -1);
    EXPECT_EQ(p.lastText, "The number of species in core file\nare not equal to the number of "
                          "species\nin the reference file.");
    EXPECT_EQ(p.lastIcon, MessageIcon::Stop);
}

TEST(MessagesTest, NameMismatchShowsTrailingBlanksAndCase) {
    BoxRecorder p;
    EXPECT_EQ(ShowNameMismatch(p, kMsgSpeciesNamesDiffer, "G. ruber", "G. ruber pink"), -1);
    EXPECT_EQ(p.lastText, "The names of species are not equal:\n>G. ruber<\n>G. ruber pink<");
    EXPECT_EQ(ShowNameMismatch(p, kMsgStationNamesDiffer, "V12-122 ", "v12-122"), -1);
    EXPECT_EQ(p.lastText, "The names of stations are not equal:\n>V12-122 <\n>v12-122<");
    EXPECT_TRUE(p.lastBeep);
    EXPECT_EQ(p.lastIcon, MessageIcon::Stop);
}

TEST(MessagesTest, CodeOfAnotherFamilyStillShowsOneBox) {
    BoxRecorder p;
    EXPECT_EQ(ShowNameMismatch(p, kMsgFileNotFound, "a", "b"), -1);
    EXPECT_EQ(ShowInformation(p, kMsgCoreOverflow), 1);
    EXPECT_EQ(p.Messages(),
              (std::vector<std::string>{"message 136: Message 136 has no text here.",
                                        "message 145: Message 145 has no text here."}));
}

TEST(MessagesTest, SettingsAndPathBoxes) {
    BoxRecorder p;
    EXPECT_EQ(ShowSettingsNotSaved(p, "/cfg/corelith/Corelith.INI"), -1);
    EXPECT_EQ(p.lastText, "Could not write the settings file:\n>/cfg/corelith/Corelith.INI<");
    EXPECT_EQ(p.lastCaption, "Corelith");
    EXPECT_TRUE(p.lastBeep);
    EXPECT_EQ(p.Messages().back(),
              "message 0: Could not write the settings file:\\n>/cfg/corelith/Corelith.INI<");
}

} // namespace
} // namespace corelith
