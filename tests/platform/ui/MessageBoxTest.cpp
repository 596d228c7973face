#include "platform/ui/MessageBox.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/MessageBoxCheck.h"

namespace {

// Puts the default recorder in place of the test programs' message box check for its
// lifetime, and leaves the recorder empty.
class DefaultMessageBoxRecorder {
public:
    DefaultMessageBoxRecorder() {
        SetMessageBoxService(nullptr);
        ClearRecordedMessageBoxes();
    }
    ~DefaultMessageBoxRecorder() {
        ClearRecordedMessageBoxes();
        SetMessageBoxService(&MessageBoxCheck::Instance());
    }
};

}  // namespace

TEST(MessageBoxTest, DefaultAnswerIsTheDefaultButton) {
    struct Case {
        UINT type;
        int answer;
    } cases[] = {
        {MB_OK | MB_ICONINFORMATION, IDOK},      {MB_OKCANCEL, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL}, {MB_YESNO | MB_ICONQUESTION, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DefaultMessageBoxAnswer(c.type), c.answer) << c.type;
}

TEST(MessageBoxTest, WithoutDisplayBoxesAreRecordedAndAnswered) {
    DefaultMessageBoxRecorder recorder;
    EXPECT_EQ(MessageBox(nullptr, "htmlLink::load - something bad happend", "", MB_OK), IDOK);
    EXPECT_EQ(MessageBox(nullptr, "Overwrite?", "Save", MB_YESNO | MB_DEFBUTTON2), IDNO);
    const auto boxes = RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "htmlLink::load - something bad happend");
    EXPECT_EQ(boxes[1].caption, "Save");
    EXPECT_EQ(boxes[1].type, MB_YESNO | MB_DEFBUTTON2);
    ClearRecordedMessageBoxes();
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST(MessageBoxTest, RecorderKeepsOnlyTheLatestBoxes) {
    DefaultMessageBoxRecorder recorder;
    const std::size_t shown = kRecordedMessageBoxLimit + 5;
    for (std::size_t i = 0; i < shown; ++i)
        MessageBox(nullptr, "box " + std::to_string(i), "", MB_OK);
    const auto boxes = RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), kRecordedMessageBoxLimit);
    EXPECT_EQ(boxes.front().text, "box 5");
    EXPECT_EQ(boxes.back().text, "box " + std::to_string(shown - 1));
}

TEST(MessageBoxTest, InstalledServiceAnswers) {
    struct Scripted : MessageBoxService {
        int Show(const MessageBoxRecord& box) override {
            last = box.text;
            return IDNO;
        }
        std::string last;
    } scripted;
    SetMessageBoxService(&scripted);
    EXPECT_EQ(MessageBox(nullptr, "Overwrite?", "Save", MB_YESNO), IDNO);
    SetMessageBoxService(&MessageBoxCheck::Instance());
    EXPECT_EQ(scripted.last, "Overwrite?");
}
